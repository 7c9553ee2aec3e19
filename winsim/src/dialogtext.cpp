// Window and control texts, numbers and check states. A window holds its
// text in UTF-16 as user32 does: the W calls give and take it as it is, the
// A calls convert through the machine's ANSI code page ('?' for what it
// lacks). A text read is cut to fit the caller's buffer with its NUL.
#include "world.h"

namespace sim {

namespace {

Window* Valid(HWND handle)
{
    Window* window = FindWindow(handle);
    if (!window) W().lastError = ERROR_INVALID_WINDOW_HANDLE;
    return window;
}

// The text a program reads with an A call: at most `count` - 1 bytes and a
// NUL, never half of a UTF-8 character.
int CopyAnsi(const std::u16string& text, LPSTR buffer, int count)
{
    if (!buffer || count <= 0) return 0;
    std::string bytes = Encode(CP_ACP, text);
    size_t length = bytes.size();
    if (length > static_cast<size_t>(count - 1)) {
        length = static_cast<size_t>(count - 1);
        if (W().ansiCodePage == CP_UTF8)
            while (length > 0 && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80) --length;
    }
    memcpy(buffer, bytes.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

HWND Item(HWND dialog, int id)
{
    return Valid(dialog) ? GetDlgItem(dialog, id) : NULL;
}

}  // namespace

}  // namespace sim

using namespace sim;

BOOL WINAPI SetWindowTextA(HWND handle, LPCSTR text)
{
    if (!Valid(handle)) return FALSE;
    SetText(handle, Decode(CP_ACP, text ? text : ""));
    return TRUE;
}

BOOL WINAPI SetWindowTextW(HWND handle, LPCWSTR text)
{
    Window* window = Valid(handle);
    if (!window) return FALSE;
    std::u16string wide = WideText(text);
    // An ANSI dialog's window procedure gets the text through the ANSI code
    // page, so what that page lacks comes out as "?" (the controls are
    // system classes and keep UTF-16).
    if (window->dialogProc && !window->parent && !window->unicode) wide = Decode(CP_ACP, Encode(CP_ACP, wide));
    SetText(handle, wide);
    return TRUE;
}

int WINAPI GetWindowTextA(HWND handle, LPSTR text, int count)
{
    Window* window = Valid(handle);
    if (!window) {
        if (text && count > 0) text[0] = '\0';
        return 0;
    }
    return CopyAnsi(TextOf(*window), text, count);
}

int WINAPI GetWindowTextW(HWND handle, LPWSTR text, int count)
{
    Window* window = Valid(handle);
    if (!text || count <= 0) return 0;
    std::u16string value = window ? TextOf(*window) : std::u16string();
    size_t length = value.size() < static_cast<size_t>(count - 1) ? value.size() : static_cast<size_t>(count - 1);
    for (size_t i = 0; i < length; ++i) text[i] = value[i];
    text[length] = 0;
    return static_cast<int>(length);
}

int WINAPI GetWindowTextLengthA(HWND handle)
{
    Window* window = Valid(handle);
    return window ? static_cast<int>(Encode(CP_ACP, TextOf(*window)).size()) : 0;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    HWND item = Item(dialog, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text)
{
    HWND item = Item(dialog, id);
    return item ? SetWindowTextW(item, text) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int count)
{
    HWND item = Item(dialog, id);
    if (!item) {
        if (text && count > 0) text[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, text, count));
}

UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int count)
{
    HWND item = Item(dialog, id);
    if (!item) {
        if (text && count > 0) text[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(item, text, count));
}

BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    HWND item = Item(dialog, id);
    if (!item) return FALSE;
    std::string digits = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    SetText(item, FromUtf8(digits));
    return TRUE;
}

// As user32 reads it: leading blanks, an optional sign, then digits up to the
// first other character; no digits or a number out of range fails.
UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned)
{
    if (translated) *translated = FALSE;
    HWND item = Item(dialog, id);
    Window* window = item ? FindWindow(item) : NULL;
    if (!window) return 0;
    std::string text = Encode(CP_ACP, TextOf(*window).substr(0, 31));
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    size_t first = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0xFFFFFFFFLL) return 0;
    }
    if (i == first) return 0;
    if (negative) value = -value;
    if (isSigned ? (value < -2147483648LL || value > 2147483647LL) : (negative && value != 0)) return 0;
    if (translated) *translated = TRUE;
    return static_cast<UINT>(value);
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND item = Item(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND item = Item(dialog, id);
    if (!item) return FALSE;
    SendMessageA(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id)
{
    HWND item = Item(dialog, id);
    return item ? static_cast<UINT>(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}
