#include "platform/DataLocation.h"

#include "platform/ProgramPath.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

#ifdef Q_OS_WIN
#include <QTemporaryFile>
#include <shlobj.h>
#else
#include <unistd.h>
#endif

namespace mnemora {
namespace {

std::optional<DataLocation>& Slot() {
    static std::optional<DataLocation> location;
    return location;
}

// The XDG rules: an unset, empty or relative variable means the default below HOME.
QString XdgFolder(const QString& value, const QString& home, const char* fallback) {
    if (!value.isEmpty() && value.startsWith(u'/'))
        return QDir::cleanPath(value);
    return QDir::cleanPath(home + u'/' + QLatin1String(fallback));
}

QString SettingsFileName(const QString& programFilePath) {
    const QString name = QFileInfo(programFilePath).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > 0 ? name.left(dot) : name) + QStringLiteral(".ini");
}

#ifdef Q_OS_WIN
// A folder's access list decides on Windows, and access() looks only at the read-only
// attribute, which folders ignore: only creating a file there tells.
bool FolderWritable(const QString& dir) {
    QTemporaryFile probe(dir + QStringLiteral("/.mnemora-probe-XXXXXX"));
    return probe.open();
}

// %APPDATA% names the same folder; set to another one (a test's), it wins.
QString RoamingAppData() {
    const QString set = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (QDir::isAbsolutePath(set))
        return set;
    PWSTR path = nullptr;
    QString out;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &path)))
        out = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return out;
}
#else
bool FolderWritable(const QString& dir) {
    return ::access(QFile::encodeName(dir).constData(), W_OK) == 0;
}

QString RoamingAppData() {
    return {};
}
#endif

} // namespace

DataLocation DecideDataLocation(const DataLocationInputs& in) {
    DataLocation out;
    const qsizetype slash = in.programFilePath.lastIndexOf(u'/');
    const QString programDir = slash > 0 ? in.programFilePath.left(slash + 1) : QStringLiteral("./");
    if (in.programDirWritable && in.programDirHasDb) {
        out.portable = true;
        const qsizetype dot = in.programFilePath.lastIndexOf(u'.');
        out.settingsPath = dot > slash + 1 ? in.programFilePath.left(dot + 1) + QStringLiteral("ini")
                                           : in.programFilePath + QStringLiteral(".ini");
        out.dbFolder = programDir + QStringLiteral("db/");
        return out;
    }
    out.portable = false;
    if (!in.appData.isEmpty()) {
        const QString folder = QDir::cleanPath(in.appData) + QStringLiteral("/Mnemora/");
        out.settingsPath = folder + SettingsFileName(in.programFilePath);
        out.dbFolder = folder + QStringLiteral("db/");
    } else {
        const QString config = XdgFolder(in.xdgConfigHome, in.home, ".config");
        const QString data = XdgFolder(in.xdgDataHome, in.home, ".local/share");
        out.settingsPath = config + QStringLiteral("/mnemora/") + SettingsFileName(in.programFilePath);
        out.dbFolder = data + QStringLiteral("/mnemora/db/");
    }
    out.templateFolder = in.programDirHasDb
                             ? programDir + QStringLiteral("db/")
                             : QDir::cleanPath(programDir + QStringLiteral("../share/mnemora/db")) + u'/';
    return out;
}

DataLocation LocateData(const QString& programFilePath) {
    DataLocationInputs in;
    in.programFilePath = programFilePath;
    const QString dir = QFileInfo(programFilePath).absolutePath();
    in.programDirWritable = FolderWritable(dir);
    in.programDirHasDb = QFileInfo(dir + QStringLiteral("/db")).isDir();
    in.home = qEnvironmentVariable("HOME", QDir::homePath());
    in.xdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    in.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    in.appData = RoamingAppData();
    return DecideDataLocation(in);
}

const DataLocation& CurrentDataLocation() {
    if (!Slot())
        Slot() = LocateData(ProgramFilePath());
    return *Slot();
}

void OverrideDataLocation(const DataLocation& location) {
    Slot() = location;
}

} // namespace mnemora
