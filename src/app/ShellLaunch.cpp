#include "app/ShellLaunch.h"

// Not built yet: nothing is launched.
void BrowseDisc(int) {}
void RunAutoplay() {}
void LaunchCdPlayer() {}
void RunSystemTool(UINT) {}
