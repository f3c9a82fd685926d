// Our INI reader and writer against the system's profile functions (GetPrivateProfileIntW,
// GetPrivateProfileStringW, WritePrivateProfileStringW) on the same files: every read
// agrees, and after the same write each side reads the other's file as its own.
#include "TestData.h"
#include "settings/IniProfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

using namespace mnemora;

namespace {

const wchar_t* Wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

QByteArray Utf16Le(const QByteArray& text) {
    QByteArray out("\xFF\xFE");
    for (const QChar c : QString::fromUtf8(text)) {
        out += static_cast<char>(c.unicode() & 0xFF);
        out += static_cast<char>(c.unicode() >> 8);
    }
    return out;
}

struct SystemRead {
    std::optional<QByteArray> value;
    uint32_t number;
};

SystemRead ReadBySystem(const QString& path, const char* section, const char* key) {
    const QString file = QDir::toNativeSeparators(path);
    const QString s = QString::fromLatin1(section), k = QString::fromLatin1(key);
    wchar_t buffer[256];
    const DWORD n = GetPrivateProfileStringW(Wide(s), Wide(k), L"\x1", buffer, 256, Wide(file));
    SystemRead read;
    if (!(n == 1 && buffer[0] == 1))
        read.value = QString::fromWCharArray(buffer, static_cast<int>(n)).toUtf8();
    read.number = GetPrivateProfileIntW(Wide(s), Wide(k), 77, Wide(file));
    return read;
}

void WriteBySystem(const QString& path, const char* section, const char* key, const char* value) {
    WritePrivateProfileStringW(Wide(QString::fromLatin1(section)), Wide(QString::fromLatin1(key)),
                               Wide(QString::fromLatin1(value)), Wide(QDir::toNativeSeparators(path)));
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
    {"UTF-16 mark", Utf16Le("[S]\r\nA=13\r\n[T]\r\nX=1\r\n")},
    {"no file", QByteArray()},
};

const char* const kSections[] = {"S", "T"};
const char* const kKeys[] = {"A", "B", "C", "D", "X", "NEW"};

} // namespace

class TestIniProfileApi : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // Every read of the file agrees: the value as text, and as a number.
    void CompareReads(const QString& theirs, const QString& ours, const QByteArray& what) {
        for (const char* section : kSections) {
            for (const char* key : kKeys) {
                const SystemRead system = ReadBySystem(theirs, section, key);
                const std::optional<QByteArray> value = ini::ReadValue(ours, section, key);
                const QByteArray where = what + " [" + section + "] " + key;
                QVERIFY2(system.value == value, where + ": " + system.value.value_or("<absent>") + " vs " +
                                                    value.value_or("<absent>"));
                QVERIFY2(system.number == ini::ParseProfileInt(value, 77),
                         where + ": " + QByteArray::number(system.number));
            }
        }
    }

private slots:
    void readsAgree() {
        for (const Case& c : kCases) {
            const QString path = dir_.filePath(QStringLiteral("read.ini"));
            QFile::remove(path);
            QVERIFY(c.text.isNull() || testdata::WriteFile(path, c.text));
            CompareReads(path, path, c.name);
        }
    }

    // The same write through both: each reads back the other's result the same way.
    void writesAgree() {
        const struct {
            const char *section, *key, *value;
        } writes[] = {{"S", "A", "9"}, {"s", "NEW", "1"}, {"T", "X", "4294967276"}, {"S", "C", "2"}};
        for (const Case& c : kCases) {
            for (const auto& w : writes) {
                const QString theirs = dir_.filePath(QStringLiteral("theirs.ini"));
                const QString ours = dir_.filePath(QStringLiteral("ours.ini"));
                QFile::remove(theirs);
                QFile::remove(ours);
                QVERIFY(c.text.isNull() ||
                        (testdata::WriteFile(theirs, c.text) && testdata::WriteFile(ours, c.text)));
                WriteBySystem(theirs, w.section, w.key, w.value);
                QVERIFY(ini::WriteValue(ours, w.section, w.key, w.value));
                const QByteArray what = QByteArray(c.name) + " after " + w.section + "/" + w.key;
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
