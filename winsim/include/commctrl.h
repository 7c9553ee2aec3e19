// Common controls.
#ifndef WINSIM_COMMCTRL_H
#define WINSIM_COMMCTRL_H

#include <windows.h>

// The hot-key control's modifier flags (high byte of its value).
#define HOTKEYF_SHIFT 0x01
#define HOTKEYF_CONTROL 0x02
#define HOTKEYF_ALT 0x04
#define HOTKEYF_EXT 0x08

WINSIM_EXTERN_C void WINAPI InitCommonControls(void);

#endif
