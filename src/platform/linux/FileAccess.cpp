#include "platform/FileAccess.h"

#include <QFile>
#include <cstdio>
#include <unistd.h>

namespace mnemora {

bool CanWriteFolder(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

bool CanWriteFile(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool RenameOver(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

QString RoamingAppDataFolder() {
    return {};
}

} // namespace mnemora
