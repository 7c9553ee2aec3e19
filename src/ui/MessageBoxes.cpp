#include "ui/MessageBoxes.h"

#include "ui/ShownText.h"
#include "ui/StringTable.h"

namespace {

// The longest text shown is MCI's own error text, at most 200 characters.
const int kTextSize = 256;

}  // namespace

int MessageBoxText(HWND owner, const char* text, UINT flags, const char* caption)
{
    WCHAR wideText[kTextSize];
    WCHAR wideCaption[STRING_SLOT];
    WideFromCp1251(text, wideText, kTextSize);
    WideFromCp1251(caption ? caption : UiText(IDS_PROGRAM_NAME), wideCaption, STRING_SLOT);
    return MessageBoxW(owner, wideText, wideCaption, flags | MB_SETFOREGROUND);
}

int MessageBoxById(HWND owner, int id, UINT flags)
{
    return MessageBoxText(owner, UiText(id), flags, NULL);
}

int AskYesNo(const char* text)
{
    return MessageBoxText(NULL, text, MB_YESNO | MB_ICONQUESTION, NULL) == IDYES;
}
