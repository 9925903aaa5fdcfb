// The window font: Tahoma 8 point where it exists, otherwise a face of at most its width
// (Liberation Sans, which Debian ships as fonts-liberation), at the same 11-pixel height.
#pragma once

#include <QFont>

QFont WindowFont();
// A smaller face for the two grey captions over the lists (7 point).
QFont SmallFont();
