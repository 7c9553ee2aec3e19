#include "ui/AutoCloseDialog.h"

HWND AutoCloseWindow;

INT_PTR CALLBACK AutoCloseDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    // Not built yet: the countdown has no template, so it never opens.
    return FALSE;
}
