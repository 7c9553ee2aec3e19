#include "ui/PasswordDialogs.h"

HWND PasswordPromptWindow;

INT_PTR CALLBACK PasswordPromptDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    // Not built yet: the prompt has no template, so it never opens.
    return FALSE;
}
