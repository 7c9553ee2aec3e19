// Building the tray menu: drive items, texts and pictures, and the way every
// part of the program changes its items.
#ifndef DORVANE_TRAYMENU_H
#define DORVANE_TRAYMENU_H

#include <windows.h>

extern LONG MenuBuilding;   // 1 while the menu texts are (re)written

// An item with a picture stays checked, its picture being the check mark:
// usable is "checked", greyed is "checked and greyed".
enum {
    MENU_ITEM_USABLE = MFS_CHECKED,
    MENU_ITEM_GREYED = MFS_CHECKED | MFS_GRAYED
};

// Finds the drives and builds the menu; 0 when the user chose to end the program.
int InitDrives();

// Inserts one item per drive at the top of the menu; 0 when there is no drive.
int InsertDriveItems();

// Gives every item that shows a table text its text, picture and state.
void SetMenuTexts();

// SetMenuItemInfoW, tried up to ten times 10 ms apart.
BOOL SetMenuItemInfoRetry(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info);

// InsertMenuItemW, tried as SetMenuItemInfoRetry is: the pop-ups are found by
// their position after the drive items, so a drive item must not go missing.
BOOL InsertMenuItemRetry(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info);

// Sets an item's text (code page 1251) as a plain string; state and picture stay.
void SetMenuItemText(UINT item, BOOL byPosition, const char* text);

// Positions of the three pop-ups: the drive items sit in front of them.
int AudioMenuPosition();
int SettingsMenuPosition();
int LanguageMenuPosition();

#endif
