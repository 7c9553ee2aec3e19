// The menu's pictures: each bitmap resource is loaded once and kept while the
// menu can show it.
#ifndef DORVANE_MENUBITMAPS_H
#define DORVANE_MENUBITMAPS_H

#include <windows.h>

// Bitmap resource `id`, loaded on first use; null when it cannot be loaded.
HBITMAP MenuBitmap(int id);

// Frees every loaded picture; called once the menu is destroyed.
void FreeMenuBitmaps();

#endif
