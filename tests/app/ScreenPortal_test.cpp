// Read from Screen on Wayland: the screenshot portal's Request/Response exchange, against a
// portal of the test's own on a private session bus (dbus-daemon), as xdg-desktop-portal
// documents it: the request's object path made from the caller's bus name and its handle_token,
// the Response signal with code 0 and the picture's file URI, 1 when the user cancelled.
#include "ScreenPortal.h"
#include "support/TempFolder.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

class TFakePortal : public QDBusVirtualObject {
public:
  uint Code = 0;
  QString Uri;
  QVariantMap Options; // of the last call

  QString introspect(const QString&) const override { return QString(); }
  bool handleMessage(const QDBusMessage& Message, const QDBusConnection& Connection) override {
    if (Message.member() != QLatin1String("Screenshot")) return false;
    Options = qdbus_cast<QVariantMap>(Message.arguments().value(1));
    QString Sender = Message.service().mid(1);
    Sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString Request = QStringLiteral("/org/freedesktop/portal/desktop/request/") + Sender +
                            QLatin1Char('/') +
                            Options.value(QStringLiteral("handle_token")).toString();
    Connection.send(Message.createReply(QVariant::fromValue(QDBusObjectPath(Request))));
    QDBusMessage Response = QDBusMessage::createSignal(
        Request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    Response << Code << QVariantMap{{QStringLiteral("uri"), Uri}};
    Connection.send(Response);
    return true;
  }
};

TEST(ScreenPortal, ThePictureComesThroughTheRequestAndACancelIsReported) {
  QProcess Daemon;
  Daemon.start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1")});
  if (!Daemon.waitForStarted(5000) || !Daemon.waitForReadyRead(5000))
    GTEST_SKIP() << "no dbus-daemon";
  const QString Address = QString::fromUtf8(Daemon.readLine()).trimmed();
  qputenv("DBUS_SESSION_BUS_ADDRESS", Address.toUtf8());

  QDBusConnection Bus = QDBusConnection::connectToBus(Address, QStringLiteral("fake-portal"));
  ASSERT_TRUE(Bus.isConnected());
  EXPECT_FALSE(ScreenshotPortalAvailable()); // nobody owns the name yet
  ASSERT_TRUE(Bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
  TFakePortal Portal;
  ASSERT_TRUE(
      Bus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), &Portal));
  EXPECT_TRUE(ScreenshotPortalAvailable());

  TTempFolder Folder;
  QImage Screen(320, 200, QImage::Format_RGB32);
  Screen.fill(QColor(10, 120, 30));
  const QString File = QString::fromStdString((Folder.Path() / "Screenshot.png").string());
  ASSERT_TRUE(Screen.save(File));
  Portal.Uri = QUrl::fromLocalFile(File).toString();

  QString Error;
  const QImage Got = TakePortalScreenshot(Error, 10000);
  EXPECT_TRUE(Error.isEmpty()) << Error.toStdString();
  EXPECT_EQ(Got.convertToFormat(QImage::Format_RGB32), Screen);
  EXPECT_FALSE(Portal.Options.value(QStringLiteral("interactive")).toBool());

  Portal.Code = 1;
  Error.clear();
  EXPECT_TRUE(TakePortalScreenshot(Error, 10000).isNull());
  EXPECT_EQ(Error.toStdString(), "the screenshot was cancelled");

  Bus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
  QDBusConnection::disconnectFromBus(QStringLiteral("fake-portal"));
  Daemon.kill();
  Daemon.waitForFinished(5000);
}

} // namespace
