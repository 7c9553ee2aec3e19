#include "ui/AutoCloseDialog.h"

HWND AutoCloseWindow;
