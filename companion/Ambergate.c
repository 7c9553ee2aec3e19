/*
 * Ambergate: Dorvane's start-up companion.
 *
 * Every start of Dorvane runs it as
 *     <install dir>\Ambergate.exe 236 "Dorvane_is1"
 * where 236 is the version of this small handshake and Dorvane_is1 names the
 * installation that started it. Ambergate notes the start as one line (local
 * time and its whole command line) in %TEMP%\Ambergate.log and exits at once
 * with 0. The log starts afresh once it passes 64 KB. With any other
 * arguments it writes nothing and exits with 2. It has no window, reads no
 * settings and never waits for anything.
 */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#define LOG_NAME "Ambergate.log"
#define LOG_LIMIT (64 * 1024)

/* The command line ends in the handshake's two arguments. What comes before
   is the program's own path, quoted or not: Windows passes an unquoted path
   with blanks through as it is, so the line is not split into words. */
static int IsHandshake(const char* commandLine)
{
    static const char tail[] = " 236 \"Dorvane_is1\"";
    size_t length = strlen(commandLine);
    size_t tailLength = sizeof tail - 1;
    return length > tailLength && strcmp(commandLine + length - tailLength, tail) == 0;
}

static void AppendLine(const char* commandLine)
{
    char path[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, path);
    if (length == 0 || length + sizeof LOG_NAME > MAX_PATH) return;
    strcat(path, LOG_NAME);

    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    if (GetFileSize(file, NULL) > LOG_LIMIT) {
        SetFilePointer(file, 0, NULL, FILE_BEGIN);
        SetEndOfFile(file);
    }
    SetFilePointer(file, 0, NULL, FILE_END);

    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[64 + 32768];
    int size = snprintf(line, sizeof line, "%04u-%02u-%02u %02u:%02u:%02u %s\r\n", now.wYear, now.wMonth, now.wDay,
                        now.wHour, now.wMinute, now.wSecond, commandLine);
    if (size > 0) {
        DWORD written;
        WriteFile(file, line, (DWORD)(size < (int)sizeof line ? size : (int)sizeof line - 1), &written, NULL);
    }
    CloseHandle(file);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showCommand;
    const char* whole = GetCommandLineA();
    if (!IsHandshake(whole)) return 2;
    AppendLine(whole);
    return 0;
}
