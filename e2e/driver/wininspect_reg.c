/* wininspect: registry keys, dumped or made read-only. */

#include "wininspect.h"

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
int DumpRegistry(const char* path, const char* viewName)
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
int MakeKeyReadOnly(const char* path)
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
