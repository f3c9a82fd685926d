// Our INI reader and writer against the system's profile functions (GetPrivateProfileIntW,
// GetPrivateProfileStringW, WritePrivateProfileStringW) on the same files: every read
// agrees, and after the same write each side reads the other's file as its own.
#include "TestData.h"
#include "settings/IniProfile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

using namespace mnemora;

namespace {

const wchar_t* Wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

// The files a user can meet: hand edits, other editors' encodings and line ends.
const struct Case {
    const char* name;
    QByteArray text;
} kCases[] = {
    {"not a number", "[S]\r\nA=abc\r\nB=12abc\r\n"},
    {"quoted", "[S]\r\nA=\"12\"\r\nB=' 7 '\r\nC=\"12\r\n"},
    {"signs and sizes", "[S]\r\nA=-5\r\nB=+7\r\nC=99999999999\r\nD= -3x\r\n"},
    {"empty", "[S]\r\nA=\r\nB=\"\"\r\n"},
    {"blanks around names", "[ S ]\r\n  A  =  42  \r\n\tB\t=\t8\t\r\n"},
    {"repeated section", "[S]\r\nA=1\r\n[T]\r\nX=1\r\n[s]\r\nB=2\r\nA=3\r\n"},
    {"repeated key", "[S]\r\nA=1\r\na=2\r\n"},
    {"line without =", "[S]\r\nC\r\nB=3\r\n"},
    {"comments", "[S]\r\n;A=1\r\nB=2\r\n"},
    {"key before any section", "A=1\r\n[S]\r\nB=2\r\n"},
    {"unclosed header", "[S\r\nA=1\r\n[S] trailing\r\nB=4\r\n"},
    {"CR only", "[S]\rA=5\rB=6\r"},
    {"LF only, no last break", "[S]\nA=5\nB=6"},
    {"UTF-8 mark", "\xEF\xBB\xBF[S]\r\nA=11\r\n"},
    {"UTF-16 mark", QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(
                        QStringLiteral("[S]\r\nA=13\r\n[T]\r\nX=1\r\n"))},
    {"no file", QByteArray()},
};

} // namespace

class TestIniProfileApi : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // Every read of the file agrees: the value as text (absent reads as the system's default,
    // "\x1"), and as a number.
    void CompareReads(const QString& theirs, const QString& ours, const QByteArray& what) {
        const QString file = QDir::toNativeSeparators(theirs);
        for (const QString section : {"S", "T"}) {
            for (const QString key : {"A", "B", "C", "D", "X", "NEW"}) {
                wchar_t buffer[256];
                const DWORD n =
                    GetPrivateProfileStringW(Wide(section), Wide(key), L"\x1", buffer, 256, Wide(file));
                const std::optional<QByteArray> value =
                    ini::ReadValue(ours, section.toLatin1().constData(), key.toLatin1().constData());
                const QByteArray where = what + " [" + section.toLatin1() + "] " + key.toLatin1() + ": ";
                QCOMPARE(where + QString::fromWCharArray(buffer, static_cast<int>(n)).toUtf8(),
                         where + value.value_or("\x1"));
                QCOMPARE(where + QByteArray::number(
                                     GetPrivateProfileIntW(Wide(section), Wide(key), 77, Wide(file))),
                         where + QByteArray::number(ini::ParseProfileInt(value, 77)));
            }
        }
    }

private slots:
    // The same write through both (or none): each reads back the other's result the same way.
    void readsAndWritesAgree() {
        const struct {
            const char *section, *key, *value;
        } writes[] = {{}, {"S", "A", "9"}, {"s", "NEW", "1"}, {"T", "X", "4294967276"}, {"S", "C", "2"}};
        const QString theirs = dir_.filePath("theirs.ini"), ours = dir_.filePath("ours.ini");
        for (const Case& c : kCases) {
            for (const auto& w : writes) {
                QFile::remove(theirs);
                QFile::remove(ours);
                QVERIFY(c.text.isNull() ||
                        (testdata::WriteFile(theirs, c.text) && testdata::WriteFile(ours, c.text)));
                const QByteArray what = QByteArray(c.name) + " after " + w.section + "/" + w.key;
                if (w.section != nullptr) {
                    WritePrivateProfileStringW(Wide(w.section), Wide(w.key), Wide(w.value),
                                               Wide(QDir::toNativeSeparators(theirs)));
                    QVERIFY(ini::WriteValue(ours, w.section, w.key, w.value));
                }
                CompareReads(theirs, ours, what);
                CompareReads(ours, ours, what + " (our file, both readers)");
                // The encoding stays what it was: the system's write keeps a UTF-16 file UTF-16.
                QCOMPARE(testdata::ReadFile(ours).startsWith("\xFF\xFE"),
                         testdata::ReadFile(theirs).startsWith("\xFF\xFE"));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestIniProfileApi)
#include "test_ini_profile_api.moc"
