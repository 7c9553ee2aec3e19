// Timers with their own procedures, and global hot keys.
#include "world.h"

namespace sim {

void FreeWindowTimersAndHotKeys(HWND window)
{
    World& w = W();
    for (auto it = w.timers.begin(); it != w.timers.end();)
        it = it->window == window ? w.timers.erase(it) : it + 1;
    for (auto it = w.hotKeys.begin(); it != w.hotKeys.end();)
        it = it->window == window ? w.hotKeys.erase(it) : it + 1;
}

std::vector<TimerView> Timers()
{
    std::vector<TimerView> views;
    for (const Timer& timer : W().timers) views.push_back(TimerView{timer.window, timer.id, timer.period});
    return views;
}

std::vector<HotKeyView> HotKeys()
{
    std::vector<HotKeyView> views;
    for (const HotKey& key : W().hotKeys)
        views.push_back(HotKeyView{key.window, key.id, key.modifiers, key.virtualKey});
    return views;
}

int TimerFirings(UINT_PTR id)
{
    auto found = W().timerFirings.find(id);
    return found == W().timerFirings.end() ? 0 : found->second;
}

void TakeHotKey(UINT modifiers, UINT virtualKey)
{
    W().hotKeysOfOthers.push_back(HotKey{NULL, 0, modifiers, virtualKey});
}

}  // namespace sim

using namespace sim;

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC timerProc)
{
    Log("SetTimer " + std::to_string(id) + " " + std::to_string(elapse));
    if (Faulted("SetTimer", std::to_string(id))) return 0;
    if (window && !FindWindow(window)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    if (elapse < USER_TIMER_MINIMUM) elapse = USER_TIMER_MINIMUM;
    World& w = W();
    if (!window) id = 0x7FFF0000 + w.timers.size();
    for (auto it = w.timers.begin(); it != w.timers.end();)
        it = (it->window == window && it->id == id) ? w.timers.erase(it) : it + 1;
    w.timers.push_back(Timer{window, id, elapse, timerProc, w.now + elapse});
    return id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id)
{
    World& w = W();
    for (auto it = w.timers.begin(); it != w.timers.end(); ++it) {
        if (it->window == window && it->id == id) {
            w.timers.erase(it);
            Log("KillTimer " + std::to_string(id));
            return TRUE;
        }
    }
    return FALSE;
}

BOOL WINAPI RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey)
{
    Log("RegisterHotKey " + std::to_string(id) + " " + Hex(modifiers) + " " + Hex(virtualKey));
    if (Faulted("RegisterHotKey", std::to_string(id))) return FALSE;
    if (window && !FindWindow(window)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    UINT keyModifiers = modifiers & ~static_cast<UINT>(MOD_NOREPEAT);
    World& w = W();
    for (const std::vector<HotKey>* list : {&w.hotKeys, &w.hotKeysOfOthers})
        for (const HotKey& key : *list)
            if ((key.window == window && key.id == id && list == &w.hotKeys) ||
                (key.modifiers == keyModifiers && key.virtualKey == virtualKey)) {
                w.lastError = ERROR_HOTKEY_ALREADY_REGISTERED;
                return FALSE;
            }
    w.hotKeys.push_back(HotKey{window, id, keyModifiers, virtualKey});
    return TRUE;
}

BOOL WINAPI UnregisterHotKey(HWND window, int id)
{
    World& w = W();
    for (auto it = w.hotKeys.begin(); it != w.hotKeys.end(); ++it) {
        if (it->window == window && it->id == id) {
            w.hotKeys.erase(it);
            Log("UnregisterHotKey " + std::to_string(id));
            return TRUE;
        }
    }
    w.lastError = ERROR_HOTKEY_NOT_REGISTERED;
    return FALSE;
}
