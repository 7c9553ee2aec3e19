#include "settings/Registry.h"

#include "settings/Settings.h"

namespace {

int Succeeded(LSTATUS result, LSTATUS* status)
{
    if (status != NULL) *status = result;
    return result == ERROR_SUCCESS;
}

}  // namespace

int OpenRegKey(HKEY root, const char* subKey, REGSAM access, HKEY* key, LSTATUS* status)
{
    return Succeeded(RegOpenKeyExA(root, subKey, 0, access, key), status);
}

int CreateRegKey(HKEY parent, const char* subKey, REGSAM access, HKEY* key, const char* className, LSTATUS* status)
{
    DWORD disposition = 0;
    return Succeeded(RegCreateKeyExA(parent, subKey, 0, const_cast<char*>(className), REG_OPTION_NON_VOLATILE, access,
                                     NULL, key, &disposition),
                     status);
}

int QueryRegString(HKEY key, const char* valueName, char* buffer)
{
    DWORD type = 0;
    DWORD size = REG_TEXT_SIZE;
    buffer[0] = '\0';
    if (RegQueryValueExA(key, valueName, NULL, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
        buffer[0] = '\0';
        return 0;
    }
    // A stored text may come with or without its terminator. A full buffer
    // without a NUL in it has no room for one: treat it as too long.
    if (size > REG_TEXT_SIZE) size = REG_TEXT_SIZE;
    for (DWORD i = 0; i < size; ++i)
        if (buffer[i] == '\0') return 1;
    if (size == REG_TEXT_SIZE) {
        buffer[0] = '\0';
        return 0;
    }
    buffer[size] = '\0';
    return 1;
}

int SetRegValue(HKEY key, const char* valueName, const BYTE* data, DWORD type, DWORD size, LSTATUS* status)
{
    return Succeeded(RegSetValueExA(key, valueName, 0, type, data, size), status);
}
