// Display scale per monitor (shcore.dll, Windows 8.1 and later).
#ifndef WINSIM_SHELLSCALINGAPI_H
#define WINSIM_SHELLSCALINGAPI_H

#include <windows.h>

typedef enum MONITOR_DPI_TYPE {
    MDT_EFFECTIVE_DPI = 0,
    MDT_ANGULAR_DPI = 1,
    MDT_RAW_DPI = 2,
    MDT_DEFAULT = MDT_EFFECTIVE_DPI
} MONITOR_DPI_TYPE;

WINSIM_EXTERN_C HRESULT WINAPI GetDpiForMonitor(HMONITOR monitor, MONITOR_DPI_TYPE dpiType, UINT* dpiX, UINT* dpiY);

#endif
