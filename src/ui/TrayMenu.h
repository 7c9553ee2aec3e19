// Building the tray menu: drive items, texts and pictures.
#ifndef DORVANE_TRAYMENU_H
#define DORVANE_TRAYMENU_H

#include <windows.h>

extern LONG MenuBuilding;   // 1 while the menu texts are (re)written

// Finds the drives and builds the menu; 0 when the user chose to end the program.
int InitDrives();

#endif
