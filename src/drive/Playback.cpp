#include "drive/Playback.h"

LONG CdAudioOpen;
LONG Playing;
LONG Paused;

// Not built yet: nothing plays.
void PlayDisc() {}
void PauseResume() {}
void StopDisc() {}
void StepTrack(int) {}
