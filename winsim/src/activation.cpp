// The active window, the keyboard focus, enabled and shown states and the
// topmost flag, with user32's rules: the focus lives in the active window, a
// dialog gets back the control that had the focus when it was last active,
// a disabled window takes no focus, and when the active window ends its
// owner is activated.
#include "world.h"

#include <algorithm>

namespace sim {

HWND TopLevel(HWND handle)
{
    Window* window = FindWindow(handle);
    while (window && window->parent && FindWindow(window->parent)) window = FindWindow(window->parent);
    return window ? window->handle : NULL;
}

bool WindowEnabled(HWND handle)
{
    for (Window* window = FindWindow(handle); window; window = FindWindow(window->parent))
        if (!window->enabled) return false;
    return FindWindow(handle) != NULL;
}

void ChangeFocus(HWND handle)
{
    World& w = W();
    HWND previous = w.focus;
    if (previous == handle) return;
    w.focus = handle;
    // A dialog remembers the control that last had the focus in it.
    Window* top = FindWindow(TopLevel(handle));
    if (top && top->handle != handle) top->savedFocus = handle;
    if (FindWindow(previous)) CallWindow(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (w.focus == handle && FindWindow(handle))
        CallWindow(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

void Activate(HWND handle)
{
    World& w = W();
    if (w.active == handle) return;
    Window* old = FindWindow(w.active);
    if (old && w.focus && IsChildOf(w.active, w.focus)) old->savedFocus = w.focus;
    w.active = handle;
    w.activations.erase(std::remove(w.activations.begin(), w.activations.end(), handle), w.activations.end());
    Window* now = FindWindow(handle);
    if (!now) {
        ChangeFocus(NULL);
        return;
    }
    w.activations.push_back(handle);
    // The dialog manager gives the focus back to the control that had it,
    // or to the first tab stop; a disabled one cannot take it.
    HWND target = handle;
    if (now->dialogProc) {
        HWND saved = now->savedFocus;
        if (!FindWindow(saved) || !IsChildOf(handle, saved)) saved = FirstTabStop(handle);
        if (saved) target = saved;
    }
    ChangeFocus(WindowEnabled(target) ? target : NULL);
}

void ActivateOther(HWND handle)
{
    World& w = W();
    Window* window = FindWindow(handle);
    HWND next = NULL;
    if (window && FindWindow(window->owner) && !FindWindow(window->owner)->destroying) {
        next = window->owner;
    } else {
        for (auto it = w.activations.rbegin(); it != w.activations.rend() && !next; ++it) {
            Window* candidate = FindWindow(*it);
            if (*it != handle && candidate && !candidate->destroying && candidate->visible && candidate->enabled)
                next = *it;
        }
    }
    w.activations.erase(std::remove(w.activations.begin(), w.activations.end(), handle), w.activations.end());
    bool wasForeground = w.foreground == handle;
    Activate(next);
    if (wasForeground) w.foreground = next;
}

namespace {

// A dialog of the program (not a message box or a control).
bool IsDialog(const Window& window)
{
    return window.dialogProc && !window.parent && window.templateId;
}

DialogView View(const Window& window)
{
    DialogView view;
    view.handle = window.handle;
    view.templateId = window.templateId;
    view.title = window.text;
    view.owner = window.owner;
    view.visible = window.visible;
    view.enabled = window.enabled;
    view.topmost = window.topmost;
    view.active = W().active == window.handle;
    view.foreground = W().foreground == window.handle;
    Window* focus = FindWindow(W().focus);
    view.focusId = focus && focus->parent == window.handle ? focus->controlId : 0;
    view.bigIcon = IconResourceId(window.bigIcon);
    view.smallIcon = IconResourceId(window.smallIcon);
    view.controls = ControlViews(window);
    return view;
}

}  // namespace

const ControlView& DialogView::Control(int id) const
{
    for (const ControlView& control : controls)
        if (control.id == id) return control;
    throw Failure("dialog " + std::to_string(templateId) + " has no control " + std::to_string(id));
}

std::optional<DialogView> OpenDialog(int templateId)
{
    std::optional<DialogView> newest;
    for (auto& entry : W().windows)
        if (!entry.second->destroyed && IsDialog(*entry.second) && entry.second->templateId == templateId)
            newest = View(*entry.second);   // handles grow: the last one is the newest
    return newest;
}

std::optional<DialogView> DialogInfo(HWND handle)
{
    Window* window = FindWindow(handle);
    if (!window || !IsDialog(*window)) return std::nullopt;
    return View(*window);
}

std::vector<DialogView> OpenDialogs()
{
    std::vector<DialogView> views;
    for (auto& entry : W().windows)
        if (!entry.second->destroyed && IsDialog(*entry.second)) views.push_back(View(*entry.second));
    return views;
}

HWND ActiveWindow()
{
    return W().active;
}

HWND FocusWindow()
{
    return W().focus;
}

}  // namespace sim

using namespace sim;

namespace {

Window* Valid(HWND handle)
{
    Window* window = FindWindow(handle);
    if (!window) W().lastError = ERROR_INVALID_WINDOW_HANDLE;
    return window;
}

}  // namespace

HWND WINAPI GetActiveWindow(void)
{
    return W().active;
}

HWND WINAPI GetFocus(void)
{
    return W().focus;
}

// A window that is disabled, or inside a disabled one, takes no focus; the
// focus activates its top-level window first.
HWND WINAPI SetFocus(HWND handle)
{
    HWND previous = W().focus;
    if (!handle) {
        ChangeFocus(NULL);
        return previous;
    }
    if (!Valid(handle) || !WindowEnabled(handle)) return NULL;
    HWND top = TopLevel(handle);
    if (W().active != top) Activate(top);
    ChangeFocus(handle);
    return previous;
}

// Returns whether the window was disabled before. Disabling the window with
// the focus leaves no window with the focus (dlls/user32/tests/dialog.c,
// test_SaveRestoreFocus).
BOOL WINAPI EnableWindow(HWND handle, BOOL enable)
{
    Window* window = Valid(handle);
    if (!window) return FALSE;
    BOOL wasDisabled = !window->enabled;
    window->enabled = enable != FALSE;
    if (enable) window->style &= ~WS_DISABLED;
    else window->style |= WS_DISABLED;
    if (!enable && W().focus && (W().focus == handle || IsChildOf(handle, W().focus))) ChangeFocus(NULL);
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND handle)
{
    Window* window = FindWindow(handle);
    return window && window->enabled;
}

BOOL WINAPI ShowWindow(HWND handle, int command)
{
    Window* window = Valid(handle);
    if (!window) return FALSE;
    BOOL wasVisible = window->visible;
    Log("ShowWindow " + std::to_string(command));
    if (command == SW_HIDE) {
        window->visible = false;
        if (window->parent) window->style &= ~WS_VISIBLE;
        if (W().active == handle) ActivateOther(handle);
        return wasVisible;
    }
    window->visible = true;
    if (window->parent) {
        window->style |= WS_VISIBLE;
    } else if (command != SW_SHOWNA && command != SW_SHOWNOACTIVATE) {
        Activate(handle);
    }
    return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND handle)
{
    Window* window = FindWindow(handle);
    if (!window || !window->visible) return FALSE;
    return !window->parent || IsWindowVisible(window->parent);
}

// Only the z-order, shown state and activation are kept: HWND_TOPMOST makes
// the window topmost; without SWP_NOACTIVATE a shown window is activated.
BOOL WINAPI SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    Window* window = Valid(handle);
    if (!window) return FALSE;
    if (Faulted("SetWindowPos", "")) return FALSE;
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST) window->topmost = true;
        if (insertAfter == HWND_NOTOPMOST) window->topmost = false;
        if (window->topmost) window->exStyle |= WS_EX_TOPMOST;
        else window->exStyle &= ~WS_EX_TOPMOST;
    }
    Log(std::string("SetWindowPos") + (insertAfter == HWND_TOPMOST && !(flags & SWP_NOZORDER) ? " topmost" : "") +
        " " + Hex(flags));
    if (flags & SWP_HIDEWINDOW) ShowWindow(handle, SW_HIDE);
    if (flags & SWP_SHOWWINDOW) ShowWindow(handle, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if ((window = FindWindow(handle)) && !window->parent && window->visible && !(flags & SWP_NOACTIVATE))
        Activate(handle);
    return TRUE;
}

int WINAPI GetDlgCtrlID(HWND handle)
{
    Window* window = Valid(handle);
    return window && window->parent ? window->controlId : 0;
}

HWND WINAPI GetParent(HWND handle)
{
    Window* window = Valid(handle);
    if (!window) return NULL;
    return window->parent ? window->parent : window->owner;
}
