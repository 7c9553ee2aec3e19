// The system's DLLs as a program finds them at run time: which Windows exports
// which of the later functions, and MulDiv.
#include "world.h"

#include <shellscalingapi.h>

namespace sim {

namespace {

// A module handle for each system DLL the program may ask for.
const uintptr_t kUser32 = 0x7FF10000;
const uintptr_t kKernel32 = 0x7FF20000;
const uintptr_t kShcore = 0x7FF30000;

struct Export {
    const char* module;
    const char* name;
    WindowsRelease since;
    FARPROC function;
};

template <typename Function>
FARPROC AsFarProc(Function function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

// Only the functions the program looks up; each with the first Windows that has it.
const Export* FindExport(const std::string& module, const std::string& name)
{
    static const Export exports[] = {
        {"user32.dll", "ChangeWindowMessageFilter", WindowsRelease::Vista, AsFarProc(ChangeWindowMessageFilter)},
        {"user32.dll", "ChangeWindowMessageFilterEx", WindowsRelease::Windows7, AsFarProc(ChangeWindowMessageFilterEx)},
        {"user32.dll", "GetSystemMetricsForDpi", WindowsRelease::Windows10, AsFarProc(GetSystemMetricsForDpi)},
        {"shcore.dll", "GetDpiForMonitor", WindowsRelease::Windows8_1, AsFarProc(GetDpiForMonitor)},
    };
    for (const Export& entry : exports)
        if (SameText(module, entry.module) && name == entry.name) return &entry;
    return NULL;
}

std::string ModuleName(HMODULE module)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(module);
    if (value == kUser32) return "user32.dll";
    if (value == kKernel32) return "kernel32.dll";
    if (value == kShcore && W().loadedModules.count("shcore.dll")) return "shcore.dll";
    return "";
}

// "USER32", "user32.dll": the same module.
std::string WithExtension(std::string name)
{
    if (name.find('.') == std::string::npos) name += ".dll";
    return name;
}

}  // namespace

void SetWindowsRelease(WindowsRelease release)
{
    W().release = release;
}

bool SystemExports(const std::string& module, const std::string& name)
{
    const Export* entry = FindExport(module, name);
    return entry && W().release >= entry->since;
}

}  // namespace sim

using namespace sim;

// Every process of the program has user32 and kernel32 loaded.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    std::string name = WithExtension(moduleName ? moduleName : "");
    Log("GetModuleHandleA " + name);
    if (SameText(name, "user32.dll")) return reinterpret_cast<HMODULE>(kUser32);
    if (SameText(name, "kernel32.dll")) return reinterpret_cast<HMODULE>(kKernel32);
    if (SameText(name, "shcore.dll") && W().loadedModules.count("shcore.dll")) return reinterpret_cast<HMODULE>(kShcore);
    W().lastError = ERROR_MOD_NOT_FOUND;
    return NULL;
}

// Only the system folder is searched, as LOAD_LIBRARY_SEARCH_SYSTEM32 asks; any
// other search would let a DLL beside the program stand in for the system's.
HMODULE WINAPI LoadLibraryExA(LPCSTR fileName, HANDLE reserved, DWORD flags)
{
    std::string name = WithExtension(fileName ? fileName : "");
    Log("LoadLibraryExA " + name + " " + Hex(flags));
    if (flags != LOAD_LIBRARY_SEARCH_SYSTEM32)
        throw Failure("LoadLibraryExA(\"" + name + "\") searches beyond the system folder (flags " + Hex(flags) + ")");
    // Vista and 7 (without the update that brought the flag) refuse it; neither has shcore.
    if (W().release < WindowsRelease::Windows8_1) {
        W().lastError = ERROR_INVALID_PARAMETER;
        return NULL;
    }
    if (SameText(name, "shcore.dll")) {
        W().loadedModules.insert("shcore.dll");
        return reinterpret_cast<HMODULE>(kShcore);
    }
    if (SameText(name, "user32.dll")) return reinterpret_cast<HMODULE>(kUser32);
    W().lastError = ERROR_MOD_NOT_FOUND;
    return NULL;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName)
{
    std::string moduleName = ModuleName(module);
    std::string name = IS_INTRESOURCE(procName) ? "#" + std::to_string(reinterpret_cast<uintptr_t>(procName)) : procName;
    Log("GetProcAddress " + moduleName + " " + name);
    if (moduleName.empty()) {
        W().lastError = ERROR_INVALID_HANDLE;
        return NULL;
    }
    const Export* entry = FindExport(moduleName, name);
    if (!entry && !SameText(moduleName, "kernel32.dll"))
        throw Failure("GetProcAddress: winsim does not know " + moduleName + "!" + name);
    if (!entry || W().release < entry->since) {
        W().lastError = ERROR_PROC_NOT_FOUND;
        return NULL;
    }
    return entry->function;
}

int WINAPI MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    long long product = static_cast<long long>(number) * numerator;
    // Rounded half away from zero, as kernel32 does.
    long long half = (denominator < 0 ? -denominator : denominator) / 2;
    long long result = ((product < 0) != (denominator < 0)) ? (product - half) / denominator : (product + half) / denominator;
    if (result > 0x7FFFFFFF || result < -0x7FFFFFFFLL - 1) return -1;
    return static_cast<int>(result);
}
