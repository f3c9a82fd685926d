#include "Unprivileged.h"

#include "platform/FileAccess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QThread>

#include <aclapi.h>
#include <windows.h>

namespace testdata {
namespace {

// An access list of one entry, inherited by what the folder holds: everyone may read and
// list, with or without the right to add files and folders.
bool SetAccess(const QString& folder, bool writable) {
    EXPLICIT_ACCESS_W entry{};
    entry.grfAccessPermissions = writable ? FILE_ALL_ACCESS : FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
    entry.grfAccessMode = SET_ACCESS;
    entry.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    wchar_t everyone[] = L"Everyone";
    entry.Trustee.ptstrName = everyone;
    PACL acl = nullptr;
    if (SetEntriesInAclW(1, &entry, nullptr, &acl) != ERROR_SUCCESS)
        return false;
    std::wstring path = QDir::toNativeSeparators(folder).toStdWString();
    const DWORD result = SetNamedSecurityInfoW(
        path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
        nullptr, acl, nullptr);
    LocalFree(acl);
    return result == ERROR_SUCCESS;
}

// Wine keeps a folder's access list apart from its Unix permissions, and ignores a folder's
// read-only attribute: the permissions are set by the host's chmod, which Wine starts as it
// starts a Windows program. Its end cannot be waited for: Wine does not report it.
bool ChmodUnderWine(const QString& folder, bool writable) {
    using ToUnix = char* (*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr)
        return true; // Windows itself: the access list is all
    char* unixName = toUnix(QDir::toNativeSeparators(folder).toStdWString().c_str());
    if (unixName == nullptr)
        return false;
    const QString name = QString::fromLocal8Bit(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return QProcess::startDetached(QStringLiteral("Z:\\bin\\chmod"),
                                   {writable ? QStringLiteral("u+w") : QStringLiteral("a-w"), name});
}

} // namespace

// Access lists stop every user but an administrator, and under Wine wine-run.sh runs the
// tests as an unprivileged user: the case runs here.
bool RanUnprivileged(const char*, int) {
    return false;
}

bool SetFolderWritable(const QString& folder, bool writable) {
    if (!SetAccess(folder, writable) || !ChmodUnderWine(folder, writable))
        return false;
    const QDeadlineTimer deadline(10000);
    while (mnemora::CanWriteFolder(folder) != writable) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

} // namespace testdata
