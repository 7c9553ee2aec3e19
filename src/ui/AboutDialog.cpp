#include "ui/AboutDialog.h"

#include <shellapi.h>

#include "app/Text.h"
#include "app/WinMain.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/DialogText.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"

HWND AboutWindow;

namespace {

HINSTANCE Open(const char* target)
{
    return ShellExecuteA(NULL, "open", target, NULL, NULL, SW_SHOWNORMAL);
}

BOOL InitAbout(HWND dialog)
{
    SetDialogIcons(dialog);
    SetDialogTitle(dialog, IDS_ABOUT_TITLE);
    SetControlText(dialog, IDC_ABOUT_VERSION, IDS_VERSION);
    SetControlText(dialog, IDC_ABOUT_CREDITS, IDS_CREDITS);
    SetControlText(dialog, IDC_ABOUT_HELP, IDS_HELP_BUTTON);
    SetControlText(dialog, IDC_ABOUT_HOMEPAGE, IDS_HOMEPAGE_BUTTON);
    AboutWindow = dialog;
    return TRUE;
}

// The help page of the current language, from the install directory. 0 when
// it could not be opened.
int OpenHelp()
{
    char path[PATH_SIZE];
    CopyText(path, sizeof path, InstallDir);
    AppendText(path, sizeof path, SettingsRecord.Language == LANGUAGE_RUSSIAN ? "\\help_r.html" : "\\help.html");
    return reinterpret_cast<INT_PTR>(Open(path)) > 32;
}

void AboutCommand(HWND dialog, int control)
{
    switch (control) {
    case IDC_ABOUT_HELP:
        if (!OpenHelp()) {
            MessageBoxById(dialog, IDS_FILE_NOT_FOUND, MB_OK);
            return;
        }
        break;
    case IDC_ABOUT_HOMEPAGE:
        Open(UiText(IDS_HOMEPAGE_URL));
        break;
    case IDC_ABOUT_EMAIL:
        Open("mailto:" SUPPORT_MAIL "?subject=Dorvane 2.4.1");
        break;
    case IDOK:
    case IDCANCEL:
        break;
    default:
        return;
    }
    AboutWindow = NULL;
    EndDialog(dialog, control);
}

}  // namespace

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DialogMessage(dialog, message, wParam, InitAbout, AboutCommand);
}

void OpenAboutDialog()
{
    if (AboutWindow != NULL) {
        SetForegroundWindow(AboutWindow);
        return;
    }
    RunDialog(IDD_ABOUT, NULL, AboutDlgProc);
}
