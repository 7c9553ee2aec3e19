// Message boxes: modal, recorded as the user reads them, answered by the script.
#include "world.h"

namespace sim {

const std::vector<MessageBoxRecord>& MessageBoxes()
{
    return W().messageBoxes;
}

// The buttons a box of this type offers, the first one being its default.
std::vector<int> MessageBoxButtons(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
    }
}

namespace {

// The box as the user sees it: texts in UTF-8.
int ShowMessageBox(const char* api, HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    Window* ownerWindow = owner ? FindWindow(owner) : NULL;
    if (owner && !ownerWindow) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    MessageBoxRecord record;
    record.owner = owner;
    record.text = text;
    record.caption = caption;
    record.type = type;
    record.open = true;
    record.shownAt = W().now;
    size_t index = W().messageBoxes.size();
    W().messageBoxes.push_back(record);
    Log(std::string(api) + " " + Describe(record.text.c_str()));

    HWND box = reinterpret_cast<HWND>(NewHandleValue());
    std::unique_ptr<Window> window(new Window);
    window->handle = box;
    window->className = "#32770";
    window->text = record.caption;
    window->owner = owner;
    window->visible = true;
    window->messageBox = static_cast<int>(index);
    W().windows[box] = std::move(window);
    if (ownerWindow) ownerWindow->enabled = false;
    Activate(box);
    if (type & MB_SETFOREGROUND) W().foreground = box;

    ModalLoop(box, [index, box] { return !W().messageBoxes[index].open || !FindWindow(box); },
              "the message box " + Describe(record.text.c_str()));

    MessageBoxRecord& shown = W().messageBoxes[index];
    shown.open = false;
    if (FindWindow(box)) DestroyWindow(box);
    if ((ownerWindow = owner ? FindWindow(owner) : NULL)) ownerWindow->enabled = true;
    return shown.answer;
}

}  // namespace

}  // namespace sim

using namespace sim;

// Without a caption the box says "Error", as Windows' does.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    return ShowMessageBox("MessageBoxA", owner, ShownAnsi(text), caption ? ShownAnsi(caption) : "Error", type);
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    return ShowMessageBox("MessageBoxW", owner, Utf8(WideText(text)), caption ? Utf8(WideText(caption)) : "Error",
                          type);
}
