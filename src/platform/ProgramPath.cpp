#include "platform/ProgramPath.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace mnemora {
namespace {
QString& PinnedPath() {
    static QString path;
    return path;
}
} // namespace

QString ProgramFilePath() {
    if (!PinnedPath().isEmpty())
        return PinnedPath();
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationFilePath();
    // Before an application object exists, /proc tells the same.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

void SetProgramFilePath(const QString& path) {
    PinnedPath() = path;
}

} // namespace mnemora
