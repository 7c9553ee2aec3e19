// Thin registry helpers: each returns 1 when the call returned ERROR_SUCCESS.
#ifndef DORVANE_REGISTRY_H
#define DORVANE_REGISTRY_H

#include <windows.h>

int OpenRegKey(HKEY root, const char* subKey, HKEY* key);

// Opens the key, or creates it with `className` when it is missing.
int CreateRegKey(HKEY parent, const char* subKey, HKEY* key, const char* className);

// Reads a value of any type as text into `buffer` (REG_TEXT_SIZE bytes). The
// text always ends in a NUL: at the first NUL of the data or after its last
// byte. Data that leaves no room for a terminator counts as a failure.
int QueryRegString(HKEY key, const char* valueName, char* buffer);

int SetRegValue(HKEY key, const char* valueName, const BYTE* data, DWORD type, DWORD size);

#endif
