// The display scale: the system DPI, the primary monitor's DPI, what a
// process sees of them by the DPI awareness its manifest declares, the
// metrics that follow from them, and icons loaded at a size.
#include "world.h"

#include <shellscalingapi.h>

namespace sim {

namespace {

const uintptr_t kPrimaryMonitor = 0x10001, kSecondMonitor = 0x10002;
const LONG kScreenWidth = 1024, kScreenHeight = 768;   // each monitor's
// The shell's taskbar, a window of another process.
const uintptr_t kTaskbarWindow = 0x20010;

HMONITOR MonitorHandle(int monitor)
{
    return reinterpret_cast<HMONITOR>(monitor == 1 ? kSecondMonitor : kPrimaryMonitor);
}

// The text of the manifest's element `name`, lower case; empty when it is not there.
std::string ManifestSetting(const std::string& name)
{
    const std::string& manifest = W().resources.manifest;
    size_t open = manifest.find("<" + name);
    if (open == std::string::npos) return "";
    size_t start = manifest.find('>', open);
    size_t end = manifest.find("</" + name, start);
    if (start == std::string::npos || end == std::string::npos) return "";
    std::string text = manifest.substr(start + 1, end - start - 1);
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

enum class Awareness { Unaware, System, PerMonitor };

// dpiAwareness counts from Windows 10 (1607) on and wins over dpiAware; its
// first value the system knows is taken. dpiAware "true/pm" is per monitor
// from Windows 8.1 on, and system-wide before.
Awareness ProcessAwareness()
{
    if (W().release >= WindowsRelease::Windows10) {
        std::string values = ManifestSetting("dpiAwareness");
        size_t from = 0;
        while (from < values.size()) {
            size_t comma = values.find(',', from);
            std::string value = values.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
            value.erase(0, value.find_first_not_of(" \t\r\n"));
            value.erase(value.find_last_not_of(" \t\r\n") + 1);
            if (value == "permonitorv2" || value == "permonitor") return Awareness::PerMonitor;
            if (value == "system") return Awareness::System;
            if (value == "unaware") return Awareness::Unaware;
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
    }
    std::string aware = ManifestSetting("dpiAware");
    aware.erase(0, aware.find_first_not_of(" \t\r\n"));
    aware.erase(aware.find_last_not_of(" \t\r\n") + 1);
    if (aware == "true/pm" || aware == "per monitor")
        return W().release >= WindowsRelease::Windows8_1 ? Awareness::PerMonitor : Awareness::System;
    if (aware == "true") return Awareness::System;
    return Awareness::Unaware;
}

// A late function called where the system has none: a program that imports it
// directly would not even start there.
void RequireExport(const char* module, const char* name)
{
    if (!SystemExports(module, name))
        throw Failure(std::string("the program calls ") + name + ", which this Windows does not have: it must look it up");
}

int IconMetric(int index, UINT dpi)
{
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return MulDiv(32, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    case SM_CXSMICON:
    case SM_CYSMICON:
        return MulDiv(16, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    }
    throw Failure("winsim does not know system metric " + std::to_string(index));
}

HICON NewIcon(int resource, int size, bool shared)
{
    HICON handle = reinterpret_cast<HICON>(NewHandleValue());
    IconObject icon;
    icon.resource = resource;
    icon.size = size;
    icon.shared = shared;
    W().icons[handle] = icon;
    return handle;
}

// The icon resource `name` of the program, or 0 (last error set).
int ProgramIcon(HINSTANCE instance, LPCSTR name, const char* api)
{
    if (instance != ProgramInstance() || !IS_INTRESOURCE(name)) {
        W().lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
        return 0;
    }
    int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    if (Faulted(api, std::to_string(id))) return 0;
    if (W().resources.icons.count(id) == 0) {
        W().lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
        return 0;
    }
    return id;
}

}  // namespace

bool ProcessDpiAware()
{
    return ProcessAwareness() != Awareness::Unaware;
}

UINT ProcessSystemDpi()
{
    return ProcessDpiAware() ? W().systemDpi : USER_DEFAULT_SCREEN_DPI;
}

void SetDisplayDpi(UINT dpi)
{
    W().systemDpi = dpi;
    W().monitorDpi = dpi;
}

void AddMonitor(UINT dpi)
{
    W().secondMonitorDpi = dpi;
}

void PlaceTaskbar(int monitor)
{
    if (monitor == 1 && W().secondMonitorDpi == 0) throw Failure("PlaceTaskbar: there is no second monitor");
    W().taskbarMonitor = monitor;
}

void ChangeDisplayDpi(UINT dpi)
{
    if (W().release < WindowsRelease::Windows8_1)
        throw Failure("before Windows 8.1 a new display scale takes effect at the next sign-in");
    W().monitorDpi = dpi;
    Log("display scale " + std::to_string(dpi) + " dpi");
    if (W().processRunning) ShellBroadcast(TaskbarCreatedMessage());
}

int IconResourceId(HICON icon)
{
    auto found = W().icons.find(icon);
    return found == W().icons.end() ? 0 : found->second.resource;
}

int IconSize(HICON icon)
{
    auto found = W().icons.find(icon);
    return found == W().icons.end() || found->second.destroyed ? 0 : found->second.size;
}

}  // namespace sim

using namespace sim;

int WINAPI GetSystemMetrics(int index)
{
    return IconMetric(index, ProcessSystemDpi());
}

int WINAPI GetSystemMetricsForDpi(int index, UINT dpi)
{
    RequireExport("user32.dll", "GetSystemMetricsForDpi");
    return IconMetric(index, dpi);
}

// The primary monitor at the top left of the desktop, a second one to its right.
HMONITOR WINAPI MonitorFromPoint(POINT point, DWORD flags)
{
    LONG width = W().secondMonitorDpi ? 2 * kScreenWidth : kScreenWidth;
    bool inside = point.x >= 0 && point.y >= 0 && point.x < width && point.y < kScreenHeight;
    if (!inside && flags == MONITOR_DEFAULTTONULL) return NULL;
    return MonitorHandle(inside && point.x >= kScreenWidth ? 1 : 0);
}

// The program's windows are on the primary monitor; the taskbar where it was placed.
HMONITOR WINAPI MonitorFromWindow(HWND window, DWORD flags)
{
    if (window == reinterpret_cast<HWND>(kTaskbarWindow)) return MonitorHandle(W().taskbarMonitor);
    if (!FindWindow(window) && flags == MONITOR_DEFAULTTONULL) return NULL;
    return MonitorHandle(0);
}

HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName)
{
    if (!className || IS_INTRESOURCE(className) || std::string(className) != "Shell_TrayWnd" || windowName)
        throw Failure("winsim's FindWindowA finds the shell's taskbar (\"Shell_TrayWnd\", any title) alone");
    if (W().taskbarMonitor < 0) return NULL;
    return reinterpret_cast<HWND>(kTaskbarWindow);
}

// What a process is told: the monitor's DPI when it is aware per monitor, the
// system DPI when it is aware system-wide, 96 when it is not aware.
HRESULT WINAPI GetDpiForMonitor(HMONITOR monitor, MONITOR_DPI_TYPE dpiType, UINT* dpiX, UINT* dpiY)
{
    RequireExport("shcore.dll", "GetDpiForMonitor");
    uintptr_t which = reinterpret_cast<uintptr_t>(monitor);
    bool second = which == kSecondMonitor && W().secondMonitorDpi != 0;
    if ((which != kPrimaryMonitor && !second) || !dpiX || !dpiY) return E_INVALIDARG;
    if (dpiType != MDT_EFFECTIVE_DPI) throw Failure("winsim models the effective DPI of a monitor only");
    Awareness awareness = ProcessAwareness();
    UINT dpi = awareness == Awareness::PerMonitor ? (second ? W().secondMonitorDpi : W().monitorDpi)
               : awareness == Awareness::System   ? W().systemDpi
                                                  : USER_DEFAULT_SCREEN_DPI;
    *dpiX = *dpiY = dpi;
    return S_OK;
}

// The same resource gives the same shared handle every time, at the large icon size.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName)
{
    int id = ProgramIcon(instance, iconName, "LoadIconA");
    if (id == 0) return NULL;
    for (const auto& entry : W().icons)
        if (entry.second.shared && entry.second.resource == id) return entry.first;
    return NewIcon(id, GetSystemMetrics(SM_CXICON), true);
}

// A new handle of its own at the size asked for, each call.
HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    if (type != IMAGE_ICON) throw Failure("winsim loads icons only with LoadImageA");
    if (flags & LR_SHARED)
        throw Failure("LoadImageA with LR_SHARED hands back the first size loaded of a resource, whatever the size asked");
    if (flags & ~static_cast<UINT>(LR_DEFAULTSIZE)) throw Failure("LoadImageA: flags " + Hex(flags) + " are not modelled");
    if (cx == 0 && (flags & LR_DEFAULTSIZE)) cx = GetSystemMetrics(SM_CXICON);
    if (cy == 0 && (flags & LR_DEFAULTSIZE)) cy = GetSystemMetrics(SM_CYICON);
    if (cx <= 0 || cx != cy) throw Failure("LoadImageA: winsim models square icons of a given size only");
    int id = ProgramIcon(instance, name, "LoadImageA");
    Log("LoadImageA " + std::to_string(id) + " " + std::to_string(cx));
    if (id == 0) return NULL;
    return NewIcon(id, cx, false);
}

BOOL WINAPI DestroyIcon(HICON icon)
{
    auto found = W().icons.find(icon);
    if (found == W().icons.end() || found->second.destroyed) {
        W().lastError = ERROR_INVALID_CURSOR_HANDLE;
        return FALSE;
    }
    if (found->second.shared) throw Failure("DestroyIcon on a shared icon (LoadIconA's): the system owns it");
    found->second.destroyed = true;
    Log("DestroyIcon " + std::to_string(found->second.resource) + " " + std::to_string(found->second.size));
    return TRUE;
}
