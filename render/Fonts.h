// The faces the program writes text in, the window's and the captions of label sheets alike:
// Tahoma where it exists, otherwise faces of at most its width (Liberation Sans, which Debian
// ships as fonts-liberation, then Arimo and DejaVu Sans).
#pragma once

#include <QStringList>

inline QStringList WindowFontFamilies() {
  return {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
          QStringLiteral("DejaVu Sans")};
}
