/* The yardstick for bench/idle.sh: the least a tray program can be. One hidden
 * window, one notification icon (the system's application icon) and a message
 * loop; nothing else wakes it. */
#include <windows.h>
#include <shellapi.h>

#define WM_TRAY (WM_APP + 1)

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    WNDCLASSW windowClass = {0};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"MinTray";
    if (!RegisterClassW(&windowClass)) return 1;
    HWND window = CreateWindowW(L"MinTray", L"MinTray", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, NULL, NULL, instance, NULL);
    if (window == NULL) return 1;

    NOTIFYICONDATAW icon = {0};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = WM_TRAY;
    icon.hIcon = LoadIconW(NULL, (LPCWSTR)IDI_APPLICATION);
    lstrcpyW(icon.szTip, L"MinTray");
    if (!Shell_NotifyIconW(NIM_ADD, &icon)) return 1;

    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
