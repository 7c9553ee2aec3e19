/* wininspect: the windows, message boxes and dialogs of the prefix, its processes and drives, and
   what a restarting shell does to notification icons. */

#include "wininspect.h"

/* ---- windows ---------------------------------------------------------------------------- */

/* The window's text, asked of its owner with a deadline so that a hung program cannot hang us. */
void WindowText(HWND window, char* text, int size)
{
    DWORD_PTR copied = 0;
    text[0] = '\0';
    if (!SendMessageTimeoutA(window, WM_GETTEXT, (WPARAM)size, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &copied))
        GetWindowTextA(window, text, size);
    text[size - 1] = '\0';
}

void DescribeWindow(const char* prefix, HWND window)
{
    char className[256], title[1024];
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (!GetClassNameA(window, className, sizeof className)) className[0] = '\0';
    WindowText(window, title, sizeof title);
    RECT r;
    GetWindowRect(window, &r);
    printf("%s hwnd=%p pid=%04lx owner=%p visible=%d rect=%ld,%ld,%ld,%ld class=", prefix, (void*)window,
           (unsigned long)pid, (void*)GetWindow(window, GW_OWNER), IsWindowVisible(window) ? 1 : 0, r.left, r.top,
           r.right, r.bottom);
    PrintText(className);
    fputs(" title=", stdout);
    PrintText(title);
    putchar('\n');
}

static BOOL CALLBACK ListWindow(HWND window, LPARAM all)
{
    if (all || IsWindowVisible(window)) DescribeWindow("window", window);
    return TRUE;
}

int ListWindows(int all)
{
    EnumWindows(ListWindow, all);
    return 0;
}

static BOOL CALLBACK PrintControl(HWND control, LPARAM unused)
{
    (void)unused;
    char className[64], text[4096];
    if (!GetClassNameA(control, className, sizeof className)) className[0] = '\0';
    WindowText(control, text, sizeof text);
    const char* kind = lstrcmpiA(className, "Static") == 0   ? "static"
                       : lstrcmpiA(className, "Button") == 0 ? "button"
                                                             : "control";
    printf("%s id=%d visible=%d class=", kind, GetDlgCtrlID(control), IsWindowVisible(control) ? 1 : 0);
    PrintText(className);
    fputs(" text=", stdout);
    PrintText(text);
    putchar('\n');
    return TRUE;
}

struct MessageBoxSearch {
    const char* title;
    int found;
};

static BOOL CALLBACK PrintMessageBox(HWND window, LPARAM param)
{
    struct MessageBoxSearch* search = (struct MessageBoxSearch*)param;
    char className[64], title[1024];
    if (!IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className)) return TRUE;
    if (strcmp(className, "#32770") != 0) return TRUE;
    WindowText(window, title, sizeof title);
    if (strcmp(title, search->title) != 0) return TRUE;
    ++search->found;
    DescribeWindow("msgbox", window);
    EnumChildWindows(window, PrintControl, 0);
    return TRUE;
}

int ShowMessageBoxes(const char* title)
{
    struct MessageBoxSearch search = {title, 0};
    EnumWindows(PrintMessageBox, (LPARAM)&search);
    return search.found > 0 ? 0 : 1;
}

/* ---- dialogs ----------------------------------------------------------------------------- */

/* A window's text as UTF-16, asked of its owner with a deadline; printed as quoted UTF-8. */
void PrintWindowTextUtf8(HWND window)
{
    WCHAR text[4096];
    DWORD_PTR copied = 0;
    text[0] = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &copied))
        GetWindowTextW(window, text, 4096);
    text[4095] = 0;
    putchar('"');
    for (const WCHAR* c = text; *c; ++c) {
        if (*c == '\\' || *c == '"') printf("\\%c", (char)*c);
        else if (*c == '\n') fputs("\\n", stdout);
        else if (*c == '\r') fputs("\\r", stdout);
        else if (*c == '\t') fputs("\\t", stdout);
        else if (*c < 0x20) printf("\\x%02X", *c);
        else {
            char bytes[8];
            int length = WideCharToMultiByte(CP_UTF8, 0, c, 1 + (*c >= 0xD800 && *c < 0xDC00 && c[1]), bytes,
                                             sizeof bytes, NULL, NULL);
            fwrite(bytes, 1, (size_t)length, stdout);
            if (*c >= 0xD800 && *c < 0xDC00 && c[1]) ++c;
        }
    }
    putchar('"');
}

/* A control: its id, class, text, state; check boxes their check, hot-key controls their key. */
static BOOL CALLBACK PrintDialogControl(HWND control, LPARAM unused)
{
    (void)unused;
    char className[64];
    DWORD_PTR result = 0;
    if (!GetClassNameA(control, className, sizeof className)) className[0] = '\0';
    printf("control id=%d class=", GetDlgCtrlID(control));
    PrintText(className);
    printf(" visible=%d enabled=%d", IsWindowVisible(control) ? 1 : 0, IsWindowEnabled(control) ? 1 : 0);
    RECT r;
    GetWindowRect(control, &r);
    printf(" rect=%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    int type = (int)(style & BS_TYPEMASK);
    if (lstrcmpiA(className, "Button") == 0 && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX ||
                                                 type == BS_3STATE || type == BS_AUTO3STATE ||
                                                 type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) &&
        SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &result))
        printf(" checked=%d", (int)result);
    if (lstrcmpiA(className, "msctls_hotkey32") == 0 &&
        SendMessageTimeoutW(control, HKM_GETHOTKEY, 0, 0, SMTO_ABORTIFHUNG, 2000, &result))
        printf(" hotkey=0x%04X", (unsigned)(result & 0xFFFF));
    if (lstrcmpiA(className, "Edit") == 0 && (style & ES_PASSWORD)) fputs(" password", stdout);
    fputs(" text=", stdout);
    PrintWindowTextUtf8(control);
    putchar('\n');
    return TRUE;
}

struct DialogSearch {
    const WCHAR* title;
    int prefix; /* the title names only the start (it ended in "*") */
    int found;
};

static BOOL CALLBACK PrintDialog(HWND window, LPARAM param)
{
    struct DialogSearch* search = (struct DialogSearch*)param;
    char className[64];
    WCHAR title[1024];
    DWORD_PTR copied = 0;
    if (!IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className)) return TRUE;
    if (strcmp(className, "#32770") != 0) return TRUE;
    title[0] = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, (LPARAM)title, SMTO_ABORTIFHUNG, 2000, &copied))
        GetWindowTextW(window, title, 1024);
    title[1023] = 0;
    if (search->prefix ? wcsncmp(title, search->title, wcslen(search->title)) != 0 : lstrcmpW(title, search->title) != 0)
        return TRUE;
    ++search->found;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    RECT r;
    GetWindowRect(window, &r);
    printf("dialog hwnd=%p pid=%04lx owner=%p enabled=%d rect=%ld,%ld,%ld,%ld title=", (void*)window,
           (unsigned long)pid, (void*)GetWindow(window, GW_OWNER), IsWindowEnabled(window) ? 1 : 0, r.left, r.top,
           r.right, r.bottom);
    PrintWindowTextUtf8(window);
    putchar('\n');
    /* The keyboard focus of the dialog's thread: GetFocus answers for this thread only. */
    GUITHREADINFO gui;
    gui.cbSize = sizeof gui;
    HWND focus = GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &gui) ? gui.hwndFocus : NULL;
    EnumChildWindows(window, PrintDialogControl, 0);
    if (focus != NULL && IsChild(window, focus)) printf("focus id=%d\n", GetDlgCtrlID(focus));
    return TRUE;
}

/* The title comes from the wide command line: a Cyrillic title survives any ANSI code page. */
int ShowDialogs(void)
{
    int count = 0;
    WCHAR** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == NULL || count != 3) return 2;
    /* "=041F0430..." names the title as UTF-16 code units in hex, whatever the locale makes of the
       command line's bytes. */
    WCHAR title[256];
    const WCHAR* wanted = args[2];
    if (wanted[0] == L'=') {
        int n = 0;
        for (const WCHAR* h = wanted + 1; h[0] && h[1] && h[2] && h[3] && n < 255; h += 4) {
            WCHAR digits[5] = {h[0], h[1], h[2], h[3], 0};
            title[n++] = (WCHAR)wcstoul(digits, NULL, 16);
        }
        title[n] = 0;
        wanted = title;
    }
    WCHAR start[256];
    size_t length = wcslen(wanted);
    int prefix = length > 0 && length < 256 && wanted[length - 1] == L'*';
    if (prefix) {
        wcsncpy(start, wanted, length - 1);
        start[length - 1] = 0;
        wanted = start;
    }
    struct DialogSearch search = {wanted, prefix, 0};
    EnumWindows(PrintDialog, (LPARAM)&search);
    LocalFree(args);
    return search.found > 0 ? 0 : 1;
}

/* ---- processes -------------------------------------------------------------------------- */

int ListProcesses(void)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 1;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        printf("process pid=%04lx parent=%04lx exe=", (unsigned long)entry.th32ProcessID,
               (unsigned long)entry.th32ParentProcessID);
        PrintText(entry.szExeFile);
        putchar('\n');
    }
    CloseHandle(snapshot);
    return 0;
}

/* ---- the shell's side of a restart ------------------------------------------------------ */

struct ForgetIcons {
    DWORD pid;
    UINT id;
    int windows;
};

/* A restarting shell forgets every icon: here those of one window of the process, taken away as
   the shell would take away an icon whose program asked it to. */
static BOOL CALLBACK ForgetIcon(HWND window, LPARAM param)
{
    struct ForgetIcons* forget = (struct ForgetIcons*)param;
    DWORD pid = 0;
    char className[64];
    GetWindowThreadProcessId(window, &pid);
    if (pid != forget->pid || IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className) ||
        strcmp(className, "#32770") != 0)
        return TRUE;
    NOTIFYICONDATAW data;
    memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = forget->id;
    BOOL deleted = Shell_NotifyIconW(NIM_DELETE, &data);
    printf("forgot hwnd=%p id=%u result=%d\n", (void*)window, forget->id, deleted ? 1 : 0);
    ++forget->windows;
    return TRUE;
}

int ForgetIcons(const char* pid, const char* id)
{
    struct ForgetIcons forget = {(DWORD)strtoul(pid, NULL, 16), (UINT)strtoul(id, NULL, 10), 0};
    EnumWindows(ForgetIcon, (LPARAM)&forget);
    return forget.windows > 0 ? 0 : 1;
}

/* As a new taskbar announces itself: to every top-level window, without waiting for any of them. */
int Broadcast(const char* name)
{
    UINT message = RegisterWindowMessageA(name);
    if (message == 0) return 1;
    BOOL sent = SendNotifyMessageA(HWND_BROADCAST, message, 0, 0);
    printf("broadcast message=0x%04X result=%d\n", message, sent ? 1 : 0);
    return sent ? 0 : 1;
}

/* ---- drives and code pages ------------------------------------------------------------- */

/* Every drive the system lists, with its type (GetDriveTypeA) and volume label. */
int ListDrives(void)
{
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        char root[4] = {(char)('A' + i), ':', '\\', '\0'}, label[MAX_PATH];
        printf("drive %c: type=%u label=", 'A' + i, GetDriveTypeA(root));
        UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        if (GetVolumeInformationA(root, label, sizeof label, NULL, NULL, NULL, NULL, 0)) PrintText(label);
        else fputs("none", stdout);
        SetErrorMode(oldMode);
        putchar('\n');
    }
    return 0;
}
