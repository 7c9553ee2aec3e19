// The program's texts are code page 1251 bytes. Where one is shown (message
// boxes, menu items, the tooltip) it goes to the wide calls, converted here,
// so that it reads right whatever the system's ANSI code page is.
#ifndef DORVANE_SHOWNTEXT_H
#define DORVANE_SHOWNTEXT_H

#include <windows.h>

// Converts the NUL-terminated code page 1251 `text` into `wide` (`size` WCHARs, NUL included). Always
// NUL-terminates (size > 0); returns 1 when the whole text fitted, 0 when it was cut.
int WideFromCp1251(const char* text, WCHAR* wide, int size);

#endif
