// Start of the program: the application titled "Marbeck", the main window with its hidden About
// dialog, the settings load on show, and the message loop until the main window closes.
#include "ApplicationFont.h"
#include "Unit1.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[]) {
  QApplication Application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Marbeck"));
  QApplication::setFont(WindowFont());

  TForm1 Form1;
  SetMessageHook([&Form1](const std::u16string& Message) {
    QMessageBox::information(&Form1, QStringLiteral("Marbeck"), QString::fromStdU16String(Message));
  });
  Form1.show();
  Form1.activateWindow();
  const int Result = QApplication::exec();
  SetMessageHook(nullptr);
  return Result;
}
