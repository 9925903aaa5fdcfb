// TFormAbout: the modal About dialog with the program's name, version, credit, terms and a logo
// drawn by the program itself.
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QFrame;

// The logo: a small QR-like emblem and the program's name, painted on a transparent ground.
class TLogo : public QWidget {
  Q_OBJECT
public:
  explicit TLogo(QWidget* Parent);
signals:
  void Clicked();

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
};

class TFormAbout : public QDialog {
  Q_OBJECT
public:
  // HomePage: the project's home page; empty leaves the link label out and the logo inert.
  explicit TFormAbout(QWidget* Parent, QUrl HomePage = DefaultHomePage());
  static QUrl DefaultHomePage();

  // Opens a web address (tests watch it); by default QDesktopServices.
  std::function<void(const QUrl& Url)> OpenUrl;

  QFrame* Panel1 = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Version = nullptr;
  QLabel* Date = nullptr;
  TLogo* Image1 = nullptr;
  QLabel* Author = nullptr;
  QLabel* Label2 = nullptr; // the link label; none without a home page
  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* OKButton = nullptr;

  void OKButtonClick();
  void Image1Click();
  void Label2Click();

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  QUrl FHomePage;
};
