#include "drive/DiscPoller.h"

LONG EmptyIconShown;

VOID CALLBACK PollDiscStatus(HWND, UINT, UINT_PTR, DWORD)
{
    // Not built yet: the drive is not looked at.
}
