#include "render/Svg.h"

#include "render/Design.h"
#include "render/Logo.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

void AppendInt(std::string& Out, int Value) {
  char Digits[16];
  const auto Result = std::to_chars(Digits, Digits + sizeof Digits, Value);
  Out.append(Digits, Result.ptr);
}

// "#rrggbb"
void AppendColour(std::string& Out, QRgb Colour) {
  static const char Hex[] = "0123456789abcdef";
  const unsigned Channels[3] = {static_cast<unsigned>(qRed(Colour)),
                                static_cast<unsigned>(qGreen(Colour)),
                                static_cast<unsigned>(qBlue(Colour))};
  Out += '#';
  for (const unsigned Channel : Channels) {
    Out += Hex[Channel >> 4];
    Out += Hex[Channel & 15];
  }
}

// A length in millimetres with at most four decimals and no trailing zeros.
void AppendMillimetres(std::string& Out, double Value) {
  char Text[64];
  std::snprintf(Text, sizeof Text, "%.4f", Value);
  std::string Number(Text);
  while (!Number.empty() && Number.back() == '0')
    Number.pop_back();
  if (!Number.empty() && Number.back() == '.') Number.pop_back();
  Out += Number;
  Out += "mm";
}

// Text as XML character data: the five markup characters escaped, the code points XML 1.0 does
// not allow (C0 controls but tab, line feed and carriage return) dropped. Bytes of UTF-8 pass.
void AppendEscaped(std::string& Out, const std::string& Text) {
  for (const char C : Text) {
    const auto Byte = static_cast<unsigned char>(C);
    switch (C) {
    case '&':
      Out += "&amp;";
      break;
    case '<':
      Out += "&lt;";
      break;
    case '>':
      Out += "&gt;";
      break;
    case '"':
      Out += "&quot;";
      break;
    default:
      if (Byte >= 0x20 || C == '\t' || C == '\n' || C == '\r') Out += C;
    }
  }
}

int LengthOf(int Value) {
  int Length = Value < 0 ? 2 : 1;
  for (unsigned Rest = static_cast<unsigned>(Value < 0 ? -Value : Value); Rest >= 10; Rest /= 10)
    ++Length;
  return Length;
}

// The dark runs as one path of horizontal strokes one module wide: the path is moved down by
// half a module, so that the pen starts each run at its left edge on the row's number, and
// draws "h<length>". Each move to the next run is written relative ("m<dx> <dy>") or absolute
// ("M<x> <y>"), whichever is shorter: on a row the relative move, to the next row mostly the
// absolute one.
void AppendDarkPath(std::string& Out, const TModuleGrid& Grid) {
  bool First = true;
  int PenX = 0, PenY = 0;
  ForEachDarkRun(Grid, [&](int Row, int Start, int Length) {
    const bool Absolute =
        First || LengthOf(Start) + LengthOf(Row) < LengthOf(Start - PenX) + LengthOf(Row - PenY);
    Out += Absolute ? 'M' : 'm';
    AppendInt(Out, Absolute ? Start : Start - PenX);
    Out += ' ';
    AppendInt(Out, Absolute ? Row : Row - PenY);
    Out += 'h';
    AppendInt(Out, Length);
    First = false;
    PenX = Start + Length;
    PenY = Row;
  });
}

// The corner marks as DrawFrameMarks places them: arms of MarkLength + 3 modules on the outermost
// ring. Every arm is drawn clockwise, so overlapping arms stay filled under the nonzero rule.
void AppendFramePath(std::string& Out, int Side, int MarkLength) {
  ForEachFrameArm(Side, MarkLength, [&Out](int X, int Y, int W, int H) {
    Out += 'M';
    AppendInt(Out, X);
    Out += ' ';
    AppendInt(Out, Y);
    Out += 'h';
    AppendInt(Out, W);
    Out += 'v';
    AppendInt(Out, H);
    Out += 'h';
    AppendInt(Out, -W);
    Out += 'z';
  });
}

// A number of modules with at most four decimals, no trailing zeros and no leading zero
// ("0.45" as ".45", "-0.5" as "-.5").
void AppendNumber(std::string& Out, double Value) {
  if (std::fabs(Value) < 5e-5) Value = 0;
  char Text[64];
  std::snprintf(Text, sizeof Text, "%.4f", Value);
  std::string Number(Text);
  while (Number.back() == '0')
    Number.pop_back();
  if (Number.back() == '.') Number.pop_back();
  if (Number.rfind("0.", 0) == 0) Number.erase(0, 1);
  if (Number.rfind("-0.", 0) == 0) Number.erase(1, 1);
  Out += Number;
}

// The shapes of one colour as path data: each shape clockwise (or the other way round when
// reversed), its corners quarter-circle arcs; a full circle as two half arcs.
class TSvgPath : public TShapeVisitor {
public:
  explicit TSvgPath(std::string& Out) : FOut(Out) {}
  void Visit(const TShape& S) override {
    const double R0 = S.Radius[0], R1 = S.Radius[1], R2 = S.Radius[2], R3 = S.Radius[3];
    if (S.W == S.H && R0 == S.W / 2 && R1 == R0 && R2 == R0 && R3 == R0) { // a circle
      Move(S.X, S.Y + R0);
      for (const double Dx : {2 * R0, -2 * R0}) {
        Arc(R0, S.Reverse, Dx, 0, true);
      }
      FOut += 'z';
      return;
    }
    Move(S.X + R0, S.Y);
    if (!S.Reverse) {
      Line('h', S.W - R0 - R1);
      Arc(R1, false, R1, R1);
      Line('v', S.H - R1 - R2);
      Arc(R2, false, -R2, R2);
      Line('h', -(S.W - R2 - R3));
      Arc(R3, false, -R3, -R3);
      Line('v', -(S.H - R3 - R0));
      Arc(R0, false, R0, -R0);
    } else {
      Arc(R0, true, -R0, R0);
      Line('v', S.H - R0 - R3);
      Arc(R3, true, R3, R3);
      Line('h', S.W - R3 - R2);
      Arc(R2, true, R2, -R2);
      Line('v', -(S.H - R2 - R1));
      Arc(R1, true, -R1, -R1);
    }
    FOut += 'z';
  }

private:
  void Move(double X, double Y) {
    FOut += 'M';
    AppendNumber(FOut, X);
    FOut += ' ';
    AppendNumber(FOut, Y);
  }
  void Line(char Command, double Length) {
    if (std::fabs(Length) < 5e-5) return;
    FOut += Command;
    AppendNumber(FOut, Length);
  }
  // A relative arc of radius R to Dx, Dy; clockwise on the screen unless Reverse.
  void Arc(double R, bool Reverse, double Dx, double Dy, bool Large = false) {
    if (R <= 0) return;
    FOut += 'a';
    AppendNumber(FOut, R);
    FOut += ' ';
    AppendNumber(FOut, R);
    FOut += Large ? " 0 1 " : " 0 0 ";
    FOut += Reverse ? '0' : '1';
    FOut += ' ';
    AppendNumber(FOut, Dx);
    FOut += ' ';
    AppendNumber(FOut, Dy);
  }
  std::string& FOut;
};

// A filled path of the shapes Write gives, in Colour; nothing when there are none.
template <typename TWrite> void AppendShapesPath(std::string& Out, QRgb Colour, TWrite&& Write) {
  const std::size_t PathStart = Out.size();
  Out += "<path fill=\"";
  AppendColour(Out, Colour);
  Out += "\" d=\"";
  const std::size_t DataStart = Out.size();
  TSvgPath Path(Out);
  Write(Path);
  if (Out.size() == DataStart)
    Out.resize(PathStart);
  else
    Out += "\"/>\n";
}

void AppendBase64(std::string& Out, const QByteArray& Bytes) {
  const QByteArray Text = Bytes.toBase64();
  Out.append(Text.constData(), static_cast<std::size_t>(Text.size()));
}

// The plain picture's dark modules: one path of strokes, a run each.
void AppendPlainDarkPath(std::string& Out, const TModuleGrid& Grid, const TCodeStyle& Style) {
  const std::size_t PathStart = Out.size();
  Out += "<path transform=\"translate(0 .5)\" stroke=\"";
  AppendColour(Out, Style.Dark);
  Out += "\" d=\"";
  const std::size_t DataStart = Out.size();
  AppendDarkPath(Out, Grid);
  if (Out.size() == DataStart)
    Out.resize(PathStart); // no dark module: an empty path would be an error in SVG
  else
    Out += "\"/>\n";
}

// A designed picture's dark shapes, finder patterns and logo (as an <image> holding the PNG or
// SVG file's bytes, so that an SVG logo stays vector).
void AppendDesign(std::string& Out, const TModuleGrid& Grid, const TCodeStyle& Style) {
  const TDesignLayout Layout = DesignLayoutOf(Grid, Style);
  AppendShapesPath(Out, Style.Dark,
                   [&](TShapeVisitor& To) { DarkShapes(Grid, Style, Layout, To); });
  AppendShapesPath(Out, Style.FinderDark(),
                   [&](TShapeVisitor& To) { FinderShapes(Style, Layout, To); });
  if (!Style.Logo || Layout.Pad.isEmpty()) return;
  const QByteArray Bytes = Style.Logo->FileBytes();
  if (Bytes.isEmpty()) return;
  const QRectF& R = Layout.LogoRect;
  Out += "<image x=\"";
  AppendNumber(Out, R.x());
  Out += "\" y=\"";
  AppendNumber(Out, R.y());
  Out += "\" width=\"";
  AppendNumber(Out, R.width());
  Out += "\" height=\"";
  AppendNumber(Out, R.height());
  Out += "\" preserveAspectRatio=\"xMidYMid meet\" xlink:href=\"data:";
  Out += Style.Logo->IsSvg() ? "image/svg+xml" : "image/png";
  Out += ";base64,";
  AppendBase64(Out, Bytes);
  Out += "\"/>\n";
}

} // namespace

std::string RenderSvg(const TModuleGrid& Grid, const TCodeStyle& Style, double MmPerModule,
                      const std::string& TitleUtf8) {
  if (Grid.Side <= 0 || !std::isfinite(MmPerModule) || MmPerModule <= 0) return std::string();
  const int Side = Grid.Side;
  std::string Out;
  // About seven bytes per dark run; a run is two modules on average.
  Out.reserve(512 + TitleUtf8.size() + static_cast<std::size_t>(Side) * Side * 2);
  Out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" ";
  if (Style.Logo) Out += "xmlns:xlink=\"http://www.w3.org/1999/xlink\" ";
  Out += "version=\"1.1\" width=\"";
  AppendMillimetres(Out, Side * MmPerModule);
  Out += "\" height=\"";
  AppendMillimetres(Out, Side * MmPerModule);
  Out += "\" viewBox=\"0 0 ";
  AppendInt(Out, Side);
  Out += ' ';
  AppendInt(Out, Side);
  // Round shapes are left smooth; squares keep sharp edges.
  Out +=
      Style.PaintedAtFinalSize() ? "\">\n<title>" : "\" shape-rendering=\"crispEdges\">\n<title>";
  AppendEscaped(Out, TitleUtf8);
  Out += "</title>\n<rect width=\"";
  AppendInt(Out, Side);
  Out += "\" height=\"";
  AppendInt(Out, Side);
  Out += "\" fill=\"";
  AppendColour(Out, Style.Light);
  Out += "\"/>\n";

  if (Style.HasDesign()) {
    AppendDesign(Out, Grid, Style);
  } else {
    AppendPlainDarkPath(Out, Grid, Style);
  }
  if (Style.Frame) {
    Out += "<path fill=\"";
    AppendColour(Out, Style.FrameColor);
    Out += "\" d=\"";
    AppendFramePath(Out, Side, Style.MarkLength);
    Out += "\"/>\n";
  }
  Out += "</svg>\n";
  return Out;
}
