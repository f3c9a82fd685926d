#include "app/MnemoraDlg.h"

#include "app/DesktopAlert.h"
#include "app/ProgramIcon.h"
#include "app/StudyExtras.h"
#include "app/SystemAutostart.h"
#include "platform/AutoStart.h"
#include "platform/DataLocation.h"
#include "platform/ProgramPath.h"
#include "platform/SingleInstance.h"
#include "platform/UpdaterHandOff.h"
#include "platform/WindowHints.h"
#include "settings/SettingsFile.h"

#include "settings/SettingsKeys.h"
#include "settings/ui/MyPropertySheet.h"
#include "store/TemplateCopy.h"
#include "study/AwayWatch.h"
#include "study/SpeechCoach.h"
#include <cstdio>

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWindow>
#include <climits>

namespace mnemora {
namespace {

// Dialog units of the template font (8-point "MS Shell Dlg" at 96 dpi: 6 × 13 pixel
// base units), rounded as the platform maps them.
int DluX(int units) {
    return (units * 6 + 2) / 4;
}
int DluY(int units) {
    return (units * 13 + 4) / 8;
}

// How long a note stays up.
constexpr int kNoteMs = 2500;

const QString kWelcomeText = QStringLiteral("欢迎使用 Mnemora \n\n正在加载……");

} // namespace

CMnemoraDlg::CMnemoraDlg(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Tool), wordStore(*this), study(wordStore, *this) {
    setObjectName(QStringLiteral("MnemoraFloatWindow"));
    extras = std::make_unique<CStudyExtras>(study, wordStore, this);
    setWindowTitle(QStringLiteral("Mnemora")); // no caption shows it; it names the window to the desktop
    // The background is painted by hand, fully transparent while background
    // transparency is on; the window needs an alpha channel for that from the start.
    setAttribute(Qt::WA_TranslucentBackground);
    // A word appearing must never take the keyboard from the window the user works in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(DluX(kTemplateWidthDlu), DluY(kTemplateHeightDlu));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    wordLabel = new QLabel(kWelcomeText, this);
    wordLabel->setObjectName(QStringLiteral("wordLabel"));
    wordLabel->setGeometry(DluX(1), DluY(7), DluX(352), DluY(53));
    wordLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    wordLabel->setWordWrap(true);
    wordLabel->setTextFormat(Qt::PlainText);
    wordLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    wordLabel->setAutoFillBackground(false);
    // A note above the text, right-aligned in the strip the label leaves free.
    noteLabel = new QLabel(this);
    noteLabel->setObjectName(QStringLiteral("noteLabel"));
    noteLabel->setGeometry(0, 0, width() - DluX(4), DluY(8));
    QFont noteFont = noteLabel->font();
    noteFont.setPixelSize(11);
    noteLabel->setFont(noteFont);
    noteLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    noteLabel->setTextFormat(Qt::PlainText);
    noteLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    noteLabel->hide();
    restHeight = height();
    labelRest = wordLabel->geometry();

    // Children with names: the desktop and widget tests find them as they find the label.
    for (auto [timer, name] : {std::pair{&wordTimer, "wordTimer"},
                               {&meaningTimer, "meaningTimer"},
                               {&meaningDelayTimer, "meaningDelayTimer"},
                               {&hoverTimer, "hoverTimer"},
                               {&noteTimer, "noteTimer"}}) {
        timer->setParent(this);
        timer->setObjectName(QLatin1String(name));
    }
    wordTimer.setTimerType(Qt::PreciseTimer);
    meaningTimer.setTimerType(Qt::PreciseTimer);
    meaningDelayTimer.setTimerType(Qt::PreciseTimer);
    meaningDelayTimer.setSingleShot(true);
    connect(&wordTimer, &QTimer::timeout, this, [this] { study.OnTimer(kWordTimerId); });
    connect(&meaningTimer, &QTimer::timeout, this, [this] { study.OnTimer(kMeaningTimerId); });
    connect(&meaningDelayTimer, &QTimer::timeout, this, [this] { study.OnMeaningDelayElapsed(); });
    hoverTimer.setSingleShot(true);
    hoverTimer.setInterval(400); // the platform's default hover time
    connect(&hoverTimer, &QTimer::timeout, this, &CMnemoraDlg::OnHover);
    noteTimer.setSingleShot(true);
    noteTimer.setInterval(kNoteMs);
    connect(&noteTimer, &QTimer::timeout, noteLabel, &QLabel::hide);
    extras->SetMarkHandler([this](const QString& word, bool marked) {
        ShowNote((marked ? QStringLiteral("已记住：%1") : QStringLiteral("已撤销：%1")).arg(word));
    });
    SetUpSpeech();
}

CMnemoraDlg::~CMnemoraDlg() {
    study.RemoveObserver(speech.get());
    // Tray icon first, then the instance marker; the word store closes its database itself.
    delete trayIcon;
    trayIcon = nullptr;
    instance.reset();
}

bool CMnemoraDlg::Start() {
    if (!InitWindow())
        return false;
    // Deriving the list file's key takes tens of milliseconds; the window shows its
    // "loading" text meanwhile instead of appearing late.
    openListAfterPaint = true;
    show();
    return true;
}

bool CMnemoraDlg::InitWindow() {
    setWindowIcon(ProgramIcon());

    instance = std::make_unique<CSingleInstance>();
    if (instance->Claim() == CSingleInstance::Role::Secondary) {
        // Without a tray a hidden window has no other way back: bring the running one forward.
        instance->RequestActivation();
        ShowMessage(QStringLiteral("该软件已经正在运行！"), MessageIcon::Information);
        return false;
    }
    connect(instance.get(), &CSingleInstance::activationRequested, this, &CMnemoraDlg::ShowAndRaise);

    const QString dataWarning = PrepareUserData(wordStore);
    if (!dataWarning.isEmpty()) {
        std::fprintf(stderr, "mnemora: %s\n", qUtf8Printable(dataWarning));
        ShowMessage(dataWarning, MessageIcon::Error);
        study.QuietSaveWarnings();
    }
    WriteProfileUInt(keys::kVersion, keys::kMnemora, 101);
    if (ReadProfileInt(keys::kVersion, keys::kDictionary, 0) == 0)
        WriteProfileUInt(keys::kVersion, keys::kDictionary, 9);
    if (study.CountStart() == 1)
        RegisterAutostart();

    backColor = ReadBackgroundColor();
    textColor = ReadTextColor();
    wordFont = QFont(QStringLiteral("Times New Roman"));
    wordFont.setPixelSize(16);
    ApplyWordFont();

    winId(); // the native window must exist before its hints are set
    PlaceWindow();
    topMost = ReadTopMost();
    ApplyTopMost();
    study.showSentence = ReadShowSentence();
    speech->SetOptions(ReadSpeechOptions());
    alpha = static_cast<int>(ReadTransparent());
    backTransparent = false;
    ApplyLayering();
    KeepOutOfTaskbar(windowHandle());

    SetUpMenus();
    SetUpTray();
    SetUpAway();
    initialised = true;
    return true;
}

void CMnemoraDlg::OpenSelectedList() {
    const int category = ReadExamStudy();
    study.OpenList(ReadWordListIndex(), category);
}

QPoint DefaultWindowPosition(const QRect& screen) {
    // The primary screen need not start at the desktop's origin.
    return QPoint(screen.x() + static_cast<int>(screen.width() * 0.3),
                  screen.y() + static_cast<int>(screen.height() * 0.01 + 2.0));
}

void CMnemoraDlg::SaveState() {
    WriteFloatWindowPos(StoredPosition().x(), StoredPosition().y());
    study.SaveBatch();
}

void CMnemoraDlg::AddStudyObserver(IStudyObserver* observer) {
    study.AddObserver(observer);
}

void CMnemoraDlg::RemoveStudyObserver(IStudyObserver* observer) {
    study.RemoveObserver(observer);
}

void CMnemoraDlg::OnExit() {
    WriteFloatWindowPos(StoredPosition().x(), StoredPosition().y());
    // A package manager updates an installed copy; only a portable one hands off.
    const UpdaterHandOffResult updater = CurrentDataLocation().portable
                                             ? HandOffToUpdater(QFileInfo(ProgramFilePath()).absolutePath())
                                             : UpdaterHandOffResult{};
    // A failed replacement is reported, but the exit still finishes with the counters written.
    if (!updater.error.isEmpty())
        ShowMessage(updater.error, MessageIcon::Error);
    study.SaveBatch();
    study.KillTimers();
    shutDown = true;
    close();
    QCoreApplication::quit();
}

void CMnemoraDlg::SaveOnShutdown() {
    if (!initialised || shutDown)
        return;
    shutDown = true;
    SaveState();
    study.KillTimers();
}

QString CMnemoraDlg::UnsavedCounters() const {
    QStringList lost;
    if (wordStore.Unsaved())
        lost << wordStore.UnsavedSummary();
    if (study.RunTimesUnsaved())
        lost << QStringLiteral("RunTimes could not be written to %1").arg(GetSettingsPath());
    return lost.join(QStringLiteral("; "));
}

void CMnemoraDlg::SaveCheckpoint() {
    // The session may still be cancelled: save what was shown so far and keep studying.
    // The counters are written as they stand, so a later end writes the same views again
    // plus the new ones, never counting one twice.
    if (!initialised || shutDown)
        return;
    SaveState();
}

void CMnemoraDlg::closeEvent(QCloseEvent* event) {
    // A close by the window manager ends the run like the exit command, without the updater.
    SaveOnShutdown();
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}

void CMnemoraDlg::ShowNote(const QString& text) {
    noteLabel->setText(text);
    noteLabel->show();
    noteTimer.start();
}

void CMnemoraDlg::ShowAndRaise() {
    if (!isVisible())
        study.OnToggleFloat(); // shows the window and restarts the timers
    raise();
    activateWindow();
}

// --- IStudyView ---

void CMnemoraDlg::ShowMessage(const QString& text, MessageIcon icon) {
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    if (icon == MessageIcon::Error)
        boxIcon = QMessageBox::Critical;
    else if (icon == MessageIcon::Information)
        boxIcon = QMessageBox::Information;
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr && isVisible())
        owner = this;
    QMessageBox box(boxIcon, QStringLiteral("Mnemora"), text, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("MnemoraMessageBox"));
    box.exec();
}

void CMnemoraDlg::ShowWordText(const QString& text) {
    // The label shows "\r\n" as a line break; the composed text itself keeps it.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    wordLabel->setText(shown);
    FitWordText();
    if (isVisible())
        repaint();
}

bool CMnemoraDlg::IsFloatVisible() const {
    return isVisible() || coveredHidden;
}

void CMnemoraDlg::ShowFloat() {
    coveredHidden = false;
    show();
}

void CMnemoraDlg::HideFloat() {
    speech->Silence();
    coveredHidden = false;
    hide();
}

void CMnemoraDlg::ArmTimer(int id, uint32_t periodMs) {
    QTimer& timer = id == kWordTimerId ? wordTimer : meaningTimer;
    timer.start(static_cast<int>(std::min<uint32_t>(periodMs, INT_MAX)));
}

void CMnemoraDlg::KillTimer(int id) {
    (id == kWordTimerId ? wordTimer : meaningTimer).stop();
}

void CMnemoraDlg::StartMeaningDelay(uint32_t delayMs) {
    meaningDelayTimer.start(static_cast<int>(std::min<uint32_t>(delayMs, INT_MAX)));
}

void CMnemoraDlg::CancelMeaningDelay() {
    meaningDelayTimer.stop();
}

void CMnemoraDlg::ShowDesktopAlert(int seconds, const QString& text) {
    mnemora::ShowDesktopAlert(this, static_cast<unsigned>(seconds), text);
}

void CMnemoraDlg::RunOptionsSheet() {
    CSystemAutostart autostart;
    CMyPropertySheet sheet(*this, autostart, *this);
    sheet.exec();
    ReloadAwaySettings();
}

// --- IOptionsHost ---

void CMnemoraDlg::ShowFloatWindow() {
    show();
}

void CMnemoraDlg::SetAlphaLive(int value) {
    alpha = value;
    backTransparent = false;
    hoverShown = false;
    ApplyLayering();
}

void CMnemoraDlg::ChangeWordList(int category, int listIndex) {
    study.SaveBatch();
    wordStore.Close();
    study.OpenList(listIndex, category);
}

} // namespace mnemora
