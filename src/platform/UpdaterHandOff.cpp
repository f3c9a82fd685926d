#include "platform/UpdaterHandOff.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <filesystem>
#include <system_error>

namespace mnemora {
namespace {
bool Exists(const QString& path) {
    // A dangling link still occupies the name.
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

bool IsStartable(const QString& path) {
    const QFileInfo info(path);
    return !info.isSymLink() && info.isFile() && info.isExecutable();
}
} // namespace

UpdaterHandOffResult HandOffToUpdater(const QString& programFolder) {
    UpdaterHandOffResult result;
    if (programFolder.isEmpty())
        return result;
    const QDir folder(programFolder);
    const QString updater = folder.filePath(QLatin1String(kUpdaterName));
    const QString newUpdater = folder.filePath(QLatin1String(kNewUpdaterName));

    if (Exists(newUpdater)) {
        // rename(2) replaces the old file in one step, so a failure leaves both files as
        // they were instead of losing the old updater to a delete that went through.
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(newUpdater).toStdString(),
                                QFile::encodeName(updater).toStdString(), error);
        if (error) {
            result.error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(newUpdater),
                                                        QString::fromLocal8Bit(error.message()));
            return result;
        }
        result.replaced = true;
    }

    if (IsStartable(updater))
        result.started = QProcess::startDetached(updater, {}, programFolder);
    return result;
}

} // namespace mnemora
