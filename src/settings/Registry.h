// Thin registry helpers: each returns 1 when the call returned ERROR_SUCCESS.
// Each key is asked only for the rights its caller needs: a standard user may
// read HKEY_LOCAL_MACHINE but not write it.
#ifndef DORVANE_REGISTRY_H
#define DORVANE_REGISTRY_H

#include <windows.h>

// `status`, when given, receives the call's result, so that a refusal for
// want of rights (ERROR_ACCESS_DENIED) can be told apart.
int OpenRegKey(HKEY root, const char* subKey, REGSAM access, HKEY* key, LSTATUS* status = NULL);

// Opens the key, or creates it with `className` when it is missing.
int CreateRegKey(HKEY parent, const char* subKey, REGSAM access, HKEY* key, const char* className,
                 LSTATUS* status = NULL);

// Reads a value of any type as text into `buffer` (REG_TEXT_SIZE bytes). The
// text always ends in a NUL: at the first NUL of the data or after its last
// byte. Data that leaves no room for a terminator counts as a failure.
int QueryRegString(HKEY key, const char* valueName, char* buffer);

int SetRegValue(HKEY key, const char* valueName, const BYTE* data, DWORD type, DWORD size, LSTATUS* status = NULL);

#endif
