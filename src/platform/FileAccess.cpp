#include "platform/FileAccess.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QDir>
#include <QTemporaryFile>
#include <windows.h>
#else
#include <cstdio>
#include <unistd.h>
#endif

namespace mnemora {

#ifdef Q_OS_WIN

bool CanWriteFolder(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.mnemora-probe-XXXXXX"));
    return probe.open();
}

bool CanWriteFile(const QString& path) {
    // Opening for writing changes nothing in the file; the handle is closed at once.
    QFile file(path);
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
}

bool RenameOver(const QString& from, const QString& to) {
    // rename() refuses an existing target on Windows, and its 8-bit names lose characters
    // outside the system's code page.
    const QString source = QDir::toNativeSeparators(from), target = QDir::toNativeSeparators(to);
    return MoveFileExW(reinterpret_cast<const wchar_t*>(source.utf16()),
                       reinterpret_cast<const wchar_t*>(target.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

bool CanWriteFolder(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

bool CanWriteFile(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool RenameOver(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

#endif

} // namespace mnemora
