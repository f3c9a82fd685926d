#include "platform/DataLocation.h"

#include "platform/FileAccess.h"
#include "platform/ProgramPath.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

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
    in.programDirWritable = CanWriteFolder(dir);
    in.programDirHasDb = QFileInfo(dir + QStringLiteral("/db")).isDir();
    in.home = qEnvironmentVariable("HOME", QDir::homePath());
    in.xdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    in.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    in.appData = RoamingAppDataFolder();
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
