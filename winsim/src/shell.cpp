// The notification area as the shell keeps it, common controls and icons.
#include "world.h"

#include <commctrl.h>
#include <shellapi.h>

namespace sim {

namespace {

TrayIconRecord* FindIcon(HWND window, UINT id)
{
    for (TrayIconRecord& icon : W().trayIcons)
        if (icon.window == window && icon.id == id) return &icon;
    return NULL;
}

const char* MessageName(DWORD message)
{
    switch (message) {
    case NIM_ADD: return "NIM_ADD";
    case NIM_MODIFY: return "NIM_MODIFY";
    case NIM_DELETE: return "NIM_DELETE";
    default: return "NIM_?";
    }
}

bool KnownSize(DWORD size)
{
    return size == NOTIFYICONDATAA_V1_SIZE || size == NOTIFYICONDATAA_V2_SIZE || size == NOTIFYICONDATAA_V3_SIZE ||
           size == sizeof(NOTIFYICONDATAA);
}

}  // namespace

std::vector<TrayIconRecord> TrayIcons()
{
    return W().trayIcons;
}

const std::vector<TrayCall>& TrayCalls()
{
    return W().trayCalls;
}

int IconResourceId(HICON icon)
{
    auto found = W().icons.find(icon);
    return found == W().icons.end() ? 0 : found->second;
}

}  // namespace sim

using namespace sim;

BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data)
{
    TrayCall call;
    call.message = message;
    call.size = data->cbSize;
    call.window = data->hWnd;
    call.id = data->uID;
    call.flags = data->uFlags;
    call.callbackMessage = data->uCallbackMessage;
    call.icon = data->hIcon;
    if (data->uFlags & NIF_TIP) call.tipBytes.assign(data->szTip, 64);
    Log(std::string("Shell_NotifyIconA ") + MessageName(message));

    auto finish = [&call](BOOL result) {
        call.result = result;
        W().trayCalls.push_back(call);
        return result;
    };
    if (!KnownSize(data->cbSize)) throw Failure("Shell_NotifyIconA: cbSize " + std::to_string(data->cbSize) + " is none of the record's forms");
    if (!FindWindow(data->hWnd)) return finish(FALSE);
    if (Faulted("Shell_NotifyIconA", MessageName(message))) return finish(FALSE);

    TrayIconRecord* icon = FindIcon(data->hWnd, data->uID);
    if (message == NIM_DELETE) {
        if (!icon) return finish(FALSE);
        W().trayIcons.erase(W().trayIcons.begin() + (icon - W().trayIcons.data()));
        return finish(TRUE);
    }
    if (message == NIM_ADD) {
        if (icon) return finish(FALSE);
        W().trayIcons.push_back(TrayIconRecord());
        icon = &W().trayIcons.back();
        icon->window = data->hWnd;
        icon->id = data->uID;
    } else if (message != NIM_MODIFY || !icon) {
        return finish(FALSE);
    }
    if (data->uFlags & NIF_MESSAGE) {
        icon->hasCallback = true;
        icon->callbackMessage = data->uCallbackMessage;
    }
    if (data->uFlags & NIF_ICON) icon->icon = data->hIcon;
    if (data->uFlags & NIF_TIP) {
        // The shell reads the first form's 64-character field up to its NUL.
        if (memchr(data->szTip, '\0', 64) == NULL) throw Failure("Shell_NotifyIconA: the tooltip has no NUL in its 64 characters");
        icon->tip = data->szTip;
    }
    return finish(TRUE);
}

void WINAPI InitCommonControls(void)
{
    Log("InitCommonControls");
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName)
{
    if (instance != ProgramInstance() || !IS_INTRESOURCE(iconName)) return NULL;
    int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(iconName));
    if (Faulted("LoadIconA", std::to_string(id))) return NULL;
    if (W().resources.icons.count(id) == 0) {
        W().lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
        return NULL;
    }
    // The same resource gives the same shared handle every time.
    for (const auto& entry : W().icons)
        if (entry.second == id) return entry.first;
    HICON handle = reinterpret_cast<HICON>(NewHandleValue());
    W().icons[handle] = id;
    return handle;
}
