// Registered messages, the shell's broadcasts ("TaskbarCreated" when its
// taskbar is built anew) and the message filter that lets them reach an
// elevated program; the system's broadcasts of a drive's media.
#include "world.h"

namespace sim {

namespace {

// Registered messages are atoms of the session: 0xC000 to 0xFFFF, the same
// value for the same name (in any letter case) in every process.
UINT Register(const std::string& name)
{
    World& w = W();
    auto found = w.registeredMessages.find(name);
    if (found != w.registeredMessages.end()) return found->second;
    UINT value = 0xC000 + static_cast<UINT>(w.registeredMessages.size()) * 7 + 0x11;
    w.registeredMessages[name] = value;
    return value;
}

void RequireExport(const char* name)
{
    if (!SystemExports("user32.dll", name))
        throw Failure(std::string("the program calls ") + name + ", which this Windows does not have: it must look it up");
}

bool Allowed(HWND window, UINT message)
{
    const World& w = W();
    return w.processMessageFilter.count(message) || w.windowMessageFilter.count({window, message});
}

// A thread that has not waited for messages for 5 s does not respond, as
// IsHungAppWindow counts it.
const DWORD kHungAfter = 5000;

// Each top-level window of the program that is shown or has no owner gets
// the message as a send from another process: its thread handles it when it
// next waits. A sender with fewer rights than an elevated program reaches its
// windows only through what they let through; one that will not wait for a
// program that does not respond passes it over.
void Broadcast(UINT message, WPARAM wParam, LPARAM lParam, bool fromFewerRights, bool passOverHung)
{
    World& w = W();
    if (passOverHung && w.now - w.lastWaited >= kHungAfter) {
        Log("the program has not responded for " + std::to_string(w.now - w.lastWaited) + " ms: message " + Hex(message) +
            " passes it over");
        return;
    }
    for (const auto& entry : w.windows) {
        const Window& window = *entry.second;
        if (window.destroyed || window.parent || (!window.visible && window.owner)) continue;
        if (fromFewerRights && w.elevated && !Allowed(window.handle, message)) {
            Log("the shell's message " + Hex(message) + " is filtered out for an elevated window");
            continue;
        }
        MSG sent = MSG();
        sent.hwnd = window.handle;
        sent.message = message;
        sent.wParam = wParam;
        sent.lParam = lParam;
        sent.time = w.now;
        w.sent.push_back(sent);
    }
}

}  // namespace

UINT TaskbarCreatedMessage()
{
    return Register("TaskbarCreated");
}

// As SendNotifyMessage(HWND_BROADCAST) does.
void ShellBroadcast(UINT message)
{
    Broadcast(message, 0, 0, true, false);
}

// As the system's broadcast of a volume's media does (BroadcastSystemMessage,
// sent and waited for, but not for a program that does not respond): for a
// data disc, an audio CD and a disc nothing can read alike, since it tells of
// the media, not of a file system.
void MediaBroadcast(char letter, bool arrived)
{
    World& w = W();
    DEV_BROADCAST_VOLUME notice = {};
    notice.dbcv_size = sizeof notice;
    notice.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    notice.dbcv_unitmask = 1u << (letter - 'A');
    notice.dbcv_flags = DBTF_MEDIA;
    w.mediaNotices.push_back(notice);
    Log(std::string("the system tells of media ") + (arrived ? "arrived in" : "gone from") + " drive " + letter);
    Broadcast(WM_DEVICECHANGE, arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
              reinterpret_cast<LPARAM>(&w.mediaNotices.back()), false, true);
}

void RestartShell()
{
    W().trayIcons.clear();
    Log("the shell restarts");
    if (W().processRunning) ShellBroadcast(TaskbarCreatedMessage());
}

void RunElevated(bool elevated)
{
    W().elevated = elevated;
}

void EndProcessSystemState()
{
    W().processMessageFilter.clear();
    W().windowMessageFilter.clear();
    W().loadedModules.clear();
}

}  // namespace sim

using namespace sim;

UINT WINAPI RegisterWindowMessageA(LPCSTR name)
{
    std::string text = name ? name : "";
    Log("RegisterWindowMessageA " + Describe(name));
    if (text.empty()) {
        W().lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    if (Faulted("RegisterWindowMessageA", text)) return 0;
    return Register(text);
}

BOOL WINAPI ChangeWindowMessageFilter(UINT message, DWORD flag)
{
    RequireExport("ChangeWindowMessageFilter");
    Log("ChangeWindowMessageFilter " + Hex(message) + " " + std::to_string(flag));
    if (flag == MSGFLT_ADD) W().processMessageFilter.insert(message);
    else if (flag == MSGFLT_REMOVE) W().processMessageFilter.erase(message);
    else {
        W().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI ChangeWindowMessageFilterEx(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT changeFilter)
{
    RequireExport("ChangeWindowMessageFilterEx");
    Log("ChangeWindowMessageFilterEx " + Hex(message) + " " + std::to_string(action));
    if (!FindWindow(window)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    if (changeFilter && changeFilter->cbSize != sizeof(CHANGEFILTERSTRUCT)) {
        W().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (action == MSGFLT_ALLOW) W().windowMessageFilter.insert({window, message});
    else if (action == MSGFLT_DISALLOW || action == MSGFLT_RESET) W().windowMessageFilter.erase({window, message});
    else {
        W().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    return TRUE;
}
