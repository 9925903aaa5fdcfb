#include "ApplicationFont.h"

#include <QStringList>

namespace {

QFont FontOfPixelSize(int PixelSize) {
  QFont Font;
  Font.setFamilies(QStringList{QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                               QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
  Font.setPixelSize(PixelSize);
  return Font;
}

}  // namespace

QFont WindowFont() { return FontOfPixelSize(11); }

QFont SmallFont() { return FontOfPixelSize(9); }
