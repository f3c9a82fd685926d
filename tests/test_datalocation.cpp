#include "platform/DataLocation.h"
#include "store/TemplateCopy.h"

#include "FixtureDb.h"
#include "RecordingMessageBox.h"
#include "TestData.h"
#include "Unprivileged.h"
#include "store/WordStore.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;
using testdata::ReadFile;

class TestDataLocation : public QObject {
    Q_OBJECT
private slots:
    void Decision() {
        const struct {
            bool writable, hasDb;
            const char *config, *data, *settings, *db, *templates, *appData = "";
        } cases[] = {
            {true, true, "", "", "/opt/m/mnemora.ini", "/opt/m/db/", ""}, // portable
            // an unpacked copy its user cannot write: its db/ is the template
            {false, true, "", "", "/h/.config/mnemora/mnemora.ini", "/h/.local/share/mnemora/db/",
             "/opt/m/db/"},
            {true, false, "/c", "/d", "/c/mnemora/mnemora.ini", "/d/mnemora/db/", "/opt/share/mnemora/db/"},
            {false, false, "rel", "rel", "/h/.config/mnemora/mnemora.ini", "/h/.local/share/mnemora/db/",
             "/opt/share/mnemora/db/"},
            // Windows: %APPDATA%\Mnemora for installed copies, portable ones as above
            {true, true, "", "", "/opt/m/mnemora.ini", "/opt/m/db/", "", "C:/A"},
            {false, true, "", "", "C:/A/Mnemora/mnemora.ini", "C:/A/Mnemora/db/", "/opt/m/db/", "C:/A/"},
            {true, false, "", "", "C:/A/Mnemora/mnemora.ini", "C:/A/Mnemora/db/", "/opt/share/mnemora/db/",
             "C:/A"},
        };
        for (const auto& c : cases) {
            const DataLocation out = DecideDataLocation(
                {"/opt/m/mnemora", c.writable, c.hasDb, "/h", c.config, c.data, c.appData});
            QCOMPARE((QStringList{out.settingsPath, out.dbFolder, out.templateFolder}),
                     (QStringList{c.settings, c.db, c.templates}));
            QCOMPARE(out.portable, c.writable && c.hasDb);
        }
    }
    // The user's copies across package versions: copied once, rebuilt with the counters carried by
    // headword when the template changes, kept whole when it cannot be read.
    void UserCopiesFollowTheirTemplates() {
        QTemporaryDir dir;
        const QString t = dir.filePath("t/"), u = dir.filePath("u/"), list = u + "a.dat";
        QStringList reports;
        // Installs a new version of the template (a package gives each its own time), then starts.
        const auto upgrade = [&](const QList<fixture::Row>& rows, const QByteArray& raw = {}) {
            static int version = 0;
            QFile::remove(t + "a.dat");
            QVERIFY(raw.isEmpty() ? fixture::WriteTable(t + "a.dat", "cet4", rows)
                                  : testdata::WriteFile(t + "a.dat", raw));
            QFile f(t + "a.dat");
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000 + 3600 * ++version),
                                  QFileDevice::FileModificationTime));
            reports.clear();
            QVERIFY(EnsureUserLists(t, u, nullptr, &reports));
        };
        QDir().mkpath(t);

        // First start: an exact copy; a partial copy left by an interrupted start is redone.
        QVERIFY(testdata::WriteFile(u + "a.dat.part", "te"));
        upgrade(fixture::GeneratedRows(4) << fixture::Row{5, "Word1"}); // exact spellings match first
        QCOMPARE(ReadFile(list), ReadFile(t + "a.dat"));
        QVERIFY(!QFile::exists(u + "a.dat.part"));

        // Study, then a rebuilt list: word2 gone, word3 capitalised, word5 new.
        fixture::Query(
            list, "UPDATE cet4 SET showTimes = 3, toShowTime = 9 WHERE word IN ('word1', 'word2', 'word3')");
        upgrade({{1, "word1"}, {2, "Word3"}, {3, "word4"}, {4, "word5"}, {5, "Word1"}});
        const char* const progress =
            "SELECT group_concat(word || ' ' || showTimes || '/' || toShowTime) FROM cet4";
        QCOMPARE(fixture::Query(list, progress), "word1 3/9,Word3 3/9,word4 0/0,word5 0/0,Word1 0/0");
        QCOMPARE(reports, QStringList{"词库 a.dat（cet4）已更新：1 个学过的单词不在新词库中：word2"});

        // A template that cannot be read leaves the copy whole, and is tried again next time.
        const QByteArray refreshed = ReadFile(list);
        upgrade({}, "not a list");
        QCOMPARE(ReadFile(list), refreshed);
        QVERIFY2(reports.size() == 1 && reports[0].startsWith("词库 a.dat 无法更新"),
                 qPrintable(reports.join(u'\n')));
        upgrade(fixture::GeneratedRows(2));
        QCOMPARE(fixture::Query(list, progress), "word1 3/9,word2 0/0");
    }

    // Copies whose lists cannot go to the user's data folder (an installed one whose data folder
    // cannot be made, an unpacked one in a folder its user cannot write) still show the words of
    // their lists and never write into them. The word store exists before the lists are prepared,
    // as in the window.
    void ReadOnlyCopiesShowTheirWords() {
        MNEMORA_RUN_UNPRIVILEGED();
        for (const auto& [exe, listDir, dataWritable] :
             {std::tuple{"usr/bin/mnemora", "usr/share/mnemora/db/", false},
              {"opt/mnemora/mnemora", "opt/mnemora/db/", true},
              {"opt/mnemora/mnemora", "opt/mnemora/db/", false}}) {
            QTemporaryDir dir;
            const QString program = dir.filePath(exe), lists = dir.filePath(listDir);
            const QString home = dir.filePath("home"), data = home + "/data";
            QVERIFY(QDir().mkpath(lists) &&
                    fixture::WriteTable(lists + "cet4.dat", "cet4", fixture::GeneratedRows(3)) &&
                    testdata::WriteFile(program, "") && QDir().mkpath(home));
            const QByteArray installed = ReadFile(lists + "cet4.dat");
            const QStringList locked{lists, QFileInfo(program).path(), dataWritable ? QString() : home};
            for (const QString& folder : locked)
                QVERIFY(folder.isEmpty() || testdata::SetFolderWritable(folder, false));
            qputenv("XDG_DATA_HOME", QFile::encodeName(data));
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
            qputenv("APPDATA", QFile::encodeName(data)); // Windows: the data folder there
            OverrideDataLocation(LocateData(program));

            RecordingMessageBox box;
            CWordStore store(box);
            const QString warning = PrepareUserData(store);
            QVERIFY2(warning.isEmpty() == dataWritable, qPrintable(warning));
            QVERIFY2(store.OpenWordList(0, 0) == 1 && box.shown.isEmpty(), qPrintable(store.LastError()));
            store.OpenWordTable();
            WordRecord row;
            store.ReadRow(row);
            QCOMPARE(row.word, QStringLiteral("word1"));
            row.showTimes = 2;
            QCOMPARE(store.SaveRecord(row), dataWritable); // into the user's copy, never the list given
            store.Close();
            QCOMPARE(ReadFile(lists + "cet4.dat"), installed);
            for (const QString& folder : locked)
                QVERIFY(folder.isEmpty() || testdata::SetFolderWritable(folder, true));
        }
    }
};

QTEST_GUILESS_MAIN(TestDataLocation)
#include "test_datalocation.moc"
