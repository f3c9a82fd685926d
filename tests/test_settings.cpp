// The settings file: path rule, profile-style edits, value parsing, the readers' repair
// rules, and that a failed write never damages the file.
#include "TestData.h"
#include "Unprivileged.h"
#include "settings/AwaySettings.h"
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

    void settingsPathFromFileName() {
        const char* rows[][2] = {{"/opt/w.d/app.exe", "/opt/w.d/app.ini"},
                                 {"/opt/app.tar.gz", "/opt/app.tar.ini"},
                                 {"/opt/.mnemora", "/opt/.mnemora.ini"},
                                 {"mnemora", "mnemora.ini"}};
        for (const auto& [program, ini] : rows)
            QCOMPARE(SettingsPathFor(program), QString(ini));
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
        // Of repeated keys and sections the first holds, for reads and writes alike (as on
        // Windows: a key of a repeated section is not seen).
        WriteFile("[Word]\nDBTable=2\nDBTable=5\n[Word]\nWordElapse=9\n");
        QCOMPARE(ReadProfileInt(keys::kWord, keys::kDBTable, 0), 2u);
        QCOMPARE(ReadProfileInt(keys::kWord, keys::kWordElapse, 0), 0u);
        QVERIFY(WriteProfileUInt(keys::kWord, keys::kDBTable, 1));
        QVERIFY(WriteProfileUInt(keys::kWord, keys::kWordElapse, 6));
        QCOMPARE(FileText(),
                 QByteArray("[Word]\nDBTable=1\nDBTable=5\nWordElapse=6\n[Word]\nWordElapse=9\n"));
        QCOMPARE(ReadProfileInt(keys::kWord, keys::kWordElapse, 0), 6u);
        // A line without "=" names the key: it reads as absent and a write replaces it.
        WriteFile("[Word]\nWordElapse\nWordElapse=5\n");
        QCOMPARE(ReadProfileInt(keys::kWord, keys::kWordElapse, 8), 8u);
        QVERIFY(WriteProfileUInt(keys::kWord, keys::kWordElapse, 6));
        QCOMPARE(FileText(), QByteArray("[Word]\nWordElapse=6\nWordElapse=5\n"));
    }

    void valuesParse() {
        const struct {
            QByteArray value;
            uint expected;
        } rows[] = {{"8", 8},       {"-1", 4294967295u}, {"99999999999", 1215752191u},
                    {"12abc", 12},  {"0x10", 0},         {"", 77},
                    {"  42  ", 42}, {"abc", 0},          {"-", 0},
                    {"+7", 7},      {"\"12\"", 12},      {"' 7 '", 7},
                    {"\"12", 0},    {"\"\"", 77}};
        for (const auto& row : rows) {
            WriteFile("[S]\nK=" + row.value + "\n");
            QVERIFY2(ReadProfileInt("S", "K", 77) == row.expected, row.value.constData());
        }
    }

    // A colour part out of range keeps its default; only exactly 1 is on; a word list outside
    // its category is the first; missing or out-of-range away settings give the defaults.
    void readersRepair() {
        for (const auto& [value, alpha] :
             {std::pair{"10", 240u}, {"11", 11u}, {"255", 255u}, {"256", 240u}}) {
            WriteFile(QByteArray("[FloatWindow]\nTransparent=") + value + "\n");
            QCOMPARE(ReadTransparent(), alpha);
        }
        WriteFile("[FloatWindow]\nBackGroundG=300\nBackGroundR=128\nBackGroundB=7\nTextB=-1\nTextG=255\n"
                  "TOPMOST=2\nShowSentence=0\n");
        QCOMPARE(ReadBackgroundColor(), 128u + 243u * 256 + 7u * 65536);
        QCOMPARE(ReadTextColor(), 255u * 256);
        QVERIFY(!ReadTopMost() && !ReadShowSentence());
        QVERIFY(WriteFloatWindowPos(-20, 50));
        QVERIFY(FileText().contains("FloatWindowLeft=4294967276\nFloatWindowTop=50\n"));
        const struct {
            const char* stored;
            int category, index;
        } lists[] = {{"ExamStudy=1\nDBTable=3", 1, 3}, {"ExamStudy=1\nDBTable=4", 1, 0},
                     {"ExamStudy=0\nDBTable=7", 0, 7}, {"ExamStudy=0\nDBTable=8", 0, 0},
                     {"ExamStudy=3\nDBTable=6", 0, 6}, {"ExamStudy=1\nDBTable=-1", 1, 0}};
        for (const auto& row : lists) {
            WriteFile(QByteArray("[Word]\n") + row.stored + "\n");
            QVERIFY2(ReadExamStudy() == row.category && ReadWordListIndex() == row.index, row.stored);
        }
        for (const auto& [file, read] :
             {std::pair<QByteArray, QList<int>>{"", {1, 5, 1}},
              {"PauseWhenAway=0\nAwayMinutes=120\nHideOnFullScreen=2\n", {0, 120, 0}},
              {"AwayMinutes=0\n", {1, 5, 1}},
              {"AwayMinutes=121\n", {1, 5, 1}}}) {
            WriteFile("[Away]\n" + file);
            const AwaySettings s = ReadAwaySettings();
            QCOMPARE((QList<int>{s.pauseWhenAway, int(s.awayMinutes), s.hideOnFullScreen}), read);
        }
    }

    // Line ends and encodings the profile functions accept: a write keeps the file's own.
    void lineEndsAndEncodingsSurviveWrites() {
        const auto utf16 = [](const char* text, bool le) {
            QByteArray out(le ? "\xFF\xFE" : "\xFE\xFF");
            for (const char* c = text; *c; ++c)
                out += le ? QByteArray(1, *c) + '\0' : '\0' + QByteArray(1, *c);
            return out;
        };
        const struct {
            QByteArray before, after;
        } rows[] = {
            {"[Word]\rWordElapse=5\rDBTable=6",
             "[Word]\rWordElapse=5\rDBTable=6\rExamStudy=1\r[Software]\rRunTimes=3\r"},
            {utf16("[Word]\r\nWordElapse=5\r\n", true),
             utf16("[Word]\r\nWordElapse=5\r\nExamStudy=1\r\n[Software]\r\nRunTimes=3\r\n", true)},
            {utf16("[Word]\nWordElapse=5\n", false),
             utf16("[Word]\nWordElapse=5\nExamStudy=1\n[Software]\nRunTimes=3\n", false)},
        };
        for (const auto& row : rows) {
            WriteFile(row.before);
            QCOMPARE(ReadProfileInt(keys::kWord, keys::kWordElapse, 0), 5u);
            QVERIFY(WriteProfileUInt(keys::kWord, keys::kExamStudy, 1));
            QVERIFY(WriteRunTimes(3));
            QCOMPARE(FileText(), row.after);
            QCOMPARE(ReadRunTimes(), 3u);
        }
        // A UTF-16 file that does not decode is not written to.
        const QByteArray broken = utf16("[Software]\r\nRunTimes=4\r\n", true) + 'x';
        WriteFile(broken);
        QVERIFY(!WriteRunTimes(5));
        QCOMPARE(FileText(), broken);
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
        const QByteArray big =
            "[Software]\nRunTimes=5\n" + QByteArray(10 * 1024 * 1024, 'x') + "\n[Word]\nDBTable=2\n";
        WriteFile(big);
        QCOMPARE(ReadWordListIndex(), 2);
        QVERIFY(WriteRunTimes(6));
        QCOMPARE(FileText().size(), big.size());
        WriteFile("");
        QVERIFY(WriteTransparent(100));
        QCOMPARE(FileText(), QByteArray("[FloatWindow]\nTransparent=100\n"));
    }

    void failedWritesReportAndLoseNothing() {
        MNEMORA_RUN_UNPRIVILEGED(); // so that the read-only file holds under root too
        // A settings path below a regular file cannot be written, whoever runs the test.
        const QString blocker = dir_.filePath(QStringLiteral("blocker"));
        QVERIFY(testdata::WriteFile(blocker, QByteArray()));
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
