#include "ui/LanguageSwitch.h"

#include "app/TrayIcon.h"
#include "drive/DriveDiscovery.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/StringTable.h"
#include "ui/TrayMenu.h"

void SwitchLanguage(HWND window, UINT commandId)
{
    DWORD language;
    if (commandId == IDM_ENGLISH) language = LANGUAGE_ENGLISH;
    else if (commandId == IDM_RUSSIAN) language = LANGUAGE_RUSSIAN;
    else return;
    // The current language: nothing to redraw, save or refresh.
    if (SettingsRecord.Language == language) return;

    SettingsRecord.Language = language;
    SetMenuTexts();
    SaveSetting(SETTING_LANGUAGE, static_cast<LONG>(language), NULL);
    SetTrayTip(window, DoorTipText());
}
