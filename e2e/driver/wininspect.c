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

#include "wininspect.h"

#include <fcntl.h>
#include <io.h>

void PrintQuoted(const char* text, int length)
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

void PrintText(const char* text) { PrintQuoted(text, (int)strlen(text)); }

/* A UTF-16 resource string, printed as ASCII with escapes for anything else. */
void PrintWide(const WCHAR* text, int length)
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
