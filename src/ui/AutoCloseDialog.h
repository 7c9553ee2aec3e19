// The auto-close countdown: after an opening, the door closes by itself
// unless the user cancels.
#ifndef DORVANE_AUTOCLOSEDIALOG_H
#define DORVANE_AUTOCLOSEDIALOG_H

#include <windows.h>

enum {
    IDT_AUTOCLOSE = 1002,      // the countdown's one-second timer
    IDHK_CLOSE_ENTER = 2002,   // Enter, Space and Esc press the countdown's buttons
    IDHK_PAUSE_SPACE = 2003,   // while it is shown, whatever has the focus
    IDHK_CANCEL_ESC = 2004
};

extern HWND AutoCloseWindow;      // the showing countdown, or null
extern LONG AutoCloseCountdown;   // seconds left
extern LONG AutoClosePaused;

// Dialog 107, run by door control after an opening.
INT_PTR CALLBACK AutoCloseDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

VOID CALLBACK AutoCloseTimerProc(HWND dialog, UINT message, UINT_PTR timerId, DWORD time);

// The countdown on show counts from the start again, not paused.
void RestartAutoClose();

#endif
