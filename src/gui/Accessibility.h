#pragma once

namespace qsjuv {

// What a screen reader is told beyond Qt's defaults: the form is a window (a plain top-level
// widget is a "filler"), and the spinners report and take the number of their edit. Installed
// once, before any control is asked for its accessible interface.
void installAccessibleFactory();

} // namespace qsjuv
