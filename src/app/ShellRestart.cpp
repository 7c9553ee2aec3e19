#include "app/ShellRestart.h"

#include "app/SystemCall.h"

UINT TaskbarCreatedMessage;

namespace {

typedef BOOL(WINAPI* FilterForWindowCall)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
typedef BOOL(WINAPI* FilterForProcessCall)(UINT, DWORD);

}  // namespace

void WatchShellRestart(HWND window)
{
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    if (TaskbarCreatedMessage == 0) return;
    // An elevated program hears from the shell, which runs with fewer rights,
    // only what it lets through: per window from Windows 7 on, for the whole
    // process on Vista. Looked up, as neither exists everywhere.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FilterForWindowCall allowForWindow = FindSystemCall<FilterForWindowCall>(user32, "ChangeWindowMessageFilterEx");
    if (allowForWindow != NULL) {
        allowForWindow(window, TaskbarCreatedMessage, MSGFLT_ALLOW, NULL);
        return;
    }
    FilterForProcessCall allow = FindSystemCall<FilterForProcessCall>(user32, "ChangeWindowMessageFilter");
    if (allow != NULL) allow(TaskbarCreatedMessage, MSGFLT_ADD);
}
