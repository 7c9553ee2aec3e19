// A dialog's child controls as user32 and comctl32 keep them: static texts,
// buttons and check boxes, edits (password, digits only, limit, selection),
// the hot-key control and the up-down control with its buddy.
#include "world.h"

#include <commctrl.h>

#include <cwchar>

namespace sim {

namespace {

const char16_t kPasswordChar = u'*';   // user32's edit, as a program without a manifest gets

Window* Control(HWND handle)
{
    Window* window = FindWindow(handle);
    return window && window->parent ? window : NULL;
}

void Notify(Window* control, WORD code)
{
    HWND handle = control->handle;
    WPARAM wParam = MAKEWPARAM(control->controlId, code);
    if (control->parent && FindWindow(control->parent))
        CallWindow(control->parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(handle));
}

// ---- Edit ----

bool IsEdit(const Window& window)
{
    return IsControlClass(window, "Edit");
}

void OrderedSelection(const Window& edit, size_t length, size_t* start, size_t* end)
{
    size_t a = edit.selStart < length ? edit.selStart : length;
    size_t b = edit.selEnd < length ? edit.selEnd : length;
    *start = a < b ? a : b;
    *end = a < b ? b : a;
}

// EM_REPLACESEL and typing: the selection gives way to `text`; with the
// limit honoured, what does not fit is dropped and EN_MAXTEXT is sent, but
// the selection still goes (as Wine's edit.c does).
void ReplaceSelection(HWND handle, std::u16string text, bool honourLimit)
{
    Window* edit = Control(handle);
    std::u16string current = TextOf(*edit);
    size_t start, end;
    OrderedSelection(*edit, current.size(), &start, &end);
    size_t rest = current.size() - (end - start);
    bool cut = false;
    if (honourLimit && rest + text.size() > edit->editLimit) {
        text.resize(edit->editLimit > rest ? edit->editLimit - rest : 0);
        cut = true;
    }
    if (cut) {
        ++edit->refusedKeys;
        Log("edit " + std::to_string(edit->controlId) + " is full");
        Notify(edit, EN_MAXTEXT);
        if (!(edit = Control(handle))) return;
    }
    if (text.empty() && start == end) return;
    current = current.substr(0, start) + text + current.substr(end);
    edit->text = Utf8(current);
    edit->selStart = edit->selEnd = static_cast<DWORD>(start + text.size());
    Notify(edit, EN_UPDATE);
    if ((edit = Control(handle))) Notify(edit, EN_CHANGE);
}

void TypeCharacter(HWND handle, char16_t c)
{
    Window* edit = Control(handle);
    if (edit->style & ES_READONLY) return;
    if (c == 8) {   // Backspace: the selection, or the character before the caret
        std::u16string current = TextOf(*edit);
        size_t start, end;
        OrderedSelection(*edit, current.size(), &start, &end);
        if (start == end && start > 0) edit->selStart = static_cast<DWORD>(start - 1), edit->selEnd = static_cast<DWORD>(end);
        ReplaceSelection(handle, u"", false);
        return;
    }
    if (c < 0x20) return;   // Enter, Esc, Tab and control keys insert nothing in a single-line edit
    if ((edit->style & ES_NUMBER) && !(c >= u'0' && c <= u'9')) {
        // Windows shows a balloon ("You can only type a number here") and inserts nothing.
        ++edit->refusedKeys;
        Log("edit " + std::to_string(edit->controlId) + " refuses a character that is not a digit");
        return;
    }
    ReplaceSelection(handle, std::u16string(1, c), true);
}

LRESULT EditProc(HWND handle, Window* edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
        TypeCharacter(handle, static_cast<char16_t>(wParam));
        return 0;
    case WM_PASTE: {
        // A single-line edit takes the clipboard's first line.
        std::u16string text = W().clipboard;
        size_t end = text.find_first_of(u"\r\n");
        if (end != std::u16string::npos) text.resize(end);
        ReplaceSelection(handle, text, true);
        return 0;
    }
    case EM_LIMITTEXT:
        edit->editLimit = wParam ? static_cast<DWORD>(wParam) : 0x7FFFFFFE;
        if (!(edit->style & ES_MULTILINE) && edit->editLimit > 0x7FFFFFFE) edit->editLimit = 0x7FFFFFFE;
        return 0;
    case EM_GETLIMITTEXT:
        return edit->editLimit;
    case EM_SETSEL: {
        DWORD length = static_cast<DWORD>(TextOf(*edit).size());
        DWORD start = static_cast<DWORD>(wParam), end = static_cast<DWORD>(lParam);
        if (start == static_cast<DWORD>(-1)) {
            start = end = edit->selEnd;   // -1 removes the selection
        } else {
            if (start > length) start = length;
            if (end > length) end = length;
        }
        edit->selStart = start;
        edit->selEnd = end;
        return 0;
    }
    case EM_GETSEL: {
        size_t start, end;
        OrderedSelection(*edit, TextOf(*edit).size(), &start, &end);
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
        return start > 0xFFFF || end > 0xFFFF ? -1 : MAKELONG(start, end);
    }
    case EM_REPLACESEL:
        ReplaceSelection(handle, Decode(CP_ACP, reinterpret_cast<const char*>(lParam)), true);
        return 0;
    case WM_SETFOCUS:
        Notify(edit, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        Notify(edit, EN_KILLFOCUS);
        return 0;
    }
    return 0;
}

// ---- Buttons ----

LRESULT ButtonProc(HWND handle, Window* button, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD type = button->style & BS_TYPEMASK;
    switch (message) {
    case BM_CLICK: {
        // "If the button is in a dialog box and the dialog box is not active,
        // the BM_CLICK message might fail": here it always does.
        HWND top = TopLevel(handle);
        if (W().active != top) {
            Log("BM_CLICK on control " + std::to_string(button->controlId) + " of an inactive window does nothing");
            return 0;
        }
        ClickControl(handle);
        return 0;
    }
    case BM_GETCHECK:
        return IsCheckBox(*button) ? button->check : BST_UNCHECKED;
    case BM_SETCHECK:
        if (IsCheckBox(*button) || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            button->check = static_cast<UINT>(wParam) & 3;
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) button->pushed = true;
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && button->pushed) {
            button->pushed = false;
            ClickControl(handle);
        }
        return 0;
    case WM_KILLFOCUS:
        button->pushed = false;
        return 0;
    }
    return 0;
}

// ---- Hot-key control (comctl32's hotkey.c) ----

bool CombinationRefused(const Window& control, BYTE modifiers)
{
    static const struct {
        WORD rule;
        BYTE modifiers;
    } kRules[] = {
        {HKCOMB_NONE, 0},
        {HKCOMB_S, HOTKEYF_SHIFT},
        {HKCOMB_C, HOTKEYF_CONTROL},
        {HKCOMB_A, HOTKEYF_ALT},
        {HKCOMB_SC, HOTKEYF_SHIFT | HOTKEYF_CONTROL},
        {HKCOMB_SA, HOTKEYF_SHIFT | HOTKEYF_ALT},
        {HKCOMB_CA, HOTKEYF_CONTROL | HOTKEYF_ALT},
        {HKCOMB_SCA, HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT},
    };
    for (const auto& rule : kRules)
        if ((control.hotKeyInvalid & rule.rule) && modifiers == rule.modifiers) return true;
    return false;
}

LRESULT HotKeyProc(Window* control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case HKM_SETHOTKEY:
        control->hotKey = static_cast<WORD>(wParam);   // taken as it is: the rules are for keys pressed
        return 0;
    case HKM_GETHOTKEY:
        return control->hotKey;
    case HKM_SETRULES:
        control->hotKeyInvalid = static_cast<WORD>(wParam);
        control->hotKeyReplacement = static_cast<WORD>(lParam);
        return 0;
    }
    return 0;
}

// ---- Up-down control (comctl32's updown.c) ----

bool InBounds(const Window& control, int value)
{
    if (control.upDownMax > control.upDownMin) return control.upDownMin <= value && value <= control.upDownMax;
    return control.upDownMax <= value && value <= control.upDownMin;
}

int Clamp(const Window& control, int value)
{
    if (InBounds(control, value)) return value;
    bool belowMin = (control.upDownMin < control.upDownMax && value < control.upDownMin) ||
                    (control.upDownMin > control.upDownMax && value > control.upDownMin);
    return belowMin ? control.upDownMin : control.upDownMax;
}

// The position as the buddy shows it, with thousands separators unless UDS_NOTHOUSANDS.
void SetBuddyInt(Window* control)
{
    if (!control->upDownBuddyInt || !FindWindow(control->buddy)) return;
    std::string digits = std::to_string(control->upDownPos);
    if (!(control->style & UDS_NOTHOUSANDS)) {
        size_t first = digits[0] == '-' ? 1 : 0;
        for (size_t i = digits.size(); i > first + 3; i -= 3) digits.insert(i - 3, ",");
    }
    std::u16string text = FromUtf8(digits);
    Window* buddy = FindWindow(control->buddy);
    if (Upper(Utf8(TextOf(*buddy))) != Upper(digits)) SetText(control->buddy, text);
}

// Reads the buddy's number back; false when it is no number in range.
bool GetBuddyInt(Window* control)
{
    Window* buddy = FindWindow(control->buddy);
    if (!control->upDownBuddyInt || !buddy) return false;
    std::u16string text = TextOf(*buddy).substr(0, 19);
    std::wstring digits;
    for (char16_t c : text)
        if (c != u',') digits += static_cast<wchar_t>(c);
    wchar_t* end = NULL;
    long value = std::wcstol(digits.c_str(), &end, 10);
    if (*end || !InBounds(*control, static_cast<int>(value))) return false;
    control->upDownPos = static_cast<int>(value);
    return true;
}

LRESULT UpDownProc(Window* control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UDM_SETRANGE:
        control->upDownMax = static_cast<short>(LOWORD(lParam));
        control->upDownMin = static_cast<short>(HIWORD(lParam));
        return 0;
    case UDM_SETRANGE32:
        control->upDownMin = static_cast<int>(wParam);
        control->upDownMax = static_cast<int>(lParam);
        return 0;
    case UDM_GETRANGE:
        return MAKELONG(control->upDownMax, control->upDownMin);
    case UDM_GETRANGE32:
        if (wParam) *reinterpret_cast<int*>(wParam) = control->upDownMin;
        if (lParam) *reinterpret_cast<int*>(lParam) = control->upDownMax;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        int previous = Clamp(*control, control->upDownPos);
        control->upDownPos = Clamp(*control, message == UDM_SETPOS ? static_cast<short>(LOWORD(lParam))
                                                                   : static_cast<int>(lParam));
        SetBuddyInt(control);
        return previous;
    }
    case UDM_GETPOS:
    case UDM_GETPOS32: {
        bool read = GetBuddyInt(control);
        int position = control->upDownPos;
        if (!InBounds(*control, position)) {
            position = Clamp(*control, position);
            read = false;
        }
        if (message == UDM_GETPOS) return MAKELONG(position, read ? 0 : 1);
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = !read;
        return position;
    }
    case UDM_SETBUDDY: {
        HWND previous = control->buddy;
        control->buddy = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(control->buddy);
    }
    return 0;
}

}  // namespace

bool IsControlClass(const Window& window, const char* className)
{
    return window.parent && SameText(window.className, className);
}

bool IsPushButton(const Window& window)
{
    DWORD type = window.style & BS_TYPEMASK;
    return IsControlClass(window, "Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

bool IsCheckBox(const Window& window)
{
    DWORD type = window.style & BS_TYPEMASK;
    return IsControlClass(window, "Button") &&
           (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE);
}

std::u16string TextOf(const Window& window)
{
    return FromUtf8(window.text);
}

// WM_SETTEXT: not limited by an edit's limit; the caret goes to the start and
// a single-line edit tells its dialog (EN_UPDATE, EN_CHANGE).
void SetText(HWND handle, const std::u16string& text)
{
    Window* window = FindWindow(handle);
    if (!window) return;
    window->text = Utf8(text);
    if (IsEdit(*window)) {
        window->selStart = window->selEnd = 0;
        if (!(window->style & ES_MULTILINE)) {
            Notify(window, EN_UPDATE);
            if ((window = FindWindow(handle))) Notify(window, EN_CHANGE);
        }
    }
}

HWND CreateControl(HWND dialog, const ControlTemplate& source, HWND previous)
{
    HWND handle = reinterpret_cast<HWND>(NewHandleValue());
    std::unique_ptr<Window> control(new Window);
    control->handle = handle;
    control->className = source.className;
    control->text = source.text;
    control->style = source.style;
    control->exStyle = source.exStyle;
    control->parent = dialog;
    control->controlId = source.id;
    control->enabled = !(source.style & WS_DISABLED);
    control->visible = (source.style & WS_VISIBLE) != 0;
    if (SameText(source.className, "Static") && (source.style & SS_TYPEMASK) == SS_ICON) {
        if (source.text.size() > 1 && source.text[0] == '#') control->iconResource = std::stoi(source.text.substr(1));
        control->text.clear();
    }
    if (SameText(source.className, UPDOWN_CLASSA)) {
        control->upDownBuddyInt = (source.style & UDS_SETBUDDYINT) != 0;
        if (source.style & UDS_AUTOBUDDY) control->buddy = previous;   // the control made just before
    }
    W().windows[handle] = std::move(control);
    FindWindow(dialog)->children.push_back(handle);
    return handle;
}

LRESULT ControlProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* control = Control(handle);
    if (!control) return 0;
    switch (message) {
    case WM_SETTEXT:
        SetText(handle, Decode(CP_ACP, lParam ? reinterpret_cast<const char*>(lParam) : ""));
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(Encode(CP_ACP, TextOf(*control)).size());
    }
    if (IsEdit(*control)) return EditProc(handle, control, message, wParam, lParam);
    if (IsControlClass(*control, "Button")) return ButtonProc(handle, control, message, wParam, lParam);
    if (IsControlClass(*control, HOTKEY_CLASSA)) return HotKeyProc(control, message, wParam, lParam);
    if (IsControlClass(*control, UPDOWN_CLASSA)) return UpDownProc(control, message, wParam, lParam);
    return 0;
}

void ClickControl(HWND handle)
{
    Window* button = Control(handle);
    if (!button) return;
    if (!WindowEnabled(handle)) {
        Log("click on disabled control " + std::to_string(button->controlId) + " does nothing");
        return;
    }
    if (IsEdit(*button)) {
        // A click in an edit gives it the focus, with the caret after its text.
        ChangeFocus(handle);
        if (Window* edit = Control(handle)) edit->selStart = edit->selEnd = static_cast<DWORD>(edit->text.size());
        Log("click in edit " + std::to_string(button->controlId));
        return;
    }
    if (!IsControlClass(*button, "Button") || (button->style & BS_TYPEMASK) == BS_GROUPBOX) {
        Log("click on control " + std::to_string(button->controlId) + ", which is no button");
        return;
    }
    ChangeFocus(handle);
    if (!(button = Control(handle))) return;
    DWORD type = button->style & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX) button->check = button->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    if (type == BS_AUTO3STATE) button->check = (button->check + 1) % 3;
    if (type == BS_AUTORADIOBUTTON) button->check = BST_CHECKED;
    Log("click on control " + std::to_string(button->controlId));
    Notify(button, BN_CLICKED);
}

// The user presses a combination in the hot-key control: the rules replace a
// refused set of modifiers; Space, Enter, Esc, Tab, Back and Delete clear it.
void PressHotKey(HWND handle, WORD value)
{
    Window* control = Control(handle);
    BYTE key = LOBYTE(value);
    BYTE modifiers = HIBYTE(value) & (HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT);
    WORD previous = control->hotKey;
    if (key == VK_SPACE || key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB || key == VK_BACK || key == VK_DELETE)
        control->hotKey = 0;
    else if (CombinationRefused(*control, modifiers))
        control->hotKey = MAKEWORD(key, LOBYTE(control->hotKeyReplacement) | (HIBYTE(value) & HOTKEYF_EXT));
    else
        control->hotKey = MAKEWORD(key, HIBYTE(value));
    if (control->hotKey != previous) Notify(control, EN_CHANGE);
}

HWND FirstTabStop(HWND dialog)
{
    return NextTabStop(dialog, NULL);
}

// The next control after `from` (or the first) that has WS_TABSTOP and is
// shown and enabled, round to the start.
HWND NextTabStop(HWND dialog, HWND from)
{
    Window* window = FindWindow(dialog);
    if (!window) return NULL;
    const std::vector<HWND>& children = window->children;
    size_t count = children.size(), start = 0;
    for (size_t i = 0; i < count; ++i)
        if (children[i] == from) start = i + 1;
    for (size_t k = 0; k < count; ++k) {
        Window* control = FindWindow(children[(start + k) % count]);
        if (control && (control->style & WS_TABSTOP) && control->visible && control->enabled) return control->handle;
    }
    return NULL;
}

std::vector<ControlView> ControlViews(const Window& dialog)
{
    std::vector<ControlView> views;
    for (HWND child : dialog.children) {
        Window* control = FindWindow(child);
        if (!control) continue;
        ControlView view;
        view.handle = child;
        view.id = control->controlId;
        view.className = control->className;
        view.style = control->style;
        view.text = control->text;
        view.shown = control->text;
        if (IsEdit(*control) && (control->style & ES_PASSWORD))
            view.shown = Utf8(std::u16string(TextOf(*control).size(), kPasswordChar));
        view.enabled = control->enabled;
        view.visible = control->visible;
        view.focused = W().focus == child;
        view.checked = control->check;
        view.limit = IsEdit(*control) ? control->editLimit : 0;
        size_t start = 0, end = 0;
        OrderedSelection(*control, TextOf(*control).size(), &start, &end);
        view.selStart = static_cast<DWORD>(start);
        view.selEnd = static_cast<DWORD>(end);
        view.refusedKeys = control->refusedKeys;
        view.hotKey = control->hotKey;
        view.rangeMin = control->upDownMin;
        view.rangeMax = control->upDownMax;
        view.position = control->upDownPos;
        Window* buddy = FindWindow(control->buddy);
        view.buddyId = buddy ? buddy->controlId : 0;
        view.iconResource = control->iconResource;
        views.push_back(view);
    }
    return views;
}

}  // namespace sim
