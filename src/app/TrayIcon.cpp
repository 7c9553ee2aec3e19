#include "app/TrayIcon.h"

#include <shellapi.h>

#include "app/DisplayScale.h"
#include "app/MainWindow.h"
#include "app/WinMain.h"
#include "drive/DriveDiscovery.h"
#include "ui/ShownText.h"
#include "ui/StringTable.h"

// The first form of the wide record (window, id, flags, message, icon and a
// 64-character tip) is 152 bytes on x86; on x64 its pointers make it larger.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAW_V1_SIZE == 152, "first-form NOTIFYICONDATAW is 152 bytes on x86");

namespace {

// The first form's tooltip field; the record's later forms have a longer one,
// which the shell does not read when given the first form's size.
const int kTipSize = 64;

// Every call describes the icon afresh; fields not named by `flags` stay zero.
void FillIconData(NOTIFYICONDATAW* data, HWND window, UINT flags)
{
    *data = NOTIFYICONDATAW();
    data->cbSize = NOTIFYICONDATAW_V1_SIZE;
    data->hWnd = window;
    data->uID = TRAY_ICON_ID;
    data->uFlags = flags;
}

// The picture shown now (0 before the first), for the shell's restart.
int TrayPicture;

// The handles of the newest picture and of the one before: the shell may
// still be copying the older one when a restart of its own comes inside the
// call that gives it the newer, and the window may still show it. Anything
// older is freed.
HICON Shown[2];

// Icon resource `icon` at the size the notification area draws now (LoadIconA
// would give the large size, for the shell to shrink); null when it cannot be
// loaded.
HICON LoadTrayPicture(int icon)
{
    int size = TrayIconSize();
    HICON handle = static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(icon), IMAGE_ICON, size, size,
                                                 LR_DEFAULTCOLOR));
    if (handle == NULL) return NULL;
    if (Shown[1] != NULL) DestroyIcon(Shown[1]);
    Shown[1] = Shown[0];
    Shown[0] = handle;
    return handle;
}

VOID CALLBACK RetryTrayIcon(HWND window, UINT, UINT_PTR, DWORD)
{
    RestoreTrayIcon(window);
}

}  // namespace

BOOL AddTrayIcon(HWND window)
{
    NOTIFYICONDATAW data;
    FillIconData(&data, window, NIF_MESSAGE);
    data.uCallbackMessage = WM_TRAYNOTIFY;
    return Shell_NotifyIconW(NIM_ADD, &data);
}

void UpdateTrayIcon(HWND window, int icon, int withTooltip)
{
    HICON handle = LoadTrayPicture(icon);
    if (handle == NULL) return;
    // Before the shell is called: it hands over a restart of its own inside the call.
    TrayPicture = icon;

    NOTIFYICONDATAW data;
    FillIconData(&data, window, withTooltip ? NIF_ICON | NIF_TIP : NIF_ICON);
    data.hIcon = handle;
    if (withTooltip) WideFromCp1251(UiText(IDS_EJECT_CD), data.szTip, kTipSize);
    Shell_NotifyIconW(NIM_MODIFY, &data);

    // The window's large icon always equals the tray picture.
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(handle));
}

void SetTrayTip(HWND window, const char* text)
{
    NOTIFYICONDATAW data;
    FillIconData(&data, window, NIF_TIP);
    WideFromCp1251(text, data.szTip, kTipSize);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void RestoreTrayIcon(HWND window)
{
    HICON handle = TrayPicture != 0 ? LoadTrayPicture(TrayPicture) : NULL;
    NOTIFYICONDATAW data;
    FillIconData(&data, window, handle != NULL ? NIF_MESSAGE | NIF_ICON | NIF_TIP : NIF_MESSAGE | NIF_TIP);
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = handle;
    WideFromCp1251(DoorTipText(), data.szTip, kTipSize);
    // A shell that has kept the icon (a new display scale) refuses to add it twice.
    int shown = Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data);
    if (handle != NULL) SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(handle));

    // The icon is the only way in, Exit included: without it the program
    // could not even be ended. The timer lives only while something is
    // missing; each failed try sets it afresh.
    if (shown && (handle != NULL || TrayPicture == 0)) KillTimer(window, IDT_TRAY_RETRY);
    else SetTimer(window, IDT_TRAY_RETRY, TRAY_RETRY_PERIOD, RetryTrayIcon);
}

void DeleteTrayIcon(HWND window)
{
    KillTimer(window, IDT_TRAY_RETRY);
    NOTIFYICONDATAW data;
    FillIconData(&data, window, 0);
    Shell_NotifyIconW(NIM_DELETE, &data);
    for (HICON& handle : Shown) {
        if (handle != NULL) DestroyIcon(handle);
        handle = NULL;
    }
    TrayPicture = 0;
}
