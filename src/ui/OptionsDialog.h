// The Options dialog.
#ifndef DORVANE_OPTIONSDIALOG_H
#define DORVANE_OPTIONSDIALOG_H

#include <windows.h>

extern HWND OptionsWindow;   // the open Options dialog, or null

// Opens the dialog, or brings the open one to the front.
void OpenOptionsDialog();

#endif
