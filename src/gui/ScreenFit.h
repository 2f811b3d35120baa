#pragma once

class QWidget;

// A window of fixed geometry larger than its screen's free area (a small screen, a large scale
// factor) would put its title or its buttons out of reach: its content goes into a scroll area
// and the window shrinks to the area. A window that fits is left exactly as it is.
void fitIntoScreen(QWidget *window);
