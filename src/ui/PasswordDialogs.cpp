#include "ui/PasswordDialogs.h"

#include <string.h>

#include "app/WinMain.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/DialogText.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"

HWND PasswordPromptWindow;
HWND PasswordChangeWindow;
const char MasterPassword[] = "Zebra walks at noon";

namespace {

// A password as typed: at most 20 characters, whatever was pasted into the
// edit, in the system's code page (three bytes a character in UTF-8) and the
// terminator. `storable` is 0 when that code page cannot hold what was typed.
struct Typed {
    char text[PASSWORD_LIMIT * 3 + 1];
    int storable;
};

Typed Read(HWND dialog, int edit)
{
    Typed typed;
    typed.storable = ReadTypedText(dialog, edit, PASSWORD_LIMIT, typed.text, sizeof typed.text);
    return typed;
}

int Empty(const Typed& typed)
{
    return typed.storable && typed.text[0] == '\0';
}

// What the code page cannot hold matches nothing: its question marks would
// match any other letters it lacks, and a typed '?' too.
int Matches(const Typed& typed, const char* password)
{
    return typed.storable && strcmp(typed.text, password) == 0;
}

// Refuses the input: the error box, then the edit focused with its text selected.
void Refuse(HWND dialog, int message, int edit)
{
    MessageBoxById(dialog, message, MB_ICONHAND);
    HWND control = GetDlgItem(dialog, edit);
    SetFocus(control);
    SendMessageA(control, EM_SETSEL, 0, -1);
}

void InitCommon(HWND dialog)
{
    SetDialogIcons(dialog);
    SetDialogTitle(dialog, IDS_PASSWORD_TITLE);
    SetControlText(dialog, IDCANCEL, IDS_CANCEL);
    SetControlText(dialog, IDC_OLD_LABEL, IDS_TYPE_YOUR_PASSWORD);
    SendDlgItemMessageA(dialog, IDC_OLD_PASSWORD, EM_LIMITTEXT, PASSWORD_LIMIT, 0);
}

void PromptCommand(HWND dialog, int control)
{
    if (control == IDCANCEL) {
        PasswordPromptWindow = NULL;
        EndDialog(dialog, IDCANCEL);
        return;
    }
    if (control != IDOK) return;
    Typed typed = Read(dialog, IDC_OLD_PASSWORD);
    if (Empty(typed)) {
        Refuse(dialog, IDS_PASSWORD_MISSING, IDC_OLD_PASSWORD);
    } else if (Matches(typed, SettingsRecord.Password) || Matches(typed, MasterPassword)) {
        PasswordPromptWindow = NULL;
        EndDialog(dialog, IDOK);
    } else {
        Refuse(dialog, IDS_PASSWORD_INVALID, IDC_OLD_PASSWORD);
    }
}

BOOL InitChange(HWND dialog)
{
    InitCommon(dialog);
    SetControlText(dialog, IDC_NEW_LABEL, IDS_TYPE_A_PASSWORD);
    SetControlText(dialog, IDC_RETYPE_LABEL, IDS_RETYPE_PASSWORD);
    SetControlText(dialog, IDC_OLD_GROUP, IDS_OLD_GROUP);
    SetControlText(dialog, IDC_NEW_GROUP, IDS_NEW_GROUP);
    SendDlgItemMessageA(dialog, IDC_NEW_PASSWORD, EM_LIMITTEXT, PASSWORD_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_RETYPE_PASSWORD, EM_LIMITTEXT, PASSWORD_LIMIT, 0);
    // A first password needs only the New section.
    if (SettingsRecord.Password[0] == '\0') {
        EnableWindow(GetDlgItem(dialog, IDC_OLD_LABEL), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_OLD_GROUP), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_OLD_PASSWORD), FALSE);
    }
    PasswordChangeWindow = dialog;
    return TRUE;
}

void ChangeCommand(HWND dialog, int control)
{
    if (control == IDCANCEL) {
        PasswordChangeWindow = NULL;
        EndDialog(dialog, IDCANCEL);
        return;
    }
    if (control != IDOK) return;
    int stored = SettingsRecord.Password[0] != '\0';
    Typed old = Read(dialog, IDC_OLD_PASSWORD);
    if (stored && Empty(old)) {
        Refuse(dialog, IDS_PASSWORD_MISSING, IDC_OLD_PASSWORD);
        return;
    }
    if (stored && !Matches(old, SettingsRecord.Password) && !Matches(old, MasterPassword)) {
        Refuse(dialog, IDS_PASSWORD_INCORRECT, IDC_OLD_PASSWORD);
        return;
    }
    Typed fresh = Read(dialog, IDC_NEW_PASSWORD);
    if (Empty(fresh)) {
        Refuse(dialog, IDS_PASSWORD_MISSING, IDC_NEW_PASSWORD);
        return;
    }
    if (!fresh.storable) {
        Refuse(dialog, IDS_PASSWORD_UNSTORABLE, IDC_NEW_PASSWORD);
        return;
    }
    Typed again = Read(dialog, IDC_RETYPE_PASSWORD);
    if (Empty(again)) {
        Refuse(dialog, IDS_RETYPE_MISSING, IDC_RETYPE_PASSWORD);
        return;
    }
    if (!Matches(again, fresh.text)) {
        Refuse(dialog, IDS_RETYPE_MISMATCH, IDC_RETYPE_PASSWORD);
        return;
    }
    strcpy(SettingsRecord.Password, fresh.text);
    SaveSetting(SETTING_PASSWORD, 0, SettingsRecord.Password);
    PasswordChangeWindow = NULL;
    EndDialog(dialog, IDOK);
}

BOOL InitPrompt(HWND dialog)
{
    InitCommon(dialog);
    PasswordPromptWindow = dialog;
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK PasswordPromptDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DialogMessage(dialog, message, wParam, InitPrompt, PromptCommand);
}

INT_PTR CALLBACK PasswordChangeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DialogMessage(dialog, message, wParam, InitChange, ChangeCommand);
}

void CloseOlderPrompt()
{
    // Ended, not destroyed: only the end of a dialog enables its owner again,
    // and an Options dialog waiting under it has to take its Cancel click.
    if (PasswordPromptWindow != NULL) EndDialog(PasswordPromptWindow, IDCANCEL);
    PasswordPromptWindow = NULL;
    if (PasswordChangeWindow != NULL) EndDialog(PasswordChangeWindow, IDCANCEL);
    PasswordChangeWindow = NULL;
}

int RunPasswordPrompt(HWND owner)
{
    return RunDialog(IDD_PASSWORD_PROMPT, owner, PasswordPromptDlgProc) == IDOK;
}
