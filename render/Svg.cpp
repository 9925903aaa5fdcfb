#include "render/Svg.h"

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

// One arm of a corner mark: the modules [X0, X1] x [Y0, Y1], clipped to the picture.
void AppendArm(std::string& Out, int Side, int X0, int Y0, int X1, int Y1) {
  X0 = std::max(X0, 0);
  Y0 = std::max(Y0, 0);
  X1 = std::min(X1, Side - 1);
  Y1 = std::min(Y1, Side - 1);
  if (X0 > X1 || Y0 > Y1) return;
  Out += 'M';
  AppendInt(Out, X0);
  Out += ' ';
  AppendInt(Out, Y0);
  Out += 'h';
  AppendInt(Out, X1 - X0 + 1);
  Out += 'v';
  AppendInt(Out, Y1 - Y0 + 1);
  Out += 'h';
  AppendInt(Out, -(X1 - X0 + 1));
  Out += 'z';
}

// The corner marks as DrawFrameMarks places them: arms of MarkLength + 3 modules on the outermost
// ring. Every arm is drawn clockwise, so overlapping arms stay filled under the nonzero rule.
void AppendFramePath(std::string& Out, int Side, int MarkLength) {
  const int Arm = MarkLength + 2;
  const int Far = Side - MarkLength - 3;
  const int Last = Side - 1;
  AppendArm(Out, Side, 0, 0, Arm, 0);          // top left
  AppendArm(Out, Side, 0, 0, 0, Arm);          //
  AppendArm(Out, Side, Far, 0, Last, 0);       // top right
  AppendArm(Out, Side, Last, 0, Last, Arm);    //
  AppendArm(Out, Side, 0, Far, 0, Last);       // bottom left
  AppendArm(Out, Side, 0, Last, Arm, Last);    //
  AppendArm(Out, Side, Far, Last, Last, Last); // bottom right
  AppendArm(Out, Side, Last, Far, Last, Last); //
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
         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  AppendMillimetres(Out, Side * MmPerModule);
  Out += "\" height=\"";
  AppendMillimetres(Out, Side * MmPerModule);
  Out += "\" viewBox=\"0 0 ";
  AppendInt(Out, Side);
  Out += ' ';
  AppendInt(Out, Side);
  Out += "\" shape-rendering=\"crispEdges\">\n<title>";
  AppendEscaped(Out, TitleUtf8);
  Out += "</title>\n<rect width=\"";
  AppendInt(Out, Side);
  Out += "\" height=\"";
  AppendInt(Out, Side);
  Out += "\" fill=\"";
  AppendColour(Out, Style.Light);
  Out += "\"/>\n";

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
