#include "ScreenPortal.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Receives the Response signal of one request.
class TPortalResponse : public QObject {
  Q_OBJECT
public:
  bool Answered = false;
  uint Code = 2;
  QVariantMap Results;
signals:
  void Done();
public slots:
  void Response(uint ResponseCode, const QVariantMap& ResponseResults) {
    Answered = true;
    Code = ResponseCode;
    Results = ResponseResults;
    emit Done();
  }
};

} // namespace

bool ScreenshotPortalAvailable() {
  QDBusConnection Bus = QDBusConnection::sessionBus();
  if (!Bus.isConnected() || !Bus.interface()) return false;
  if (Bus.interface()->isServiceRegistered(kService)) return true;
  const QDBusReply<QStringList> Startable =
      Bus.interface()->call(QStringLiteral("ListActivatableNames"));
  return Startable.isValid() && Startable.value().contains(kService);
}

QImage TakePortalScreenshot(QString& Error, int TimeoutMs) {
  QDBusConnection Bus = QDBusConnection::sessionBus();
  if (!Bus.isConnected()) {
    Error = QCoreApplication::translate("TScreenPortal",
                                        "there is no session bus to reach the desktop portal");
    return QImage();
  }
  // The request's object path is known before the call (xdg-desktop-portal's Request
  // documentation), so the answer cannot slip by between the call and the subscription.
  const QString Token = QStringLiteral("marbeck%1").arg(QRandomGenerator::global()->generate());
  QString Sender = Bus.baseService().mid(1);
  Sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  QString RequestPath = kPath + QStringLiteral("/request/") + Sender + QLatin1Char('/') + Token;

  TPortalResponse Answer;
  QEventLoop Loop;
  QObject::connect(&Answer, &TPortalResponse::Done, &Loop, &QEventLoop::quit);
  const QString Request = QStringLiteral("org.freedesktop.portal.Request");
  const QString Signal = QStringLiteral("Response");
  const char* Slot = SLOT(Response(uint, QVariantMap));
  Bus.connect(kService, RequestPath, Request, Signal, &Answer, Slot);

  QDBusMessage Call = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
      QStringLiteral("Screenshot"));
  Call << QString()
       << QVariantMap{{QStringLiteral("handle_token"), Token},
                      {QStringLiteral("modal"), true},
                      {QStringLiteral("interactive"), false}};
  QDBusPendingCallWatcher Watcher(Bus.asyncCall(Call, TimeoutMs));
  QObject::connect(&Watcher, &QDBusPendingCallWatcher::finished, &Loop, [&] {
    if (Watcher.isError()) {
      Error = QCoreApplication::translate("TScreenPortal", "the desktop portal refused: %1")
                  .arg(Watcher.error().message());
      Loop.quit();
      return;
    }
    // An older portal may answer on another path than the one asked for.
    const QDBusObjectPath Handle = Watcher.reply().arguments().value(0).value<QDBusObjectPath>();
    if (!Handle.path().isEmpty() && Handle.path() != RequestPath) {
      Bus.disconnect(kService, RequestPath, Request, Signal, &Answer, Slot);
      RequestPath = Handle.path();
      Bus.connect(kService, RequestPath, Request, Signal, &Answer, Slot);
    }
  });
  QTimer::singleShot(TimeoutMs, &Loop, &QEventLoop::quit);
  if (!Answer.Answered && Error.isEmpty()) Loop.exec();
  Bus.disconnect(kService, RequestPath, Request, Signal, &Answer, Slot);

  if (!Error.isEmpty()) return QImage();
  if (!Answer.Answered) {
    Error = QCoreApplication::translate("TScreenPortal", "the desktop portal did not answer");
    return QImage();
  }
  if (Answer.Code != 0) {
    Error = Answer.Code == 1
                ? QCoreApplication::translate("TScreenPortal", "the screenshot was cancelled")
                : QCoreApplication::translate("TScreenPortal",
                                              "the desktop portal refused the screenshot");
    return QImage();
  }
  const QUrl Uri(Answer.Results.value(QStringLiteral("uri")).toString());
  const QImage Picture = Uri.isLocalFile() ? QImage(Uri.toLocalFile()) : QImage();
  if (Picture.isNull())
    Error = QCoreApplication::translate("TScreenPortal", "the portal's picture %1 cannot be read")
                .arg(Uri.toString());
  return Picture;
}

#include "ScreenPortal.moc"
