#include "platform/DataLocation.h"
#include "store/TemplateCopy.h"

#include "FixtureDb.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

class TestDataLocation : public QObject {
    Q_OBJECT
private slots:
    void Decision_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("hasDb");
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("db");
        QTest::newRow("portable") << true << true << "" << "" << "/opt/m/mnemora.ini" << "/opt/m/db/";
        QTest::newRow("read-only folder") << false << true << "" << ""
                                          << "/h/.config/mnemora/mnemora.ini" << "/h/.local/share/mnemora/db/";
        QTest::newRow("no db folder") << true << false << "/c" << "/d" << "/c/mnemora/mnemora.ini"
                                      << "/d/mnemora/db/";
        QTest::newRow("relative XDG ignored") << false << false << "rel" << "rel"
                                              << "/h/.config/mnemora/mnemora.ini" << "/h/.local/share/mnemora/db/";
    }
    void Decision() {
        QFETCH(bool, writable);
        QFETCH(bool, hasDb);
        QFETCH(QString, config);
        QFETCH(QString, data);
        QFETCH(QString, settings);
        QFETCH(QString, db);
        const DataLocation out = DecideDataLocation({"/opt/m/mnemora", writable, hasDb, "/h", config, data});
        QCOMPARE(out.settingsPath, settings);
        QCOMPARE(out.dbFolder, db);
        QCOMPARE(out.portable, writable && hasDb);
        if (!out.portable)
            QCOMPARE(out.templateFolder, QStringLiteral("/opt/share/mnemora/db/"));
    }
    // The user's copies across package versions: copied once, untouched while the template
    // stays, rebuilt with the counters carried by headword when it changes, and kept whole
    // when the new template cannot be read.
    void UserCopiesFollowTheirTemplates() {
        QTemporaryDir dir;
        const QString t = dir.filePath("t/"), u = dir.filePath("u/"), list = u + "a.dat";
        QDir().mkpath(t);
        QDir().mkpath(u);
        const auto bytes = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const auto install = [&](const QList<fixture::Row>& rows, const QByteArray& raw = {}) {
            QFile::remove(t + "a.dat");
            if (raw.isEmpty())
                QVERIFY(fixture::WriteTable(t + "a.dat", "cet4", rows));
            else {
                QFile f(t + "a.dat");
                QVERIFY(f.open(QIODevice::WriteOnly) && f.write(raw) == raw.size());
            }
            // a package gives each version of the file its own time
            static int version = 0;
            QFile f(t + "a.dat");
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000 + 3600 * ++version),
                                  QFileDevice::FileModificationTime));
        };
        const auto start = [&](QStringList* reports) {
            reports->clear();
            QVERIFY(EnsureUserLists(t, u, nullptr, reports));
        };
        QStringList reports;

        // First start: an exact copy; a partial copy left by an interrupted start is redone.
        install(fixture::GeneratedRows(4));
        QFile part(u + "a.dat.part");
        QVERIFY(part.open(QIODevice::WriteOnly) && part.write("te") == 2);
        part.close();
        start(&reports);
        QCOMPARE(bytes(list), bytes(t + "a.dat"));
        QVERIFY(!QFile::exists(u + "a.dat.part"));

        // Study, then the same package again: not a byte changes.
        fixture::Select(list, "UPDATE cet4 SET showTimes = 3, toShowTime = 9 WHERE word IN ('word1', 'word2', 'word3')");
        const QByteArray studied = bytes(list);
        start(&reports);
        QCOMPARE(bytes(list), studied);
        QVERIFY(reports.isEmpty());

        // A rebuilt list: word1's meaning corrected, word2 gone, word3 capitalised, word5 new.
        QList<fixture::Row> next = fixture::GeneratedRows(5);
        next[0].wordChn = QStringLiteral("新释义");
        next.removeAt(1);
        next[1].word = QStringLiteral("Word3");
        for (int i = 0; i < next.size(); ++i)
            next[i].index = i + 1;
        install(next);
        start(&reports);
        QCOMPARE(fixture::Select(list, "SELECT word, wordChn, showTimes, toShowTime FROM cet4 ORDER BY \"index\""),
                 (QList<QStringList>{{"word1", "新释义", "3", "9"},
                                     {"Word3", next[1].wordChn.toString(), "3", "9"},
                                     {"word4", next[2].wordChn.toString(), "0", "0"},
                                     {"word5", next[3].wordChn.toString(), "0", "0"}}));
        QCOMPARE(reports, QStringList{"词库 a.dat（cet4）已更新：1 个学过的单词不在新词库中：word2"});

        // A template that cannot be read leaves the copy whole, and is tried again next time.
        const QByteArray refreshed = bytes(list);
        install({}, "not a list");
        start(&reports);
        QCOMPARE(bytes(list), refreshed);
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].startsWith("词库 a.dat 无法更新"), qPrintable(reports[0]));
        install(fixture::GeneratedRows(2));
        start(&reports);
        QCOMPARE(fixture::Query(list, "SELECT group_concat(word || ' ' || showTimes) FROM cet4"), "word1 3,word2 0");
    }
};

QTEST_GUILESS_MAIN(TestDataLocation)
#include "test_datalocation.moc"
