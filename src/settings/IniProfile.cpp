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

// Walks the lines of an INI text, skipping a UTF-8 byte-order mark.
class LineCursor {
public:
    explicit LineCursor(const QByteArray& text) : text_(text) {
        if (text_.startsWith("\xEF\xBB\xBF"))
            pos_ = 3;
    }
    bool Next(Line& line) {
        if (pos_ >= text_.size())
            return false;
        qsizetype nl = text_.indexOf('\n', pos_);
        const qsizetype next = nl < 0 ? text_.size() : nl + 1;
        qsizetype end = nl < 0 ? text_.size() : nl;
        if (end > pos_ && text_[end - 1] == '\r')
            --end;
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
    QByteArrayView value;
};

std::optional<KeyLine> KeyOf(QByteArrayView line) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    const QByteArrayView key = line.first(eq).trimmed();
    if (key.isEmpty() || key.startsWith(';'))
        return std::nullopt;
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
    bool inFirstSection = false;
    while (cursor.Next(line)) {
        const QByteArrayView view = QByteArrayView(text).sliced(line.begin, line.end - line.begin);
        if (const auto name = SectionOf(view)) {
            inSection = SameName(*name, section);
            inFirstSection = inSection && !where.sectionFound;
            if (inFirstSection) {
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
        if (inFirstSection && !view.trimmed().isEmpty())
            where.insertAt = line.next;
    }
    return where;
}

QByteArray LineBreakOf(const QByteArray& text) {
    const qsizetype nl = text.indexOf('\n');
    return nl > 0 && text[nl - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

} // namespace

std::optional<QByteArray> ReadValue(const QString& path, const char* section, const char* key) {
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.readAll();
    const Location where = Locate(text, section, key);
    if (!where.keyFound)
        return std::nullopt;
    const QByteArrayView line =
        QByteArrayView(text).sliced(where.keyLine.begin, where.keyLine.end - where.keyLine.begin);
    return KeyOf(line)->value.toByteArray();
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
        if (where.insertAt == out.size() && !out.isEmpty() && !out.endsWith('\n'))
            entry.prepend(br);
        out.insert(where.insertAt, entry);
        return out;
    }
    if (!out.isEmpty() && !out.endsWith('\n'))
        out += br;
    out += '[' + QByteArray(section) + ']' + br + entry;
    return out;
}

bool WriteValue(const QString& path, const char* section, const char* key, const QByteArray& value) {
    if (path.isEmpty())
        return false;
    QByteArray text;
    QFile current(path);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly))
            return false; // never replace a file whose content could not be read
        text = current.readAll();
        current.close();
    }
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray updated = WithValue(text, section, key, value);
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
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return defaultValue;
    uint32_t result = 0; // unsigned arithmetic wraps, which is the modulo 2^32 wanted
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        result = result * 10u + static_cast<uint32_t>(text[i] - '0');
    return negative ? 0u - result : result;
}

} // namespace mnemora::ini
