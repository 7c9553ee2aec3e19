// Audio CD playback from the tray menu.
#ifndef DORVANE_PLAYBACK_H
#define DORVANE_PLAYBACK_H

#include <windows.h>

extern LONG CdAudioOpen;   // the program holds the cdaudio device open
extern LONG Playing;
extern LONG Paused;

void PlayDisc();
void PauseResume();
void StopDisc();
void StepTrack(int forward);

#endif
