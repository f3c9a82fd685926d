// The float window's commands: both context menus, the tray icon, the window menu and About.
#include "app/MnemoraDlg.h"
#include "app/ProgramIcon.h"
#include "app/StudyExtras.h"
#include "app/menus/AboutDlg.h"
#include "app/menus/ContextMenus.h"
#include "app/menus/MenuCommands.h"
#include "study/SpeechCoach.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace mnemora {

MenuState CMnemoraDlg::CurrentMenuState() const {
    MenuState state;
    state.floatVisible = study.floatVisible;
    state.autoPlay = study.autoPlay;
    state.showSentence = study.showSentence;
    state.backTransparent = backTransparent;
    state.topMost = topMost;
    state.speechProblem = speech->Problem();
    state.canUndo = extras->Known().CanUndo();
    return state;
}

void CMnemoraDlg::SetUpMenus() {
    delete floatMenu;
    // Without a tray the statistics command would have no home, so the float menu carries it.
    floatMenuHasStats = !QSystemTrayIcon::isSystemTrayAvailable();
    floatMenu = BuildFloatMenu(floatMenuHasStats, this);
    floatMenu->setObjectName(QStringLiteral("floatMenu"));
    ConnectMenu(
        floatMenu, [this] { return CurrentMenuState(); }, [this](int id) { OnCommand(id); });
}

void CMnemoraDlg::SetUpTray() {
    trayMenu = BuildTrayMenu(this);
    trayMenu->setObjectName(QStringLiteral("trayMenu"));
    ConnectMenu(
        trayMenu, [this] { return CurrentMenuState(); }, [this](int id) { OnCommand(id); });
    trayIcon = new QSystemTrayIcon(ProgramIcon(), this);
    trayIcon->setToolTip(QStringLiteral("Mnemora"));
    trayIcon->setContextMenu(trayMenu);
    connect(trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { OnTrayActivated(reason); });
    // Shown even when no tray exists yet: the icon appears once a tray host starts.
    trayIcon->show();
}

void CMnemoraDlg::OnTrayActivated(int reason) {
    if (reason == QSystemTrayIcon::DoubleClick)
        study.OnTrayDoubleClick();
}

void CMnemoraDlg::ShowFloatMenu(const QPoint& globalPos) {
    if (floatMenuHasStats == QSystemTrayIcon::isSystemTrayAvailable())
        SetUpMenus(); // a tray came or went since the menu was built
    floatMenu->popup(globalPos);
}

void CMnemoraDlg::ShowAbout() {
    CAboutDlg about(ProgramIcon(), this);
    about.exec();
}

void CMnemoraDlg::ShowWindowMenu() {
    QMenu menu(this);
    menu.addSeparator();
    QAction* about = menu.addAction(QString::fromLatin1(cmd::kSysAboutText));
    about->setData(cmd::kSysAbout);
    if (menu.exec(mapToGlobal(QPoint(0, 0))) == about)
        ShowAbout();
}

void CMnemoraDlg::OnCommand(int id) {
    switch (id) {
    case cmd::kExit:
        OnExit();
        return;
    case cmd::kAbout:
        ShowAbout();
        return;
    case cmd::kTopMost:
        OnTopMost();
        return;
    case cmd::kShowSentence:
        OnShowSentence();
        return;
    case cmd::kTextColor:
        OnTextFont();
        return;
    case cmd::kBackColor:
        OnBackColor();
        return;
    case cmd::kBackTransparent:
        OnBackTransparent();
        return;
    case cmd::kSpeakWord:
        OnSpeakWord();
        return;
    default:
        // "I know this word", its undo and the progress window; then show/hide, options,
        // playback mode and statistics, which belong to the study cycle.
        if (!extras->OnCommand(id))
            study.OnCommand(id);
    }
}

} // namespace mnemora
