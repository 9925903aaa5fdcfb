// Small controls of the main window: the colour swatches, the cover over the frame colour
// swatch, the preview picture box and the zoom bar.
#pragma once

#include "util/ColorText.h"

#include <QColor>
#include <QImage>
#include <QScrollBar>
#include <QWidget>
#include <optional>

class QWheelEvent;

// The colour a stored colour value stands for: a plain red-green-blue value, or one of the
// system colours (top byte 0xFF) taken from the application's palette.
QColor ResolveColor(TColor Color);
// A plain colour value of a Qt colour (red in the lowest byte).
TColor PlainColor(QColor Color);

// A rectangle with a one-pixel black outline, filled with its colour. Every mouse button acts
// alike; the window decides what a press and a release do. It takes the focus by Tab or a click,
// shows it as a dotted ring inside the outline, and reports Space and Enter as KeyPress. To a
// screen reader it is a push button (its accessible name set by the window) whose press action
// is KeyPress, with its colour ("#FF0000") as its description.
class TColorSwatch : public QWidget {
  Q_OBJECT
public:
  explicit TColorSwatch(QWidget* Parent);
  TColor Color() const { return FColor; }
  void SetColor(TColor Color);
  QColor ShownColor() const { return ResolveColor(FColor); }
  // What Space does: KeyPress (the screen reader's press action).
  void Press() { emit KeyPress(); }

signals:
  void MouseDown();
  void MouseUp();
  void KeyPress();

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;

private:
  TColor FColor = 0;
};

// A rectangle in the button-face colour with a silver outline. Lying over a swatch, it takes the
// mouse presses on that spot and does nothing with them.
class TCover : public QWidget {
  Q_OBJECT
public:
  explicit TCover(QWidget* Parent);

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
};

// The preview picture box: holds the current picture (or none) and shows it stretched to its
// own size with nearest-neighbour sampling. To a screen reader it is a graphic whose name and
// description the window sets. A press of the left button and a move beyond the
// drag distance asks the window to drag the picture out.
class TPictureBox : public QWidget {
  Q_OBJECT
public:
  explicit TPictureBox(QWidget* Parent);
  bool HasPicture() const { return FHasPicture; }
  const QImage& Picture() const { return FPicture; }
  QImage& Picture() { return FPicture; }
  void SetPicture(QImage Picture);
  // What the box shows: the picture stretched to the box's size (empty without a picture).
  QImage Shown() const;

signals:
  void DragStarted();

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

private:
  QImage FPicture;
  bool FHasPicture = false;
  std::optional<QPoint> FPressedAt;
};

// The zoom bar: a horizontal scroll bar whose position is the side of the preview in pixels.
// Right and Up add one pixel, Left and Down take one away, Page Up and Page Down move by
// PageKeyStep, and a notch of the mouse wheel moves by WheelStep (turned away from the user: a
// larger picture), over the bar as over the preview. A click in the trough keeps moving by the
// bar's page step. Its tool tip tells the current zoom; it shows the focus with the style's
// focus frame.
class TZoomBar : public QScrollBar {
  Q_OBJECT
public:
  static constexpr int PageKeyStep = 10;
  static constexpr int WheelStep = 10;

  explicit TZoomBar(QWidget* Parent);
  // Moves the zoom for a turn of the wheel; the window hands on the turns over the preview.
  void TurnWheel(const QWheelEvent* Event);

protected:
  void keyPressEvent(QKeyEvent* Event) override;
  void wheelEvent(QWheelEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;

private:
  void ShowZoomTip(int Zoom);
  int FWheelRest = 0; // a turn too small for a whole pixel yet, in 1/120 of a pixel
};
