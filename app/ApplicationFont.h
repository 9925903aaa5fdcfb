// The window font: Tahoma 8 point where it exists, otherwise a face of at most its width
// (Liberation Sans, which Debian ships as fonts-liberation), at the same 11-pixel height. With a
// wider face the size steps down until the tightest captions fit their places.
#pragma once

#include <QFont>

// Needs the application object (it measures text).
QFont WindowFont();
// A smaller face for the two grey captions over the lists (7 point).
QFont SmallFont();
