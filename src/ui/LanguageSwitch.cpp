#include "ui/LanguageSwitch.h"

void SwitchLanguage(HWND, UINT)
{
    // Not built yet: the language stays.
}
