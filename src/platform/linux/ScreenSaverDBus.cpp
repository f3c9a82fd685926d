#include "platform/linux/ScreenSaverDBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace mnemora {
namespace {
const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");
// Desktops publish the object under either path.
const QString kPaths[] = {QStringLiteral("/org/freedesktop/ScreenSaver"), QStringLiteral("/ScreenSaver")};
} // namespace

CScreenSaverDBus::CScreenSaverDBus(QObject* parent) : QObject(parent) {}

QString CScreenSaverDBus::Start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return QStringLiteral("no session bus: a locked screen is seen only through the X screen saver");
    for (const QString& path : kPaths)
        bus.connect(kService, path, kInterface, QStringLiteral("ActiveChanged"), this,
                    SLOT(OnActiveChanged(bool)));
    auto* watcher = new QDBusServiceWatcher(
        kService, bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { AskActive(); });
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { Set(false); });
    QDBusConnectionInterface* names = bus.interface();
    if (names == nullptr || !names->isServiceRegistered(kService).value())
        return QStringLiteral("no %1 on the session bus: a locked screen is seen only through the X "
                              "screen saver")
            .arg(kService);
    AskActive();
    return QString();
}

void CScreenSaverDBus::AskActive() {
    const QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPaths[0], kInterface, QStringLiteral("GetActive"));
    auto* pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<bool> reply = *w;
        if (reply.isValid())
            Set(reply.value());
        w->deleteLater();
    });
}

void CScreenSaverDBus::OnActiveChanged(bool active) {
    Set(active);
}

void CScreenSaverDBus::Set(bool active) {
    if (active == active_)
        return;
    active_ = active;
    emit activeChanged(active);
}

} // namespace mnemora
