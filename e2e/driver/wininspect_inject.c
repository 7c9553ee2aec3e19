/* wininspect: the copy of the tool that the system loads into another process as a hook module. */

#include "wininspect.h"

/* A menu handle cannot be read from another process under Wine (GetMenuItemCount fails), so the
   reading runs inside the menu's own thread: wininspect.exe hooks that thread's window procedure
   calls with itself as the hook module, the system loads it into the other process, and a message
   sent to the open menu's window makes the hook write the menu to a file that we print. That copy
   of the tool runs without its C runtime set up: it fills in its own imports first and then makes
   system calls only. */

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
int ResolveOwnImports(void)
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
