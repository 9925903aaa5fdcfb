#include "ApplicationFont.h"

#include "render/Fonts.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

QFont FontOfPixelSize(int PixelSize) {
  QFont Font;
  Font.setFamilies(WindowFontFamilies());
  Font.setPixelSize(PixelSize);
  return Font;
}

// The captions with the least room in the window, and the pixels each may take.
struct TTightCaption {
  const char* Caption;
  int Room;
};
constexpr TTightCaption kTightCaptions[] = {
    {"Birthday [yyyy.mm.dd]", 114},
    {"Cell Phone private", 97},
    {"Back Color:", 57},
    {"Matrix Color:", 63},
};

bool CaptionsFit(const QFont& Font) {
  const QFontMetrics Metrics(Font);
  for (const TTightCaption& Tight : kTightCaptions)
    if (Metrics.horizontalAdvance(QString::fromLatin1(Tight.Caption)) > Tight.Room) return false;
  return true;
}

} // namespace

QFont WindowFont() {
  QFont Font = FontOfPixelSize(11);
  for (int Size = 10; Size >= 8 && !CaptionsFit(Font); --Size)
    Font.setPixelSize(Size);
  return Font;
}

QFont SmallFont() {
  QFont Font = WindowFont();
  Font.setPixelSize(Font.pixelSize() - 2);
  return Font;
}
