#include "ui/MessageBoxes.h"

#include "ui/StringTable.h"

int MessageBoxById(HWND owner, int id, UINT flags)
{
    return MessageBoxA(owner, UiText(id), UiText(IDS_PROGRAM_NAME), flags | MB_SETFOREGROUND);
}
