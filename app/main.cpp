// Start of the program: the application titled "Marbeck", the main window with its hidden About
// dialog, the settings load on show, and the message loop until the main window closes.
#include "ApplicationFont.h"
#include "Unit1.h"
#include "platform/Memory.h"
#include "platform/Messages.h"
#include "render/PictureFile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>

namespace {

// The installed icon from the icon theme; when the program runs from its build folder, the copy
// drawn there at build time.
QIcon ProgramIcon() {
  const QString Id = QStringLiteral(MARBECK_APP_ID);
  if (QIcon::hasThemeIcon(Id)) return QIcon::fromTheme(Id);
  QIcon Icon;
  const QDir Folder(QStringLiteral(MARBECK_BUILD_ICON_DIR));
  for (const QFileInfo& File : Folder.entryInfoList({Id + QStringLiteral("-*.png")}, QDir::Files))
    Icon.addFile(File.filePath());
  return Icon;
}

} // namespace

int main(int argc, char* argv[]) {
  KeepFreedMemoryForReuse();
  QApplication Application(argc, argv);
  AllowLargePictures(); // a pasted or dropped picture is decoded by Qt itself
  QApplication::setApplicationName(QStringLiteral("Marbeck"));
  QGuiApplication::setDesktopFileName(QStringLiteral(MARBECK_APP_ID));
  QApplication::setWindowIcon(ProgramIcon());
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
