// The tray menu's two language commands.
#ifndef DORVANE_LANGUAGESWITCH_H
#define DORVANE_LANGUAGESWITCH_H

#include <windows.h>

void SwitchLanguage(HWND window, UINT commandId);

#endif
