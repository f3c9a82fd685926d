// The float window: the session's save request, and the default place on a primary screen
// that does not start at the desktop's origin.
#include "FixtureDb.h"
#include "app/MnemoraDlg.h"
#include "app/menus/MenuCommands.h"
#include "platform/ProgramPath.h"
#include "settings/SettingsFile.h"
#include "study/StudyIds.h"
#include "study/StudyObserver.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <numeric>

using namespace mnemora;

namespace {
// Counts the first-pass views of each word, as the list should record them.
struct ViewCounter final : IStudyObserver {
    QMap<int, qint64> views;
    void OnWordShown(const WordRecord& record, bool firstPass) override { views[record.index] += firstPass; }
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
        const QString runtime = root.filePath(QStringLiteral("run"));
        QVERIFY(root.isValid() && QDir().mkpath(runtime) &&
                QDir().mkpath(root.filePath(QStringLiteral("app/db"))));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
        SetProgramFilePath(root.filePath(QStringLiteral("app/mnemora")));
        OverrideSettingsPath(root.filePath(QStringLiteral("app/mnemora.ini")));
        cet4 = root.filePath(QStringLiteral("app/db/cet4.dat"));
    }

    // The checkpoint writes what was shown and the study goes on; an orderly end (SIGTERM, or
    // the exit command from the menu) writes the later views without counting the earlier ones twice.
    void saveRequestWritesShownViewsOnceAndStudyGoesOn_data() {
        QTest::addColumn<bool>("exitCommand");
        QTest::newRow("SIGTERM") << false;
        QTest::newRow("exit command") << true;
    }
    void saveRequestWritesShownViewsOnceAndStudyGoesOn() {
        QFETCH(bool, exitCommand);
        auto window = Start();
        QVERIFY(window);
        ViewCounter counter;
        window->Study().AddObserver(&counter);
        const auto showAndSave = [&](int words, const std::function<void()>& save) {
            for (int i = 0; i < words; ++i) {
                window->Study().OnTimer(kWordTimerId);
                window->Study().OnTimer(kMeaningTimerId);
            }
            save();
            for (int index = 1; index <= 6; ++index)
                QCOMPARE(
                    fixture::Counters(cet4, QStringLiteral("cet4"), index).value_or(qMakePair(-1, -1)).first,
                    counter.views.value(index));
        };
        const auto total = [&] {
            return std::accumulate(counter.views.begin(), counter.views.end(), qint64{0});
        };
        showAndSave(4, [&] { window->SaveCheckpoint(); });
        const qint64 atCheckpoint = total();
        QVERIFY(atCheckpoint > 0 && window->Study().TimersWanted());
        showAndSave(8, [&] { // the study went on after the checkpoint
            if (exitCommand)
                window->OnCommand(cmd::kExit);
            else
                window->SaveOnShutdown();
        });
        QVERIFY(total() > atCheckpoint);
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
