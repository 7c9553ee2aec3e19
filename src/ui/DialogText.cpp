#include "ui/DialogText.h"

#include "app/WinMain.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/ShownText.h"
#include "ui/StringTable.h"

void SetDialogTitle(HWND dialog, int id)
{
    WCHAR text[STRING_SLOT];
    WideFromCp1251(UiText(id), text, STRING_SLOT);
    SetWindowTextW(dialog, text);
}

void SetControlText(HWND dialog, int control, int id)
{
    WCHAR text[STRING_SLOT];
    WideFromCp1251(UiText(id), text, STRING_SLOT);
    SetDlgItemTextW(dialog, control, text);
}

void SetDialogIcons(HWND dialog)
{
    HICON icon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_DORVANE));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

INT_PTR RunDialog(int templateId, HWND owner, DLGPROC procedure)
{
    return DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(templateId), owner, procedure, 0);
}

int ReadTypedText(HWND dialog, int control, int characters, char* text, int size)
{
    // Read wide: an ANSI read would already have turned what the code page lacks into '?'.
    WCHAR typed[PATH_SIZE] = {0};
    GetDlgItemTextW(dialog, control, typed, characters + 1);
    // UTF-8 takes neither the best-fit flag nor the question whether a default was used.
    DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    WCHAR back[PATH_SIZE] = {0};
    int same = WideCharToMultiByte(CP_ACP, flags, typed, -1, text, size, NULL, NULL) &&
               MultiByteToWideChar(CP_ACP, 0, text, -1, back, PATH_SIZE);
    int i = 0;
    while (same && typed[i] != 0 && typed[i] == back[i]) ++i;
    same = same && typed[i] == back[i];
    if (!same) text[0] = '\0';
    return same;
}

void PressButton(HWND dialog, int button)
{
    SetActiveWindow(dialog);
    SendMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
}

INT_PTR DialogMessage(HWND dialog, UINT message, WPARAM wParam, BOOL (*init)(HWND), void (*command)(HWND, int))
{
    switch (message) {
    case WM_INITDIALOG:
        return init(dialog);
    case WM_COMMAND:
        command(dialog, LOWORD(wParam));
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return FALSE;
}
