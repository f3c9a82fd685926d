#include "platform/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <shlobj.h>
#include <windows.h>

namespace mnemora {

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

QString RoamingAppDataFolder() {
    // %APPDATA% names the same folder; set to another one (a test's), it wins.
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

} // namespace mnemora
