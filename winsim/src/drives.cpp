// CD drives and discs: the trays, the user at the drives, and what the
// system tells about drives (their list, their type, volume information).
#include "cdrom.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

namespace sim {

namespace {

std::string Root(char letter)
{
    return std::string(1, letter) + ":\\";
}

CdDrive& Drive(char letter)
{
    CdDrive* drive = FindCdDrive(letter);
    if (!drive) throw Failure(std::string("there is no CD drive ") + letter + ":");
    return *drive;
}

std::string LittleEndian(DWORD value, int bytes)
{
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>((value >> (8 * i)) & 0xFF);
    return text;
}

// The 44 bytes of the "TrackNN.cda" file CDFS shows for an audio track.
std::string CdaFile(const Disc& disc, size_t index)
{
    DWORD start = TrackStart(disc, index), length = disc.tracks[index].frames;
    auto msf = [](DWORD frames) {
        return std::string{static_cast<char>(frames % 75), static_cast<char>(frames / 75 % 60),
                           static_cast<char>(frames / 4500), '\0'};
    };
    return "RIFF" + LittleEndian(36, 4) + "CDDAfmt " + LittleEndian(24, 4) + LittleEndian(1, 2) +
           LittleEndian(static_cast<DWORD>(index + 1), 2) + LittleEndian(0x2A5F1C03, 4) +
           LittleEndian(start - kLeadIn, 4) + LittleEndian(length, 4) + msf(start) + msf(length);
}

// A readable disc's files become entries of the file system while it is loaded.
void ShowFiles(const CdDrive& drive)
{
    if (!drive.disc.readable) return;
    for (const auto& file : drive.disc.rootFiles) AddFile(Root(drive.letter) + file.first, file.second);
}

void HideFiles(char letter)
{
    auto& files = W().files;
    std::string prefix = Root(letter);
    for (auto it = files.begin(); it != files.end();)
        it = it->first.compare(0, prefix.size(), prefix) == 0 ? files.erase(it) : std::next(it);
}

// The system's critical-error box for an empty drive. It belongs to the
// system, not to the program: the calling thread waits in its file call, so
// nothing of the program's is dispatched until the user answers.
int NoDiskBox(char letter)
{
    MessageBoxRecord record;
    record.text = std::string("There is no disk in the drive. Please insert a disk into drive ") + letter + ":.";
    record.caption = "Windows - No Disk";
    record.type = MB_CANCELTRYCONTINUE | MB_ICONHAND;
    record.open = true;
    record.shownAt = W().now;
    size_t index = W().messageBoxes.size();
    W().messageBoxes.push_back(record);
    Log("system box: no disk in drive " + std::string(1, letter));
    auto noTimer = [](const Timer&) { return false; };
    while (W().messageBoxes[index].open)
        Idle(std::string("the system's \"No Disk\" box for drive ") + letter + ":", noTimer);
    return W().messageBoxes[index].answer;
}

// Whatever moved, the system tells every program when the drive's media came or went.
void TellMedia(const CdDrive& drive, bool loadedBefore)
{
    if (MediaLoaded(drive) != loadedBefore) MediaBroadcast(drive.letter, MediaLoaded(drive));
}

void Copy(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0) return;
    size_t count = std::min<size_t>(text.size(), size - 1);
    memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

}  // namespace

bool MediaLoaded(const CdDrive& drive)
{
    return drive.hasDisc && !drive.trayOpen;
}

DWORD TrackStart(const Disc& disc, size_t index)
{
    DWORD frame = kLeadIn;
    for (size_t i = 0; i < index && i < disc.tracks.size(); ++i) frame += disc.tracks[i].frames;
    return frame;
}

size_t TrackAt(const Disc& disc, DWORD frame)
{
    size_t index = 0;
    while (index + 1 < disc.tracks.size() && TrackStart(disc, index + 1) <= frame) ++index;
    return index;
}

std::string Tmsf(const Disc& disc, DWORD frame)
{
    size_t track = TrackAt(disc, frame);
    DWORD offset = frame - std::min(frame, TrackStart(disc, track));
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u:%02u", static_cast<unsigned>(track + 1),
                  static_cast<unsigned>(offset / 4500), static_cast<unsigned>(offset / 75 % 60),
                  static_cast<unsigned>(offset % 75));
    return text;
}

DWORD CurrentFrame(CdDrive& drive)
{
    if (drive.play != CdDrive::Play::Playing) return drive.position;
    unsigned long long played = (W().now - drive.playStartedAt) * 1ULL * kFramesPerSecond / 1000;
    if (drive.playFrom + played < drive.playTo) return drive.playFrom + static_cast<DWORD>(played);
    drive.play = CdDrive::Play::Stopped;
    drive.position = drive.playTo;
    return drive.position;
}

void StopPlay(CdDrive& drive)
{
    drive.position = CurrentFrame(drive);
    drive.play = CdDrive::Play::Stopped;
}

void MoveTray(CdDrive& drive, bool open)
{
    if (drive.trayOpen == open) return;
    bool loaded = MediaLoaded(drive);
    StopPlay(drive);
    drive.trayOpen = open;
    ++drive.media;
    Log(std::string("tray of drive ") + drive.letter + (open ? " opens" : " closes"));
    if (open) {
        HideFiles(drive.letter);
    } else if (drive.hasDisc) {
        drive.position = kLeadIn;
        ShowFiles(drive);
    }
    TellMedia(drive, loaded);
}

CdDrive* FindCdDrive(char letter)
{
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (CdDrive& drive : W().cdDrives)
        if (drive.letter == letter) return &drive;
    return NULL;
}

bool RootListable(char letter)
{
    if (std::toupper(static_cast<unsigned char>(letter)) == 'C') return true;
    const CdDrive* drive = FindCdDrive(letter);
    return drive && MediaLoaded(*drive) && drive->disc.readable;
}

bool CdPathReadable(const std::string& normalized)
{
    CdDrive* drive = normalized.size() >= 2 && normalized[1] == ':' ? FindCdDrive(normalized[0]) : NULL;
    if (!drive) return true;
    while (!MediaLoaded(*drive)) {
        bool ask = !(W().errorMode & SEM_FAILCRITICALERRORS);
        if (!ask || NoDiskBox(drive->letter) != IDTRYAGAIN) {
            W().lastError = ERROR_NOT_READY;
            return false;
        }
    }
    if (!drive->disc.readable) {
        W().lastError = ERROR_UNRECOGNIZED_VOLUME;
        return false;
    }
    return true;
}

DWORD Frames(int minutes, int seconds, int frames)
{
    return static_cast<DWORD>((minutes * 60 + seconds) * 75 + frames);
}

Track AudioTrack(DWORD frames)
{
    return Track{frames, true};
}

Track DataTrack(DWORD frames)
{
    return Track{frames, false};
}

Disc AudioDisc(const std::vector<DWORD>& trackFrames)
{
    Disc disc;
    disc.label = "Audio CD";
    for (DWORD frames : trackFrames) disc.tracks.push_back(AudioTrack(frames));
    for (size_t i = 0; i < disc.tracks.size(); ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Track%02u.cda", static_cast<unsigned>(i + 1));
        disc.rootFiles[name] = CdaFile(disc, i);
    }
    return disc;
}

Disc DataDisc(const std::string& label, const std::map<std::string, std::string>& rootFiles)
{
    Disc disc;
    disc.label = label;
    disc.tracks.push_back(DataTrack(Frames(10, 0)));
    disc.rootFiles = rootFiles;
    return disc;
}

void AddCdDrive(char letter)
{
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (letter < 'A' || letter > 'Z' || letter == 'C' || FindCdDrive(letter))
        throw Failure(std::string("cannot add CD drive ") + letter + ": (C: is the fixed disk; one drive a letter)");
    CdDrive drive;
    drive.letter = letter;
    auto& drives = W().cdDrives;
    auto at = std::find_if(drives.begin(), drives.end(), [letter](const CdDrive& d) { return d.letter > letter; });
    drives.insert(at, drive);
}

void InsertDisc(char letter, const Disc& disc)
{
    CdDrive& drive = Drive(letter);
    if (drive.hasDisc) TakeOutDisc(letter);
    drive.hasDisc = true;
    drive.disc = disc;
    if (drive.trayOpen) return;
    // Put into a closed drive (a slot loader): it is loaded at once.
    ++drive.media;
    drive.position = kLeadIn;
    ShowFiles(drive);
    TellMedia(drive, false);
}

void TakeOutDisc(char letter)
{
    CdDrive& drive = Drive(letter);
    if (!drive.hasDisc) return;
    bool loaded = MediaLoaded(drive);
    StopPlay(drive);
    HideFiles(drive.letter);
    drive.hasDisc = false;
    drive.disc = Disc();
    ++drive.media;
    TellMedia(drive, loaded);
}

void PressDriveButton(char letter)
{
    CdDrive& drive = Drive(letter);
    MoveTray(drive, !drive.trayOpen);
}

void PushTrayIn(char letter)
{
    MoveTray(Drive(letter), false);
}

bool TrayOpen(char letter)
{
    return Drive(letter).trayOpen;
}

void SetDoorTime(char letter, DWORD milliseconds)
{
    Drive(letter).doorTime = milliseconds;
}

std::string DrivePlayState(char letter)
{
    CdDrive& drive = Drive(letter);
    CurrentFrame(drive);
    switch (drive.play) {
    case CdDrive::Play::Playing: return "playing";
    case CdDrive::Play::Paused: return "paused";
    default: return "stopped";
    }
}

std::string DrivePosition(char letter)
{
    CdDrive& drive = Drive(letter);
    if (!MediaLoaded(drive) || drive.disc.tracks.empty()) return "";
    return Tmsf(drive.disc, CurrentFrame(drive));
}

}  // namespace sim

using namespace sim;

DWORD WINAPI GetLogicalDriveStringsA(DWORD bufferLength, LPSTR buffer)
{
    std::string roots;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        if (letter == 'C' || FindCdDrive(letter)) roots += Root(letter) + '\0';
    DWORD needed = static_cast<DWORD>(roots.size() + 1);
    // Too small a buffer is left alone; the answer is the size it needs.
    if (!buffer || bufferLength < needed) return needed;
    memcpy(buffer, roots.data(), roots.size());
    buffer[roots.size()] = '\0';
    return needed - 1;
}

UINT WINAPI GetDriveTypeA(LPCSTR rootPath)
{
    std::string root = rootPath ? rootPath : W().currentDirectory.substr(0, 3);
    if (root.size() != 3 || root[1] != ':' || root[2] != '\\') return DRIVE_NO_ROOT_DIR;
    if (std::toupper(static_cast<unsigned char>(root[0])) == 'C') return DRIVE_FIXED;
    return FindCdDrive(root[0]) ? DRIVE_CDROM : DRIVE_NO_ROOT_DIR;
}

BOOL WINAPI GetVolumeInformationA(LPCSTR rootPath, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serialNumber,
                                  LPDWORD maxComponentLength, LPDWORD fileSystemFlags, LPSTR fileSystemName,
                                  DWORD fileSystemNameSize)
{
    std::string root = rootPath ? rootPath : W().currentDirectory.substr(0, 3);
    Log("GetVolumeInformationA " + root);
    if (Faulted("GetVolumeInformationA", root)) return FALSE;
    // Only a root with its backslash names a volume.
    if (root.size() != 3 || root[1] != ':' || root[2] != '\\') {
        W().lastError = ERROR_INVALID_NAME;
        return FALSE;
    }
    std::string label, fileSystem = "NTFS";
    DWORD serial = 0x5A3C19E4, longestName = 255;
    if (std::toupper(static_cast<unsigned char>(root[0])) != 'C') {
        CdDrive* drive = FindCdDrive(root[0]);
        if (!drive) {
            W().lastError = ERROR_PATH_NOT_FOUND;
            return FALSE;
        }
        if (!CdPathReadable(NormalizePath(root))) return FALSE;
        label = drive->disc.label;
        fileSystem = "CDFS";
        serial = 0x2A5F1C03 + static_cast<DWORD>(drive->media);
        longestName = 110;
    }
    Copy(label, volumeName, volumeNameSize);
    Copy(fileSystem, fileSystemName, fileSystemNameSize);
    if (serialNumber) *serialNumber = serial;
    if (maxComponentLength) *maxComponentLength = longestName;
    if (fileSystemFlags) *fileSystemFlags = fileSystem == "CDFS" ? 0x00080004 : 0x000700FF;
    return TRUE;
}
