// What every dialog of the program does when it opens, and pressing one of
// its buttons from code.
#ifndef DORVANE_DIALOGTEXT_H
#define DORVANE_DIALOGTEXT_H

#include <windows.h>

// The title, from the string table in the current language: an open dialog
// keeps the language it was opened in.
void SetDialogTitle(HWND dialog, int id);

// A control's text from the string table.
void SetControlText(HWND dialog, int control, int id);

// The program's icon as the dialog's big and small icon.
void SetDialogIcons(HWND dialog);

// What the user typed into control `control`, at most `characters` of it
// (below PATH_SIZE), in the system's code page as the settings keep text,
// into `text` (`size` bytes). 0 when that code page cannot hold it as typed: what does not come
// back as typed (a '?', a best-fit letter) would be another text. `text` is
// then empty.
int ReadTypedText(HWND dialog, int control, int characters, char* text, int size);

// Presses `button` so that the press runs through the dialog's own command
// routine. The dialog is activated first: a click sent to a dialog that is
// not active may be lost.
void PressButton(HWND dialog, int button);

// Runs dialog `templateId` modally. Its window is a Unicode one, so that its
// title, set through the wide calls, reads right whatever the system's code
// page: an ANSI dialog would pass it through that code page.
INT_PTR RunDialog(int templateId, HWND owner, DLGPROC procedure);

// The shape of every dialog procedure of the program: WM_INITDIALOG runs
// `init` and returns its result; WM_COMMAND runs `command` with the control
// identifier alone, sets DWLP_MSGRESULT to 0 and returns TRUE; anything else
// returns FALSE.
INT_PTR DialogMessage(HWND dialog, UINT message, WPARAM wParam, BOOL (*init)(HWND), void (*command)(HWND, int));

#endif
