// The thread's message queue and the loops that empty it. Every wait (the
// program's own loop, a dialog, a menu, a message box) goes through the same
// rules as on Windows: posted messages first, then a quit request, then due
// timers; when nothing is left the user acts or time moves on.
#include "world.h"

namespace sim {

namespace {

const long kDispatchLimit = 2000000;

bool InRange(UINT message, UINT low, UINT high)
{
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

bool ForWindow(HWND filter, HWND target)
{
    return filter == NULL || target == filter || IsChildOf(filter, target);
}

bool TakePosted(MSG* message, HWND filter, UINT low, UINT high)
{
    World& w = W();
    for (auto it = w.queue.begin(); it != w.queue.end(); ++it) {
        if (!ForWindow(filter, it->hwnd) || !InRange(it->message, low, high)) continue;
        *message = *it;
        w.queue.erase(it);
        return true;
    }
    return false;
}

std::string OpenThings()
{
    std::string text;
    for (const MessageBoxRecord& box : W().messageBoxes)
        if (box.open) text += "\n  open message box " + Describe(box.text.c_str());
    if (!W().tracking.empty()) text += "\n  a pop-up menu is open";
    return text;
}

}  // namespace

bool TakeDueTimer(MSG* message, const std::function<bool(const Timer&)>& eligible)
{
    World& w = W();
    Timer* due = NULL;
    for (Timer& timer : w.timers)
        if (timer.due <= w.now && eligible(timer) && (!due || timer.due < due->due)) due = &timer;
    if (!due) return false;
    *message = MSG();
    message->hwnd = due->window;
    message->message = WM_TIMER;
    message->wParam = due->id;
    message->lParam = reinterpret_cast<LPARAM>(due->proc);
    message->time = w.now;
    due->due = w.now + due->period;
    return true;
}

bool RunReadyStep();
DWORD NextStepTime();
std::string WaitingStep();

void Idle(const std::string& what, const std::function<bool(const Timer&)>& eligible)
{
    World& w = W();
    if (w.idleWatch) {
        std::function<void()> watch = w.idleWatch;   // it may reset the world's hooks
        watch();
    }
    if (RunReadyStep()) return;
    DWORD next = NextStepTime();
    for (const Timer& timer : w.timers)
        if (eligible(timer) && (next == 0 || timer.due < next)) next = timer.due;
    DWORD limit = w.processStart + w.timeLimit;
    if (next == 0 || next > limit)
        throw Failure("the program waits in " + what + " at " + std::to_string(w.now) + " ms and nothing more happens before " +
                      std::to_string(limit) + " ms;\n  " + WaitingStep() + OpenThings());
    if (next > w.now) w.now = next;
}

void DeliverSent()
{
    W().lastWaited = W().now;
    while (!W().sent.empty()) {
        MSG message = W().sent.front();
        W().sent.pop_front();
        if (FindWindow(message.hwnd)) SendMessageA(message.hwnd, message.message, message.wParam, message.lParam);
    }
}

LoopEnd ModalLoop(HWND dialog, const std::function<bool()>& done, const std::string& what)
{
    auto anyTimer = [](const Timer&) { return true; };
    while (!done()) {
        DeliverSent();
        if (done()) break;
        MSG message;
        if (TakePosted(&message, NULL, 0, 0) || (!W().quitPosted && TakeDueTimer(&message, anyTimer))) {
            if (dialog && IsDialogMessageA(dialog, &message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        // A quit request ends every modal loop; it stays posted for the next one.
        if (W().quitPosted) return LoopEnd::Quit;
        Idle(what, anyTimer);
    }
    return LoopEnd::Done;
}

}  // namespace sim

using namespace sim;

BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax)
{
    auto eligible = [window](const Timer& timer) { return ForWindow(window, timer.window); };
    for (;;) {
        if (window && !FindWindow(window)) {
            W().lastError = ERROR_INVALID_WINDOW_HANDLE;
            return -1;
        }
        DeliverSent();
        if (TakePosted(message, window, filterMin, filterMax)) return TRUE;
        if (W().quitPosted) {
            W().quitPosted = false;
            *message = MSG();
            message->message = WM_QUIT;
            message->wParam = static_cast<WPARAM>(W().quitCode);
            Log("GetMessageA WM_QUIT");
            return FALSE;
        }
        if (InRange(WM_TIMER, filterMin, filterMax) && TakeDueTimer(message, eligible)) return TRUE;
        Idle("its message loop", eligible);
    }
}

// The keys the scripted user presses give their characters, which come next
// in the queue.
BOOL WINAPI TranslateMessage(const MSG* message)
{
    if (message->message != WM_KEYDOWN) return FALSE;
    WPARAM character = 0;
    switch (message->wParam) {
    case VK_SPACE: character = ' '; break;
    case VK_BACK: character = 8; break;
    case VK_TAB: character = '\t'; break;
    case VK_RETURN: character = '\r'; break;
    case VK_ESCAPE: character = 0x1B; break;
    default: return FALSE;
    }
    MSG typed = *message;
    typed.message = WM_CHAR;
    typed.wParam = character;
    W().queue.push_front(typed);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* message)
{
    if (++W().dispatched > kDispatchLimit)
        throw Failure("the program keeps itself busy: over " + std::to_string(kDispatchLimit) + " messages dispatched");
    if (message->message == WM_TIMER && message->lParam) {
        TIMERPROC proc = reinterpret_cast<TIMERPROC>(message->lParam);
        ++W().timerFirings[message->wParam];
        proc(message->hwnd, WM_TIMER, message->wParam, W().now);
        return 0;
    }
    return CallWindow(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message)
{
    if (!FindWindow(dialog)) return FALSE;
    if (message->hwnd != dialog && !IsChildOf(dialog, message->hwnd)) return FALSE;
    if (message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
        CallWindow(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return TRUE;
    }
    if (message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
        // Enter presses the push button with the focus, else the default push
        // button unless it is disabled (test_DisabledDialogTest), else IDOK.
        Window* focus = FindWindow(W().focus);
        if (focus && focus->parent == dialog && IsPushButton(*focus) && focus->enabled) {
            CallWindow(dialog, WM_COMMAND, MAKEWPARAM(focus->controlId, BN_CLICKED), reinterpret_cast<LPARAM>(focus->handle));
        } else if (LRESULT found = CallWindow(dialog, DM_GETDEFID, 0, 0); HIWORD(found) == DC_HASDEFID) {
            HWND button = GetDlgItem(dialog, LOWORD(found));
            if (!button || IsWindowEnabled(button))
                CallWindow(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(found), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        } else {
            CallWindow(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        }
        return TRUE;
    }
    if (message->message == WM_KEYDOWN && message->wParam == VK_TAB) {
        // The next tab stop takes the focus, an edit with its whole text selected.
        HWND next = NextTabStop(dialog, W().focus);
        if (next) {
            if (IsControlClass(*FindWindow(next), "Edit")) CallWindow(next, EM_SETSEL, 0, -1);
            SetFocus(next);
        }
        return TRUE;
    }
    if (message->message == WM_CHAR && (message->wParam == '\r' || message->wParam == 0x1B || message->wParam == '\t'))
        return TRUE;   // the dialog took the key itself
    // Everything else meant for the dialog is dispatched here.
    TranslateMessage(message);
    DispatchMessageA(message);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!FindWindow(window)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    return CallWindow(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !FindWindow(window)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    MSG posted = MSG();
    posted.hwnd = window;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    posted.time = W().now;
    W().queue.push_back(posted);
    Log("PostMessageA " + Hex(message));
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode)
{
    W().quitPosted = true;
    W().quitCode = exitCode;
    Log("PostQuitMessage " + std::to_string(exitCode));
}
