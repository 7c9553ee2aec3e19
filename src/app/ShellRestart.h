// The shell's "TaskbarCreated" message: Explorer has built its taskbar anew.
#ifndef DORVANE_SHELLRESTART_H
#define DORVANE_SHELLRESTART_H

#include <windows.h>

// The message's number in this session; 0 until registered (or if that failed).
extern UINT TaskbarCreatedMessage;

// Registers the message and lets it reach `window` from the shell also when
// the program runs elevated and the shell does not.
void WatchShellRestart(HWND window);

#endif
