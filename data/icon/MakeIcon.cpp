// Build-time tool: the program's icon is a real code, drawn by the program's own renderer. It
// writes <id>.svg and <id>-<size>.png for every size given after the output folder.
//   marbeck-make-icon <output folder> <id> <size>...
#include "render/Code.h"
#include "render/Raster.h"
#include "render/Svg.h"

#include <QFile>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// What the icon says when a phone reads it.
constexpr char16_t kIconPayload[] = u"Marbeck";

bool WriteAll(const QString& Path, const QByteArray& Bytes) {
  QFile File(Path);
  if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate) || File.write(Bytes) != Bytes.size()) {
    std::fprintf(stderr, "marbeck-make-icon: cannot write %s\n", qPrintable(Path));
    return false;
  }
  return true;
}

// Side x Side pixels. Below one pixel per module the nearest-neighbour picture would lose
// modules, so a small icon is the one-pixel-per-module picture scaled down smoothly.
QImage IconPicture(const TCode& Code, const TCodeStyle& Style, int Side) {
  if (Side >= Code.Grid.Side) return RenderRaster(Code.Grid, Style, Side);
  return RenderModules(Code.Grid, Style)
      .scaled(Side, Side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: marbeck-make-icon <output folder> <id> <size>...\n");
    return 2;
  }
  const QString Folder = QString::fromLocal8Bit(argv[1]);
  const QString Id = QString::fromLocal8Bit(argv[2]);
  TCodeStyle Style;
  Style.QuietZone = 1;
  const TCode Code = MakeCode(kIconPayload, qrAuto, Style);
  if (Code.Grid.Side == 0 || Code.DataTooLong) return 1;

  const std::string Svg = RenderSvg(Code.Grid, Style, 1.0, "Marbeck");
  if (!WriteAll(Folder + QLatin1Char('/') + Id + QStringLiteral(".svg"),
                QByteArray::fromStdString(Svg)))
    return 1;
  for (int I = 3; I < argc; ++I) {
    const int Side = std::atoi(argv[I]);
    if (Side <= 0) return 2;
    const QString Path = QStringLiteral("%1/%2-%3.png").arg(Folder, Id).arg(Side);
    if (!WriteAll(Path, EncodePng(IconPicture(Code, Style, Side)))) return 1;
  }
  return 0;
}
