// Tray-menu commands that start other programs through the shell.
#ifndef DORVANE_SHELLLAUNCH_H
#define DORVANE_SHELLLAUNCH_H

#include <windows.h>

void BrowseDisc(int useOpen);
void RunAutoplay();
void LaunchCdPlayer();
void RunSystemTool(UINT command);

// Whether LaunchCdPlayer has a program to start: the player set in Options,
// or without one the system's media player, found as the shell finds it.
int CdPlayerFound();

#endif
