// Saves under failing file I/O: every write, sync and journal open of a save is made to
// fail in turn, once and from then on, like a full disk.
#include "FaultVfs.h"
#include "StudyRig.h"
#include "platform/DataLocation.h"
#include "store/HistoryFile.h"
#include "store/TemplateCopy.h"
#include "study/RunTimesCounter.h"

#include <QDateTime>
#include <QDir>
#include <QTest>
#include <functional>

using namespace mnemora;

namespace {

constexpr int kRows = 50; // one whole batch

// The integrity check, the row count and the first rows' counters as "show:due".
QStringList FileState(const QString& path, int rows) {
    return {
        fixture::Query(path, QStringLiteral("PRAGMA integrity_check")),
        fixture::Query(path, QStringLiteral("SELECT count(*) FROM cet4")),
        fixture::Query(path, QStringLiteral("SELECT group_concat(showTimes || ':' || toShowTime, ' ') FROM "
                                            "(SELECT * FROM cet4 WHERE \"index\" <= %1 ORDER BY \"index\")")
                                 .arg(rows))};
}

QStringList Expected(int rows, const QString& counters) {
    return {QStringLiteral("ok"), QString::number(kRows), QStringList(rows, counters).join(u' ')};
}

// A new version of the installed template: rows more words, its own time.
bool InstallTemplate(const QString& path, int rows) {
    QFile::remove(path);
    QFile file(path);
    return fixture::WriteTable(path, QStringLiteral("cet4"), Words(rows)) &&
           file.open(QIODevice::ReadWrite) &&
           file.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000 + rows),
                            QFileDevice::FileModificationTime);
}

} // namespace

class TestSaveFaults final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { faultvfs::Install(); }
    void cleanup() { faultvfs::Disarm(); }

    // For every N: the file passes the integrity check and holds the old or the new counters
    // of the whole save (or the old or the new list of a template refresh), never a mix; the
    // counters stay pending; the next save (or start) writes them. Meanwhile a rebuild of the
    // list folder is refused: the trainer holds its lock, from before a refresh on.
    void everyFaultLeavesOldOrNewAndTheNextSaveWrites_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("mode");
        const char* actions[] = {"batch", "mark", "list change", "template refresh"};
        for (int a = 0; a < 4; ++a) {
            QTest::addRow("%s once", actions[a]) << a << int(faultvfs::Mode::Once);
            QTest::addRow("%s disk full", actions[a]) << a << int(faultvfs::Mode::Persistent);
        }
    }
    void everyFaultLeavesOldOrNewAndTheNextSaveWrites() {
        QFETCH(int, action);
        QFETCH(int, mode);
        const bool refresh = action == 3;
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(kRows, 0, 0), QStringLiteral("cet6.dat"), QStringLiteral("cet6")));
        QVERIFY(rig.Begin(Words(kRows, 1, 0), 1, false));
        const QString folder = rig.DbFile(QString()), file = rig.DbFile(QStringLiteral("cet4.dat"));
        const QString templateFile = rig.dir.filePath(QStringLiteral("templates/cet4.dat"));
        if (refresh) { // installed: the list is the user's copy of a template
            QVERIFY(QDir().mkpath(rig.dir.filePath(QStringLiteral("templates"))));
            OverrideDataLocation({false, GetSettingsPath(), folder, QFileInfo(templateFile).path() + u'/'});
        }
        // A new template of rows words, then a new start (the trainer before it had let go of the folder).
        const auto restart = [&](int rows) {
            if (!InstallTemplate(templateFile, rows))
                return false;
            rig.cycle.reset();
            rig.store = std::make_unique<CWordStore>(rig.view, rig.dir.filePath(QStringLiteral("mnemora")));
            return true;
        };
        const auto study = [&] {
            rig.cycle = std::make_unique<CStudyCycle>(*rig.store, rig.view);
            rig.view.Attach(rig.cycle.get());
            rig.Open();
            rig.cycle->ScheduleNextBatch();
        };
        if (refresh) {
            QVERIFY(restart(kRows));
            QVERIFY(PrepareUserData(*rig.store).isEmpty());
            study();
        }
        QCOMPARE(int(rig.store->batch.size()), kRows);
        bool rebuildRefused = true;
        const auto rebuild = [&] {
            CListFolderLock builder;
            rebuildRefused = rebuildRefused && !builder.Acquire(folder, 0);
        };
        // One save of the action's kind; whether it wrote (a refresh does not say).
        const auto save = [&](const WordRecord& first) {
            if (refresh)
                PrepareUserData(*rig.store);
            return !refresh && (action == 1 ? rig.store->SaveRecord(first) : rig.store->SaveBatch());
        };
        QString old = QStringLiteral("1:0");
        bool fired = true;
        for (int n = 1; fired; ++n) {
            CWordStore& store = *rig.store;
            // New counters in memory, as showing the words would set them.
            const QString now = QStringLiteral("2:%1").arg(n);
            for (auto p = store.batch.begin(); p != store.batch.end(); p = WordBatch::Next(p)) {
                WordBatch::At(p).showTimes = 2;
                WordBatch::At(p).toShowTime = uint32_t(n);
            }
            const int rows = action == 1 ? 1 : kRows;
            WordRecord first = WordBatch::At(store.batch.begin());
            QStringList before = Expected(rows, old), after = Expected(rows, now);
            if (refresh) { // the counters reach the file, then a new template with one word more
                QVERIFY(store.SaveBatch());
                before = after = FileState(file, rows);
                after[1] = QString::number(kRows + n); // the counters all carried over
                QVERIFY(restart(kRows + n));           // store is gone
            }
            faultvfs::Arm(n, faultvfs::Mode(mode), rebuild);
            const bool saved = save(first);
            if (action == 2) {
                store.Close();
                store.OpenWordList(1, 0);
                store.OpenWordTable();
            }
            fired = faultvfs::Fired();
            faultvfs::Disarm();
            QVERIFY2(rebuildRefused, qPrintable(QStringLiteral("N=%1").arg(n)));
            if (action < 2) { // the file as the next start finds it
                store.Close();
                rig.Open();
            }
            const QStringList state = FileState(file, rows);
            QVERIFY2(state == after || (!saved && state == before),
                     qPrintable(QStringLiteral("N=%1 saved=%2: %3").arg(n).arg(saved).arg(state.join(u' '))));
            QCOMPARE(rig.store->Unsaved(), !saved && (action == 0 || action == 2));
            // The next save (after a list change, on the other list; after a refresh, the
            // next start) writes what is pending.
            QVERIFY(save(first) || refresh);
            QCOMPARE(FileState(file, rows), after);
            QVERIFY(!rig.store->Unsaved());
            old = now;
            if (action == 2) {
                store.Close();
                rig.Open();
                rig.cycle->ScheduleNextBatch();
            }
            if (refresh)
                study();
        }
    }

    // Every file that holds counters words its failure alike, naming the file and the
    // reason, once per failure spell; the counters a failed save kept are written by the next
    // one, and a later failure is told again.
    void saveWarningsNameFileAndReasonOncePerSpell() {
        StudyRig rig;
        QVERIFY(rig.Begin(Words(3), 1, false));
        const QString gone = rig.dir.filePath(QStringLiteral("gone"));
        const QString settings = gone + QStringLiteral("/mnemora.ini");
        struct Case {
            QString kind, path, reason, what;
            std::function<void(bool)> fail;
        };
        const Case cases[] = {
            {QStringLiteral("单词表文件"), rig.DbFile(QStringLiteral("cet4.dat")), QStringLiteral("磁盘已满"),
             QStringLiteral("单词的复习计数"),
             [](bool on) { on ? faultvfs::Arm(2, faultvfs::Mode::Persistent) : faultvfs::Disarm(); }},
            {QStringLiteral("设置文件"), settings, QStringLiteral("所在文件夹不存在"),
             QStringLiteral("复习计数 RunTimes "), [&](bool on) {
                 OverrideSettingsPath(settings);
                 on ? QDir(gone).removeRecursively() : QDir().mkpath(gone);
             }}};
        CStudyCycle& cycle = *rig.cycle;
        for (const Case& c : cases) {
            const QString text =
                QStringLiteral("无法保存复习进度：%1“%2”不能写入（%3）。%4暂时保存在内存中，之后每次"
                               "保存时会再次写入。")
                    .arg(c.kind, QDir::toNativeSeparators(c.path), c.reason, c.what);
            rig.view.messages.clear();
            for (const bool failing : {true, true, false, true, false}) {
                c.fail(failing);
                cycle.secondPass = true;
                cycle.EndOfBatch(); // saves the batch and RunTimes, schedules, tells
                QCOMPARE(rig.store->Unsaved() || cycle.RunTimesUnsaved(), failing);
            }
            QCOMPARE(ReadRunTimes(), cycle.CurrentRunTimes());
            QStringList told;
            for (const auto& [message, icon] : rig.view.messages)
                if (icon == MessageIcon::Error)
                    told << message;
            QCOMPARE(told, QStringList({text, text}));
        }
    }

    // A failed write of the study history is not damage: the file is never set aside, and
    // the figures of a failed save are added once by the next one.
    void historyWriteFailureIsNotDamage() {
        for (const faultvfs::Mode mode : {faultvfs::Mode::Once, faultvfs::Mode::Persistent}) {
            QTemporaryDir dir;
            CHistoryFile history(dir.filePath(QStringLiteral("history.db")));
            const QDate day(2026, 12, 8);
            const DayRow delta{day, QStringLiteral("cet4"), 1, 0, 0, 1000};
            QVERIFY(history.AddDays({delta}));
            int64_t added = 1;
            bool fired = true;
            for (int n = 1; fired; ++n) {
                faultvfs::Arm(n, mode);
                const bool saved = history.AddDays({delta});
                fired = faultvfs::Fired();
                faultvfs::Disarm();
                if (!saved)
                    QVERIFY2(history.AddDays({delta}), qPrintable(QString::number(n)));
                ++added;
                QCOMPARE(history.Days(day, day).value(0).shown, added);
                QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.damaged-*")}), QStringList());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "test_savefaults.moc"
