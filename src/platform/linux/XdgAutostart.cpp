#include "platform/linux/XdgAutostart.h"

#include "platform/ProgramPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

namespace mnemora {
namespace {
const QString kEntryGroup = QStringLiteral("[Desktop Entry]");

// Characters that force an Exec argument into double quotes.
bool IsReserved(QChar c) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

QString KeyOf(const QString& line) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.first(eq).trimmed();
}

QString ValueOf(const QString& line) {
    return line.sliced(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool IsGroupHeader(const QString& line) {
    return line.trimmed().startsWith(QLatin1Char('['));
}

// The file's lines without line ends; empty when there is no readable file.
QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// Index range [begin, end) of the main group's entries, or begin = -1 when there is none.
std::pair<qsizetype, qsizetype> EntryGroupRange(const QStringList& lines) {
    qsizetype begin = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!IsGroupHeader(lines[i]))
            continue;
        if (begin >= 0)
            return {begin, i};
        if (lines[i].trimmed() == kEntryGroup)
            begin = i + 1;
    }
    return {begin, lines.size()};
}
} // namespace

QString AutostartFilePath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir(base).filePath(QStringLiteral("autostart/Mnemora.desktop"));
}

QString DesktopExecValue(const QString& programPath) {
    QString arg;
    const bool quote = std::any_of(programPath.begin(), programPath.end(), IsReserved);
    for (const QChar c : programPath) {
        if (quote && (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                      c == QLatin1Char('\\')))
            arg += QLatin1Char('\\');
        arg += c;
        if (c == QLatin1Char('%'))
            arg += QLatin1Char('%'); // a lone "%" would start a field code
    }
    if (quote)
        arg = QLatin1Char('"') + arg + QLatin1Char('"');
    // The string escapes of the value apply on top of the argument quoting.
    QString value;
    for (const QChar c : arg) {
        switch (c.unicode()) {
        case '\\':
            value += QStringLiteral("\\\\");
            break;
        case '\n':
            value += QStringLiteral("\\n");
            break;
        case '\t':
            value += QStringLiteral("\\t");
            break;
        case '\r':
            value += QStringLiteral("\\r");
            break;
        default:
            value += c;
        }
    }
    return value;
}

bool IsAutostartRegistered() {
    const QString path = AutostartFilePath();
    if (!QFileInfo(path).isFile())
        return false;
    const QStringList lines = ReadLines(path);
    const auto [begin, end] = EntryGroupRange(lines);
    for (qsizetype i = std::max<qsizetype>(begin, 0); begin >= 0 && i < end; ++i) {
        if (KeyOf(lines[i]) == QLatin1String("Hidden"))
            return ValueOf(lines[i]) != QLatin1String("true");
    }
    return true;
}

bool RegisterAutostart() {
    const QString program = ProgramFilePath();
    if (program.isEmpty())
        return false;
    const QString path = AutostartFilePath();
    QStringList lines = ReadLines(path);
    auto [begin, end] = EntryGroupRange(lines);
    if (begin < 0) {
        // The main group has to come first in the file.
        lines.prepend(kEntryGroup);
        begin = 1;
        end = 1;
    }
    // Drop what decides how and whether the entry starts; keep everything else.
    bool hasName = false;
    for (qsizetype i = end - 1; i >= begin; --i) {
        const QString key = KeyOf(lines[i]);
        hasName = hasName || key == QLatin1String("Name");
        if (key == QLatin1String("Type") || key == QLatin1String("Exec") || key == QLatin1String("TryExec") ||
            key == QLatin1String("Hidden") || key == QLatin1String("X-GNOME-Autostart-enabled"))
            lines.removeAt(i);
    }
    QStringList ours{QStringLiteral("Type=Application")};
    if (!hasName)
        ours << QStringLiteral("Name=Mnemora");
    ours << QStringLiteral("Exec=") + DesktopExecValue(program)
         << QStringLiteral("X-GNOME-Autostart-enabled=true");
    for (qsizetype i = 0; i < ours.size(); ++i)
        lines.insert(begin + i, ours[i]);

    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return file.commit();
}

bool UnregisterAutostart() {
    const QString path = AutostartFilePath();
    return !QFileInfo::exists(path) || QFile::remove(path);
}

} // namespace mnemora
