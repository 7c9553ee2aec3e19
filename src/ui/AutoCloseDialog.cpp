#include "ui/AutoCloseDialog.h"

#include "app/WinMain.h"
#include "drive/DoorControl.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/DialogText.h"
#include "ui/StringTable.h"

HWND AutoCloseWindow;
LONG AutoCloseCountdown;
LONG AutoClosePaused;

namespace {

const UINT kTick = 1000;             // ms
const DWORD kSpaceSettles = 1000;    // ms the thread rests after a Space

BOOL InitAutoClose(HWND dialog)
{
    SetDialogIcons(dialog);
    SetDialogTitle(dialog, IDS_AUTOCLOSE_TITLE);
    SetControlText(dialog, IDC_COUNTDOWN_LABEL, IDS_COUNTDOWN_LABEL);
    SetControlText(dialog, IDOK, IDS_CLOSE_NOW_BUTTON);
    SetControlText(dialog, IDC_COUNTDOWN_PAUSE, IDS_PAUSE_BUTTON);
    SetControlText(dialog, IDCANCEL, IDS_CANCEL);
    SetControlText(dialog, IDC_COUNTDOWN_ENTER, IDS_ENTER_KEY);
    SetControlText(dialog, IDC_COUNTDOWN_SPACE, IDS_SPACE_KEY);
    SetControlText(dialog, IDC_COUNTDOWN_ESC, IDS_ESC_KEY);
    SetDlgItemInt(dialog, IDC_COUNTDOWN_SECONDS, static_cast<UINT>(SettingsRecord.AutoCloseTime), TRUE);

    AutoCloseWindow = dialog;
    SetTimer(dialog, IDT_AUTOCLOSE, kTick, AutoCloseTimerProc);
    AutoCloseCountdown = SettingsRecord.AutoCloseTime;
    AutoClosePaused = 0;
    SetForegroundWindow(dialog);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The keys work while another program has the focus; a key another
    // program holds just does nothing here.
    RegisterHotKey(dialog, IDHK_CLOSE_ENTER, 0, VK_RETURN);
    RegisterHotKey(dialog, IDHK_PAUSE_SPACE, 0, VK_SPACE);
    RegisterHotKey(dialog, IDHK_CANCEL_ESC, 0, VK_ESCAPE);
    return TRUE;
}

void AutoCloseCommand(HWND dialog, int control)
{
    switch (control) {
    case IDOK:
        // Every way out passes through Cancel, which takes the timer and the keys away.
        PressButton(dialog, IDCANCEL);
        DoorCommand(MainWindow, DOOR_CLOSE, 0);
        break;
    case IDCANCEL:
        KillTimer(dialog, IDT_AUTOCLOSE);
        UnregisterHotKey(dialog, IDHK_CLOSE_ENTER);
        UnregisterHotKey(dialog, IDHK_PAUSE_SPACE);
        UnregisterHotKey(dialog, IDHK_CANCEL_ESC);
        AutoCloseWindow = NULL;
        EndDialog(dialog, IDCANCEL);
        break;
    case IDC_COUNTDOWN_PAUSE:
        AutoClosePaused = !AutoClosePaused;
        break;
    }
}

}  // namespace

VOID CALLBACK AutoCloseTimerProc(HWND dialog, UINT, UINT_PTR, DWORD)
{
    if (AutoClosePaused) return;
    // A count at 0 or below has run out: 0 stays on show for a whole second
    // and the door closes on the next tick. Counting below the lowest number
    // would wrap round to the highest.
    if (AutoCloseCountdown <= 0) {
        PressButton(dialog, IDOK);
        return;
    }
    --AutoCloseCountdown;
    SetDlgItemInt(dialog, IDC_COUNTDOWN_SECONDS, static_cast<UINT>(AutoCloseCountdown), TRUE);
}

void RestartAutoClose()
{
    AutoCloseCountdown = SettingsRecord.AutoCloseTime;
    AutoClosePaused = 0;
    SetDlgItemInt(AutoCloseWindow, IDC_COUNTDOWN_SECONDS, static_cast<UINT>(AutoCloseCountdown), TRUE);
    // The timer starts again too, so the full count shows for a whole second.
    SetTimer(AutoCloseWindow, IDT_AUTOCLOSE, kTick, AutoCloseTimerProc);
}

INT_PTR CALLBACK AutoCloseDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_HOTKEY) return DialogMessage(dialog, message, wParam, InitAutoClose, AutoCloseCommand);
    switch (HIWORD(lParam)) {
    case VK_RETURN:
        PressButton(dialog, IDOK);
        break;
    case VK_ESCAPE:
        PressButton(dialog, IDCANCEL);
        break;
    case VK_SPACE:
        PressButton(dialog, IDC_COUNTDOWN_PAUSE);
        Sleep(kSpaceSettles);
        break;
    }
    return TRUE;
}
