#include "app/DisplayScale.h"

#include <shellscalingapi.h>

#include "app/SystemCall.h"

namespace {

typedef HRESULT(WINAPI* DpiForMonitorCall)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);
typedef int(WINAPI* MetricsForDpiCall)(int, UINT);

// Windows 8.1 brought a DPI per monitor that can change while the program
// runs, and 10 (1607) the metrics for a given DPI; older systems lack both, so
// they are looked up once rather than imported.
LONG LookedUp;
DpiForMonitorCall DpiForMonitor;
MetricsForDpiCall MetricsForDpi;

void LookUpLaterCalls()
{
    if (LookedUp) return;
    LookedUp = 1;
    // From the system folder only: a shcore.dll beside the program must not stand in for it.
    HMODULE shcore = LoadLibraryExA("shcore.dll", NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    DpiForMonitor = FindSystemCall<DpiForMonitorCall>(shcore, "GetDpiForMonitor");
    MetricsForDpi = FindSystemCall<MetricsForDpiCall>(GetModuleHandleA("user32.dll"), "GetSystemMetricsForDpi");
}

// The notification area is drawn at the scale of the monitor whose taskbar
// holds it, which the user may have moved off the primary one; without a
// taskbar window, the primary monitor.
HMONITOR TaskbarMonitor()
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    if (taskbar != NULL) return MonitorFromWindow(taskbar, MONITOR_DEFAULTTOPRIMARY);
    POINT origin = {0, 0};
    return MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
}

}  // namespace

int TrayIconSize()
{
    LookUpLaterCalls();
    // The system metric stays at the scale the user signed in with; a
    // monitor's own DPI follows a change of scale.
    UINT dpi = 0, dpiY = 0;
    if (DpiForMonitor == NULL || DpiForMonitor(TaskbarMonitor(), MDT_EFFECTIVE_DPI, &dpi, &dpiY) != S_OK || dpi == 0)
        return GetSystemMetrics(SM_CXSMICON);
    if (MetricsForDpi != NULL) return MetricsForDpi(SM_CXSMICON, dpi);
    // Windows 8.1 and the first 10: 16 pixels at 96 DPI, in proportion, rounded.
    return static_cast<int>((16 * dpi + USER_DEFAULT_SCREEN_DPI / 2) / USER_DEFAULT_SCREEN_DPI);
}
