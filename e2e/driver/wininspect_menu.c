/* wininspect: the open pop-up menu of another process, read inside that process. */

#include "wininspect.h"

#define MN_GETHMENU 0x01E1
#define DUMP_MESSAGE_NAME L"wininspect dump menu"


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

int ShowOpenMenu(void)
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
