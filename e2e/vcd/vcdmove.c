/* vcdmci.dll: the messages that move the door and the playing position, in the device's time format. */
#include <stdio.h>
#include <string.h>

#include "vcdmci.h"

/* ---- times in the device's format ---------------------------------------------------------------- */

/* A time value as the command string spells it: a bare track number, or colonised fields. */
static void TimeText(DWORD format, DWORD value, char* text, int size)
{
    if (format == MCI_FORMAT_TMSF && (value & 0xFFFFFF00) == 0)
        snprintf(text, size, "%lu", value);
    else if (format == MCI_FORMAT_TMSF)
        snprintf(text, size, "%02u:%02u:%02u:%02u", MCI_TMSF_TRACK(value), MCI_TMSF_MINUTE(value),
                 MCI_TMSF_SECOND(value), MCI_TMSF_FRAME(value));
    else if (format == MCI_FORMAT_MSF)
        snprintf(text, size, "%02u:%02u:%02u", MCI_MSF_MINUTE(value), MCI_MSF_SECOND(value), MCI_MSF_FRAME(value));
    else
        snprintf(text, size, "%lu", value);
}

static const char* FormatName(DWORD format)
{
    switch (format) {
    case MCI_FORMAT_MILLISECONDS: return "milliseconds";
    case MCI_FORMAT_MSF: return "msf";
    case MCI_FORMAT_TMSF: return "tmsf";
    default: return "?";
    }
}

/* An absolute frame as the answer in `format`, with the return flag that tells winmm how to print it. */
DWORD FrameToTime(const VcdState* state, DWORD format, DWORD frame, DWORD* returnFlag)
{
    if (format == MCI_FORMAT_MILLISECONDS) {
        *returnFlag = 0;
        return frame * 1000 / VCD_FRAMES_PER_SECOND + 1;
    }
    if (format == MCI_FORMAT_MSF) {
        *returnFlag = MCI_COLONIZED3_RETURN;
        return MCI_MAKE_MSF(frame / 4500, frame / 75 % 60, frame % 75);
    }
    int track = VcdTrackOf(state, frame);
    DWORD offset = frame - VcdTrackStart(state, track);
    *returnFlag = MCI_COLONIZED4_RETURN;
    return MCI_MAKE_TMSF(track, offset / 4500, offset / 75 % 60, offset % 75);
}

/* A time in `format` as an absolute frame; a track that is not on the disc gives 0 (out of range). */
static DWORD TimeToFrame(const VcdState* state, DWORD format, DWORD time)
{
    if (format == MCI_FORMAT_MILLISECONDS) return ((time - 1) * VCD_FRAMES_PER_SECOND + 500) / 1000;
    if (format == MCI_FORMAT_MSF) return MCI_MSF_MINUTE(time) * 4500 + MCI_MSF_SECOND(time) * 75 + MCI_MSF_FRAME(time);
    int track = MCI_TMSF_TRACK(time);
    if (track < 1 || track > state->trackCount) return 0;
    return VcdTrackStart(state, track) + MCI_TMSF_MINUTE(time) * 4500 + MCI_TMSF_SECOND(time) * 75 +
           MCI_TMSF_FRAME(time);
}

/* ---- the disc ------------------------------------------------------------------------------------ */

int MediaPresent(const VcdState* state)
{
    return state->door == DOOR_CLOSED && state->disc != DISC_NONE;
}

/* Reading the table of contents needs a loaded disc with tracks. */
DWORD NeedTracks(const VcdState* state)
{
    if (!MediaPresent(state)) return MCIERR_DEVICE_NOT_READY;
    return state->trackCount > 0 ? 0 : MCIERR_HARDWARE;
}

/* Playing and seeking land on audio: a data track moves on to the next audio one, the lead-out to the frame
   before it. */
static DWORD SkipDataTracks(const VcdState* state, DWORD* frame)
{
    DWORD leadOut = VcdLeadOut(state);
    if (*frame < VCD_FIRST_FRAME || *frame >= leadOut) return MCIERR_OUTOFRANGE;
    if (state->disc == DISC_DATA) *frame = leadOut;
    if (*frame == leadOut) (*frame)--;
    return 0;
}

static DWORD WINAPI TellMediaThread(LPVOID parameter)
{
    DWORD what = (DWORD)(ULONG_PTR)parameter;
    VcdTellMedia((char)LOWORD(what), HIWORD(what));
    return 0;
}

/* The system tells every program of a disc that came or went, from outside the program's thread: its windows hear
   of it once the thread waits for messages again, after the door command. */
static void TellMedia(char letter, int change)
{
    if (!change) return;
    /* The thread may outlive this instance of the driver, which winmm frees with the alias: the module stays. */
    HMODULE self;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN, (LPCSTR)TellMediaThread,
                       &self);
    HANDLE thread = CreateThread(NULL, 0, TellMediaThread, (LPVOID)(ULONG_PTR)MAKELONG(letter, change > 0), 0, NULL);
    if (thread) CloseHandle(thread);
}

/* Moves the tray: the new state shows at once as opening or closing, the disc becomes unreadable, and the
   call returns once the tray has taken its time. */
static DWORD MoveDoor(char letter, int open)
{
    VcdState state;
    if (!VcdLock(letter)) return MCIERR_DRIVER_INTERNAL;
    if (!VcdRead(letter, &state)) {
        VcdUnlock(letter, NULL);
        return MCIERR_DRIVER_INTERNAL;
    }
    if (state.door == (open ? DOOR_OPEN : DOOR_CLOSED)) {
        VcdUnlock(letter, NULL);
        return 0;
    }
    int moving = open ? DOOR_OPENING : DOOR_CLOSING;
    state.door = moving;
    state.mode = MODE_STOPPED;
    state.position = VCD_FIRST_FRAME;
    int change = VcdSyncRoot(letter, &state);
    VcdUnlock(letter, &state);
    TellMedia(letter, change);

    if (state.delayMs) Sleep(state.delayMs);

    if (!VcdLock(letter)) return MCIERR_DRIVER_INTERNAL;
    if (VcdRead(letter, &state) && state.door == moving) {
        state.door = open ? DOOR_OPEN : DOOR_CLOSED;
        change = VcdSyncRoot(letter, &state);
        VcdUnlock(letter, &state);
        TellMedia(letter, change);
    } else {
        /* Someone moved the tray meanwhile (the drive's button): theirs is the last word. */
        VcdUnlock(letter, NULL);
    }
    return 0;
}

DWORD Set(Device* device, DWORD flags, MCI_SET_PARMS* params)
{
    char line[200];
    int length = snprintf(line, sizeof(line), "set %s", device->name);
    if (flags & MCI_SET_DOOR_OPEN) length += snprintf(line + length, sizeof(line) - length, " door open");
    if (flags & MCI_SET_DOOR_CLOSED) length += snprintf(line + length, sizeof(line) - length, " door closed");
    if ((flags & MCI_SET_TIME_FORMAT) && params)
        length += snprintf(line + length, sizeof(line) - length, " time format %s", FormatName(params->dwTimeFormat));
    if ((flags & MCI_SET_AUDIO) && params)
        length += snprintf(line + length, sizeof(line) - length, " audio %lu %s", params->dwAudio,
                           (flags & MCI_SET_ON) ? "on" : "off");
    AddWaitNotify(line, sizeof(line), flags);
    VcdLog(device->letter, line);

    DWORD error = 0;
    if (flags & MCI_SET_DOOR_OPEN) error = MoveDoor(device->letter, 1);
    if (!error && (flags & MCI_SET_DOOR_CLOSED)) error = MoveDoor(device->letter, 0);
    if (error) return error;
    if (flags & MCI_SET_TIME_FORMAT) {
        if (!params) return MCIERR_NULL_PARAMETER_BLOCK;
        if (params->dwTimeFormat != MCI_FORMAT_MILLISECONDS && params->dwTimeFormat != MCI_FORMAT_MSF &&
            params->dwTimeFormat != MCI_FORMAT_TMSF)
            return MCIERR_BAD_TIME_FORMAT;
        device->timeFormat = params->dwTimeFormat;
    }
    return 0;
}

/* Runs `change` on the drive's state under its lock; `change` gives the MCI result. */
typedef DWORD (*Change)(Device* device, VcdState* state, DWORD flags, void* params);

static DWORD ChangeState(Device* device, Change change, DWORD flags, void* params)
{
    VcdState state;
    if (!VcdLock(device->letter)) return MCIERR_DRIVER_INTERNAL;
    if (!VcdRead(device->letter, &state)) {
        VcdUnlock(device->letter, NULL);
        return MCIERR_DRIVER_INTERNAL;
    }
    VcdSettle(&state);
    DWORD result = change(device, &state, flags, params);
    VcdUnlock(device->letter, result ? NULL : &state);
    return result;
}

static DWORD PlayChange(Device* device, VcdState* state, DWORD flags, void* p)
{
    MCI_PLAY_PARMS* params = p;
    DWORD error = NeedTracks(state);
    if (error) return error;
    if ((flags & (MCI_FROM | MCI_TO)) && !params) return MCIERR_NULL_PARAMETER_BLOCK;
    DWORD from = (flags & MCI_FROM) ? TimeToFrame(state, device->timeFormat, params->dwFrom) : state->position;
    if ((error = SkipDataTracks(state, &from))) return error;
    DWORD to = VcdLeadOut(state) - 1;
    if (flags & MCI_TO) {
        to = TimeToFrame(state, device->timeFormat, params->dwTo);
        if ((error = SkipDataTracks(state, &to))) return error;
    }
    if (to < from) return MCIERR_OUTOFRANGE;
    /* Nothing left to play (the end, or data tracks only): done at once. */
    if (from == to) return 0;
    state->mode = MODE_PLAYING;
    state->position = from;
    state->since = VcdNowMs();
    state->end = to;
    return 0;
}

static DWORD PauseChange(Device* device, VcdState* state, DWORD flags, void* params)
{
    (void)device, (void)flags, (void)params;
    /* The drive refuses audio commands without a disc. */
    if (!MediaPresent(state)) return MCIERR_HARDWARE;
    if (state->mode == MODE_PLAYING) state->mode = MODE_PAUSED;
    return 0;
}

static DWORD ResumeChange(Device* device, VcdState* state, DWORD flags, void* params)
{
    (void)device, (void)flags, (void)params;
    if (!MediaPresent(state)) return MCIERR_HARDWARE;
    if (state->mode == MODE_PAUSED) {
        state->mode = MODE_PLAYING;
        state->since = VcdNowMs();
    }
    return 0;
}

static DWORD StopChange(Device* device, VcdState* state, DWORD flags, void* params)
{
    (void)device, (void)flags, (void)params;
    if (!MediaPresent(state)) return MCIERR_HARDWARE;
    state->mode = MODE_STOPPED;
    return 0;
}

static DWORD SeekChange(Device* device, VcdState* state, DWORD flags, void* p)
{
    MCI_SEEK_PARMS* params = p;
    DWORD target = flags & (MCI_SEEK_TO_START | MCI_SEEK_TO_END | MCI_TO);
    if (!target) return MCIERR_MISSING_PARAMETER;
    if (target & (target - 1)) return MCIERR_FLAGS_NOT_COMPATIBLE;
    /* Seeking stops a play first, whatever comes of the seek. */
    if (MediaPresent(state)) state->mode = MODE_STOPPED;
    DWORD error = NeedTracks(state);
    if (error) return error;
    DWORD frame = target == MCI_SEEK_TO_START ? VCD_FIRST_FRAME
                  : target == MCI_SEEK_TO_END ? VcdLeadOut(state) - 1
                                              : TimeToFrame(state, device->timeFormat, params->dwTo);
    if ((error = SkipDataTracks(state, &frame))) return error;
    state->position = frame;
    return 0;
}

/* Logs "<verb> <name>[ from X][ to Y]" and applies `change`. */
static DWORD Transport(Device* device, const char* verb, Change change, DWORD flags, void* params)
{
    char line[200], time[32];
    int length = snprintf(line, sizeof(line), "%s %s", verb, device->name);
    if (strcmp(verb, "play") == 0 && params) {
        MCI_PLAY_PARMS* play = params;
        if (flags & MCI_FROM) {
            TimeText(device->timeFormat, play->dwFrom, time, sizeof(time));
            length += snprintf(line + length, sizeof(line) - length, " from %s", time);
        }
        if (flags & MCI_TO) {
            TimeText(device->timeFormat, play->dwTo, time, sizeof(time));
            length += snprintf(line + length, sizeof(line) - length, " to %s", time);
        }
    } else if (strcmp(verb, "seek") == 0) {
        if (flags & MCI_SEEK_TO_START) length += snprintf(line + length, sizeof(line) - length, " to start");
        if (flags & MCI_SEEK_TO_END) length += snprintf(line + length, sizeof(line) - length, " to end");
        if ((flags & MCI_TO) && params) {
            TimeText(device->timeFormat, ((MCI_SEEK_PARMS*)params)->dwTo, time, sizeof(time));
            length += snprintf(line + length, sizeof(line) - length, " to %s", time);
        }
    }
    AddWaitNotify(line, sizeof(line), flags);
    VcdLog(device->letter, line);
    return ChangeState(device, change, flags, params);
}

/* The transport messages: play, pause, resume, stop and seek. */
DWORD TransportMessage(Device* device, UINT message, DWORD flags, void* params)
{
    switch (message) {
    case MCI_PLAY: return Transport(device, "play", PlayChange, flags, params);
    case MCI_PAUSE: return Transport(device, "pause", PauseChange, flags, params);
    case MCI_RESUME: return Transport(device, "resume", ResumeChange, flags, params);
    case MCI_STOP: return Transport(device, "stop", StopChange, flags, params);
    default: return Transport(device, "seek", SeekChange, flags, params);
    }
}
