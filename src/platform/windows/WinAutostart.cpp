#include "platform/AutoStart.h"
#include "platform/ProgramPath.h"

#include <QDir>
#include <QString>

#include <windows.h>

namespace mnemora {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Mnemora";

const wchar_t* Wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

// The machine-wide entry first, as the program always registered itself; an ordinary user
// cannot write there, so the per-user entry stands in for it.
const HKEY kRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

bool HasValue(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    const bool found = RegQueryValueExW(key, kValueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
                       (type == REG_SZ || type == REG_EXPAND_SZ) && size > sizeof(wchar_t);
    RegCloseKey(key);
    return found;
}

bool SetValue(HKEY root, const QString& command) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    const bool ok = RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(Wide(command)),
                                   bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

// True when no value is left under root.
bool DeleteValue(HKEY root) {
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExW(root, kRunKey, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return !HasValue(root);
    const LSTATUS deleted = RegDeleteValueW(key, kValueName);
    RegCloseKey(key);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

} // namespace

bool IsAutostartRegistered() {
    for (HKEY root : kRoots) {
        if (HasValue(root))
            return true;
    }
    return false;
}

bool RegisterAutostart() {
    const QString program = ProgramFilePath();
    if (program.isEmpty())
        return false;
    // Quoted, so a folder name with blanks starts the right file.
    const QString command = QLatin1Char('"') + QDir::toNativeSeparators(program) + QLatin1Char('"');
    for (HKEY root : kRoots) {
        if (SetValue(root, command))
            return true;
    }
    return false;
}

bool UnregisterAutostart() {
    bool none = true;
    for (HKEY root : kRoots)
        none = DeleteValue(root) && none;
    return none;
}

} // namespace mnemora
