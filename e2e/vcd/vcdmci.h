/* vcdmci.dll: one opened cdaudio device, and what the messages' two halves share (vcdmci.c opens devices
   and answers status queries, vcdmove.c moves the door and the playing position). */
#ifndef VCDMCI_H
#define VCDMCI_H

#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>

#include "vcdstate.h"

typedef struct {
    UINT id; /* 0: free */
    int opened;
    int shareable;
    char letter;
    char name[64];
    DWORD timeFormat;
} Device;

/* Appends " wait" and " notify" to a rebuilt command line as its flags say. */
void AddWaitNotify(char* line, int size, DWORD flags);

/* Times and the disc. */
DWORD FrameToTime(const VcdState* state, DWORD format, DWORD frame, DWORD* returnFlag);
int MediaPresent(const VcdState* state);
DWORD NeedTracks(const VcdState* state);

/* MCI_SET, and the transport messages MCI_PLAY, MCI_PAUSE, MCI_RESUME, MCI_STOP and MCI_SEEK. */
DWORD Set(Device* device, DWORD flags, MCI_SET_PARMS* params);
DWORD TransportMessage(Device* device, UINT message, DWORD flags, void* params);

#endif
