#include "app/TrayIcon.h"

#include <shellapi.h>

#include "app/MainWindow.h"
#include "app/WinMain.h"
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
    HICON handle = LoadIconA(AppInstance, MAKEINTRESOURCEA(icon));
    if (handle == NULL) return;

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

void DeleteTrayIcon(HWND window)
{
    NOTIFYICONDATAW data;
    FillIconData(&data, window, 0);
    Shell_NotifyIconW(NIM_DELETE, &data);
}
