/* The state of one virtual CD drive, kept in a small text file that the `vcd` tool and the MCI driver share.
 * See vcdstate.c for the file's form and the lock both sides honour. */
#ifndef VCDSTATE_H
#define VCDSTATE_H

#include <windows.h>

#define VCD_MAX_TRACKS 99
#define VCD_FRAMES_PER_SECOND 75
/* A disc's first track starts two seconds in, as on a pressed CD. */
#define VCD_FIRST_FRAME 150

enum { DOOR_CLOSED, DOOR_OPEN, DOOR_OPENING, DOOR_CLOSING };
enum { DISC_NONE, DISC_AUDIO, DISC_DATA };
enum { MODE_STOPPED, MODE_PLAYING, MODE_PAUSED };

typedef struct {
    int door;
    int disc;
    char label[64];
    int trackCount;
    DWORD trackFrames[VCD_MAX_TRACKS]; /* each track's length in frames */
    int mode;
    DWORD position;          /* absolute frame; while playing, the frame at `since` */
    unsigned long long since; /* Unix time in ms when playing started from `position` */
    DWORD end;               /* absolute frame where playing stops */
    DWORD delayMs;           /* how long the tray takes to move */
} VcdState;

/* The folder that holds the drives' files (Z:\...\vcd), from HKLM\Software\Dorvane-vcd "Folder"; 0 if unset. */
int VcdFolder(char* folder, int size);

/* Reads the drive's state into `state` (a drive without a file reads as closed and empty); 0 on failure. */
int VcdRead(char letter, VcdState* state);

/* The lock around a read-modify-write of the state file; VcdUnlock writes `state` first when it is not null. */
int VcdLock(char letter);
void VcdUnlock(char letter, const VcdState* state);

/* Moves the disc's root folder in or out of the drive's place so that the file system agrees with the tray:
   1 when a disc became readable (it arrived), -1 when it stopped being so (it went), else 0. */
int VcdSyncRoot(char letter, const VcdState* state);

/* Tells every top-level window of the prefix that a disc arrived in the drive (`arrived` 1) or went (0), as
   Windows and Wine's own mount manager do: WM_DEVICECHANGE with DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE
   and a DEV_BROADCAST_VOLUME of the letter with DBTF_MEDIA, sent to each window and waited for. */
void VcdTellMedia(char letter, int arrived);

/* Appends one line to the drive's MCI log. */
void VcdLog(char letter, const char* line);

/* Playing position arithmetic on absolute frames. */
unsigned long long VcdNowMs(void);
DWORD VcdTrackStart(const VcdState* state, int track); /* track count + 1 gives the lead-out */
DWORD VcdLeadOut(const VcdState* state);
int VcdTrackOf(const VcdState* state, DWORD frame);
/* Brings a playing state up to now: the position advances with the wall clock and playing ends at `end`. */
void VcdSettle(VcdState* state);

#endif
