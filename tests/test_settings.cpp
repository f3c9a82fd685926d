// The settings file: path rule, profile-style edits, value parsing, every reader's
// default and repair rule, and that a failed write never damages the file.
#include "TestData.h"
#include "Unprivileged.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path_;

    void WriteFile(const QByteArray& text) { QVERIFY(testdata::WriteFile(path_, text)); }
    QByteArray FileText() { return testdata::ReadFile(path_, "<missing>"); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("mnemora.ini"));
        OverrideSettingsPath(path_);
    }
    void init() { QFile::remove(path_); }

    void settingsPathFromFileName_data() {
        testdata::AddStringRows(
            "program", "ini",
            {
                {"no extension", "/home/u/.local/bin/mnemora", "/home/u/.local/bin/mnemora.ini"},
                {"extension", "/opt/w.d/app.exe", "/opt/w.d/app.ini"},
                {"two dots", "/opt/app.tar.gz", "/opt/app.tar.ini"},
                {"hidden file", "/opt/.mnemora", "/opt/.mnemora.ini"},
                {"bare", "mnemora", "mnemora.ini"},
            });
    }
    void settingsPathFromFileName() {
        QFETCH(QString, program);
        QFETCH(QString, ini);
        QCOMPARE(SettingsPathFor(program), ini);
    }

    void editsInPlaceAndKeepTheRest() {
        WriteFile(
            "\xEF\xBB\xBF; comment\r\n[version]\r\nmnemora = 100\r\nother=x\r\n\r\n[Word]\r\njunk line\r\n");
        QVERIFY(WriteProfileUInt(keys::kVersion, keys::kMnemora, 101));
        QVERIFY(WriteProfileUInt(keys::kVersion, keys::kDictionary, 9));
        QVERIFY(WriteProfileUInt(keys::kWord, keys::kDBTable, 3));
        QVERIFY(WriteRunTimes(7));
        QCOMPARE(FileText(), QByteArray("\xEF\xBB\xBF; comment\r\n[version]\r\nmnemora=101\r\nother=x\r\n"
                                        "Dictionary=9\r\n\r\n[Word]\r\njunk line\r\nDBTable=3\r\n"
                                        "[Software]\r\nRunTimes=7\r\n"));
        QCOMPARE(ReadProfileInt("VERSION", "MNEMORA", 0), 101u);
    }

    void duplicatesFirstWins() {
        WriteFile("[Word]\nDBTable=2\nDBTable=5\n[Word]\nWordElapse=9\n");
        QCOMPARE(ReadProfileInt(keys::kWord, keys::kDBTable, 0), 2u);
        QCOMPARE(ReadProfileInt(keys::kWord, keys::kWordElapse, 0), 9u); // found in the repeated section
        QVERIFY(WriteProfileUInt(keys::kWord, keys::kDBTable, 1));
        QCOMPARE(FileText(), QByteArray("[Word]\nDBTable=1\nDBTable=5\n[Word]\nWordElapse=9\n"));
    }

    void valuesParse_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<uint>("expected");
        QTest::newRow("plain") << QByteArray("8") << 8u;
        QTest::newRow("negative") << QByteArray("-1") << 4294967295u;
        QTest::newRow("too long") << QByteArray("99999999999") << 1215752191u;
        QTest::newRow("trailing text") << QByteArray("12abc") << 12u;
        QTest::newRow("hex prefix") << QByteArray("0x10") << 0u;
        QTest::newRow("empty") << QByteArray("") << 77u;
        QTest::newRow("blanks") << QByteArray("  42  ") << 42u;
    }
    void valuesParse() {
        QFETCH(QByteArray, value);
        QFETCH(uint, expected);
        QCOMPARE(ini::ParseProfileInt(value, 77), expected);
        WriteFile("[S]\nK=" + value + "\n");
        QCOMPARE(ReadProfileInt("S", "K", 77), expected);
    }

    void readersRepair() {
        QCOMPARE(ReadTransparent(), 240u);
        QCOMPARE(ReadTextColor(), 0u);
        QCOMPARE(ReadBackgroundColor(), 221u + 243u * 256 + 255u * 65536);
        QVERIFY(ReadTopMost());
        QVERIFY(ReadShowSentence());
        const struct {
            QByteArray value;
            uint32_t alpha;
        } alphas[] = {{"10", 240}, {"11", 11}, {"255", 255}, {"256", 240}, {"-5", 240}};
        for (const auto& a : alphas) {
            WriteFile("[FloatWindow]\nTransparent=" + a.value + "\n");
            QCOMPARE(ReadTransparent(), a.alpha);
        }
        WriteFile("[FloatWindow]\nBackGroundG=300\nBackGroundR=128\nTextB=-1\nTextG=255\nTOPMOST="
                  "2\nShowSentence=0\n");
        QCOMPARE(ReadBackgroundColor(), 128u + 243u * 256 + 255u * 65536);
        QCOMPARE(ReadTextColor(), 255u * 256);
        QVERIFY(!ReadTopMost());
        QVERIFY(!ReadShowSentence());
    }

    void colourAndPositionRoundTrip() {
        QVERIFY(WriteFloatWindowPos(-20, 50));
        QVERIFY(FileText().contains("FloatWindowLeft=4294967276\nFloatWindowTop=50\n"));
        QCOMPARE(static_cast<int32_t>(ReadProfileInt(keys::kFloatWindow, keys::kFloatWindowLeft, 0)), -20);
        QVERIFY(WriteBackgroundColor(1, 2, 3));
        QCOMPARE(ReadBackgroundColor(), 1u + 2u * 256 + 3u * 65536);
        QVERIFY(WriteTopMost(5)); // stored as 1, the only value read as on
        QVERIFY(ReadTopMost());
        QVERIFY(WriteTopMost(0));
        QVERIFY(!ReadTopMost());
    }

    void wordListSelection_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("index");
        QTest::newRow("fourth study") << QByteArray("ExamStudy=1\nDBTable=3") << 1 << 3;
        QTest::newRow("study too far") << QByteArray("ExamStudy=1\nDBTable=4") << 1 << 0;
        QTest::newRow("last exam") << QByteArray("ExamStudy=0\nDBTable=7") << 0 << 7;
        QTest::newRow("exam too far") << QByteArray("ExamStudy=0\nDBTable=8") << 0 << 0;
        QTest::newRow("category 3 is exam") << QByteArray("ExamStudy=3\nDBTable=6") << 0 << 6;
        QTest::newRow("negative") << QByteArray("ExamStudy=1\nDBTable=-1") << 1 << 0;
    }
    void wordListSelection() {
        QFETCH(QByteArray, stored);
        QFETCH(int, category);
        QFETCH(int, index);
        WriteFile("[Word]\n" + stored + "\n");
        QCOMPARE(ReadExamStudy(), category);
        QCOMPARE(ReadWordListIndex(), index);
    }

    void oddFilesReadAsDefaultsAndSurviveWrites() {
        QByteArray garbage(4096, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = static_cast<char>((i * 131 + 7) % 256);
        WriteFile(garbage);
        QCOMPARE(ReadRunTimes(), 0u);
        QVERIFY(WriteRunTimes(3));
        QVERIFY(FileText().startsWith(garbage));
        QCOMPARE(ReadRunTimes(), 3u);

        QByteArray big = "[Software]\nRunTimes=5\n";
        big += QByteArray(10 * 1024 * 1024, 'x') + "\n[Word]\nDBTable=2\n";
        WriteFile(big);
        QCOMPARE(ReadRunTimes(), 5u);
        QCOMPARE(ReadWordListIndex(), 2);
        QVERIFY(WriteRunTimes(6));
        QCOMPARE(FileText().size(), big.size());

        WriteFile("");
        QCOMPARE(ReadTransparent(), 240u);
        QVERIFY(WriteTransparent(100));
        QCOMPARE(FileText(), QByteArray("[FloatWindow]\nTransparent=100\n"));
    }

    void failedWritesReportAndLoseNothing() {
        MNEMORA_RUN_UNPRIVILEGED(); // so that the read-only file holds under root too
        // A settings path below a regular file cannot be written, whoever runs the test.
        const QString blocker = dir_.filePath(QStringLiteral("blocker"));
        QFile b(blocker);
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.close();
        OverrideSettingsPath(blocker + QStringLiteral("/mnemora.ini"));
        QVERIFY(!WriteRunTimes(1));
        QCOMPARE(ReadRunTimes(), 0u);
        OverrideSettingsPath(path_);

        WriteFile("[Software]\nRunTimes=4\n");
        QFile::setPermissions(path_, QFile::ReadOwner);
        if (QFileInfo(path_).isWritable()) {
            QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
            QSKIP("running with privileges that ignore file permissions");
        }
        QVERIFY(!WriteRunTimes(5));
        QCOMPARE(FileText(), QByteArray("[Software]\nRunTimes=4\n"));
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
