/*
 * wininspect: looks at a Wine prefix from the inside for the end-to-end checks.
 *
 *   wininspect windows [all]     top-level windows (visible ones unless "all")
 *   wininspect msgbox TITLE      the visible "#32770" windows captioned TITLE, with their controls
 *   wininspect dialog TITLE      the visible "#32770" windows whose title (UTF-16) is TITLE, with every
 *                                control's id, class, state (enabled, checked, hot key, focus) and text;
 *                                these texts are printed as UTF-8, read with the wide calls; a TITLE
 *                                that ends in * names the start of the titles
 *   wininspect processes         running processes
 *   wininspect reg KEY [VIEW]    a registry key (HKCU\... or HKLM\...) with its values and subkeys, in
 *                                the registry view VIEW, /reg:64 or /reg:32 (default: the tool's own)
 *   wininspect reg-readonly KEY  lets everyone read the key and nobody write it (until Wine's server
 *                                ends), as HKLM is to a standard user; prints "read-only" once a
 *                                KEY_SET_VALUE open is refused
 *   wininspect resources FILE    dialog 103, menu 101, every icon group, every bitmap and the version
 *                                of FILE
 *   wininspect temp              the temporary folder (GetTempPathA)
 *   wininspect hold              waits for the desktop and the notification area, prints "ready",
 *                                then keeps the prefix alive until it is killed
 *   wininspect drives            every drive with its type and volume label
 *   wininspect menu              the open pop-up menu of another program, read inside that program:
 *                                its windows' places, then its tree with texts, states and marks
 *   wininspect codepage          the ANSI and OEM code pages
 *   wininspect forget-icon PID ID  what a restarting shell does to the icons of process PID (hex, as
 *                                in Wine's traces) with identifier ID: NIM_DELETE for each hidden
 *                                dialog window of the process
 *   wininspect broadcast NAME    sends the registered message NAME to every top-level window, as a
 *                                new taskbar does with "TaskbarCreated"
 *   wininspect manifest FILE     the application manifest (RT_MANIFEST 1) of FILE as stored
 *   wininspect use FILE [write]  holds FILE open so that others may read it but neither write nor
 *                                delete it, as a program's running .exe is held (with "write" they
 *                                may write it, still not delete it); prints "using", then waits
 *                                until it is killed
 *
 * Output: one fact a line, plain ASCII but for the dialog command's UTF-8 texts. Texts are quoted with
 * C escapes (\n, \", \\, \xHH for other bytes, \uXXXX for other UTF-16 units of resource and menu
 * texts); process ids are four hex
 * digits, as in Wine's debug traces. Exit status 1 when the thing asked about is not there, 2 on a
 * usage error.
 */
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <fcntl.h>
#include <stdarg.h>
#include <io.h>
#include <stdlib.h>
#include <stdio.h>
#include <string.h>

static void PrintQuoted(const char* text, int length)
{
    putchar('"');
    for (int i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        switch (c) {
        case '\\': fputs("\\\\", stdout); break;
        case '"': fputs("\\\"", stdout); break;
        case '\n': fputs("\\n", stdout); break;
        case '\r': fputs("\\r", stdout); break;
        case '\t': fputs("\\t", stdout); break;
        default:
            if (c < 0x20 || c > 0x7E) printf("\\x%02X", c);
            else putchar(c);
        }
    }
    putchar('"');
}

static void PrintText(const char* text) { PrintQuoted(text, (int)strlen(text)); }

/* A UTF-16 resource string, printed as ASCII with escapes for anything else. */
static void PrintWide(const WCHAR* text, int length)
{
    putchar('"');
    for (int i = 0; i < length; ++i) {
        WCHAR c = text[i];
        if (c == '\\' || c == '"') printf("\\%c", (char)c);
        else if (c == '\n') fputs("\\n", stdout);
        else if (c >= 0x20 && c <= 0x7E) putchar((char)c);
        else printf("\\u%04X", c);
    }
    putchar('"');
}

/* ---- windows ---------------------------------------------------------------------------- */

/* The window's text, asked of its owner with a deadline so that a hung program cannot hang us. */
static void WindowText(HWND window, char* text, int size)
{
    DWORD_PTR copied = 0;
    text[0] = '\0';
    if (!SendMessageTimeoutA(window, WM_GETTEXT, (WPARAM)size, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &copied))
        GetWindowTextA(window, text, size);
    text[size - 1] = '\0';
}

static void DescribeWindow(const char* prefix, HWND window)
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

static int ListWindows(int all)
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

static int ShowMessageBoxes(const char* title)
{
    struct MessageBoxSearch search = {title, 0};
    EnumWindows(PrintMessageBox, (LPARAM)&search);
    return search.found > 0 ? 0 : 1;
}

/* ---- dialogs ----------------------------------------------------------------------------- */

/* A window's text as UTF-16, asked of its owner with a deadline; printed as quoted UTF-8. */
static void PrintWindowTextUtf8(HWND window)
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
static int ShowDialogs(void)
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

static int ListProcesses(void)
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

/* ---- registry --------------------------------------------------------------------------- */

static void PrintValue(const char* name, DWORD type, const BYTE* data, DWORD size)
{
    fputs("value ", stdout);
    PrintText(name);
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        /* The stored bytes as they are: a missing terminator shows as a shorter size. */
        printf(" %s size=%lu data=", type == REG_SZ ? "REG_SZ" : "REG_EXPAND_SZ", (unsigned long)size);
        PrintQuoted((const char*)data, size > 0 && data[size - 1] == '\0' ? (int)size - 1 : (int)size);
        break;
    case REG_DWORD: printf(" REG_DWORD data=0x%08lx", size == 4 ? *(const DWORD*)data : 0UL); break;
    default:
        printf(" type=%lu size=%lu data=", (unsigned long)type, (unsigned long)size);
        for (DWORD i = 0; i < size; ++i) printf("%02x", data[i]);
    }
    putchar('\n');
}

static void DumpKey(HKEY key, const char* path, REGSAM view)
{
    printf("key ");
    PrintText(path);
    putchar('\n');
    char name[16384];
    static BYTE data[65536];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data, type;
        if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS) break;
        PrintValue(name, type, data, dataSize);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) break;
        HKEY sub;
        if (RegOpenKeyExA(key, name, 0, KEY_READ | view, &sub) != ERROR_SUCCESS) continue;
        char subPath[32768];
        snprintf(subPath, sizeof subPath, "%s\\%s", path, name);
        DumpKey(sub, subPath, view);
        RegCloseKey(sub);
    }
}

/* "HKCU\..." or "HKLM\...": the root and the path below it. */
static int SplitKeyPath(const char* path, HKEY* root, const char** rest)
{
    *rest = path + 5;
    if (strncmp(path, "HKCU\\", 5) == 0) *root = HKEY_CURRENT_USER;
    else if (strncmp(path, "HKLM\\", 5) == 0) *root = HKEY_LOCAL_MACHINE;
    else {
        fprintf(stderr, "registry paths start with HKCU\\ or HKLM\\\n");
        return 0;
    }
    return 1;
}

/* VIEW names the half of HKLM\Software to read: a 32-bit program's view is Software\Wow6432Node of
   the 64-bit one. */
static int DumpRegistry(const char* path, const char* viewName)
{
    REGSAM view = 0;
    if (viewName != NULL && strcmp(viewName, "/reg:64") == 0) view = KEY_WOW64_64KEY;
    else if (viewName != NULL && strcmp(viewName, "/reg:32") == 0) view = KEY_WOW64_32KEY;
    else if (viewName != NULL) {
        fprintf(stderr, "the registry view is /reg:64 or /reg:32\n");
        return 2;
    }
    HKEY root;
    const char* rest;
    if (!SplitKeyPath(path, &root, &rest)) return 2;
    HKEY key;
    if (RegOpenKeyExA(root, rest, 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        fputs("missing ", stdout);
        PrintText(path);
        putchar('\n');
        return 1;
    }
    DumpKey(key, path, view);
    RegCloseKey(key);
    return 0;
}

/* Gives the key a security of its own that lets everyone read it and nobody write it, the
   administrator Wine runs as included: what a standard user meets under HKLM on Windows. Wine keeps
   a key's security while its server runs, not in the registry's files. */
static int MakeKeyReadOnly(const char* path)
{
    HKEY root, key;
    const char* rest;
    if (!SplitKeyPath(path, &root, &rest)) return 2;
    if (RegOpenKeyExA(root, rest, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 1;
    SID_IDENTIFIER_AUTHORITY world = {SECURITY_WORLD_SID_AUTHORITY};
    PSID everyone = NULL;
    BYTE aclBytes[256];
    PACL acl = (PACL)aclBytes;
    SECURITY_DESCRIPTOR security;
    int done = AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone) &&
               InitializeAcl(acl, sizeof aclBytes, ACL_REVISION) &&
               AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone) &&
               InitializeSecurityDescriptor(&security, SECURITY_DESCRIPTOR_REVISION) &&
               SetSecurityDescriptorDacl(&security, TRUE, acl, FALSE) &&
               SetSecurityDescriptorControl(&security, SE_DACL_PROTECTED, SE_DACL_PROTECTED) &&
               RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &security) == ERROR_SUCCESS;
    if (everyone) FreeSid(everyone);
    RegCloseKey(key);
    HKEY probe;
    /* Proof that it took: the key no longer opens for writing. */
    if (done && RegOpenKeyExA(root, rest, 0, KEY_SET_VALUE, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        done = 0;
    }
    printf("%s\n", done ? "read-only" : "still writable");
    return done ? 0 : 1;
}

/* ---- resources -------------------------------------------------------------------------- */

static const BYTE* FindData(HMODULE module, LPCSTR type, LPCSTR name, DWORD* size)
{
    HRSRC found = FindResourceA(module, name, type);
    if (found == NULL) return NULL;
    *size = SizeofResource(module, found);
    return (const BYTE*)LockResource(LoadResource(module, found));
}

/* A name-or-ordinal field of a dialog template; returns the position after it. */
static const WORD* PrintNameOrOrdinal(const char* label, const WORD* p)
{
    printf(" %s=", label);
    if (*p == 0) {
        fputs("none", stdout);
        return p + 1;
    }
    if (*p == 0xFFFF) {
        printf("#%u", p[1]);
        return p + 2;
    }
    int length = lstrlenW((const WCHAR*)p);
    PrintWide((const WCHAR*)p, length);
    return p + length + 1;
}

static void DumpDialog(HMODULE module, int id)
{
    DWORD size;
    const WORD* p = (const WORD*)FindData(module, (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(id), &size);
    if (p == NULL) {
        printf("dialog %d missing\n", id);
        return;
    }
    if (p[0] != 1 || p[1] != 0xFFFF) {
        printf("dialog %d format=DIALOG (not DIALOGEX)\n", id);
        return;
    }
    DWORD exStyle = p[4] | (DWORD)p[5] << 16, style = p[6] | (DWORD)p[7] << 16;
    const short* box = (const short*)&p[9];
    printf("dialog %d format=DIALOGEX style=0x%08lX exstyle=0x%08lX items=%u x=%d y=%d cx=%d cy=%d", id, style,
           exStyle, p[8], box[0], box[1], box[2], box[3]);
    const WORD* q = PrintNameOrOrdinal("menu", p + 13);
    q = PrintNameOrOrdinal("class", q);
    int length = lstrlenW((const WCHAR*)q);
    fputs(" caption=", stdout);
    PrintWide((const WCHAR*)q, length);
    q += length + 1;
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        const BYTE* b = (const BYTE*)(q + 2);
        printf(" font=%u weight=%u italic=%u charset=%u face=", q[0], q[1], b[0], b[1]);
        q += 3;
        length = lstrlenW((const WCHAR*)q);
        PrintWide((const WCHAR*)q, length);
        q += length + 1;
    }
    putchar('\n');
    // The items, each DWORD-aligned: help id, extended style, style, box, id, class, text, extra data.
    for (unsigned item = 0; item < p[8]; ++item) {
        q = (const WORD*)(((ULONG_PTR)q + 3) & ~(ULONG_PTR)3);
        const DWORD* d = (const DWORD*)q;
        const short* at = (const short*)(d + 3);
        printf("  item id=%ld style=0x%08lX exstyle=0x%08lX x=%d y=%d cx=%d cy=%d", (long)(int)d[5], d[2], d[1],
               at[0], at[1], at[2], at[3]);
        q = PrintNameOrOrdinal("class", (const WORD*)(d + 6));
        q = PrintNameOrOrdinal("text", q);
        q += 1 + *q / sizeof(WORD);
        putchar('\n');
    }
}

static void DumpMenuItems(HMENU menu, int depth)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        MENUITEMINFOA info;
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &info)) {
            printf("%*sunreadable item %d\n", depth * 2, "", i);
            continue;
        }
        printf("%*s", depth * 2, "");
        UINT otherTypes = info.fType & ~(MFT_SEPARATOR | MFT_STRING);
        if (info.fType & MFT_SEPARATOR) fputs("separator", stdout);
        else if (info.hSubMenu != NULL) fputs("popup", stdout);
        else printf("item %u", info.wID);
        if (!(info.fType & MFT_SEPARATOR)) {
            putchar(' ');
            PrintText(text);
        }
        if (otherTypes) printf(" type=0x%X", otherTypes);
        /* Separators are always disabled; only other items' states say something. */
        if (info.fState && !(info.fType & MFT_SEPARATOR)) printf(" state=0x%X", info.fState);
        putchar('\n');
        if (info.hSubMenu != NULL) DumpMenuItems(info.hSubMenu, depth + 1);
    }
}

static void DumpMenu(HMODULE module, int id)
{
    DWORD size;
    const WORD* header = (const WORD*)FindData(module, (LPCSTR)RT_MENU, MAKEINTRESOURCEA(id), &size);
    HMENU menu = header != NULL ? LoadMenuA(module, MAKEINTRESOURCEA(id)) : NULL;
    if (menu == NULL) {
        printf("menu %d missing\n", id);
        return;
    }
    printf("menu %d format=%s\n", id, header[0] == 0 ? "MENU" : header[0] == 1 ? "MENUEX" : "unknown");
    DumpMenuItems(menu, 1);
    DestroyMenu(menu);
}

#pragma pack(push, 2)
typedef struct {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
} GroupIconEntry;
#pragma pack(pop)

static BOOL CALLBACK DumpIconGroup(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR unused)
{
    (void)type;
    (void)unused;
    DWORD size;
    const WORD* group = (const WORD*)FindData(module, (LPCSTR)RT_GROUP_ICON, name, &size);
    if (IS_INTRESOURCE(name)) printf("icon %u", (unsigned)(ULONG_PTR)name);
    else printf("icon %s", name);
    if (group == NULL || size < 6) {
        puts(" unreadable");
        return TRUE;
    }
    printf(" images=%u\n", group[2]);
    const GroupIconEntry* entry = (const GroupIconEntry*)(group + 3);
    for (unsigned i = 0; i < group[2] && 6 + (i + 1) * sizeof *entry <= size; ++i, ++entry) {
        /* A width or height byte of 0 stands for 256. */
        printf("  image %ux%u colours=%u planes=%u bits=%u", entry->width ? entry->width : 256,
               entry->height ? entry->height : 256, entry->colours, entry->planes, entry->bitCount);
        DWORD imageSize;
        const BYTE* image = FindData(module, (LPCSTR)RT_ICON, MAKEINTRESOURCEA(entry->id), &imageSize);
        if (image == NULL || imageSize < sizeof(BITMAPINFOHEADER)) {
            puts(" image-data=missing");
            continue;
        }
        BITMAPINFOHEADER header;
        memcpy(&header, image, sizeof header);
        /* Colour bits, then a one-bit AND mask; both rows padded to four bytes. The DIB's
           height counts both halves. */
        LONG height = header.biHeight / 2;
        DWORD palette = header.biBitCount <= 8 ? (header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount) : 0;
        DWORD colourBytes = (DWORD)(((header.biWidth * header.biBitCount + 31) / 32) * 4 * height);
        DWORD maskBytes = (DWORD)(((header.biWidth + 31) / 32) * 4 * height);
        DWORD expected = header.biSize + palette * 4 + colourBytes + maskBytes;
        printf(" dib=%ldx%ld bits=%u compression=%lu palette=%lu mask=%s", header.biWidth, height,
               header.biBitCount, header.biCompression, palette,
               header.biCompression == BI_RGB && header.biHeight == 2 * height && imageSize == expected ? "yes"
                                                                                                       : "no");
        HICON icon = CreateIconFromResourceEx((BYTE*)image, imageSize, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
        printf(" loads=%s\n", icon != NULL ? "yes" : "no");
        if (icon != NULL) DestroyIcon(icon);
    }
    return TRUE;
}

/* A bitmap: its header as stored (a DIB without the file header), whether the data holds its
   palette and every pixel row, and the size of the bitmap that LoadBitmapA makes of it. */
static BOOL CALLBACK DumpBitmap(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR unused)
{
    (void)type;
    (void)unused;
    DWORD size;
    const BYTE* data = FindData(module, (LPCSTR)RT_BITMAP, name, &size);
    if (IS_INTRESOURCE(name)) printf("bitmap %u", (unsigned)(ULONG_PTR)name);
    else printf("bitmap %s", name);
    if (data == NULL || size < sizeof(BITMAPINFOHEADER)) {
        puts(" unreadable");
        return TRUE;
    }
    BITMAPINFOHEADER header;
    memcpy(&header, data, sizeof header);
    /* Rows padded to four bytes; a negative height means top-down rows. */
    LONG rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    DWORD palette = header.biBitCount <= 8 ? (header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount) : 0;
    DWORD pixelBytes = (DWORD)(((header.biWidth * header.biBitCount + 31) / 32) * 4 * rows);
    DWORD expected = header.biSize + palette * 4 + pixelBytes;
    printf(" dib=%ldx%ld planes=%u bits=%u compression=%lu palette=%lu data=%s", header.biWidth, header.biHeight,
           header.biPlanes, header.biBitCount, header.biCompression, palette,
           header.biCompression == BI_RGB && size >= expected ? "complete" : "short");
    HBITMAP bitmap = LoadBitmapA(module, name);
    BITMAP loaded;
    if (bitmap != NULL && GetObjectA(bitmap, sizeof loaded, &loaded) == sizeof loaded)
        printf(" loads=%ldx%ld\n", loaded.bmWidth, loaded.bmHeight);
    else puts(" loads=no");
    if (bitmap != NULL) DeleteObject(bitmap);
    return TRUE;
}

/* The blocks of a VS_VERSIONINFO: the fixed part, then the strings of every StringTable. */
static void DumpVersionBlock(const BYTE* block, const BYTE* end, int depth, const WCHAR* table)
{
    while (block + 6 <= end) {
        WORD length = ((const WORD*)block)[0], valueLength = ((const WORD*)block)[1], type = ((const WORD*)block)[2];
        if (length < 6 || block + length > end) return;
        const WCHAR* key = (const WCHAR*)(block + 6);
        int keyLength = lstrlenW(key);
        const BYTE* value = (const BYTE*)(((ULONG_PTR)(key + keyLength + 1) + 3) & ~(ULONG_PTR)3);
        const BYTE* next = block + ((length + 3) & ~3);
        if (depth == 0) {
            const VS_FIXEDFILEINFO* fixed = (const VS_FIXEDFILEINFO*)value;
            if (valueLength >= sizeof *fixed && fixed->dwSignature == 0xFEEF04BD)
                printf("version file=%u.%u.%u.%u product=%u.%u.%u.%u flags=0x%lX os=0x%lX type=%lu\n",
                       HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                       LOWORD(fixed->dwFileVersionLS), HIWORD(fixed->dwProductVersionMS),
                       LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                       LOWORD(fixed->dwProductVersionLS), fixed->dwFileFlags & fixed->dwFileFlagsMask,
                       fixed->dwFileOS, fixed->dwFileType);
            else puts("version fixed-info=missing");
            value += valueLength;
            DumpVersionBlock((const BYTE*)(((ULONG_PTR)value + 3) & ~(ULONG_PTR)3), next, 1, NULL);
        } else if (depth == 1) {
            /* StringFileInfo holds the string tables; VarFileInfo is left out. */
            if (lstrcmpW(key, L"StringFileInfo") == 0) DumpVersionBlock(value, next, 2, NULL);
        } else if (depth == 2) {
            DumpVersionBlock(value, next, 3, key);
        } else if (type == 1) {
            fputs("version-string ", stdout);
            PrintWide(table, lstrlenW(table));
            putchar(' ');
            PrintWide(key, keyLength);
            putchar(' ');
            int chars = valueLength;
            while (chars > 0 && ((const WCHAR*)value)[chars - 1] == 0) --chars;
            PrintWide((const WCHAR*)value, chars);
            putchar('\n');
        }
        block = next;
    }
}

static int DumpResources(const char* file)
{
    HMODULE module = LoadLibraryExA(file, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (module == NULL) {
        printf("unloadable %s error=%lu\n", file, GetLastError());
        return 1;
    }
    for (int dialog = 103; dialog <= 109; ++dialog)
        if (dialog != 104) DumpDialog(module, dialog);
    DumpMenu(module, 101);
    EnumResourceNamesA(module, (LPCSTR)RT_GROUP_ICON, DumpIconGroup, 0);
    EnumResourceNamesA(module, (LPCSTR)RT_BITMAP, DumpBitmap, 0);
    DWORD size;
    const BYTE* version = FindData(module, (LPCSTR)RT_VERSION, MAKEINTRESOURCEA(1), &size);
    if (version != NULL) DumpVersionBlock(version, version + size, 0, NULL);
    else puts("version missing");
    FreeLibrary(module);
    return 0;
}

/* The manifest as the loader reads it, between two lines "manifest size=N" and "end". */
static int DumpManifest(const char* file)
{
    HMODULE module = LoadLibraryExA(file, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (module == NULL) return 1;
    DWORD size = 0;
    const BYTE* text = FindData(module, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), &size);
    if (text != NULL) {
        printf("manifest size=%lu\n", size);
        fwrite(text, 1, size, stdout);
        if (size > 0 && text[size - 1] != '\n') putchar('\n');
        puts("end");
    }
    FreeLibrary(module);
    return text != NULL ? 0 : 1;
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

static int ForgetIcons(const char* pid, const char* id)
{
    struct ForgetIcons forget = {(DWORD)strtoul(pid, NULL, 16), (UINT)strtoul(id, NULL, 10), 0};
    EnumWindows(ForgetIcon, (LPARAM)&forget);
    return forget.windows > 0 ? 0 : 1;
}

/* As a new taskbar announces itself: to every top-level window, without waiting for any of them. */
static int Broadcast(const char* name)
{
    UINT message = RegisterWindowMessageA(name);
    if (message == 0) return 1;
    BOOL sent = SendNotifyMessageA(HWND_BROADCAST, message, 0, 0);
    printf("broadcast message=0x%04X result=%d\n", message, sent ? 1 : 0);
    return sent ? 0 : 1;
}

/* ---- drives and code pages ------------------------------------------------------------- */

/* Every drive the system lists, with its type (GetDriveTypeA) and volume label. */
static int ListDrives(void)
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

/* ---- an open pop-up menu of another process ----------------------------------------------- */

/* A menu handle cannot be read from another process under Wine (GetMenuItemCount fails), so the
   reading runs inside the menu's own thread: wininspect.exe hooks that thread's window procedure
   calls with itself as the hook module, the system loads it into the other process, and a message
   sent to the open menu's window makes the hook write the menu to a file that we print. That copy
   of the tool runs without its C runtime set up: it fills in its own imports first and then makes
   system calls only. */

#define MN_GETHMENU 0x01E1
#define DUMP_MESSAGE_NAME L"wininspect dump menu"

typedef NTSTATUS(NTAPI* LdrGetProcedureAddressFn)(HMODULE, ANSI_STRING*, ULONG, void**);
typedef HMODULE(WINAPI* LoadLibraryAFn)(LPCSTR);

/* Plain loops: the copy in the other process cannot call the C runtime before its imports are
   resolved. */
static int AsciiLength(const volatile char* text)
{
    /* volatile: the compiler would otherwise call strlen here. */
    int length = 0;
    while (text[length]) ++length;
    return length;
}

static int SameAscii(const char* a, const char* b)
{
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

static IMAGE_NT_HEADERS* NtHeaders(BYTE* module)
{
    return (IMAGE_NT_HEADERS*)(module + ((IMAGE_DOS_HEADER*)module)->e_lfanew);
}

/* The module in the process's list whose file name ends in NAME (lower case, ASCII), or with NAME
   null the one that holds the code at ADDRESS. */
static BYTE* LoadedModule(const char* name, const void* address)
{
    int nameLength = name != NULL ? AsciiLength(name) : 0;
    PEB* peb;
#ifdef _WIN64
    __asm__("movq %%gs:0x60, %0" : "=r"(peb));
#else
    __asm__("movl %%fs:0x30, %0" : "=r"(peb));
#endif
    PEB_LDR_DATA* loader = peb->Ldr;
    LIST_ENTRY* head = &loader->InMemoryOrderModuleList;
    for (LIST_ENTRY* link = head->Flink; link != head; link = link->Flink) {
        LDR_DATA_TABLE_ENTRY* entry = CONTAINING_RECORD(link, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
        BYTE* base = (BYTE*)entry->DllBase;
        if (name == NULL) {
            DWORD size = NtHeaders(base)->OptionalHeader.SizeOfImage;
            if ((const BYTE*)address >= base && (const BYTE*)address < base + size) return base;
            continue;
        }
        int length = entry->FullDllName.Length / 2;
        if (length < nameLength) continue;
        const WCHAR* tail = entry->FullDllName.Buffer + length - nameLength;
        int same = 1;
        for (int i = 0; i < nameLength && same; ++i) {
            WCHAR c = tail[i];
            if (c >= 'A' && c <= 'Z') c = (WCHAR)(c - 'A' + 'a');
            same = c == (WCHAR)name[i];
        }
        if (same && (length == nameLength || tail[-1] == '\\')) return base;
    }
    return NULL;
}

/* An export of a module that does not forward it (ntdll forwards nothing). */
static void* PlainExport(BYTE* module, const char* name)
{
    IMAGE_DATA_DIRECTORY* directory = &NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    IMAGE_EXPORT_DIRECTORY* exports = (IMAGE_EXPORT_DIRECTORY*)(module + directory->VirtualAddress);
    DWORD* names = (DWORD*)(module + exports->AddressOfNames);
    WORD* ordinals = (WORD*)(module + exports->AddressOfNameOrdinals);
    DWORD* functions = (DWORD*)(module + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        if (SameAscii((const char*)module + names[i], name)) return module + functions[ordinals[i]];
    return NULL;
}

/* The system loads an .exe named as a hook module like a DLL, but resolves a DLL's imports only:
   in the other process this copy fills its own import table, through ntdll, before it calls
   anything. Returns 0 when that cannot be done. */
static int ResolveOwnImports(void)
{
    static int resolved;
    if (resolved) return 1;
    BYTE* ntdll = LoadedModule("ntdll.dll", NULL);
    BYTE* kernel32 = LoadedModule("kernel32.dll", NULL);
    /* This copy's own place (the linker's __ImageBase is not relocated). */
    BYTE* base = LoadedModule(NULL, (const void*)ResolveOwnImports);
    if (ntdll == NULL || kernel32 == NULL || base == NULL) return 0;
    LdrGetProcedureAddressFn getProcedure = (LdrGetProcedureAddressFn)PlainExport(ntdll, "LdrGetProcedureAddress");
    if (getProcedure == NULL) return 0;
    char loadLibraryName[] = "LoadLibraryA";
    ANSI_STRING name = {12, 13, loadLibraryName};
    LoadLibraryAFn loadLibrary = NULL;
    if (getProcedure((HMODULE)kernel32, &name, 0, (void**)&loadLibrary) != 0) return 0;

    IMAGE_DATA_DIRECTORY* directory = &NtHeaders(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR* import = (IMAGE_IMPORT_DESCRIPTOR*)(base + directory->VirtualAddress);
         import->Name != 0; ++import) {
        HMODULE module = loadLibrary((const char*)base + import->Name);
        if (module == NULL) return 0;
        IMAGE_THUNK_DATA* lookup = (IMAGE_THUNK_DATA*)(base + (import->OriginalFirstThunk ? import->OriginalFirstThunk
                                                                                         : import->FirstThunk));
        IMAGE_THUNK_DATA* address = (IMAGE_THUNK_DATA*)(base + import->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++address) {
            void* function = NULL;
            if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) {
                if (getProcedure(module, NULL, (ULONG)IMAGE_ORDINAL(lookup->u1.Ordinal), &function) != 0) return 0;
            } else {
                char* text = (char*)((IMAGE_IMPORT_BY_NAME*)(base + lookup->u1.AddressOfData))->Name;
                USHORT length = (USHORT)AsciiLength(text);
                ANSI_STRING functionName = {length, (USHORT)(length + 1), text};
                if (getProcedure(module, &functionName, 0, &function) != 0) return 0;
            }
            address->u1.Function = (ULONG_PTR)function;
        }
    }
    resolved = 1;
    return 1;
}

typedef struct {
    char text[65536];
    int length;
} DumpBuffer;

static DumpBuffer Dump;

static void DumpAdd(const char* format, ...)
{
    char line[1200];
    va_list args;
    va_start(args, format);
    int length = wvsprintfA(line, format, args);
    va_end(args);
    if (length > 0 && Dump.length + length < (int)sizeof Dump.text) {
        CopyMemory(Dump.text + Dump.length, line, length);
        Dump.length += length;
    }
}

/* UTF-16 text as ASCII: C escapes for \ and ", \uXXXX for anything else. */
static void DumpWide(const WCHAR* text)
{
    DumpAdd("\"");
    for (; *text; ++text) {
        if (*text == '\\' || *text == '"') DumpAdd("\\%c", (char)*text);
        else if (*text >= 0x20 && *text <= 0x7E) DumpAdd("%c", (char)*text);
        else DumpAdd("\\u%04X", *text);
    }
    DumpAdd("\"");
}

/* A bitmap's pixels as 32-bit colours; the caller frees them. */
static DWORD* BitmapPixels(HBITMAP bitmap, BITMAP* info)
{
    if (GetObjectW(bitmap, sizeof *info, info) != sizeof *info || info->bmWidth <= 0 || info->bmHeight <= 0 ||
        info->bmWidth > 256 || info->bmHeight > 256)
        return NULL;
    BITMAPINFO format;
    ZeroMemory(&format, sizeof format);
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info->bmWidth;
    format.bmiHeader.biHeight = -info->bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    DWORD* pixels = (DWORD*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, info->bmWidth * info->bmHeight * 4);
    HDC screen = GetDC(NULL);
    int rows = GetDIBits(screen, bitmap, 0, info->bmHeight, pixels, &format, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    if (rows != info->bmHeight) {
        HeapFree(GetProcessHeap(), 0, pixels);
        return NULL;
    }
    return pixels;
}

typedef struct {
    BITMAP info;
    const DWORD* pixels;
    int found;
} BitmapSearch;

static BOOL CALLBACK MatchBitmapResource(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    (void)type;
    BitmapSearch* search = (BitmapSearch*)param;
    if (!IS_INTRESOURCE(name)) return TRUE;
    HBITMAP candidate = LoadBitmapW(module, name);
    if (candidate == NULL) return TRUE;
    BITMAP info;
    DWORD* pixels = BitmapPixels(candidate, &info);
    if (pixels != NULL && info.bmWidth == search->info.bmWidth && info.bmHeight == search->info.bmHeight &&
        RtlEqualMemory(pixels, search->pixels, info.bmWidth * info.bmHeight * 4))
        search->found = (int)(ULONG_PTR)name;
    if (pixels != NULL) HeapFree(GetProcessHeap(), 0, pixels);
    DeleteObject(candidate);
    return search->found == 0;
}

/* Names an item's mark: the program's bitmap resource with the same pixels ("#166"), else its
   size, or "invalid" for a handle that is no bitmap (any more). */
static void DumpMark(const char* label, HBITMAP bitmap)
{
    if (bitmap == NULL) return;
    BitmapSearch search;
    ZeroMemory(&search, sizeof search);
    DWORD* pixels = BitmapPixels(bitmap, &search.info);
    if (pixels == NULL) {
        DumpAdd(" %s=invalid", label);
        return;
    }
    search.pixels = pixels;
    EnumResourceNamesW(GetModuleHandleW(NULL), (LPCWSTR)RT_BITMAP, MatchBitmapResource, (LONG_PTR)&search);
    HeapFree(GetProcessHeap(), 0, pixels);
    if (search.found) DumpAdd(" %s=#%d", label, search.found);
    else DumpAdd(" %s=%dx%d", label, search.info.bmWidth, search.info.bmHeight);
}

#define MAX_OPEN_MENUS 16

typedef struct {
    HWND windows[MAX_OPEN_MENUS];
    HMENU menus[MAX_OPEN_MENUS];
    int count;
} OpenMenus;

static BOOL CALLBACK CollectOpenMenu(HWND window, LPARAM param)
{
    OpenMenus* open = (OpenMenus*)param;
    WCHAR className[16];
    if (open->count < MAX_OPEN_MENUS && IsWindowVisible(window) &&
        GetClassNameW(window, className, 16) && lstrcmpW(className, L"#32768") == 0) {
        open->windows[open->count] = window;
        open->menus[open->count++] = (HMENU)SendMessageW(window, MN_GETHMENU, 0, 0);
    }
    return TRUE;
}

static int IsOpen(const OpenMenus* open, HMENU menu)
{
    for (int i = 0; i < open->count; ++i)
        if (open->menus[i] == menu) return 1;
    return 0;
}

/* One line an item, in the form of the "resources" dump, with its state and marks. */
static void DumpOpenMenuItems(const OpenMenus* open, HMENU menu, int depth)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        WCHAR text[512] = L"";
        MENUITEMINFOW info;
        ZeroMemory(&info, sizeof info);
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING | MIIM_CHECKMARKS;
        info.dwTypeData = text;
        info.cch = 512;
        for (int level = 0; level < depth; ++level) DumpAdd("  ");
        if (!GetMenuItemInfoW(menu, (UINT)i, TRUE, &info)) {
            DumpAdd("unreadable item %d\n", i);
            continue;
        }
        UINT otherTypes = info.fType & ~(MFT_SEPARATOR | MFT_STRING);
        if (info.fType & MFT_SEPARATOR) DumpAdd("separator");
        else if (info.hSubMenu != NULL) DumpAdd("popup");
        else DumpAdd("item %u", info.wID);
        if (!(info.fType & MFT_SEPARATOR)) {
            DumpAdd(" ");
            DumpWide(text);
        }
        if (otherTypes) DumpAdd(" type=0x%X", otherTypes);
        if (info.fState && !(info.fType & MFT_SEPARATOR)) DumpAdd(" state=0x%X", info.fState);
        DumpMark("checked", info.hbmpChecked);
        DumpMark("unchecked", info.hbmpUnchecked);
        if (info.hSubMenu != NULL && IsOpen(open, info.hSubMenu)) DumpAdd(" open");
        DumpAdd("\n");
        if (info.hSubMenu != NULL) DumpOpenMenuItems(open, info.hSubMenu, depth + 1);
    }
}

/* Inside the menu's process: the open menu windows of this thread, then the tree of the menu that
   is no other open menu's sub-menu. */
static void DumpOpenMenus(DWORD requester)
{
    OpenMenus open;
    ZeroMemory(&open, sizeof open);
    EnumThreadWindows(GetCurrentThreadId(), CollectOpenMenu, (LPARAM)&open);
    Dump.length = 0;
    HMENU root = NULL;
    for (int i = 0; i < open.count; ++i) {
        RECT r;
        GetWindowRect(open.windows[i], &r);
        DumpAdd("menu-window rect=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right, r.bottom);
        int isSubMenu = 0;
        for (int j = 0; j < open.count; ++j) {
            int count = GetMenuItemCount(open.menus[j]);
            for (int k = 0; k < count; ++k)
                if (j != i && GetSubMenu(open.menus[j], k) == open.menus[i]) isSubMenu = 1;
        }
        if (!isSubMenu) root = open.menus[i];
    }
    if (root != NULL) DumpOpenMenuItems(&open, root, 0);

    WCHAR path[MAX_PATH + 64];
    DWORD length = GetTempPathW(MAX_PATH, path);
    wsprintfW(path + length, L"wininspect-menu-%lu.txt", requester);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(file, Dump.text, Dump.length, &written, NULL);
    CloseHandle(file);
}

static LRESULT CALLBACK MenuDumpHook(int code, WPARAM wParam, LPARAM lParam)
{
#ifndef _WIN64
    /* 32-bit code reaches its data and imports at the addresses it was linked for, and the system
       does not relocate an .exe that it loads as a module: a copy that could not have the base it
       asks for (see the build) must not touch anything. Where it runs comes from the instruction
       pointer; where it was linked to run, from an address the linker wrote into the code. */
    const BYTE* here;
    __asm__("call 1f\n1: popl %0" : "=r"(here));
    if (here < (const BYTE*)MenuDumpHook || here > (const BYTE*)MenuDumpHook + 64) return 0;
#endif
    if (!ResolveOwnImports()) return 0;
    const CWPSTRUCT* call = (const CWPSTRUCT*)lParam;
    if (code == HC_ACTION && call->message == RegisterWindowMessageW(DUMP_MESSAGE_NAME))
        DumpOpenMenus((DWORD)call->wParam);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static BOOL CALLBACK FindOpenMenu(HWND window, LPARAM param)
{
    char className[16];
    if (!IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className) ||
        strcmp(className, "#32768") != 0)
        return TRUE;
    *(HWND*)param = window;
    return FALSE;
}

static int ShowOpenMenu(void)
{
    HWND window = NULL;
    EnumWindows(FindOpenMenu, (LPARAM)&window);
    if (window == NULL) {
        puts("no open menu");
        return 1;
    }
    DWORD pid, thread = GetWindowThreadProcessId(window, &pid);
    char path[MAX_PATH + 64];
    DWORD length = GetTempPathA(MAX_PATH, path);
    wsprintfA(path + length, "wininspect-menu-%lu.txt", GetCurrentProcessId());
    DeleteFileA(path);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, MenuDumpHook, GetModuleHandleW(NULL), thread);
    if (hook == NULL) {
        printf("cannot hook the menu's thread: error %lu\n", GetLastError());
        return 1;
    }
    DWORD_PTR result;
    LRESULT sent = SendMessageTimeoutW(window, RegisterWindowMessageW(DUMP_MESSAGE_NAME), GetCurrentProcessId(), 0,
                                       SMTO_ABORTIFHUNG, 5000, &result);
    UnhookWindowsHookEx(hook);
    FILE* file = fopen(path, "rb");
    if (!sent || file == NULL) {
        printf("the menu's process did not answer (pid %04lx)\n", (unsigned long)pid);
        return 1;
    }
    printf("menu pid=%04lx\n", (unsigned long)pid);
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) fwrite(buffer, 1, got, stdout);
    fclose(file);
    DeleteFileA(path);
    return 0;
}

/* ---- holding the prefix open ------------------------------------------------------------- */

/* Starting Wine's desktop takes a moment; a program that adds a notification icon before the
   notification area exists gets a failure. Waiting here lets the program start on a ready desktop,
   and staying alive keeps the desktop (and its notification area) up after the program ends. */
static int Hold(void)
{
    GetDesktopWindow();
    for (int tries = 0; FindWindowA("Shell_TrayWnd", NULL) == NULL; ++tries) {
        if (tries == 300) {
            puts("no notification area after 30 s");
            return 1;
        }
        Sleep(100);
    }
    puts("ready");
    fflush(stdout);
    Sleep(INFINITE);
    return 0;
}

/* ---- a file in use ------------------------------------------------------------------------ */

/* Wine has one desktop: a Dorvane of another user's session is a file that nobody may write or
   delete while it runs, and no window to be found. */
static int UseFile(const char* path, int shareWrite)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | (shareWrite ? FILE_SHARE_WRITE : 0), NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        printf("cannot open %s: error %lu\n", path, GetLastError());
        return 1;
    }
    puts("using");
    fflush(stdout);
    Sleep(INFINITE);
    return 0;
}

int main(int argc, char** argv)
{
    /* Plain \n line ends, also when the output goes to a file. */
    _setmode(_fileno(stdout), _O_BINARY);
    const char* command = argc > 1 ? argv[1] : "";
    int status = 2;
    if (strcmp(command, "windows") == 0) status = ListWindows(argc > 2 && strcmp(argv[2], "all") == 0);
    else if (strcmp(command, "msgbox") == 0 && argc == 3) status = ShowMessageBoxes(argv[2]);
    else if (strcmp(command, "dialog") == 0 && argc == 3) status = ShowDialogs();
    else if (strcmp(command, "processes") == 0) status = ListProcesses();
    else if (strcmp(command, "reg") == 0 && (argc == 3 || argc == 4)) status = DumpRegistry(argv[2], argc == 4 ? argv[3] : NULL);
    else if (strcmp(command, "reg-readonly") == 0 && argc == 3) status = MakeKeyReadOnly(argv[2]);
    else if (strcmp(command, "resources") == 0 && argc == 3) status = DumpResources(argv[2]);
    else if (strcmp(command, "temp") == 0) {
        char path[MAX_PATH];
        status = GetTempPathA(sizeof path, path) ? (puts(path), 0) : 1;
    } else if (strcmp(command, "hold") == 0) status = Hold();
    else if (strcmp(command, "drives") == 0) status = ListDrives();
    else if (strcmp(command, "menu") == 0) status = ShowOpenMenu();
    else if (strcmp(command, "codepage") == 0) status = (printf("acp=%u oemcp=%u\n", GetACP(), GetOEMCP()), 0);
    else if (strcmp(command, "forget-icon") == 0 && argc == 4) status = ForgetIcons(argv[2], argv[3]);
    else if (strcmp(command, "broadcast") == 0 && argc == 3) status = Broadcast(argv[2]);
    else if (strcmp(command, "manifest") == 0 && argc == 3) status = DumpManifest(argv[2]);
    else if (strcmp(command, "use") == 0 && (argc == 3 || (argc == 4 && strcmp(argv[3], "write") == 0)))
        status = UseFile(argv[2], argc == 4);
    else fputs("usage: wininspect windows [all] | msgbox TITLE | dialog TITLE | processes | reg KEY [VIEW] | reg-readonly KEY"
               " | resources FILE | temp | hold"
               " | drives | menu | codepage | forget-icon PID ID | broadcast NAME | manifest FILE | use FILE [write]\n", stderr);
    fflush(stdout);
    return status;
}
