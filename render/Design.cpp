#include "render/Design.h"

#include "render/Logo.h"

#include <QPainterPath>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A dot's diameter in modules: round dots that nearly touch, so that a reader still sees a dark
// module wherever it samples near the module's middle.
constexpr double kDotDiameter = 0.9;
// The finder pattern's rounded corners: the outer edge of the ring, its inner edge (one module
// less, so that the ring stays a module thick), and the 3 x 3 centre.
constexpr double kFinderOuterRadius = 2.0;
constexpr double kFinderCentreRadius = 1.0;

// The smallest whole number of modules at least Length with the parity of Side, so that it sits
// centred in Side with whole modules on both sides.
int CentredSpan(double Length, int Side) {
  int Span = static_cast<int>(std::ceil(Length - 1e-9));
  if ((Side - Span) % 2 != 0) ++Span;
  return Span;
}

// Adds Shape to Path, clockwise on the screen (or the other way round when reversed).
void AddShape(QPainterPath& Path, const TShape& S) {
  const double R0 = S.Radius[0], R1 = S.Radius[1], R2 = S.Radius[2], R3 = S.Radius[3];
  const double Right = S.X + S.W, Bottom = S.Y + S.H;
  if (R0 == 0 && R1 == 0 && R2 == 0 && R3 == 0 && !S.Reverse) {
    Path.addRect(S.X, S.Y, S.W, S.H);
    return;
  }
  // Corner arcs: Qt counts angles counter-clockwise from three o'clock, so a clockwise turn on
  // the screen sweeps -90 degrees.
  if (!S.Reverse) {
    Path.moveTo(S.X + R0, S.Y);
    Path.lineTo(Right - R1, S.Y);
    if (R1 > 0) Path.arcTo(Right - 2 * R1, S.Y, 2 * R1, 2 * R1, 90, -90);
    Path.lineTo(Right, Bottom - R2);
    if (R2 > 0) Path.arcTo(Right - 2 * R2, Bottom - 2 * R2, 2 * R2, 2 * R2, 0, -90);
    Path.lineTo(S.X + R3, Bottom);
    if (R3 > 0) Path.arcTo(S.X, Bottom - 2 * R3, 2 * R3, 2 * R3, 270, -90);
    Path.lineTo(S.X, S.Y + R0);
    if (R0 > 0) Path.arcTo(S.X, S.Y, 2 * R0, 2 * R0, 180, -90);
  } else {
    Path.moveTo(S.X + R0, S.Y);
    if (R0 > 0) Path.arcTo(S.X, S.Y, 2 * R0, 2 * R0, 90, 90);
    Path.lineTo(S.X, Bottom - R3);
    if (R3 > 0) Path.arcTo(S.X, Bottom - 2 * R3, 2 * R3, 2 * R3, 180, 90);
    Path.lineTo(Right - R2, Bottom);
    if (R2 > 0) Path.arcTo(Right - 2 * R2, Bottom - 2 * R2, 2 * R2, 2 * R2, 270, 90);
    Path.lineTo(Right, S.Y + R1);
    if (R1 > 0) Path.arcTo(Right - 2 * R1, S.Y, 2 * R1, 2 * R1, 0, 90);
  }
  Path.closeSubpath();
}

class TPathBuilder : public TShapeVisitor {
public:
  QPainterPath Path;
  TPathBuilder() { Path.setFillRule(Qt::WindingFill); }
  void Visit(const TShape& Shape) override { AddShape(Path, Shape); }
};

// Fills each shape as it comes: one path of thousands of curved pieces costs Qt's rasteriser far
// more than thousands of small fills. Dots, all of one size, are stamped: one dot is painted,
// antialiased, for each quarter-pixel offset it meets, then copied to every place (a
// quarter-pixel step is below what the eye or a reader tells apart).
class TShapeFiller : public TShapeVisitor {
public:
  TShapeFiller(QPainter& Painter, QColor Colour)
      : FPainter(Painter), FBrush(Colour), FToDevice(Painter.worldTransform()) {
    FPainter.setBrush(FBrush);
    FStamping = FToDevice.type() <= QTransform::TxScale;
  }
  ~TShapeFiller() override { StampDots(); }
  TShapeFiller(const TShapeFiller&) = delete;
  TShapeFiller& operator=(const TShapeFiller&) = delete;

  void Visit(const TShape& Shape) override {
    if (Shape.Radius[0] == 0 && Shape.Radius[1] == 0 && Shape.Radius[2] == 0 &&
        Shape.Radius[3] == 0) {
      // Square edges stay sharp, as in the plain picture: smoothed, two rows that meet at a
      // fraction of a pixel would leave a faint light seam between them.
      FPainter.setRenderHint(QPainter::Antialiasing, false);
      FPainter.fillRect(QRectF(Shape.X, Shape.Y, Shape.W, Shape.H), FBrush);
      FPainter.setRenderHint(QPainter::Antialiasing, true);
      return;
    }
    const double R = Shape.Radius[0];
    if (Shape.W == Shape.H && R * 2 == Shape.W && Shape.Radius[1] == R && Shape.Radius[2] == R &&
        Shape.Radius[3] == R) {
      const QRectF Device = FToDevice.mapRect(QRectF(Shape.X, Shape.Y, Shape.W, Shape.H));
      if (FStamping && (FDotSize.isEmpty() || FDotSize == Device.size())) {
        FDotSize = Device.size();
        const double Left = std::floor(Device.x()), Top = std::floor(Device.y());
        const int Phase = static_cast<int>((Device.x() - Left) * 4) * 4 +
                          static_cast<int>((Device.y() - Top) * 4);
        FDots.push_back({QPoint(static_cast<int>(Left), static_cast<int>(Top)), Phase});
        return;
      }
      FPainter.drawEllipse(QRectF(Shape.X, Shape.Y, Shape.W, Shape.H));
      return;
    }
    QPainterPath Path;
    AddShape(Path, Shape);
    FPainter.fillPath(Path, FBrush);
  }

private:
  void StampDots() {
    if (FDots.empty()) return;
    QImage Stamps[16];
    const QSize Room(static_cast<int>(std::ceil(FDotSize.width())) + 1,
                     static_cast<int>(std::ceil(FDotSize.height())) + 1);
    FPainter.save();
    FPainter.resetTransform();
    for (const TDot& Dot : FDots) {
      QImage& Stamp = Stamps[Dot.Phase];
      if (Stamp.isNull()) {
        Stamp = QImage(Room, QImage::Format_ARGB32_Premultiplied);
        Stamp.fill(Qt::transparent);
        QPainter Painter(&Stamp);
        Painter.setRenderHint(QPainter::Antialiasing);
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(FBrush);
        Painter.drawEllipse(
            QRectF(QPointF((Dot.Phase / 4) / 4.0, (Dot.Phase % 4) / 4.0), FDotSize));
      }
      FPainter.drawImage(Dot.At, Stamp);
    }
    FPainter.restore();
  }

  struct TDot {
    QPoint At; // the device pixel of the dot's top-left corner, rounded down
    int Phase; // 4 x quarter pixels right + quarter pixels down
  };
  QPainter& FPainter;
  QBrush FBrush;
  QTransform FToDevice;
  bool FStamping = false;
  QSizeF FDotSize;
  std::vector<TDot> FDots;
};

} // namespace

TDesignLayout DesignLayoutOf(const TModuleGrid& Grid, const TCodeStyle& Style) {
  TDesignLayout Layout;
  Layout.Side = Grid.Side;
  Layout.QuietZone = Style.QuietZoneWithFrame();
  const int N = Grid.Side - 2 * Layout.QuietZone;
  // A symbol is 21 to 177 modules, 17 + 4 x version; anything else (an all-light grid of a text
  // too long) has no finder patterns and no room for a logo.
  if (N < 21 || (N - 17) % 4 != 0) return Layout;
  Layout.SymbolSide = N;
  const int Q = Layout.QuietZone;
  Layout.Finders[0] = QRect(Q, Q, 7, 7);
  Layout.Finders[1] = QRect(Q + N - 7, Q, 7, 7);
  Layout.Finders[2] = QRect(Q, Q + N - 7, 7, 7);
  if (Style.Logo && Style.Logo->Size.width() > 0 && Style.Logo->Size.height() > 0) {
    const double Percent = std::clamp(Style.LogoPercent, kMinLogoPercent, kMaxLogoPercent);
    const double Longer = N * Percent / 100.0;
    const QSizeF Natural = Style.Logo->Size;
    const double Scale = Longer / std::max(Natural.width(), Natural.height());
    const double W = Natural.width() * Scale, H = Natural.height() * Scale;
    const int PadW = CentredSpan(W + 2, N), PadH = CentredSpan(H + 2, N);
    Layout.Pad = QRect(Q + (N - PadW) / 2, Q + (N - PadH) / 2, PadW, PadH);
    Layout.LogoRect = QRectF(Grid.Side / 2.0 - W / 2, Grid.Side / 2.0 - H / 2, W, H);
  }
  return Layout;
}

bool DrawnDark(const TModuleGrid& Grid, const TDesignLayout& Layout, int Row, int Column) {
  if (!Grid.IsDark(Row, Column)) return false;
  const QPoint Cell(Column, Row);
  if (Layout.Pad.contains(Cell)) return false;
  for (const QRect& Finder : Layout.Finders)
    if (Finder.contains(Cell)) return false;
  return true;
}

void DarkShapes(const TModuleGrid& Grid, const TCodeStyle& Style, const TDesignLayout& Layout,
                TShapeVisitor& To) {
  const int Side = Grid.Side;
  for (int Row = 0; Row < Side; ++Row) {
    int Column = 0;
    while (Column < Side) {
      if (!DrawnDark(Grid, Layout, Row, Column)) {
        ++Column;
        continue;
      }
      const int Start = Column;
      while (Column < Side && DrawnDark(Grid, Layout, Row, Column))
        ++Column;
      const int End = Column; // one past the run
      switch (Style.Shape) {
      case msSquare:
        To.Visit(TShape{double(Start), double(Row), double(End - Start), 1.0, {0, 0, 0, 0}});
        break;
      case msDots: {
        const double Inset = (1 - kDotDiameter) / 2, R = kDotDiameter / 2;
        for (int C = Start; C < End; ++C)
          To.Visit(TShape{C + Inset, Row + Inset, kDotDiameter, kDotDiameter, {R, R, R, R}});
        break;
      }
      case msRounded: {
        // A corner of the run is rounded where the module above or below its end is light.
        const auto Open = [&](int R, int C) { return DrawnDark(Grid, Layout, R, C) ? 0.0 : 0.5; };
        To.Visit(TShape{double(Start),
                        double(Row),
                        double(End - Start),
                        1.0,
                        {Open(Row - 1, Start), Open(Row - 1, End - 1), Open(Row + 1, End - 1),
                         Open(Row + 1, Start)}});
        break;
      }
      }
    }
  }
}

void FinderShapes(const TCodeStyle& Style, const TDesignLayout& Layout, TShapeVisitor& To) {
  if (Layout.SymbolSide == 0) return;
  const bool Round = Style.FinderShape == fsRounded;
  const double Outer = Round ? kFinderOuterRadius : 0, Inner = Round ? Outer - 1 : 0;
  const double Centre = Round ? kFinderCentreRadius : 0;
  for (const QRect& F : Layout.Finders) {
    const double X = F.x(), Y = F.y();
    To.Visit(TShape{X, Y, 7, 7, {Outer, Outer, Outer, Outer}});
    To.Visit(TShape{X + 1, Y + 1, 5, 5, {Inner, Inner, Inner, Inner}, true});
    To.Visit(TShape{X + 2, Y + 2, 3, 3, {Centre, Centre, Centre, Centre}});
  }
}

void PaintFrameMarks(QPainter& Painter, int Side, const TCodeStyle& Style) {
  if (!Style.Frame) return;
  QPainterPath Marks;
  Marks.setFillRule(Qt::WindingFill); // the arms of a mark overlap in its corner
  ForEachFrameArm(Side, Style.MarkLength,
                  [&Marks](int X, int Y, int W, int H) { Marks.addRect(X, Y, W, H); });
  Painter.fillPath(Marks, QColor::fromRgb(Style.FrameColor));
}

void PaintDesign(QPainter& Painter, const QRectF& Target, const TModuleGrid& Grid,
                 const TCodeStyle& Style, bool Smooth) {
  const int Side = Grid.Side;
  if (Side <= 0) return;
  Painter.save();
  Painter.setRenderHint(QPainter::Antialiasing, Smooth);
  Painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  Painter.setPen(Qt::NoPen);
  Painter.translate(Target.topLeft());
  Painter.scale(Target.width() / Side, Target.height() / Side);
  Painter.fillRect(QRectF(0, 0, Side, Side), QColor::fromRgb(Style.Light));

  const TDesignLayout Layout = DesignLayoutOf(Grid, Style);
  if (Smooth) {
    {
      TShapeFiller Dark(Painter, QColor::fromRgb(Style.Dark));
      DarkShapes(Grid, Style, Layout, Dark);
    }
    if (Style.Shape == msRounded) {
      // Runs of two rows meet at a fraction of a pixel; each smoothed edge lets a little of the
      // light through, which shows as a seam. A bar across every such meeting covers it; it lies
      // inside the two dark modules, so it changes nothing else.
      for (int Row = 0; Row + 1 < Side; ++Row)
        for (int Column = 0; Column < Side; ++Column)
          if (DrawnDark(Grid, Layout, Row, Column) && DrawnDark(Grid, Layout, Row + 1, Column))
            Painter.fillRect(QRectF(Column, Row + 0.75, 1, 0.5), QColor::fromRgb(Style.Dark));
    }
  } else { // a vector output: one path, as the plain picture's
    TPathBuilder Dark;
    DarkShapes(Grid, Style, Layout, Dark);
    if (!Dark.Path.isEmpty()) Painter.fillPath(Dark.Path, QColor::fromRgb(Style.Dark));
  }
  {
    TPathBuilder Finders;
    FinderShapes(Style, Layout, Finders);
    Painter.setRenderHint(QPainter::Antialiasing, Smooth && Style.FinderShape == fsRounded);
    if (!Finders.Path.isEmpty())
      Painter.fillPath(Finders.Path, QColor::fromRgb(Style.FinderDark()));
    Painter.setRenderHint(QPainter::Antialiasing, Smooth);
  }
  PaintFrameMarks(Painter, Side, Style);
  if (Style.Logo && !Layout.Pad.isEmpty()) {
    if (Style.Logo->IsSvg()) {
      QSvgRenderer Renderer(Style.Logo->Svg);
      Renderer.setAspectRatioMode(Qt::KeepAspectRatio);
      Renderer.render(&Painter, Layout.LogoRect);
    } else {
      // A PDF stores a PNG logo without loss, not as JPEG (whose flat colours band).
      Painter.setRenderHint(QPainter::LosslessImageRendering, Style.Logo->Lossless);
      Painter.drawImage(Layout.LogoRect, Style.Logo->Bitmap);
    }
  }
  Painter.restore();
}
