/* Ends the session for mnemora.exe the way Windows does: WM_QUERYENDSESSION to each of its
 * top-level windows, then (unless "query" is given) WM_ENDSESSION, then the process is
 * terminated outright, as the system does once the messages are answered. Prints what the
 * program answered. Built and run under Wine by endsession.sh. */
#include <stdio.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include <psapi.h>

static HWND windows[64];
static int count;
static DWORD pid;

static BOOL CALLBACK Collect(HWND hwnd, LPARAM unused) {
    DWORD owner = 0;
    (void)unused;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid && count < 64)
        windows[count++] = hwnd;
    return TRUE;
}

static DWORD FindProgram(void) {
    DWORD ids[1024], bytes = 0;
    if (!EnumProcesses(ids, sizeof ids, &bytes))
        return 0;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ids[i]);
        wchar_t path[MAX_PATH];
        DWORD size = MAX_PATH;
        BOOL found = FALSE;
        if (process != NULL && QueryFullProcessImageNameW(process, 0, path, &size)) {
            const wchar_t* name = wcsrchr(path, L'\\');
            found = _wcsicmp(name != NULL ? name + 1 : path, L"mnemora.exe") == 0;
        }
        if (process != NULL)
            CloseHandle(process);
        if (found)
            return ids[i];
    }
    return 0;
}

int main(int argc, char** argv) {
    const int queryOnly = argc > 1 && strcmp(argv[1], "query") == 0;
    pid = FindProgram();
    if (pid == 0) {
        fprintf(stderr, "endsession: mnemora.exe is not running\n");
        return 1;
    }
    EnumWindows(Collect, 0);
    int agreed = 0;
    for (int i = 0; i < count; ++i) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(windows[i], WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000,
                                &answer) &&
            answer != 0)
            ++agreed;
    }
    printf("endsession: %d of %d windows agreed to end\n", agreed, count);
    if (!queryOnly)
        for (int i = 0; i < count; ++i)
            SendMessageTimeoutW(windows[i], WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, NULL);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (process == NULL || !TerminateProcess(process, 1)) {
        fprintf(stderr, "endsession: cannot end mnemora.exe\n");
        return 1;
    }
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    return agreed == count && count > 0 ? 0 : 2;
}
