// The settings file: path rule, profile-style edits, value parsing, the readers' repair
// rules, and that a failed write never damages the file.
#include "TestData.h"
#include "Unprivileged.h"
#include "settings/AwaySettings.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

#include <QFile>
#include <QStringEncoder>
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
        path_ = dir_.filePath("mnemora.ini");
        OverrideSettingsPath(path_);
    }
    void init() { QFile::remove(path_); }

    void settingsPathFromFileName() {
        for (const auto& [program, ini] : {std::pair{"/opt/w.d/app.exe", "/opt/w.d/app.ini"},
                                           {"/opt/app.tar.gz", "/opt/app.tar.ini"},
                                           {"/opt/.mnemora", "/opt/.mnemora.ini"},
                                           {"mnemora", "mnemora.ini"}})
            QCOMPARE(SettingsPathFor(program), QString(ini));
    }

    // An edit replaces the key in place (the first of repeated keys and sections, for reads and
    // writes alike, as on Windows: a key of a repeated section is not seen), puts a new one after
    // its section's last line and a new section at the end, and keeps every other byte, the
    // file's line ends and its encoding. A line without "=" names the key: it reads as absent
    // and a write replaces it.
    void editsInPlaceAndKeepTheRest() {
        const auto utf16 = [](const char* text, bool le) {
            return QByteArray(QStringEncoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                                             QStringConverter::Flag::WriteBom)(QString::fromLatin1(text)));
        };
        const struct {
            uint elapse; // WordElapse read before the writes, 8 when absent
            QByteArray before, after;
        } rows[] = {
            {5,
             "\xEF\xBB\xBF; comment\r\n[word]\r\nwordelapse = 5\r\njunk "
             "line\r\nother=x\r\n\r\n[V]\r\nA=1\r\n",
             "\xEF\xBB\xBF; comment\r\n[word]\r\nwordelapse=6\r\njunk line\r\nother=x\r\nExamStudy=1\r\n\r\n"
             "[V]\r\nA=1\r\n[Software]\r\nRunTimes=3\r\n"},
            {2, "[Word]\nWordElapse=2\nwordElapse=5\n",
             "[Word]\nWordElapse=6\nwordElapse=5\nExamStudy=1\n[Software]\nRunTimes=3\n"},
            {8, "[Word]\nDBTable=2\n[WORD]\nWordElapse=9\n",
             "[Word]\nDBTable=2\nWordElapse=6\nExamStudy=1\n[WORD]\nWordElapse=9\n[Software]\nRunTimes=3\n"},
            {8, "", "[Word]\nWordElapse=6\nExamStudy=1\n[Software]\nRunTimes=3\n"},
            {8, "[Word]\nWordElapse\nWordElapse=5\n",
             "[Word]\nWordElapse=6\nWordElapse=5\nExamStudy=1\n[Software]\nRunTimes=3\n"},
            {5, "[Word]\rWordElapse=5\rDBTable=6",
             "[Word]\rWordElapse=6\rDBTable=6\rExamStudy=1\r[Software]\rRunTimes=3\r"},
            {5, utf16("[Word]\r\nWordElapse=5\r\n", true),
             utf16("[Word]\r\nWordElapse=6\r\nExamStudy=1\r\n[Software]\r\nRunTimes=3\r\n", true)},
            {5, utf16("[Word]\nWordElapse=5\n", false),
             utf16("[Word]\nWordElapse=6\nExamStudy=1\n[Software]\nRunTimes=3\n", false)},
        };
        for (const auto& row : rows) {
            WriteFile(row.before);
            QCOMPARE(ReadProfileInt(keys::kWord, keys::kWordElapse, 8), row.elapse);
            QVERIFY(WriteProfileUInt(keys::kWord, keys::kWordElapse, 6) &&
                    WriteProfileUInt(keys::kWord, keys::kExamStudy, 1) && WriteRunTimes(3));
            QCOMPARE(FileText(), row.after);
            QCOMPARE((QList<uint>{ReadProfileInt(keys::kWord, keys::kWordElapse, 8), ReadRunTimes()}),
                     (QList<uint>{6, 3}));
        }
        // A UTF-16 file that does not decode is not written to.
        const QByteArray broken = utf16("[Software]\r\nRunTimes=4\r\n", true) + 'x';
        WriteFile(broken);
        QVERIFY(!WriteRunTimes(5));
        QCOMPARE(FileText(), broken);
    }

    void valuesParse() {
        const std::pair<QByteArray, uint> rows[] = {
            {"8", 8},       {"-1", 4294967295u}, {"99999999999", 1215752191u},
            {"12abc", 12},  {"0x10", 0},         {"", 77},
            {"  42  ", 42}, {"abc", 0},          {"-", 0},
            {"+7", 7},      {"\"12\"", 12},      {"' 7 '", 7},
            {"\"12", 0},    {"\"\"", 77}};
        for (const auto& [value, expected] : rows) {
            WriteFile("[S]\nK=" + value + "\n");
            QVERIFY2(ReadProfileInt("S", "K", 77) == expected, value.constData());
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
        WriteFile("[FloatWindow]\nBackGroundG=256\nBackGroundR=128\nBackGroundB=7\nTextB=-1\nTextG=255\n"
                  "TOPMOST=2\nShowSentence=0\n");
        QCOMPARE(ReadBackgroundColor(), 128u + 243u * 256 + 7u * 65536);
        QCOMPARE(ReadTextColor(), 255u * 256);
        QVERIFY(!ReadTopMost() && !ReadShowSentence());
        QVERIFY(WriteFloatWindowPos(-20, 50));
        QVERIFY(FileText().contains("FloatWindowLeft=4294967276\nFloatWindowTop=50\n"));
        const std::tuple<const char*, int, int> lists[] = {
            {"ExamStudy=1\nDBTable=3", 1, 3}, {"ExamStudy=1\nDBTable=4", 1, 0},
            {"ExamStudy=0\nDBTable=7", 0, 7}, {"ExamStudy=0\nDBTable=8", 0, 0},
            {"ExamStudy=3\nDBTable=6", 0, 6}, {"ExamStudy=1\nDBTable=-1", 1, 0}};
        for (const auto& [stored, category, index] : lists) {
            WriteFile(QByteArray("[Word]\n") + stored + "\n");
            QVERIFY2(ReadExamStudy() == category && ReadWordListIndex() == index, stored);
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
    }

    void failedWritesReportAndLoseNothing() {
        MNEMORA_RUN_UNPRIVILEGED(); // so that the read-only file holds under root too
        // A settings path below a regular file cannot be written, whoever runs the test.
        const QString blocker = dir_.filePath("blocker");
        QVERIFY(testdata::WriteFile(blocker, QByteArray()));
        OverrideSettingsPath(blocker + "/mnemora.ini");
        QVERIFY(!WriteRunTimes(1));
        QCOMPARE(ReadRunTimes(), 0u);
        OverrideSettingsPath(path_);
        WriteFile("[Software]\nRunTimes=4\n");
        QVERIFY(QFile::setPermissions(path_, QFile::ReadOwner));
        QVERIFY(!WriteRunTimes(5));
        QCOMPARE(FileText(), QByteArray("[Software]\nRunTimes=4\n"));
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
