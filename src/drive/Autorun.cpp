#include "drive/Autorun.h"

#include "app/Text.h"
#include "settings/Settings.h"

#include <string.h>

int ReadAutorunText(const char* root, char text[AUTORUN_READ_SIZE], DWORD* length, char* original)
{
    char path[PATH_SIZE];
    CopyText(path, sizeof path, root);
    AppendText(path, sizeof path, "autorun.inf");
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    *length = 0;
    BOOL read = ReadFile(file, text, AUTORUN_READ_SIZE, length, NULL);
    CloseHandle(file);
    if (!read) return 0;
    if (*length > AUTORUN_READ_SIZE) *length = AUTORUN_READ_SIZE;
    if (original != NULL) memcpy(original, text, *length);
    for (DWORD i = 0; i < *length; ++i)
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
    return 1;
}

int FindOpenKey(const char* text, DWORD length)
{
    // The bytes may hold NULs: count, do not look for a terminator.
    for (DWORD i = 0; i + 4 <= length; ++i)
        if (text[i] == 'O' && text[i + 1] == 'P' && text[i + 2] == 'E' && text[i + 3] == 'N')
            return static_cast<int>(i);
    return -1;
}
