// Audio CD playback from the tray menu.
#ifndef DORVANE_PLAYBACK_H
#define DORVANE_PLAYBACK_H

#include <windows.h>

extern LONG CdAudioOpen;   // the program holds the cdaudio device open
extern LONG Playing;       // started or resumed by the program, not stopped since
extern LONG Paused;        // paused by the program
extern char PausePosition[20];   // tmsf position saved by the last pause, "" when none

// Opens the playback device with `openCommand` and sets it to tmsf, the
// format every position the program sends is in; `report` shows a failure.
// Sets CdAudioOpen to whether the device is now held.
int HoldPlaybackDevice(const char* openCommand, int report);

void PlayDisc();
void PauseResume();
void StopDisc();
void StepTrack(int forward);

// The two track lines of the audio pop-up, refreshed by the poller during
// playback while the menu is open.
void UpdateTrackInfo();

#endif
