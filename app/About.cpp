#include "About.h"

#include "ApplicationFont.h"

#include <QDesktopServices>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const char kTerms[] =
    "MIT License\n"
    "\n"
    "Copyright (c) 2026 The Marbeck developers\n"
    "\n"
    "Permission is hereby granted, free of charge, to any person obtaining a copy of this "
    "software and associated documentation files (the \"Software\"), to deal in the Software "
    "without restriction, including without limitation the rights to use, copy, modify, merge, "
    "publish, distribute, sublicense, and/or sell copies of the Software, and to permit persons "
    "to whom the Software is furnished to do so, subject to the following conditions:\n"
    "\n"
    "The above copyright notice and this permission notice shall be included in all copies or "
    "substantial portions of the Software.\n"
    "\n"
    "THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, "
    "INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR "
    "PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE "
    "FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR "
    "OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER "
    "DEALINGS IN THE SOFTWARE.\n";

} // namespace

// ---- TLogo ----

TLogo::TLogo(QWidget* Parent) : QWidget(Parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void TLogo::paintEvent(QPaintEvent*) {
  QPainter Painter(this);
  // The emblem: three finder squares and a scatter of modules on a 10 x 10 grid of 4-pixel cells.
  const int Cell = 4;
  const QPoint Origin(3, 3);
  const auto Module = [&](int X, int Y) {
    Painter.fillRect(QRect(Origin + QPoint(X * Cell, Y * Cell), QSize(Cell, Cell)),
                     QColor(20, 40, 90));
  };
  for (const QPoint Corner : {QPoint(0, 0), QPoint(7, 0), QPoint(0, 7)}) {
    for (int I = 0; I < 3; ++I) {
      Module(Corner.x() + I, Corner.y());
      Module(Corner.x() + I, Corner.y() + 2);
      Module(Corner.x(), Corner.y() + I);
      Module(Corner.x() + 2, Corner.y() + I);
    }
  }
  for (const QPoint Dot : {QPoint(4, 1), QPoint(5, 3), QPoint(4, 5), QPoint(6, 6), QPoint(8, 4),
                           QPoint(7, 8), QPoint(9, 7), QPoint(5, 8), QPoint(9, 9), QPoint(3, 4)})
    Module(Dot.x(), Dot.y());
  QFont Font = font();
  Font.setPixelSize(30);
  Font.setBold(true);
  Painter.setFont(Font);
  Painter.setPen(QColor(20, 40, 90));
  Painter.drawText(QRect(54, 0, width() - 54, height()), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("Marbeck"));
}

void TLogo::mouseReleaseEvent(QMouseEvent* Event) {
  if (rect().contains(Event->position().toPoint())) emit Clicked();
}

// ---- TFormAbout ----

QUrl TFormAbout::DefaultHomePage() {
  return QUrl(QStringLiteral(MARBECK_HOME_PAGE));
}

TFormAbout::TFormAbout(QWidget* Parent, QUrl HomePage)
    : QDialog(Parent), FHomePage(std::move(HomePage)) {
  setWindowTitle(tr("About..."));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(WindowFont());
  setFixedSize(576, 288);
  setModal(true);
  OpenUrl = [](const QUrl& Url) { QDesktopServices::openUrl(Url); };

  Panel1 = new QFrame(this);
  Panel1->setGeometry(8, 8, 561, 241);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(2);

  ProductName = new QLabel(QStringLiteral("Marbeck"), Panel1);
  QFont Title = font();
  Title.setPixelSize(17);
  Title.setBold(true);
  ProductName->setFont(Title);
  ProductName->adjustSize();
  ProductName->move(16, 16);

  Label1 = new QLabel(tr("Version:"), Panel1);
  Label1->adjustSize();
  Label1->move(16, 48);
  Version = new QLabel(QStringLiteral(MARBECK_VERSION_TEXT), Panel1);
  Version->adjustSize();
  Version->move(61, 48);
  Date = new QLabel(QStringLiteral("Jan  2016"), Panel1);
  Date->adjustSize();
  Date->move(217, 48);

  Image1 = new TLogo(Panel1);
  Image1->setGeometry(16, 112, 250, 46);
  if (!FHomePage.isEmpty()) Image1->setCursor(Qt::PointingHandCursor);
  connect(Image1, &TLogo::Clicked, this, &TFormAbout::Image1Click);

  Author = new QLabel(tr("by the Marbeck developers"), Panel1);
  Author->adjustSize();
  Author->move(16, 182);

  if (!FHomePage.isEmpty()) {
    Label2 = new QLabel(FHomePage.toDisplayString(), Panel1);
    QFont Link = font();
    Link.setUnderline(true);
    Label2->setFont(Link);
    QPalette Blue = Label2->palette();
    Blue.setColor(QPalette::WindowText, Qt::blue);
    Label2->setPalette(Blue);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->adjustSize();
    Label2->move(16, 200);
    Label2->installEventFilter(this);
  }

  Memo1 = new QPlainTextEdit(Panel1);
  Memo1->setGeometry(280, 15, 273, 209);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setPlainText(QString::fromLatin1(kTerms));
  Memo1->setFocusPolicy(
      Qt::ClickFocus); // the dialog opens with the focus on OK, so Enter closes it

  OKButton = new QPushButton(tr("OK"), this);
  OKButton->setGeometry(240, 255, 75, 25);
  OKButton->setDefault(true);
  OKButton->setAutoDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &TFormAbout::OKButtonClick);
}

bool TFormAbout::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == Label2 && Event->type() == QEvent::MouseButtonRelease) {
    Label2Click();
    return true;
  }
  return QDialog::eventFilter(Watched, Event);
}

void TFormAbout::OKButtonClick() {
  accept();
}

void TFormAbout::Image1Click() {
  if (!FHomePage.isEmpty()) OpenUrl(FHomePage);
}

void TFormAbout::Label2Click() {
  if (!FHomePage.isEmpty()) OpenUrl(FHomePage);
}
