// The scripted user in dialogs: typing and pasting into the focused edit,
// keys, mouse clicks on buttons and check boxes, the hot-key control and the
// file-open dialog.
#include "world.h"

#include <commctrl.h>

namespace sim {

namespace {

bool IsProgramDialog(const Window& window)
{
    return window.dialogProc && !window.parent && window.templateId;
}

// The newest dialog shown that takes input (one with a modal dialog of its own is disabled).
Window* TopDialog()
{
    Window* top = NULL;
    for (auto& entry : W().windows) {
        Window& window = *entry.second;
        if (!window.destroyed && IsProgramDialog(window) && window.visible && window.enabled) top = &window;
    }
    return top;
}

Window* NewestDialog(int templateId)
{
    Window* newest = NULL;
    for (auto& entry : W().windows) {
        Window& window = *entry.second;
        if (!window.destroyed && IsProgramDialog(window) && window.visible && window.templateId == templateId)
            newest = &window;
    }
    return newest;
}

FileDialogRecord* OpenFileDialog()
{
    for (FileDialogRecord& record : W().fileDialogs)
        if (record.open) return &record;
    return NULL;
}

HWND ControlOf(Window* dialog, int controlId)
{
    for (HWND child : dialog->children) {
        Window* control = FindWindow(child);
        if (control && control->controlId == controlId) return child;
    }
    throw Failure("the user clicks control " + std::to_string(controlId) + " of dialog " +
                  std::to_string(dialog->templateId) + ", which has none");
}

// A mouse click: the dialog becomes the active and foreground window, then
// the control, if it is enabled, is clicked.
void MouseClick(Window* dialog, int controlId)
{
    HWND handle = dialog->handle;
    HWND control = ControlOf(dialog, controlId);
    if (!dialog->enabled) {
        Log("click on dialog " + std::to_string(dialog->templateId) + ", which is disabled, does nothing");
        return;
    }
    W().foreground = handle;
    Activate(handle);
    if (FindWindow(control)) ClickControl(control);
}

void PostToFocus(UINT message, WPARAM wParam)
{
    HWND target = W().focus ? W().focus : W().active;
    if (!target) {
        Log("the keyboard reaches no window");
        return;
    }
    PostMessageA(target, message, wParam, 0);
}

const char* kWaitDialog = "a dialog to show";

}  // namespace

User& User::WhenDialogShows(int templateId)
{
    return AddScriptStep("wait until dialog " + std::to_string(templateId) + " shows",
                         [templateId] { return NewestDialog(templateId) != NULL; }, [] {},
                         "dialog " + std::to_string(templateId) + " to show");
}

User& User::Type(const std::string& text)
{
    return AddScriptStep("type " + Describe(text.c_str()), [] { return TopDialog() != NULL; }, [text] {
        for (char16_t c : FromUtf8(text)) PostToFocus(WM_CHAR, c);
    }, kWaitDialog);
}

User& User::Paste(const std::string& text)
{
    return AddScriptStep("paste " + Describe(text.c_str()), [] { return TopDialog() != NULL; }, [text] {
        W().clipboard = FromUtf8(text);
        PostToFocus(WM_PASTE, 0);
    }, kWaitDialog);
}

User& User::PressKey(UINT virtualKey)
{
    return AddScriptStep("press key " + Hex(virtualKey), [] { return true; }, [virtualKey] {
        // A hot key registered for the plain key takes it, whichever window has the focus.
        for (const HotKey& key : W().hotKeys)
            if (key.modifiers == 0 && key.virtualKey == virtualKey) {
                PostMessageA(key.window, WM_HOTKEY, static_cast<WPARAM>(key.id), MAKELPARAM(0, virtualKey));
                return;
            }
        PostToFocus(WM_KEYDOWN, virtualKey);
        PostToFocus(WM_KEYUP, virtualKey);
    }, "the program to wait for input");
}

User& User::ClickButton(int controlId)
{
    return AddScriptStep("click control " + std::to_string(controlId), [] { return TopDialog() != NULL; },
                         [controlId] { MouseClick(TopDialog(), controlId); }, kWaitDialog);
}

User& User::ClickButton(int templateId, int controlId)
{
    return AddScriptStep("click control " + std::to_string(controlId) + " of dialog " + std::to_string(templateId),
                         [templateId] { return NewestDialog(templateId) != NULL; },
                         [templateId, controlId] { MouseClick(NewestDialog(templateId), controlId); },
                         "dialog " + std::to_string(templateId) + " to show");
}

User& User::Tick(int controlId)
{
    return AddScriptStep("tick check box " + std::to_string(controlId), [] { return TopDialog() != NULL; },
                         [controlId] {
                             Window* dialog = TopDialog();
                             Window* box = FindWindow(ControlOf(dialog, controlId));
                             if (!IsCheckBox(*box))
                                 throw Failure("the user ticks control " + std::to_string(controlId) +
                                               ", which is no check box");
                             MouseClick(dialog, controlId);
                         }, kWaitDialog);
}

User& User::SetHotKey(int controlId, WORD value)
{
    return AddScriptStep("press " + Hex(value) + " in hot-key control " + std::to_string(controlId),
                         [] { return TopDialog() != NULL; }, [controlId, value] {
                             Window* dialog = TopDialog();
                             HWND control = ControlOf(dialog, controlId);
                             if (!IsControlClass(*FindWindow(control), HOTKEY_CLASSA))
                                 throw Failure("control " + std::to_string(controlId) + " is no hot-key control");
                             W().foreground = dialog->handle;
                             if (!SetFocus(control)) {
                                 Log("hot-key control " + std::to_string(controlId) + " takes no focus");
                                 return;
                             }
                             PressHotKey(control, value);
                         }, kWaitDialog);
}

User& User::ChooseFile(const std::string& path)
{
    return AddScriptStep("choose the file " + Describe(path.c_str()), [] { return OpenFileDialog() != NULL; },
                         [path] {
                             FileDialogRecord* record = OpenFileDialog();
                             record->chosen = path;
                             record->open = false;
                         }, "a file-open dialog");
}

User& User::CancelFileDialog()
{
    return AddScriptStep("cancel the file-open dialog", [] { return OpenFileDialog() != NULL; },
                         [] { OpenFileDialog()->open = false; }, "a file-open dialog");
}

}  // namespace sim
