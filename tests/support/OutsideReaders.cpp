#include "support/OutsideReaders.h"

#include "support/ZbarDecode.h"

#include <QFile>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <vector>

TToolRun RunTool(const QString& Program, const QStringList& Arguments) {
  TToolRun Run;
  QProcess Process;
  Process.start(Program, Arguments);
  if (!Process.waitForStarted(10000)) return Run;
  Run.Started = true;
  Process.closeWriteChannel();
  if (!Process.waitForFinished(60000)) {
    Process.kill();
    Process.waitForFinished();
    return Run;
  }
  Run.Out = Process.readAllStandardOutput();
  Run.Err = Process.readAllStandardError();
  Run.ExitCode = Process.exitStatus() == QProcess::NormalExit ? Process.exitCode() : -1;
  return Run;
}

bool WriteFileBytes(const std::filesystem::path& Path, const QByteArray& Bytes) {
  QFile File(QString::fromStdString(Path.string()));
  return File.open(QIODevice::WriteOnly) && File.write(Bytes) == Bytes.size() && File.flush();
}

QImage RasteriseSvgWithRsvg(const std::filesystem::path& Path, int Width, int Height) {
  const TToolRun Run = RunTool(QStringLiteral("rsvg-convert"),
                               {QStringLiteral("-w"), QString::number(Width), QStringLiteral("-h"),
                                QString::number(Height), QStringLiteral("-f"),
                                QStringLiteral("png"), QString::fromStdString(Path.string())});
  if (Run.ExitCode != 0) return QImage();
  return QImage::fromData(Run.Out, "PNG");
}

QImage RasterisePdfWithPoppler(const std::filesystem::path& Path, int Width, int Height,
                               TPdfRasteriser Rasteriser) {
  const std::filesystem::path Prefix = Path.parent_path() / (Path.stem().string() + "-page");
  const QString Program = Rasteriser == TPdfRasteriser::Pdftoppm ? QStringLiteral("pdftoppm")
                                                                 : QStringLiteral("pdftocairo");
  const TToolRun Run = RunTool(
      Program, {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-f"),
                QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                QStringLiteral("-scale-to-x"), QString::number(Width),
                QStringLiteral("-scale-to-y"), QString::number(Height),
                QString::fromStdString(Path.string()), QString::fromStdString(Prefix.string())});
  if (Run.ExitCode != 0) return QImage();
  return QImage(QString::fromStdString(Prefix.string() + ".png"));
}

std::string PictureDifference(const QImage& A, const QImage& B) {
  if (A.isNull() || B.isNull()) return "a picture is missing";
  if (A.size() != B.size())
    return "sizes differ: " + std::to_string(A.width()) + "x" + std::to_string(A.height()) +
           " and " + std::to_string(B.width()) + "x" + std::to_string(B.height());
  long Differing = 0;
  std::string First;
  for (int Y = 0; Y < A.height(); ++Y)
    for (int X = 0; X < A.width(); ++X) {
      const QRgb P = A.pixel(X, Y) & 0xffffffu, Q = B.pixel(X, Y) & 0xffffffu;
      if (P == Q) continue;
      if (Differing++ == 0) {
        char Text[96];
        std::snprintf(Text, sizeof Text, "pixel %d,%d: #%06x against #%06x", X, Y, P, Q);
        First = Text;
      }
    }
  if (Differing == 0) return std::string();
  return First + " (" + std::to_string(Differing) + " pixels differ)";
}

std::optional<std::string> DecodePicture(const QImage& Picture) {
  if (Picture.isNull()) return std::nullopt;
  const QImage Rgb = Picture.convertToFormat(QImage::Format_RGB32);
  std::vector<unsigned char> Grey(static_cast<std::size_t>(Rgb.width()) *
                                  static_cast<std::size_t>(Rgb.height()));
  std::size_t At = 0;
  for (int Y = 0; Y < Rgb.height(); ++Y) {
    const auto* Line = reinterpret_cast<const QRgb*>(Rgb.constScanLine(Y));
    for (int X = 0; X < Rgb.width(); ++X)
      Grey[At++] = static_cast<unsigned char>(qGray(Line[X]));
  }
  return DecodeGreyImage(Grey, Rgb.width(), Rgb.height());
}

bool MakeOutsideCode(TOutsideEncoder Encoder, const std::string& Bytes,
                     const std::filesystem::path& Png, int Version, int Scale) {
  const std::filesystem::path Input = Png.string() + ".bytes";
  if (!WriteFileBytes(Input, QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size()))))
    return false;
  const QString In = QString::fromStdString(Input.string());
  const QString Out = QString::fromStdString(Png.string());
  TToolRun Run;
  if (Encoder == TOutsideEncoder::Qrencode) {
    QStringList Args = {QStringLiteral("-8"),  QStringLiteral("-l"), QStringLiteral("L"),
                        QStringLiteral("-m"),  QStringLiteral("4"),  QStringLiteral("-s"),
                        QString::number(Scale)};
    if (Version > 0) Args << QStringLiteral("-v") << QString::number(Version);
    Args << QStringLiteral("-r") << In << QStringLiteral("-o") << Out;
    Run = RunTool(QStringLiteral("qrencode"), Args);
  } else {
    // segno takes bytes as they are, in byte mode.
    const QString Script =
        QStringLiteral("import sys, segno\n"
                       "data = open(sys.argv[1], 'rb').read()\n"
                       "v = int(sys.argv[3]) or None\n"
                       "light = None if sys.argv[2].endswith('-transparent.png') else '#fff'\n"
                       "segno.make(data, error='l', version=v, micro=False, boost_error=False)"
                       ".save(sys.argv[2], scale=int(sys.argv[4]), border=4, light=light)\n");
    Run = RunTool(
        QStringLiteral(MARBECK_SUPPORT_PYTHON3),
        {QStringLiteral("-c"), Script, In, Out, QString::number(Version), QString::number(Scale)});
  }
  std::filesystem::remove(Input);
  return Run.ExitCode == 0 && std::filesystem::exists(Png);
}

TSegnoCode SegnoEciCode(const std::string& Utf8Text, char Level, int Version, int Mask,
                        const char* Encoding) {
  char Template[] = "/tmp/marbeck-segno-XXXXXX";
  if (!::mkdtemp(Template)) return {};
  const std::filesystem::path Folder = Template;
  const std::filesystem::path Input = Folder / "text";
  const std::filesystem::path Png = Folder / "code.png";
  TSegnoCode Code;
  if (WriteFileBytes(Input, QByteArray(Utf8Text.data(), static_cast<qsizetype>(Utf8Text.size())))) {
    const QString Script = QStringLiteral(
        "import sys, segno\n"
        "text = open(sys.argv[1], 'rb').read().decode('utf-8')\n"
        "v = int(sys.argv[4]) or None\n"
        "m = None if int(sys.argv[5]) < 0 else int(sys.argv[5])\n"
        "q = segno.make(text, error=sys.argv[3], version=v, mask=m, encoding=sys.argv[6],\n"
        "               mode='byte', eci=True, micro=False, boost_error=False)\n"
        "q.save(sys.argv[2], scale=1, border=4)\n"
        "for row in q.matrix: print(''.join('1' if c else '0' for c in row))\n");
    const TToolRun Run =
        RunTool(QStringLiteral(MARBECK_SUPPORT_PYTHON3),
                {QStringLiteral("-c"), Script, QString::fromStdString(Input.string()),
                 QString::fromStdString(Png.string()), QString(QChar::fromLatin1(Level)),
                 QString::number(Version), QString::number(Mask), QString::fromLatin1(Encoding)});
    if (Run.ExitCode == 0) {
      Code.Picture = QImage(QString::fromStdString(Png.string()));
      for (const QByteArray& Line : Run.Out.split('\n'))
        if (!Line.isEmpty()) Code.Rows.push_back(Line.toStdString());
    }
  }
  std::error_code Ec;
  std::filesystem::remove_all(Folder, Ec);
  return Code;
}

QImage OutsideCodePicture(TOutsideEncoder Encoder, const std::string& Bytes, int Version,
                          int Scale) {
  char Template[] = "/tmp/marbeck-code-XXXXXX";
  if (!::mkdtemp(Template)) return QImage();
  const std::filesystem::path Folder = Template;
  QImage Picture;
  if (MakeOutsideCode(Encoder, Bytes, Folder / "code.png", Version, Scale))
    Picture = QImage(QString::fromStdString((Folder / "code.png").string()));
  std::error_code Ec;
  std::filesystem::remove_all(Folder, Ec);
  return Picture;
}

QByteArray BmpHeader(int Width, int Height) {
  QByteArray Bytes("BM", 2);
  const auto Put = [&Bytes](quint32 Value, int Size) {
    for (int I = 0; I < Size; ++I)
      Bytes.append(static_cast<char>((Value >> (8 * I)) & 0xFF));
  };
  const quint32 Pixels = static_cast<quint32>(Width) * static_cast<quint32>(Height) * 3;
  Put(54 + Pixels, 4);
  Put(0, 4);
  Put(54, 4);
  Put(40, 4);
  Put(static_cast<quint32>(Width), 4);
  Put(static_cast<quint32>(Height), 4);
  Put(1, 2);
  Put(24, 2);
  for (int I = 0; I < 6; ++I)
    Put(0, 4);
  return Bytes;
}
