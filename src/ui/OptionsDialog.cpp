#include "ui/OptionsDialog.h"

HWND OptionsWindow;

void OpenOptionsDialog()
{
    // Not built yet: there is no Options dialog.
}
