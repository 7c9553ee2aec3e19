/* wininspect: the resources and the manifest of a program file. */

#include "wininspect.h"

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

int DumpResources(const char* file)
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
int DumpManifest(const char* file)
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
