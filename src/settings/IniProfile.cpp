#include "settings/IniProfile.h"

#include <QFile>
#include <QSaveFile>

namespace mnemora::ini {
namespace {

struct Line {
    qsizetype begin; // first byte of the line
    qsizetype end;   // one past its last byte, line break excluded
    qsizetype next;  // first byte of the following line
};

// Walks the lines of an INI text. A line ends at CR LF, LF or a lone CR (files saved with
// old Mac line ends read as the system's profile reader reads them).
class LineCursor {
public:
    explicit LineCursor(const QByteArray& text) : text_(text) {}
    bool Next(Line& line) {
        if (pos_ >= text_.size())
            return false;
        qsizetype end = pos_;
        while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r')
            ++end;
        qsizetype next = end;
        if (next < text_.size())
            next += text_[next] == '\r' && next + 1 < text_.size() && text_[next + 1] == '\n' ? 2 : 1;
        line = {pos_, end, next};
        pos_ = next;
        return true;
    }

private:
    const QByteArray& text_;
    qsizetype pos_ = 0;
};

// The section name of a header line, or nothing.
std::optional<QByteArrayView> SectionOf(QByteArrayView line) {
    line = line.trimmed();
    if (!line.startsWith('['))
        return std::nullopt;
    const qsizetype close = line.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return line.sliced(1, close - 1).trimmed();
}

bool SameName(QByteArrayView a, QByteArrayView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct KeyLine {
    QByteArrayView key;
    std::optional<QByteArrayView> value; // none on a line without "="
};

// A line without "=" names a key without a value: it hides later lines of that key (it
// reads as absent) and a write of the key replaces it, as with the profile functions.
std::optional<KeyLine> KeyOf(QByteArrayView line) {
    const qsizetype eq = line.indexOf('=');
    const QByteArrayView key = (eq < 0 ? line : line.first(eq)).trimmed();
    if (key.isEmpty() || key.startsWith(';'))
        return std::nullopt;
    if (eq < 0)
        return KeyLine{key, std::nullopt};
    return KeyLine{key, line.sliced(eq + 1).trimmed()};
}

// Where a key stands in the text, or where a new one would go.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine{};
    qsizetype insertAt = -1; // after the last non-blank line of the first matching section
};

Location Locate(const QByteArray& text, QByteArrayView section, QByteArrayView key) {
    Location where;
    LineCursor cursor(text);
    Line line;
    bool inSection = false;
    while (cursor.Next(line)) {
        const QByteArrayView view = QByteArrayView(text).sliced(line.begin, line.end - line.begin);
        if (const auto name = SectionOf(view)) {
            // Only the first section of a name counts, for reads and writes alike.
            if (where.sectionFound)
                return where;
            inSection = SameName(*name, section);
            if (inSection) {
                where.sectionFound = true;
                where.insertAt = line.next;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (const auto entry = KeyOf(view); entry && SameName(entry->key, key)) {
            where.keyFound = true;
            where.keyLine = line;
            return where;
        }
        // A new key goes after the section's last non-blank line, so blank lines that
        // separate it from the next section stay where they are.
        if (!view.trimmed().isEmpty())
            where.insertAt = line.next;
    }
    return where;
}

// The file's own line break (its first one), LF for a file without any.
QByteArray LineBreakOf(const QByteArray& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            return QByteArrayLiteral("\n");
        if (text[i] == '\r')
            return i + 1 < text.size() && text[i + 1] == '\n' ? QByteArrayLiteral("\r\n")
                                                              : QByteArrayLiteral("\r");
    }
    return QByteArrayLiteral("\n");
}

bool EndsWithBreak(const QByteArray& text) {
    return text.endsWith('\n') || text.endsWith('\r');
}

// How a settings file is stored. The profile functions read UTF-16 files with a byte-order
// mark and keep them UTF-16 when they write; every other file is taken byte for byte
// (a UTF-8 mark is skipped and kept).
enum class Encoding { Bytes, Utf8Bom, Utf16Le, Utf16Be };

struct Decoded {
    Encoding encoding = Encoding::Bytes;
    QByteArray text;   // without the byte-order mark; UTF-8 for UTF-16 files
    bool sound = true; // false: a UTF-16 file that does not decode (odd length, broken pairs)
};

Decoded Decode(const QByteArray& raw) {
    Decoded d;
    if (raw.startsWith("\xEF\xBB\xBF")) {
        d.encoding = Encoding::Utf8Bom;
        d.text = raw.mid(3);
        return d;
    }
    const bool le = raw.startsWith("\xFF\xFE");
    if (!le && !raw.startsWith("\xFE\xFF")) {
        d.text = raw;
        return d;
    }
    d.encoding = le ? Encoding::Utf16Le : Encoding::Utf16Be;
    const QByteArray body = raw.mid(2);
    QString units(body.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < units.size(); ++i) {
        const auto a = static_cast<uchar>(body[2 * i]), b = static_cast<uchar>(body[2 * i + 1]);
        units[i] = QChar(le ? static_cast<char16_t>(a | b << 8) : static_cast<char16_t>(b | a << 8));
    }
    d.text = units.toUtf8();
    d.sound = body.size() % 2 == 0 && QString::fromUtf8(d.text) == units;
    return d;
}

QByteArray Encode(Encoding encoding, const QByteArray& text) {
    switch (encoding) {
    case Encoding::Bytes:
        return text;
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        break;
    }
    const bool le = encoding == Encoding::Utf16Le;
    const QString units = QString::fromUtf8(text);
    QByteArray out(le ? "\xFF\xFE" : "\xFE\xFF");
    out.reserve(2 + units.size() * 2);
    for (const QChar c : units) {
        const char lo = static_cast<char>(c.unicode() & 0xFF), hi = static_cast<char>(c.unicode() >> 8);
        out += le ? lo : hi;
        out += le ? hi : lo;
    }
    return out;
}

// A value in matching double or single quotes reads without them, as the profile reader
// returns it.
QByteArray Unquoted(QByteArrayView value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.toByteArray();
}

} // namespace

std::optional<QByteArray> ReadValue(const QString& path, const char* section, const char* key) {
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const Decoded decoded = Decode(file.readAll());
    const QByteArray& text = decoded.text;
    const Location where = Locate(text, section, key);
    if (!where.keyFound)
        return std::nullopt;
    const QByteArrayView line =
        QByteArrayView(text).sliced(where.keyLine.begin, where.keyLine.end - where.keyLine.begin);
    const std::optional<QByteArrayView> value = KeyOf(line)->value;
    if (!value)
        return std::nullopt;
    return Unquoted(*value);
}

QByteArray WithValue(const QByteArray& file, const char* section, const char* key, const QByteArray& value) {
    const Location where = Locate(file, section, key);
    const QByteArray br = LineBreakOf(file);
    QByteArray out = file;
    if (where.keyFound) {
        const QByteArrayView line =
            QByteArrayView(file).sliced(where.keyLine.begin, where.keyLine.end - where.keyLine.begin);
        const QByteArray replaced = KeyOf(line)->key.toByteArray() + '=' + value;
        out.replace(where.keyLine.begin, where.keyLine.end - where.keyLine.begin, replaced);
        return out;
    }
    QByteArray entry = QByteArray(key) + '=' + value + br;
    if (where.sectionFound) {
        // The section's last line may lack a line break when it ends the file.
        if (where.insertAt == out.size() && !out.isEmpty() && !EndsWithBreak(out))
            entry.prepend(br);
        out.insert(where.insertAt, entry);
        return out;
    }
    if (!out.isEmpty() && !EndsWithBreak(out))
        out += br;
    out += '[' + QByteArray(section) + ']' + br + entry;
    return out;
}

bool WriteValue(const QString& path, const char* section, const char* key, const QByteArray& value) {
    if (path.isEmpty())
        return false;
    Decoded decoded;
    QFile current(path);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly))
            return false; // never replace a file whose content could not be read
        decoded = Decode(current.readAll());
        current.close();
        if (!decoded.sound)
            return false; // nor one that would not survive being written back
    }
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray updated = Encode(decoded.encoding, WithValue(decoded.text, section, key, value));
    if (out.write(updated) != updated.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

uint32_t ParseProfileInt(const std::optional<QByteArray>& value, uint32_t defaultValue) {
    if (!value)
        return defaultValue;
    const QByteArray& text = *value;
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (text.trimmed().isEmpty())
        return defaultValue;
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return 0;        // a value that is not a number reads 0, as the profile reader gives it
    uint32_t result = 0; // unsigned arithmetic wraps, which is the modulo 2^32 wanted
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        result = result * 10u + static_cast<uint32_t>(text[i] - '0');
    return negative ? 0u - result : result;
}

} // namespace mnemora::ini
