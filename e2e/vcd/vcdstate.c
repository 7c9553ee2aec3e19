/*
 * The drive's state file, <folder>\<letter>.state, one "name=value" a line:
 *
 *   door=closed|open|opening|closing   the tray (opening/closing while a door command waits for it)
 *   disc=none|audio|data               what lies in the tray
 *   label=TEXT                         the disc's volume label
 *   tracks=N N ...                     each track's length in frames (75 a second)
 *   mode=stopped|playing|paused
 *   position=N                         absolute frame; while playing, the frame at the time `since`
 *   since=N                            Unix time in ms when playing started from `position`
 *   end=N                              absolute frame where playing stops
 *   delay=N                            ms the tray takes to move
 *
 * Two sides change it at any time: this driver inside the program, and the `vcd` tool in another shell. A
 * reader needs no lock: every writer writes a temporary file and renames it over the state file, so a reader
 * sees the old file or the new one, whole. A read-modify-write takes the drive's lock first: the directory
 * <folder>\<letter>.lock, which exists only while someone holds it (making a directory is atomic on both
 * sides). A holder keeps it for a few milliseconds, never while a door moves; a lock older than 10 s was left
 * by a process that died and is broken. The disc's root folder is moved in or out under the same lock.
 */
#include "vcdstate.h"

#include <ctype.h>
#include <dbt.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* const DoorNames[] = {"closed", "open", "opening", "closing"};
static const char* const DiscNames[] = {"none", "audio", "data"};
static const char* const ModeNames[] = {"stopped", "playing", "paused"};

int VcdFolder(char* folder, int size)
{
    static char cached[MAX_PATH];
    if (!cached[0]) {
        HKEY key;
        /* Our own key, read in the 64-bit view from both builds of the driver. */
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Dorvane-vcd", 0, KEY_READ | KEY_WOW64_64KEY, &key) != 0)
            return 0;
        DWORD type, length = sizeof(cached) - 1;
        LONG result = RegQueryValueExA(key, "Folder", NULL, &type, (BYTE*)cached, &length);
        RegCloseKey(key);
        if (result != 0 || type != REG_SZ) {
            cached[0] = 0;
            return 0;
        }
        cached[length] = 0;
    }
    lstrcpynA(folder, cached, size);
    return folder[0] != 0;
}

/* <folder>\<letter><suffix> */
static int DrivePath(char letter, const char* suffix, char* path, int size)
{
    char folder[MAX_PATH];
    if (!VcdFolder(folder, sizeof(folder))) return 0;
    /* The shell side names the files in lower case; the file system here ignores case, Unix does not. */
    char lower = (char)(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
    return snprintf(path, size, "%s\\%c%s", folder, lower, suffix) < size;
}

static int FindName(const char* const* names, int count, const char* value)
{
    for (int i = 0; i < count; i++)
        if (strcmp(names[i], value) == 0) return i;
    return 0;
}

static void ParseLine(VcdState* state, char* line)
{
    char* value = strchr(line, '=');
    if (!value) return;
    *value++ = 0;
    if (strcmp(line, "door") == 0) state->door = FindName(DoorNames, 4, value);
    else if (strcmp(line, "disc") == 0) state->disc = FindName(DiscNames, 3, value);
    else if (strcmp(line, "label") == 0) lstrcpynA(state->label, value, sizeof(state->label));
    else if (strcmp(line, "mode") == 0) state->mode = FindName(ModeNames, 3, value);
    else if (strcmp(line, "position") == 0) state->position = strtoul(value, NULL, 10);
    else if (strcmp(line, "since") == 0) state->since = strtoull(value, NULL, 10);
    else if (strcmp(line, "end") == 0) state->end = strtoul(value, NULL, 10);
    else if (strcmp(line, "delay") == 0) state->delayMs = strtoul(value, NULL, 10);
    else if (strcmp(line, "tracks") == 0) {
        char* next = value;
        state->trackCount = 0;
        while (state->trackCount < VCD_MAX_TRACKS) {
            char* after;
            DWORD frames = strtoul(next, &after, 10);
            if (after == next) break;
            state->trackFrames[state->trackCount++] = frames;
            next = after;
        }
    }
}

int VcdRead(char letter, VcdState* state)
{
    memset(state, 0, sizeof(*state));
    state->position = VCD_FIRST_FRAME;
    char path[MAX_PATH];
    if (!DrivePath(letter, ".state", path, sizeof(path))) return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    char text[4096];
    DWORD length = 0;
    BOOL read = ReadFile(file, text, sizeof(text) - 1, &length, NULL);
    CloseHandle(file);
    if (!read) return 0;
    text[length] = 0;
    for (char* line = strtok(text, "\r\n"); line; line = strtok(NULL, "\r\n")) ParseLine(state, line);
    return 1;
}

static void Write(char letter, const VcdState* state)
{
    char path[MAX_PATH], temp[MAX_PATH], text[4096];
    if (!DrivePath(letter, ".state", path, sizeof(path))) return;
    snprintf(temp, sizeof(temp), "%s.%lu.tmp", path, GetCurrentProcessId());
    int length = snprintf(text, sizeof(text), "door=%s\ndisc=%s\nlabel=%s\ntracks=", DoorNames[state->door],
                          DiscNames[state->disc], state->label);
    for (int i = 0; i < state->trackCount; i++)
        length += snprintf(text + length, sizeof(text) - length, "%s%lu", i ? " " : "", state->trackFrames[i]);
    length += snprintf(text + length, sizeof(text) - length,
                       "\nmode=%s\nposition=%lu\nsince=%llu\nend=%lu\ndelay=%lu\n",
                       ModeNames[state->mode], state->position, state->since, state->end, state->delayMs);
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written;
    BOOL ok = WriteFile(file, text, length, &written, NULL) && written == (DWORD)length;
    CloseHandle(file);
    if (!ok || !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING)) DeleteFileA(temp);
}

/* A lock directory whose last change is older than this was left behind by a process that died. */
static int IsStale(const char* lock)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(lock, GetFileExInfoStandard, &data)) return 0;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER a = {{now.dwLowDateTime, now.dwHighDateTime}};
    ULARGE_INTEGER b = {{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime}};
    return a.QuadPart > b.QuadPart && a.QuadPart - b.QuadPart > 10ull * 10000000ull;
}

int VcdLock(char letter)
{
    char lock[MAX_PATH];
    if (!DrivePath(letter, ".lock", lock, sizeof(lock))) return 0;
    for (int tries = 0; tries < 1000; tries++) {
        if (CreateDirectoryA(lock, NULL)) return 1;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return 0;
        if (IsStale(lock)) RemoveDirectoryA(lock);
        Sleep(10);
    }
    return 0;
}

void VcdUnlock(char letter, const VcdState* state)
{
    char lock[MAX_PATH];
    if (state) Write(letter, state);
    if (DrivePath(letter, ".lock", lock, sizeof(lock))) RemoveDirectoryA(lock);
}

int VcdSyncRoot(char letter, const VcdState* state)
{
    char inPlace[MAX_PATH], aside[MAX_PATH];
    if (!DrivePath(letter, ".root", inPlace, sizeof(inPlace)) || !DrivePath(letter, ".disc", aside, sizeof(aside)))
        return 0;
    int readable = state->disc != DISC_NONE && state->door == DOOR_CLOSED;
    DWORD attributes = GetFileAttributesA(inPlace);
    int present = attributes != INVALID_FILE_ATTRIBUTES;
    if (readable && !present) return MoveFileExA(aside, inPlace, 0) ? 1 : 0;
    if (!readable && present) return MoveFileExA(inPlace, aside, 0) ? -1 : 0;
    return 0;
}

void VcdTellMedia(char letter, int arrived)
{
    DEV_BROADCAST_VOLUME volume = {0};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (toupper((unsigned char)letter) - 'A');
    volume.dbcv_flags = DBTF_MEDIA;
    BroadcastSystemMessageW(BSF_FORCEIFHUNG | BSF_QUERY, NULL, WM_DEVICECHANGE,
                            arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, (LPARAM)&volume);
}

void VcdLog(char letter, const char* line)
{
    char path[MAX_PATH];
    if (!DrivePath(letter, ".log", path, sizeof(path))) return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    char text[300];
    int length = snprintf(text, sizeof(text), "%s\n", line);
    DWORD written;
    WriteFile(file, text, length, &written, NULL);
    CloseHandle(file);
}

unsigned long long VcdNowMs(void)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER value = {{now.dwLowDateTime, now.dwHighDateTime}};
    /* 100 ns units since 1601 to ms since 1970, the clock the shell side reads. */
    return (value.QuadPart - 116444736000000000ull) / 10000ull;
}

DWORD VcdTrackStart(const VcdState* state, int track)
{
    DWORD frame = VCD_FIRST_FRAME;
    for (int i = 1; i < track && i <= state->trackCount; i++) frame += state->trackFrames[i - 1];
    return frame;
}

DWORD VcdLeadOut(const VcdState* state)
{
    return VcdTrackStart(state, state->trackCount + 1);
}

int VcdTrackOf(const VcdState* state, DWORD frame)
{
    int track = 1;
    while (track < state->trackCount && VcdTrackStart(state, track + 1) <= frame) track++;
    return track;
}

void VcdSettle(VcdState* state)
{
    if (state->mode != MODE_PLAYING) return;
    unsigned long long now = VcdNowMs();
    unsigned long long elapsed = now > state->since ? now - state->since : 0;
    unsigned long long frame = state->position + elapsed * VCD_FRAMES_PER_SECOND / 1000;
    if (frame >= state->end) {
        /* Playing has run to its end: the drive stops there. */
        state->position = state->end;
        state->mode = MODE_STOPPED;
    } else {
        state->position = (DWORD)frame;
    }
    state->since = now;
}
