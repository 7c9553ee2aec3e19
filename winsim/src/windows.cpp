// Windows: dialogs made from the program's templates, their data, destruction,
// the foreground window and the cursor.
#include "world.h"

#include <algorithm>

namespace sim {

Window* FindWindow(HWND handle)
{
    auto found = W().windows.find(handle);
    if (found == W().windows.end() || found->second->destroyed) return NULL;
    return found->second.get();
}

bool IsChildOf(HWND parent, HWND handle)
{
    for (Window* window = FindWindow(handle); window && window->parent; window = FindWindow(window->parent))
        if (window->parent == parent) return true;
    return false;
}

// The dialog manager's window procedure: the dialog procedure first, then the
// default handling of what it leaves (FALSE).
LRESULT CallWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* window = FindWindow(handle);
    if (!window) return 0;
    if (window->parent && !window->dialogProc) return ControlProc(handle, message, wParam, lParam);
    if (window->dialogProc) {
        INT_PTR handled = window->dialogProc(handle, message, wParam, lParam);
        window = FindWindow(handle);
        if (handled) {
            if (message == WM_INITDIALOG) return handled;
            return window ? window->msgResult : 0;
        }
        if (!window) return 0;
    }
    switch (message) {
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? window->bigIcon : window->smallIcon;
        HICON previous = slot;
        slot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_CLOSE:
        if (window->dialogProc) CallWindow(handle, WM_COMMAND, IDCANCEL, 0);
        return 0;
    case WM_SETTEXT:
        SetText(handle, Decode(CP_ACP, lParam ? reinterpret_cast<const char*>(lParam) : ""));
        return TRUE;
    case WM_GETTEXT:
        return GetWindowTextA(handle, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
        return GetWindowTextLengthA(handle);
    case DM_GETDEFID:
        // The first default push button.
        for (HWND child : window->children) {
            Window* control = FindWindow(child);
            if (control && IsControlClass(*control, "Button") && (control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                return MAKELONG(control->controlId, DC_HASDEFID);
        }
        return 0;
    }
    return 0;
}

void ShowDialog(HWND handle);

HWND CreateDialogWindow(const DialogTemplate& dialog, HWND owner, DLGPROC proc, LPARAM param, bool unicode)
{
    World& w = W();
    HWND handle = reinterpret_cast<HWND>(NewHandleValue());
    std::unique_ptr<Window> window(new Window);
    window->handle = handle;
    window->className = "#32770";
    window->text = dialog.caption;
    window->style = dialog.style & ~WS_VISIBLE;
    window->exStyle = dialog.exStyle;
    window->owner = owner;
    window->dialogProc = proc;
    window->templateId = dialog.id;
    window->dialogTemplate = &dialog;
    window->unicode = unicode;
    w.windows[handle] = std::move(window);
    Log("dialog " + std::to_string(dialog.id) + " created");
    HWND previous = NULL;
    for (const ControlTemplate& control : dialog.controls) previous = CreateControl(handle, control, previous);

    // TRUE from WM_INITDIALOG asks for the default focus: the first tab stop,
    // with an edit's whole text selected (dlls/user32/dialog.c).
    HWND focus = FirstTabStop(handle);
    INT_PTR result = CallWindow(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param);
    if (!FindWindow(handle)) return NULL;   // destroyed during its initialisation
    if (result) {
        focus = FirstTabStop(handle);
        if (focus && IsControlClass(*FindWindow(focus), "Edit")) CallWindow(focus, EM_SETSEL, 0, -1);
        SetFocus(focus ? focus : handle);
    }
    Window* created = FindWindow(handle);
    if (created && (dialog.style & WS_VISIBLE) && !created->visible) ShowDialog(handle);
    return FindWindow(handle) ? handle : NULL;
}

// Shown: it becomes the active window, and the foreground one with DS_SETFOREGROUND.
void ShowDialog(HWND handle)
{
    Window* window = FindWindow(handle);
    window->visible = true;
    Activate(handle);
    if ((window = FindWindow(handle)) && (window->style & DS_SETFOREGROUND)) W().foreground = handle;
}

void EndProcessWindows()
{
    World& w = W();
    for (auto& entry : w.windows) entry.second->destroyed = true;
    w.timers.clear();
    w.hotKeys.clear();
    w.foreground = NULL;
    w.active = NULL;
    w.focus = NULL;
    w.activations.clear();
}

std::optional<WindowView> WindowInfo(HWND handle)
{
    auto found = W().windows.find(handle);
    if (found == W().windows.end()) return std::nullopt;
    const Window& window = *found->second;
    WindowView view;
    view.className = window.className;
    view.text = window.text;
    view.style = window.style;
    view.exStyle = window.exStyle;
    view.templateId = window.templateId;
    view.owner = window.owner;
    view.visible = window.visible;
    view.destroyed = window.destroyed;
    view.bigIcon = window.bigIcon;
    if (window.dialogTemplate) {
        view.cx = window.dialogTemplate->cx;
        view.cy = window.dialogTemplate->cy;
        view.font = window.dialogTemplate->font;
        view.fontSize = window.dialogTemplate->fontSize;
        view.controlCount = static_cast<int>(window.dialogTemplate->controls.size());
    }
    return view;
}

HWND ForegroundWindow()
{
    return W().foreground;
}

}  // namespace sim

using namespace sim;

namespace {

const DialogTemplate* FindTemplate(HINSTANCE instance, LPCSTR name)
{
    if (instance != ProgramInstance() || !IS_INTRESOURCE(name)) return NULL;
    auto found = W().resources.dialogs.find(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return found == W().resources.dialogs.end() ? NULL : &found->second;
}

std::string ResourceName(LPCSTR name)
{
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : std::string(name);
}

}  // namespace

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                               LPARAM initParam)
{
    Log("CreateDialogParamA " + ResourceName(templateName));
    if (Faulted("CreateDialogParamA", ResourceName(templateName))) return NULL;
    const DialogTemplate* dialog = FindTemplate(instance, templateName);
    if (!dialog) {
        W().lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
        return NULL;
    }
    if (owner && !FindWindow(owner)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return NULL;
    }
    return CreateDialogWindow(*dialog, owner, dialogProc, initParam);
}

namespace {

INT_PTR RunModalDialog(const char* api, HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                       LPARAM initParam, bool unicode)
{
    Log(std::string(api) + " " + ResourceName(templateName));
    const DialogTemplate* dialog = FindTemplate(instance, templateName);
    if (Faulted(api, ResourceName(templateName))) return -1;
    if (!dialog) {
        W().lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
        return -1;
    }
    // An owner that is no window gives 0 (dlls/user32/tests/dialog.c, test_DialogBoxParam).
    if (owner && !FindWindow(owner)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    if (owner) EnableWindow(owner, FALSE);
    HWND handle = CreateDialogWindow(*dialog, owner, dialogProc, initParam, unicode);
    if (!handle) {
        // Destroyed in WM_INITDIALOG: -1.
        if (owner && FindWindow(owner)) EnableWindow(owner, TRUE);
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return -1;
    }
    Window* window = FindWindow(handle);
    if (!window->dialogEnded && !window->visible) ShowDialog(handle);
    ModalLoop(handle, [handle] {
        Window* shown = FindWindow(handle);
        return !shown || shown->dialogEnded;
    }, "dialog " + ResourceName(templateName));
    // A modal dialog destroyed instead of ended gives 0 and leaves its owner
    // disabled, since only EndDialog enables it again (DIALOG_DoDialogBox;
    // test_DialogBoxParam's DestroyOnCloseDlgWinProc).
    if (!(window = FindWindow(handle))) {
        Log("modal dialog " + ResourceName(templateName) + " was destroyed, not ended");
        return 0;
    }
    INT_PTR result = window->dialogResult;
    DestroyWindow(handle);
    return result;
}

}  // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                               LPARAM initParam)
{
    return RunModalDialog("DialogBoxParamA", instance, templateName, owner, dialogProc, initParam, false);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC dialogProc,
                               LPARAM initParam)
{
    // Only resource numbers are simulated, and they read the same either way.
    return RunModalDialog("DialogBoxParamW", instance, reinterpret_cast<LPCSTR>(templateName), owner, dialogProc,
                          initParam, true);
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    Window* window = FindWindow(dialog);
    if (!window) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    window->dialogEnded = true;
    window->dialogResult = result;
    window->visible = false;
    Log("EndDialog " + std::to_string(window->templateId) + " " + std::to_string(result));
    HWND owner = window->owner;
    if (owner && FindWindow(owner)) EnableWindow(owner, TRUE);
    // The owner of an active dialog that ends comes to the front.
    if (W().active == dialog) {
        if (owner && FindWindow(owner)) {
            W().foreground = owner;
            Activate(owner);
        } else {
            ActivateOther(dialog);
        }
    }
    return TRUE;
}

BOOL WINAPI DestroyWindow(HWND handle)
{
    Window* window = FindWindow(handle);
    if (!window) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    if (window->destroying) return TRUE;
    window->destroying = true;
    Log("DestroyWindow " + (window->templateId ? "dialog " + std::to_string(window->templateId) : window->className));

    // Owned pop-ups go first, then the window itself and its children.
    std::vector<HWND> owned;
    for (auto& entry : W().windows)
        if (!entry.second->destroyed && entry.second->owner == handle) owned.push_back(entry.first);
    for (HWND popup : owned) DestroyWindow(popup);

    window->visible = false;
    CallWindow(handle, WM_DESTROY, 0, 0);
    if ((window = FindWindow(handle))) {
        for (HWND child : std::vector<HWND>(window->children)) DestroyWindow(child);
        CallWindow(handle, WM_NCDESTROY, 0, 0);
    }
    FreeWindowTimersAndHotKeys(handle);
    World& w = W();
    for (auto it = w.queue.begin(); it != w.queue.end();)
        it = it->hwnd == handle ? w.queue.erase(it) : it + 1;
    if (w.focus == handle) w.focus = NULL;
    if (w.active == handle) ActivateOther(handle);
    if (w.foreground == handle) w.foreground = NULL;
    w.activations.erase(std::remove(w.activations.begin(), w.activations.end(), handle), w.activations.end());
    if ((window = FindWindow(handle))) window->destroyed = true;
    return TRUE;
}

BOOL WINAPI IsWindow(HWND handle)
{
    return FindWindow(handle) != NULL;
}

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    Window* window = FindWindow(dialog);
    if (window)
        for (HWND child : window->children) {
            Window* control = FindWindow(child);
            if (control && control->controlId == id) return child;
        }
    W().lastError = ERROR_INVALID_WINDOW_HANDLE;
    return NULL;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND handle, int index, LONG_PTR value)
{
    Window* window = FindWindow(handle);
    if (!window) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    LONG_PTR* slot = NULL;
    if (index == DWLP_MSGRESULT && window->dialogProc) slot = &window->msgResult;
    else if (index == GWLP_USERDATA) slot = &window->userData;
    if (!slot) throw Failure("SetWindowLongPtrA: index " + std::to_string(index) + " is not simulated");
    LONG_PTR previous = *slot;
    *slot = value;
    return previous;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND handle, int index)
{
    Window* window = FindWindow(handle);
    if (!window) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    if (index == DWLP_MSGRESULT && window->dialogProc) return window->msgResult;
    if (index == GWLP_USERDATA) return window->userData;
    if (index == GWLP_HINSTANCE) return reinterpret_cast<LONG_PTR>(ProgramInstance());
    if (index == GWL_STYLE) return static_cast<LONG_PTR>(window->style);
    if (index == GWL_EXSTYLE) return static_cast<LONG_PTR>(window->exStyle);
    if (index == GWLP_ID) return window->controlId;
    throw Failure("GetWindowLongPtrA: index " + std::to_string(index) + " is not simulated");
}

BOOL WINAPI SetForegroundWindow(HWND handle)
{
    if (handle != W().desktop && !FindWindow(handle)) return FALSE;
    W().foreground = handle;
    // The calling thread's window also becomes the active one; the desktop leaves none.
    Activate(handle == W().desktop ? NULL : handle);
    Log(handle == W().desktop ? "SetForegroundWindow desktop" : "SetForegroundWindow");
    return TRUE;
}

HWND WINAPI GetForegroundWindow(void)
{
    return W().foreground;
}

HWND WINAPI SetActiveWindow(HWND handle)
{
    if (!FindWindow(handle)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return NULL;
    }
    HWND previous = W().active;
    Activate(TopLevel(handle));
    return previous;
}

HWND WINAPI GetDesktopWindow(void)
{
    return W().desktop;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (Faulted("GetCursorPos", "")) return FALSE;
    *point = W().cursor;
    return TRUE;
}
