#include "Controls.h"

#include "render/Raster.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QWheelEvent>

QColor ResolveColor(TColor Color) {
  const unsigned Top = Color >> 24;
  if (Top == 0) return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
  if (Top == 0xFF) {
    const QPalette Palette = QApplication::palette();
    switch (Color & 0xFF) {
    case 0:
      return Palette.color(QPalette::Button); // scroll bar
    case 1:
      return Palette.color(QPalette::Window); // desktop
    case 2:
    case 13:
    case 27:
    case 29:
      return Palette.color(QPalette::Highlight);
    case 3:
    case 28:
      return Palette.color(QPalette::Inactive, QPalette::Highlight);
    case 4:
    case 30:
      return Palette.color(QPalette::Window); // menu, menu bar
    case 5:
      return Palette.color(QPalette::Base); // window
    case 6:
      return Palette.color(QPalette::Shadow); // window frame
    case 7:
    case 8:
      return Palette.color(QPalette::WindowText);
    case 9:
    case 14:
      return Palette.color(QPalette::HighlightedText);
    case 10:
    case 11:
    case 15:
    case 22:
      return Palette.color(QPalette::Button);
    case 12:
      return Palette.color(QPalette::Dark); // application work space
    case 16:
      return Palette.color(QPalette::Mid); // button shadow
    case 17:
    case 19:
      return Palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
      return Palette.color(QPalette::ButtonText);
    case 20:
      return Palette.color(QPalette::Light); // button highlight
    case 21:
      return Palette.color(QPalette::Shadow); // 3-D dark shadow
    case 23:
      return Palette.color(QPalette::ToolTipText);
    case 24:
      return Palette.color(QPalette::ToolTipBase);
    case 26:
      return Palette.color(QPalette::Link);
    default:
      return Palette.color(QPalette::WindowText);
    }
  }
  // clNone, clDefault and other special values have no colour of their own.
  return QColor(Qt::black);
}

TColor PlainColor(QColor Color) {
  return static_cast<TColor>(Color.red()) | (static_cast<TColor>(Color.green()) << 8) |
         (static_cast<TColor>(Color.blue()) << 16);
}

// ---- what a screen reader sees of the swatches and the picture box ----

namespace {

class TSwatchAccessible : public QAccessibleWidget {
public:
  explicit TSwatchAccessible(QWidget* Swatch) : QAccessibleWidget(Swatch, QAccessible::Button) {}
  QStringList actionNames() const override {
    return QAccessibleWidget::actionNames() << pressAction();
  }
  void doAction(const QString& Action) override {
    if (Action == pressAction() && widget()->isEnabled())
      static_cast<TColorSwatch*>(widget())->Press();
    else
      QAccessibleWidget::doAction(Action);
  }
};

QAccessibleInterface* ControlsAccessible(const QString& ClassName, QObject* Object) {
  auto* Widget = qobject_cast<QWidget*>(Object);
  if (!Widget) return nullptr;
  if (ClassName == QLatin1String("TColorSwatch")) return new TSwatchAccessible(Widget);
  if (ClassName == QLatin1String("TPictureBox"))
    return new QAccessibleWidget(Widget, QAccessible::Graphic);
  return nullptr;
}

void InstallControlsAccessible() {
  static const bool Installed = [] {
    QAccessible::installFactory(ControlsAccessible);
    return true;
  }();
  (void)Installed;
}

} // namespace

// ---- TColorSwatch ----

TColorSwatch::TColorSwatch(QWidget* Parent) : QWidget(Parent) {
  InstallControlsAccessible();
  setFocusPolicy(Qt::StrongFocus);
  SetColor(0);
}

void TColorSwatch::SetColor(TColor Color) {
  FColor = Color;
  setAccessibleDescription(ShownColor().name(QColor::HexRgb).toUpper());
  update();
}

void TColorSwatch::paintEvent(QPaintEvent*) {
  QPainter Painter(this);
  Painter.fillRect(rect(), ShownColor());
  Painter.setPen(QPen(Qt::black, 1));
  Painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (hasFocus()) {
    // White under black dots: visible on a swatch of any colour.
    const QRect Ring = rect().adjusted(2, 2, -3, -3);
    Painter.setPen(QPen(Qt::white, 1));
    Painter.drawRect(Ring);
    Painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    Painter.drawRect(Ring);
  }
}

void TColorSwatch::keyPressEvent(QKeyEvent* Event) {
  const int Key = Event->key();
  const bool Activates = Key == Qt::Key_Space || Key == Qt::Key_Return || Key == Qt::Key_Enter;
  if (!Activates || (Event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
    QWidget::keyPressEvent(Event);
    return;
  }
  Event->accept();
  if (!Event->isAutoRepeat()) emit KeyPress();
}

void TColorSwatch::focusInEvent(QFocusEvent* Event) {
  QWidget::focusInEvent(Event);
  update();
}

void TColorSwatch::focusOutEvent(QFocusEvent* Event) {
  QWidget::focusOutEvent(Event);
  update();
}

void TColorSwatch::mousePressEvent(QMouseEvent* Event) {
  Event->accept();
  emit MouseDown();
}

void TColorSwatch::mouseReleaseEvent(QMouseEvent* Event) {
  Event->accept();
  emit MouseUp();
}

// ---- TCover ----

TCover::TCover(QWidget* Parent) : QWidget(Parent) {}

void TCover::paintEvent(QPaintEvent*) {
  QPainter Painter(this);
  Painter.fillRect(rect(), palette().color(QPalette::Button));
  Painter.setPen(QPen(QColor(192, 192, 192), 1));
  Painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TCover::mousePressEvent(QMouseEvent* Event) {
  Event->accept();
}
void TCover::mouseReleaseEvent(QMouseEvent* Event) {
  Event->accept();
}

// ---- TPictureBox ----

TPictureBox::TPictureBox(QWidget* Parent) : QWidget(Parent) {
  InstallControlsAccessible();
  setCursor(Qt::OpenHandCursor); // the picture can be dragged out
}

void TPictureBox::SetPicture(QImage Picture) {
  FPicture = std::move(Picture);
  FHasPicture = true;
  update();
}

QImage TPictureBox::Shown() const {
  if (!FHasPicture) return QImage();
  return StretchNearest(FPicture, width(), height());
}

void TPictureBox::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton) FPressedAt = Event->position().toPoint();
  QWidget::mousePressEvent(Event);
}

void TPictureBox::mouseMoveEvent(QMouseEvent* Event) {
  if ((Event->buttons() & Qt::LeftButton) && FPressedAt &&
      (Event->position().toPoint() - *FPressedAt).manhattanLength() >=
          QApplication::startDragDistance()) {
    FPressedAt.reset();
    emit DragStarted();
    return;
  }
  QWidget::mouseMoveEvent(Event);
}

void TPictureBox::mouseReleaseEvent(QMouseEvent* Event) {
  FPressedAt.reset();
  QWidget::mouseReleaseEvent(Event);
}

void TPictureBox::paintEvent(QPaintEvent*) {
  const QImage Image = Shown();
  if (Image.isNull()) return;
  QPainter Painter(this);
  Painter.drawImage(0, 0, Image);
}

// ---- TZoomBar ----

TZoomBar::TZoomBar(QWidget* Parent) : QScrollBar(Qt::Horizontal, Parent) {
  setFocusPolicy(Qt::StrongFocus);
  setInvertedControls(false); // Up and Page Up enlarge, as Right does
  connect(this, &QAbstractSlider::valueChanged, this, &TZoomBar::ShowZoomTip);
  ShowZoomTip(value());
}

void TZoomBar::ShowZoomTip(int Zoom) {
  setToolTip(tr("Zoom: %1 pixels").arg(Zoom));
}

void TZoomBar::TurnWheel(const QWheelEvent* Event) {
  const QPoint Angle = Event->angleDelta();
  int Turn = Angle.y() != 0 ? Angle.y() : Angle.x(); // 120 a notch
  if (Event->inverted()) Turn = -Turn;
  FWheelRest += Turn * WheelStep;
  const int Pixels = FWheelRest / 120;
  FWheelRest -= Pixels * 120;
  if (Pixels != 0) setValue(value() + Pixels);
}

void TZoomBar::wheelEvent(QWheelEvent* Event) {
  TurnWheel(Event);
  Event->accept();
}

void TZoomBar::keyPressEvent(QKeyEvent* Event) {
  if (Event->modifiers() == Qt::NoModifier &&
      (Event->key() == Qt::Key_PageUp || Event->key() == Qt::Key_PageDown)) {
    setValue(value() + (Event->key() == Qt::Key_PageUp ? PageKeyStep : -PageKeyStep));
    Event->accept();
    return;
  }
  QScrollBar::keyPressEvent(Event);
}

void TZoomBar::paintEvent(QPaintEvent* Event) {
  QScrollBar::paintEvent(Event);
  if (!hasFocus()) return;
  QStylePainter Painter(this);
  QStyleOptionFocusRect Option;
  Option.initFrom(this);
  // The frame shows whenever the bar has the focus, however it came there.
  Option.state |= QStyle::State_KeyboardFocusChange;
  Option.backgroundColor = palette().color(QPalette::Window);
  Painter.drawPrimitive(QStyle::PE_FrameFocusRect, Option);
}
