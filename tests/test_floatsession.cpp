// The float window: a background colour chosen while transparent, the default place on a
// primary screen that does not start at the desktop's origin, and the session's save request.
#include "FixtureDb.h"
#include "app/MnemoraDlg.h"
#include "study/StudyIds.h"
#include "study/StudyObserver.h"
#include "platform/ProgramPath.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <numeric>

using namespace mnemora;

namespace {
// Counts the first-pass views of each word, as the list should record them.
struct ViewCounter final : IStudyObserver {
    QMap<int, qint64> views;
    void OnWordShown(const WordRecord& record, bool firstPass) override {
        if (firstPass)
            ++views[record.index];
    }
};
} // namespace

class TestFloatSession final : public QObject {
    Q_OBJECT

    QTemporaryDir root;
    QString cet4;

    std::unique_ptr<CMnemoraDlg> Start() {
        QFile::remove(cet4);
        if (!fixture::WriteTable(cet4, QStringLiteral("cet4"), fixture::GeneratedRows(6)))
            return nullptr;
        auto window = std::make_unique<CMnemoraDlg>();
        return window->OnInitDialog() ? std::move(window) : nullptr;
    }

private slots:
    void initTestCase() {
        QVERIFY(root.isValid());
        const QString runtime = root.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("app/db"))));
        SetProgramFilePath(root.filePath(QStringLiteral("app/mnemora")));
        OverrideSettingsPath(root.filePath(QStringLiteral("app/mnemora.ini")));
        cet4 = root.filePath(QStringLiteral("app/db/cet4.dat"));
    }

    void colourChosenWhileTransparentIsKeyedAtTheNextLeave() {
        auto window = Start();
        QVERIFY(window);
        window->OnBackTransparent();
        window->backColor = 0x00FF00; // what the colour dialog sets
        QCOMPARE(window->grab().toImage().pixelColor(2, 2).alpha(), 255);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window.get(), &leave);
        QCOMPARE(window->grab().toImage().pixelColor(2, 2).alpha(), 0);
    }

    void saveRequestWritesShownViewsOnceAndStudyGoesOn() {
        auto window = Start();
        QVERIFY(window);
        ViewCounter counter;
        window->Study().AddObserver(&counter);
        const auto show = [&](int words) {
            for (int i = 0; i < words; ++i) {
                window->Study().OnTimer(kWordTimerId);
                window->Study().OnTimer(kMeaningTimerId);
            }
        };
        const auto checkList = [&] {
            for (int index = 1; index <= 6; ++index) {
                const auto stored = fixture::Counters(cet4, QStringLiteral("cet4"), index);
                QVERIFY(stored);
                QCOMPARE(stored->first, counter.views.value(index));
            }
        };
        const auto total = [&] { return std::accumulate(counter.views.begin(), counter.views.end(), 0); };
        show(4);
        window->SaveCheckpoint();
        checkList();
        const int atCheckpoint = total();
        QVERIFY(atCheckpoint > 0);
        QVERIFY(window->Study().TimersWanted());
        show(8); // the study goes on after the checkpoint
        QVERIFY2(total() > atCheckpoint, qPrintable(QString::number(total())));
        window->SaveOnShutdown(); // what an orderly end (SIGTERM) runs
        checkList();
        window->Study().RemoveObserver(&counter);
    }

    void defaultPlaceIsOnThePrimaryScreen() {
        // A primary screen right of another one, and lower.
        QCOMPARE(DefaultWindowPosition(QRect(1280, 100, 1000, 700)), QPoint(1280 + 300, 100 + 9));
        QCOMPARE(DefaultWindowPosition(QRect(0, 0, 1920, 1080)), QPoint(576, 12));
    }
};

QTEST_MAIN(TestFloatSession)
#include "test_floatsession.moc"
