#include "drive/Mci.h"

int SendMciCommand(const char*, char* answer, UINT answerSize, HWND, int, int)
{
    // Not built yet: nothing is sent, and nothing is answered.
    if (answer != NULL && answerSize > 0) answer[0] = '\0';
    return 0;
}
