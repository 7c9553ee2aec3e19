// The notification area as the shell keeps it, and common controls.
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

// The A and W records' fields up to the tip, which is what the shell reads of them.
struct IconRequest {
    const char* api;
    DWORD message;
    DWORD size;
    HWND window;
    UINT id;
    UINT flags;
    UINT callbackMessage;
    HICON icon;
    bool wide;
    bool knownSize;
    size_t tipLength;       // characters in the tip field of this form
    std::string tipBytes;   // that field, raw
    const void* tip;
};

template <typename Record>
IconRequest Request(const char* api, DWORD message, const Record* data, bool wide, bool knownSize, size_t firstTip)
{
    IconRequest request;
    request.api = api;
    request.message = message;
    request.size = data->cbSize;
    request.window = data->hWnd;
    request.id = data->uID;
    request.flags = data->uFlags;
    request.callbackMessage = data->uCallbackMessage;
    request.icon = data->hIcon;
    request.wide = wide;
    request.knownSize = knownSize;
    // The first form's tip field is 64 characters; the later forms' is 128.
    request.tipLength = knownSize && data->cbSize > firstTip ? 128 : 64;
    request.tip = data->szTip;
    if (data->uFlags & NIF_TIP)
        request.tipBytes.assign(reinterpret_cast<const char*>(data->szTip), request.tipLength * sizeof data->szTip[0]);
    return request;
}

// What the shell does with a request: the call is recorded and the icons change.
BOOL ShellTakes(const IconRequest& request)
{
    TrayCall call;
    call.message = request.message;
    call.size = request.size;
    call.window = request.window;
    call.id = request.id;
    call.flags = request.flags;
    call.callbackMessage = request.callbackMessage;
    call.icon = request.icon;
    call.wide = request.wide;
    call.tipBytes = request.tipBytes;
    Log(std::string(request.api) + " " + MessageName(request.message));
    std::string api = request.api;

    auto finish = [&call](BOOL result) {
        call.result = result;
        W().trayCalls.push_back(call);
        return result;
    };
    if (!request.knownSize)
        throw Failure(api + ": cbSize " + std::to_string(request.size) + " is none of the record's forms");
    if (!FindWindow(request.window)) return finish(FALSE);
    if (Faulted(request.api, MessageName(request.message))) return finish(FALSE);

    if (request.flags & NIF_ICON) {
        auto given = W().icons.find(request.icon);
        if (given != W().icons.end() && given->second.destroyed)
            throw Failure(api + ": the icon handle was destroyed before the shell could copy it");
    }

    std::string tip;
    if (request.flags & NIF_TIP) {
        // The shell reads the tip field up to its NUL.
        std::u16string units;
        for (size_t i = 0; i < request.tipLength; ++i) {
            char16_t unit = request.wide ? static_cast<const WCHAR*>(request.tip)[i]
                                         : static_cast<unsigned char>(static_cast<const char*>(request.tip)[i]);
            if (unit == 0) break;
            units.push_back(unit);
        }
        if (units.size() == request.tipLength)
            throw Failure(api + ": the tooltip has no NUL in its " + std::to_string(request.tipLength) + " characters");
        std::string bytes(units.begin(), units.end());
        tip = request.wide ? Utf8(units) : ShownAnsi(bytes.c_str());
    }

    TrayIconRecord* icon = FindIcon(request.window, request.id);
    if (request.message == NIM_DELETE) {
        if (!icon) return finish(FALSE);
        W().trayIcons.erase(W().trayIcons.begin() + (icon - W().trayIcons.data()));
        return finish(TRUE);
    }
    if (request.message == NIM_ADD) {
        if (icon) return finish(FALSE);
        W().trayIcons.push_back(TrayIconRecord());
        icon = &W().trayIcons.back();
        icon->window = request.window;
        icon->id = request.id;
    } else if (request.message != NIM_MODIFY || !icon) {
        return finish(FALSE);
    }
    if (request.flags & NIF_MESSAGE) {
        icon->hasCallback = true;
        icon->callbackMessage = request.callbackMessage;
    }
    if (request.flags & NIF_ICON) {
        // The shell keeps a copy of the picture; the program may free its handle afterwards.
        icon->icon = request.icon;
        icon->iconResource = IconResourceId(request.icon);
        icon->iconSize = IconSize(request.icon);
    }
    if (request.flags & NIF_TIP) icon->tip = tip;
    return finish(TRUE);
}

// The request is a message to the shell's window, sent across processes:
// while it waits, the thread handles what the shell sent it meanwhile.
BOOL NotifyIcon(const IconRequest& request)
{
    BOOL done = ShellTakes(request);
    DeliverSent();
    return done;
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

}  // namespace sim

using namespace sim;

BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data)
{
    DWORD size = data->cbSize;
    bool known = size == NOTIFYICONDATAA_V1_SIZE || size == NOTIFYICONDATAA_V2_SIZE ||
                 size == NOTIFYICONDATAA_V3_SIZE || size == sizeof(NOTIFYICONDATAA);
    return NotifyIcon(Request("Shell_NotifyIconA", message, data, false, known, NOTIFYICONDATAA_V1_SIZE));
}

BOOL WINAPI Shell_NotifyIconW(DWORD message, PNOTIFYICONDATAW data)
{
    DWORD size = data->cbSize;
    bool known = size == NOTIFYICONDATAW_V1_SIZE || size == NOTIFYICONDATAW_V2_SIZE ||
                 size == NOTIFYICONDATAW_V3_SIZE || size == sizeof(NOTIFYICONDATAW);
    return NotifyIcon(Request("Shell_NotifyIconW", message, data, true, known, NOTIFYICONDATAW_V1_SIZE));
}

void WINAPI InitCommonControls(void)
{
    Log("InitCommonControls");
}
