#include "drive/Playback.h"

#include "app/MainWindow.h"
#include "app/Text.h"
#include "drive/Mci.h"
#include "res/resource.h"
#include "settings/DecimalText.h"
#include "settings/Settings.h"
#include "ui/MenuBitmaps.h"
#include "ui/ShownText.h"
#include "ui/StringTable.h"
#include "ui/TrayMenu.h"

LONG CdAudioOpen;
LONG Playing;
LONG Paused;
char PausePosition[20];

namespace {

const int kLineSize = 200;

// Commands the user gave report a failure with the generic MCI message.
int Reported(const char* command, char* answer = NULL, UINT answerSize = 0)
{
    return SendMciCommand(command, answer, answerSize, NULL, 1, 0);
}

int Silent(const char* command, char* answer = NULL, UINT answerSize = 0)
{
    return SendMciCommand(command, answer, answerSize, NULL, 0, 0);
}

// Sets track line `command` at position `position` of the audio pop-up, or
// inserts it there with the disc picture when it is not shown yet.
void ShowTrackLine(HMENU audio, int position, UINT command, const char* text)
{
    if (GetMenuItemID(audio, position) == command) {
        SetMenuItemText(command, FALSE, text);
        return;
    }
    WCHAR wide[kLineSize];
    WideFromCp1251(text, wide, kLineSize);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_TYPE | MIIM_STATE | MIIM_CHECKMARKS;
    info.fType = MFT_STRING;
    info.fState = MFS_CHECKED;
    info.wID = command;
    info.hbmpChecked = MenuBitmap(IDB_TRACK_DISC);
    info.dwTypeData = wide;
    InsertMenuItemW(audio, static_cast<UINT>(position), TRUE, &info);
}

// Opens the playback device unless the program holds it already.
int HoldDevice()
{
    return CdAudioOpen || HoldPlaybackDevice("open cdaudio shareable", 1);
}

}  // namespace

// A device opened by MCI counts in minutes until told otherwise, so a bare
// track number sent to it would name a minute of the disc instead.
int HoldPlaybackDevice(const char* openCommand, int report)
{
    CdAudioOpen = 0;
    if (!SendMciCommand(openCommand, NULL, 0, NULL, report, 0)) return 0;
    if (!SendMciCommand("set cdaudio time format tmsf", NULL, 0, NULL, report, 0)) {
        // Left open, the device would make every later open fail.
        Silent("close cdaudio");
        return 0;
    }
    CdAudioOpen = 1;
    return 1;
}

void PlayDisc()
{
    if (Paused) {
        PauseResume();
        return;
    }
    if (!HoldDevice()) return;
    char answer[MCI_ANSWER_SIZE];
    if (!Reported("status cdaudio media present", answer, sizeof answer)) return;
    if (!MciAnswerIsTrue(answer)) return;
    if (Playing) return;

    // Start at the beginning of the current track.
    if (Reported("status cdaudio current track", answer, sizeof answer)) {
        char command[MCI_TRACK_ANSWER_SIZE] = "seek cdaudio to ";
        AppendText(command, sizeof command, answer);
        Reported(command);
    }
    if (Reported("play cdaudio")) {
        Playing = 1;
        Paused = 0;
    }
}

void PauseResume()
{
    if (Paused) {
        // Back to the saved position; without one the drive plays on from where it stands.
        if (PausePosition[0] != '\0') {
            char command[MCI_TRACK_ANSWER_SIZE] = "seek cdaudio to ";
            AppendText(command, sizeof command, PausePosition);
            if (!Reported(command)) return;
        }
        if (!Reported("play cdaudio")) return;
        Playing = 1;
        Paused = 0;
    } else if (Playing) {
        if (!Reported("pause cdaudio")) return;
        Playing = 0;
        Paused = 1;
        if (!Reported("status cdaudio position", PausePosition, sizeof PausePosition)) PausePosition[0] = '\0';
    }
}

void StopDisc()
{
    if (Silent("stop cdaudio")) {
        Playing = 0;
        Paused = 0;
    }
    if (CdAudioOpen) {
        Silent("close cdaudio");
        CdAudioOpen = 0;
    }
}

void StepTrack(int forward)
{
    if (!HoldDevice()) return;
    char answer[MCI_ANSWER_SIZE];
    if (!Reported("status cdaudio current track", answer, sizeof answer)) return;
    // Wide enough for a step past the 32-bit limits an odd answer can reach.
    long long track = static_cast<long long>(ParseDecimal(answer)) + (forward ? 1 : -1);
    if (forward) {
        // Next on the last track goes round to the first.
        if (!Reported("status cdaudio number of tracks", answer, sizeof answer)) return;
        if (track > ParseDecimal(answer)) track = 1;
    }
    // Previous on the first track starts it again; no track comes before it.
    if (track < 1) track = 1;
    if (!Reported("stop cdaudio")) return;

    // In tmsf a bare number is the start of that track.
    char number[DECIMAL_TEXT_SIZE];
    FormatDecimal(static_cast<LONG>(track), number);
    char command[MCI_TRACK_ANSWER_SIZE] = "seek cdaudio to ";
    AppendText(command, sizeof command, number);
    if (!Silent(command)) return;
    if (Playing) Reported("play cdaudio");
    // A pause is abandoned: the next Play starts at the chosen track.
    Paused = 0;
}

void UpdateTrackInfo()
{
    HMENU audio = GetSubMenu(TrayMenu, AudioMenuPosition());
    if (audio == NULL) return;

    char track[MCI_TRACK_ANSWER_SIZE];
    char count[MCI_ANSWER_SIZE];
    Silent("status cdaudio current track", track, sizeof track);
    Silent("status cdaudio number of tracks", count, sizeof count);
    char line[kLineSize] = " ";
    AppendText(line, sizeof line, UiText(IDS_TRACK));
    AppendText(line, sizeof line, track);
    AppendText(line, sizeof line, UiText(IDS_FROM));
    AppendText(line, sizeof line, count);
    AppendText(line, sizeof line, "     ");
    ShowTrackLine(audio, 1, IDM_TRACK_LINE, line);

    char command[2 * MCI_TRACK_ANSWER_SIZE] = "status cdaudio length track ";
    AppendText(command, sizeof command, track);
    char length[MCI_TRACK_ANSWER_SIZE];
    Silent(command, length, sizeof length);
    CopyText(line, sizeof line, " ");
    AppendText(line, sizeof line, UiText(IDS_LENGTH));
    AppendMciField(line, sizeof line, length, 0, 2);
    AppendText(line, sizeof line, UiText(IDS_MINUTES));
    AppendMciField(line, sizeof line, length, 3, 2);
    AppendText(line, sizeof line, UiText(IDS_SECONDS));
    ShowTrackLine(audio, 2, IDM_LENGTH_LINE, line);
}
