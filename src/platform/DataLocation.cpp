#include "platform/DataLocation.h"

#include "platform/ProgramPath.h"
#include "platform/TemplateCopy.h"

#include <QDir>
#include <QFileInfo>

#include <optional>
#include <unistd.h>

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
    const QString config = XdgFolder(in.xdgConfigHome, in.home, ".config");
    const QString data = XdgFolder(in.xdgDataHome, in.home, ".local/share");
    out.settingsPath = config + QStringLiteral("/mnemora/") + SettingsFileName(in.programFilePath);
    out.dbFolder = data + QStringLiteral("/mnemora/db/");
    out.templateFolder = QDir::cleanPath(programDir + QStringLiteral("../share/mnemora/db")) + u'/';
    return out;
}

const DataLocation& CurrentDataLocation() {
    if (!Slot()) {
        DataLocationInputs in;
        in.programFilePath = ProgramFilePath();
        const QString dir = QFileInfo(in.programFilePath).absolutePath();
        in.programDirWritable = ::access(QFile::encodeName(dir).constData(), W_OK) == 0;
        in.programDirHasDb = QFileInfo(dir + QStringLiteral("/db")).isDir();
        in.home = qEnvironmentVariable("HOME", QDir::homePath());
        in.xdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        in.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
        Slot() = DecideDataLocation(in);
    }
    return *Slot();
}

void OverrideDataLocation(const DataLocation& location) {
    Slot() = location;
}

QString PrepareUserData() {
    const DataLocation& location = CurrentDataLocation();
    if (location.portable)
        return QString();
    QDir().mkpath(QFileInfo(location.settingsPath).absolutePath());
    QString error;
    if (EnsureUserLists(location.templateFolder, location.dbFolder, &error))
        return QString();
    DataLocation readOnly = location;
    readOnly.dbFolder = location.templateFolder;
    OverrideDataLocation(readOnly);
    return QStringLiteral("无法保存学习进度：文件夹“%1”不能写入。本次显示安装的词库中的单词，"
                          "学习进度不会被保存。")
        .arg(QDir::toNativeSeparators(location.dbFolder));
}

} // namespace mnemora
