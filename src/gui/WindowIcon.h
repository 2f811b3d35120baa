#pragma once

#include <QIcon>

namespace qsjuv {

// The installed icon's artwork (tools/qs_juv.svg) drawn by the program itself: reading the SVG
// at start would load an image plug-in, and the title bar and the task switcher want pixmaps.
QIcon programIcon();

} // namespace qsjuv
