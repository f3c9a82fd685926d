#pragma once

#include "settings/ui/OptionsHost.h"
#include "store/WordStore.h"
#include "study/StudyCycle.h"
#include "study/StudyView.h"

#include <QFont>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

class QLabel;
class QMenu;
class QSystemTrayIcon;

namespace mnemora {

class CAwayWatch;
class CSingleInstance;
class CSpeechCoach;
class CStudyExtras;
class IPresenceSource;
class IStudyObserver;
struct MenuState;

// The float window: the program's only main window and its hub. It owns the word store
// and the study cycle, draws the current text over its own background, carries the
// appearance state, the tray icon and both context menus, and runs start-up and exit.
// Where the window goes without a stored position: near the top of the given screen.
QPoint DefaultWindowPosition(const QRect& screen);
// Of the screens' available areas (the primary one first), the one that holds most of
// window, or the primary one when none holds any of it.
QRect AreaHolding(const QRect& window, const QList<QRect>& areas);
// Where window goes so that it lies wholly inside the area that holds it; a window larger
// than the area keeps its top-left corner inside.
QPoint KeepInside(const QRect& window, const QList<QRect>& areas);
// The font and label height that show the whole text wrapped to width: the font as it is
// and at least minHeight; the font made smaller when even maxHeight is too little.
struct TextFit {
    QFont font;
    int height = 0;
};
TextFit FitText(const QString& text, const QFont& font, int width, int minHeight, int maxHeight);

class CMnemoraDlg final : public QWidget, public IStudyView, public IOptionsHost {
    Q_OBJECT
public:
    // Size of the window template in dialog units, and the word label inside it.
    static constexpr int kTemplateWidthDlu = 360;
    static constexpr int kTemplateHeightDlu = 67;
    static constexpr int kWordLabelId = 1002;

    explicit CMnemoraDlg(QWidget* parent = nullptr);
    ~CMnemoraDlg() override;

    // Start-up as the program runs it: claims the single instance, sets the window up,
    // shows it and opens the selected list once the window has been drawn. False when
    // another instance runs: then nothing has been written and the window stays hidden.
    bool Start();

    // Menu commands of both context menus.
    void OnCommand(int id);
    // The exit command: position, updater, counters, timers, close.
    void OnExit();
    // Any other end of the run (window manager close, end of session, signal): position
    // and counters are saved, the updater is not started. Runs at most once.
    void SaveOnShutdown();
    // The session's request to save: a checkpoint, the study goes on.
    void SaveCheckpoint();
    // What the last save could not write, for the exit status; empty when nothing is pending.
    QString UnsavedCounters() const;

    // IStudyView
    void ShowMessage(const QString& text, MessageIcon icon) override;
    void ShowWordText(const QString& text) override;
    bool IsFloatVisible() const override;
    void ShowFloat() override;
    void HideFloat() override;
    void ArmTimer(int id, uint32_t periodMs) override;
    void KillTimer(int id) override;
    void StartMeaningDelay(uint32_t delayMs) override;
    void CancelMeaningDelay() override;
    void ShowDesktopAlert(int seconds, const QString& text) override;
    void RunOptionsSheet() override;

    // IOptionsHost
    void ShowFloatWindow() override;
    void SetAlphaLive(int value) override;
    void ChangeWordList(int category, int listIndex) override;
    void ApplySpeechOptions(const SpeechOptions& options) override;

    // "朗读单词" and the Space key.
    void OnSpeakWord();

    // Appearance commands.
    void OnTopMost();
    void OnShowSentence();
    void OnTextFont();
    void OnBackColor();
    void OnBackTransparent();

    MenuState CurrentMenuState() const;
    // Observers of the study cycle (see CStudyCycle::AddObserver).
    void AddStudyObserver(IStudyObserver* observer);
    void RemoveStudyObserver(IStudyObserver* observer);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    bool InitWindow();
    // Opens the selected list and schedules the first batch (which starts the timers).
    void OpenSelectedList();
    // Saves the window position and the counters of the words shown so far.
    void SaveState();
    // FloatPlacement.cpp
    void PlaceWindow();
    void OnScreensChanged();
    // Moves the window wholly onto the screen that holds most of it.
    void KeepOnScreen();
    // The place to store: the user's last choice, not a correction of ours.
    QPoint StoredPosition() const;
    // Grows the window downwards (or the text smaller) until the whole text shows, and
    // back to its own size when the text fits that.
    void FitWordText();
    void StartMove(const QPoint& globalPos);
    // A move of the program's own, not the user's.
    void MoveOnOwn(const QPoint& to);
    void ApplyLayering();
    void ApplyTopMost();
    void ApplyWordFont();
    void SetUpMenus();
    void SetUpTray();
    void OnTrayActivated(int reason);
    void ShowFloatMenu(const QPoint& globalPos);
    void ShowAbout();
    void ShowWindowMenu();
    void OnHover();
    void ShowAndRaise();
    // A short line in the window's top corner that goes again by itself.
    void ShowNote(const QString& text);
    void SetUpSpeech();
    // FloatAway.cpp
    void SetUpAway();
    void OnCovered(bool covered);
    void ReloadAwaySettings();
    void NoteUserInput();

    // Appearance state, as the menus and the options sheet see it.
    uint32_t textColor = 0;
    uint32_t backColor = 0;
    int alpha = 240;
    bool backTransparent = false;
    // The background colour that vanishes while backTransparent is on: the one in use
    // when it was switched on. A colour chosen later stays visible until it is switched again.
    uint32_t colorKey = 0;
    bool topMost = true;
    bool mouseTracking = false;
    QFont wordFont;

    CWordStore wordStore;
    CStudyCycle study;
    std::unique_ptr<CSingleInstance> instance;
    std::unique_ptr<CSpeechCoach> speech;
    QLabel* wordLabel = nullptr;
    QLabel* noteLabel = nullptr;
    QTimer noteTimer;
    QMenu* floatMenu = nullptr;
    bool floatMenuHasStats = false;
    QPointer<QMenu> trayMenu;
    QSystemTrayIcon* trayIcon = nullptr;
    QTimer wordTimer;
    QTimer meaningTimer;
    QTimer meaningDelayTimer;
    // The hover delay after which a resting mouse shows a transparent background.
    QTimer hoverTimer;
    bool hoverShown = false;
    bool initialised = false;
    bool openListAfterPaint = false;
    bool shutDown = false;
    QPoint dragOffset;
    bool manualDrag = false;
    // The left button is down and the pointer has not yet moved far enough for a drag.
    bool pressPending = false;
    QPoint pressPos;
    // The window's own size and its label's place in it; the text may make it taller.
    int restHeight = 0;
    QRect labelRest;
    // How far a tall text has lifted the window off its place at the bottom of a screen.
    int raisedBy = 0;
    // The place the user chose (stored or dragged to); userMoved while it is where the
    // user dragged it.
    QPoint userPos;
    bool userMoved = false;
    QPoint ownMoveTarget;
    std::unique_ptr<CStudyExtras> extras; // after study: detaches from it first
    std::unique_ptr<IPresenceSource> presence;
    std::unique_ptr<CAwayWatch> awayWatch;
    // Hidden by a full-screen window, not by the user: counts as shown.
    bool coveredHidden = false;
};

} // namespace mnemora
