#include "drive/Mci.h"

#include <mmsystem.h>

#include "app/Text.h"
#include "app/WinMain.h"
#include "settings/Settings.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"

int SendMciCommand(const char* command, char* answer, UINT answerSize, HWND notifyWindow, int report, int useMciText)
{
    if (answer != NULL && answerSize > 0) answer[0] = '\0';
    MCIERROR error = mciSendStringA(command, answer, answerSize, notifyWindow);
    if (error == 0) return 1;
    if (!report) return 0;

    if (useMciText) {
        char text[REG_TEXT_SIZE] = "";
        if (mciGetErrorStringA(error, text, sizeof text) && text[0] != '\0')
            MessageBoxText(MainWindow, text, MB_OK, NULL);
        else
            MessageBoxById(MainWindow, IDS_MCI_UNRECOGNIZED, MB_OK);
    } else {
        MessageBoxById(MainWindow, IDS_MCI_ERROR, MB_OK);
    }
    return 0;
}

int MciAnswerIsTrue(char* answer)
{
    for (char* c = answer; *c != '\0'; ++c)
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
    const char* yes = "TRUE";
    int i = 0;
    while (yes[i] != '\0' && answer[i] == yes[i]) ++i;
    return yes[i] == '\0' && answer[i] == '\0';
}

void AppendMciField(char* text, size_t size, const char* answer, int from, int count)
{
    int length = 0;
    while (length < from + count && answer[length] != '\0') ++length;
    char field[8] = "";
    int taken = 0;
    for (int i = from; i < length && taken < count && taken + 1 < static_cast<int>(sizeof field); ++i)
        field[taken++] = answer[i];
    field[taken] = '\0';
    AppendText(text, size, field);
}
