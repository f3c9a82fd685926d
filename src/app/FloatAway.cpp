// The float window's side of the pause when nobody is looking: the presence source, the
// tray tip, hiding under a full-screen window, and the trace of what is shown.
#include "app/MnemoraDlg.h"
#include "app/UiTrace.h"
#include "platform/DesktopPresence.h"
#include "study/AwayWatch.h"
#include "study/StudyObserver.h"

#include <QSystemTrayIcon>
#include <cstdio>

namespace mnemora {
namespace {

// Lets the desktop tests count what was shown and counted without reading the window.
class CStudyTrace final : public IStudyObserver {
public:
    void OnWordShown(const WordRecord& record, bool firstPass) override {
        PrintUiTrace(QStringLiteral("word %1 %2")
                         .arg(record.word, firstPass ? QStringLiteral("counted") : QStringLiteral("again")));
    }
};

} // namespace

void CMnemoraDlg::SetUpAway() {
    if (UiTraceOn()) {
        static CStudyTrace trace;
        study.AddObserver(&trace);
    }
    QString off;
    presence = CreatePresenceSource(windowHandle(), &off);
    if (!presence) {
        std::fprintf(stderr, "mnemora: %s\n", off.toUtf8().constData());
        return;
    }
    awayWatch = std::make_unique<CAwayWatch>(*presence, study);
    connect(awayWatch.get(), &CAwayWatch::pausedChanged, this, [this](bool paused) {
        const QString tip = paused ? QStringLiteral("Mnemora（已暂停）") : QStringLiteral("Mnemora");
        if (trayIcon != nullptr)
            trayIcon->setToolTip(tip);
        PrintUiTrace(QStringLiteral("tray tip ") + tip);
    });
    connect(awayWatch.get(), &CAwayWatch::coveredChanged, this, &CMnemoraDlg::OnCovered);
    awayWatch->LoadSettings();
}

void CMnemoraDlg::OnCovered(bool covered) {
    if (covered) {
        if (isVisible()) {
            coveredHidden = true;
            hide();
        }
        return;
    }
    if (coveredHidden && study.floatVisible)
        show(); // without activation: the window the user works in keeps the keyboard
    coveredHidden = false;
}

void CMnemoraDlg::ReloadAwaySettings() {
    if (awayWatch)
        awayWatch->LoadSettings();
}

void CMnemoraDlg::NoteUserInput() {
    if (presence)
        presence->NoteActivity();
}

} // namespace mnemora
