// Small controls of the main window: the colour swatches, the cover over the frame colour
// swatch, and the preview picture box.
#pragma once

#include "util/ColorText.h"

#include <QColor>
#include <QImage>
#include <QWidget>
#include <optional>

// The colour a stored colour value stands for: a plain red-green-blue value, or one of the
// system colours (top byte 0xFF) taken from the application's palette.
QColor ResolveColor(TColor Color);
// A plain colour value of a Qt colour (red in the lowest byte).
TColor PlainColor(QColor Color);

// A rectangle with a one-pixel black outline, filled with its colour. Every mouse button acts
// alike; the window decides what a press and a release do.
class TColorSwatch : public QWidget {
  Q_OBJECT
public:
  explicit TColorSwatch(QWidget* Parent);
  TColor Color() const { return FColor; }
  void SetColor(TColor Color);
  QColor ShownColor() const { return ResolveColor(FColor); }

signals:
  void MouseDown();
  void MouseUp();

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

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
// own size with nearest-neighbour sampling. A press of the left button and a move beyond the
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
