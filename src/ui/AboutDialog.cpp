#include "ui/AboutDialog.h"

HWND AboutWindow;

void OpenAboutDialog()
{
    // Not built yet: there is no About dialog.
}
