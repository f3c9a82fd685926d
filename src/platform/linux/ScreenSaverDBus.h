#pragma once

#include <QObject>

namespace mnemora {

// The session's screen saver service (org.freedesktop.ScreenSaver): its GetActive answer
// and its ActiveChanged signal. The service may come and go during the session; while
// it is absent the state reads inactive.
class CScreenSaverDBus final : public QObject {
    Q_OBJECT
public:
    explicit CScreenSaverDBus(QObject* parent = nullptr);

    // Connects to the session bus. Returns what is off (one line for stderr), or an empty
    // string when the service is there.
    QString Start();
    bool IsActive() const { return active_; }

signals:
    void activeChanged(bool active);

private slots:
    void OnActiveChanged(bool active);

private:
    void AskActive();
    void Set(bool active);

    bool active_ = false;
};

} // namespace mnemora
