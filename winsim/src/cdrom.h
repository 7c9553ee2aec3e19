// What a CD drive does by itself: its tray, the disc in it and audio
// playback, which goes on in the drive whatever MCI devices come and go.
#ifndef WINSIM_CDROM_H
#define WINSIM_CDROM_H

#include "world.h"

namespace sim {

// The first track starts two seconds into the disc, as on every CD.
const DWORD kLeadIn = 150;
const DWORD kFramesPerSecond = 75;

// The tray is closed on a disc.
bool MediaLoaded(const CdDrive& drive);
// Absolute frame where track `index` (0-based) starts; the track count gives the lead-out.
DWORD TrackStart(const Disc& disc, size_t index);
// 0-based index of the track that holds `frame`.
size_t TrackAt(const Disc& disc, DWORD frame);
// "tt:mm:ss:ff" of `frame`: the track and the time into it.
std::string Tmsf(const Disc& disc, DWORD frame);

// Where the drive is now; a play that has reached its end stops there.
DWORD CurrentFrame(CdDrive& drive);
void StopPlay(CdDrive& drive);
// Opens (ejects) or closes (loads) the tray at once.
void MoveTray(CdDrive& drive, bool open);

}  // namespace sim

#endif
