/*
 * vcdmci.dll: an MCI driver for the `cdaudio` device that stands in for a CD drive under Wine.
 *
 * winmm parses the program's command strings with its own tables and sends this driver the messages
 * (MCI_OPEN_DRIVER, MCI_STATUS, MCI_SET, MCI_PLAY...); the answers follow the conventions of Windows' own
 * CD audio driver, so that winmm turns them into the texts Windows gives ("true", "04:12:33", "03:01:22:45").
 * Each open addresses the drive its element names ("open d: type cdaudio"), or else the drive that "Default
 * Drive" names at that moment. The drive itself is a state file that the `vcd` tool also changes
 * (vcdstate.c); every message re-reads it, so the tray, the disc and the playing position are the same for
 * every process and for the shell. Each message is logged on the drive as one command line rebuilt from the
 * message and its flags.
 */
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "vcdmci.h"

#define MAX_DEVICES 64

static Device Devices[MAX_DEVICES];

static Device* FindDevice(UINT id)
{
    for (int i = 0; i < MAX_DEVICES; i++)
        if (Devices[i].id == id && id != 0) return &Devices[i];
    return NULL;
}

/* ---- the drive this device addresses ------------------------------------------------------------ */

/* The CD drive that byte 0 of "Default Drive" names: an index into the CD drives in the system's order. */
static char DefaultDriveLetter(void)
{
    int index = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\MediaResources\\mci\\cdaudio", 0,
                      KEY_READ, &key) == 0) {
        BYTE value[200];
        DWORD size = sizeof(value);
        if (RegQueryValueExA(key, "Default Drive", NULL, NULL, value, &size) == 0 && size > 0) index = value[0];
        RegCloseKey(key);
    }
    char roots[105], letters[26];
    int count = 0;
    DWORD length = GetLogicalDriveStringsA(sizeof(roots), roots);
    for (const char* root = roots; length && length < sizeof(roots) && *root; root += strlen(root) + 1)
        if (GetDriveTypeA(root) == DRIVE_CDROM && count < 26) letters[count++] = root[0];
    if (count == 0) return 0;
    return letters[index < count ? index : 0];
}

/* ---- messages ------------------------------------------------------------------------------------ */

/* Appends " wait" and " notify" as the string had them. */
void AddWaitNotify(char* line, int size, DWORD flags)
{
    int length = (int)strlen(line);
    if (flags & MCI_NOTIFY) length += snprintf(line + length, size - length, " notify");
    if (flags & MCI_WAIT) snprintf(line + length, size - length, " wait");
}

static void Narrow(const WCHAR* text, char* out, int size)
{
    WideCharToMultiByte(CP_ACP, 0, text ? text : L"", -1, out, size, NULL, NULL);
    out[size - 1] = 0;
}

static DWORD Open(Device* device, DWORD flags, MCI_OPEN_PARMSW* params)
{
    char type[64] = "", element[MAX_PATH] = "", alias[64] = "", line[300];
    if (!params) return MCIERR_NULL_PARAMETER_BLOCK;
    if ((flags & MCI_OPEN_TYPE) && !(flags & MCI_OPEN_TYPE_ID)) Narrow(params->lpstrDeviceType, type, sizeof(type));
    if ((flags & MCI_OPEN_ELEMENT) && !(flags & MCI_OPEN_ELEMENT_ID))
        Narrow(params->lpstrElementName, element, sizeof(element));
    if (flags & MCI_OPEN_ALIAS) Narrow(params->lpstrAlias, alias, sizeof(alias));
    CharLowerA(type);

    if (element[0]) snprintf(line, sizeof(line), "open %s%s%s", element, type[0] ? " type " : "", type);
    else snprintf(line, sizeof(line), "open %s", type[0] ? type : "cdaudio");
    if (alias[0]) snprintf(line + strlen(line), sizeof(line) - strlen(line), " alias %s", alias);
    if (flags & MCI_OPEN_SHAREABLE) snprintf(line + strlen(line), sizeof(line) - strlen(line), " shareable");
    AddWaitNotify(line, sizeof(line), flags);

    /* An element names the drive: since Windows 2000 only its first letter counts ("open d: type cdaudio",
       which winmm hands over in lower case). One that is not a CD drive's is not a file this device plays. */
    char letter = DefaultDriveLetter();
    if (element[0]) {
        char root[] = "?:\\";
        root[0] = letter = (char)toupper((unsigned char)element[0]);
        if (!isalpha((unsigned char)letter) || GetDriveTypeA(root) != DRIVE_CDROM) return MCIERR_INVALID_FILE;
    }
    if (!letter) return MCIERR_CANNOT_LOAD_DRIVER;
    VcdLog(letter, line);

    int shareable = (flags & MCI_OPEN_SHAREABLE) != 0;
    for (int i = 0; i < MAX_DEVICES; i++) {
        const Device* other = &Devices[i];
        if (other != device && other->opened && other->letter == letter && !(other->shareable && shareable))
            return MCIERR_MUST_USE_SHAREABLE;
    }
    device->opened = 1;
    device->shareable = shareable;
    device->letter = letter;
    device->timeFormat = MCI_FORMAT_MSF;
    lstrcpynA(device->name, alias[0] ? alias : type[0] ? type : element, sizeof(device->name));
    return 0;
}

static const char* StatusItemName(DWORD item)
{
    switch (item) {
    case MCI_STATUS_LENGTH: return "length";
    case MCI_STATUS_POSITION: return "position";
    case MCI_STATUS_NUMBER_OF_TRACKS: return "number of tracks";
    case MCI_STATUS_MODE: return "mode";
    case MCI_STATUS_MEDIA_PRESENT: return "media present";
    case MCI_STATUS_TIME_FORMAT: return "time format";
    case MCI_STATUS_READY: return "ready";
    case MCI_STATUS_CURRENT_TRACK: return "current track";
    default: return NULL;
    }
}

static DWORD Status(Device* device, DWORD flags, MCI_STATUS_PARMS* params)
{
    char line[200];
    if (!params) return MCIERR_NULL_PARAMETER_BLOCK;
    const char* item = (flags & MCI_STATUS_ITEM) ? StatusItemName(params->dwItem) : NULL;
    int length = snprintf(line, sizeof(line), "status %s", device->name);
    if (item) length += snprintf(line + length, sizeof(line) - length, " %s", item);
    else if (flags & MCI_STATUS_ITEM) length += snprintf(line + length, sizeof(line) - length, " item 0x%lx", params->dwItem);
    if (flags & MCI_TRACK) length += snprintf(line + length, sizeof(line) - length, " track %lu", params->dwTrack);
    if (flags & MCI_STATUS_START) length += snprintf(line + length, sizeof(line) - length, " start");
    AddWaitNotify(line, sizeof(line), flags);
    VcdLog(device->letter, line);
    if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;

    VcdState state;
    if (!VcdRead(device->letter, &state)) return MCIERR_DRIVER_INTERNAL;
    VcdSettle(&state);
    DWORD result = 0, error;
    switch (params->dwItem) {
    case MCI_STATUS_MEDIA_PRESENT:
    case MCI_STATUS_READY: {
        int present = MediaPresent(&state);
        params->dwReturn = MAKEMCIRESOURCE(present, present ? MCI_TRUE : MCI_FALSE);
        return MCI_RESOURCE_RETURNED;
    }
    case MCI_STATUS_MODE: {
        WORD mode = !MediaPresent(&state) ? MCI_MODE_OPEN
                    : state.mode == MODE_PLAYING ? MCI_MODE_PLAY
                    : state.mode == MODE_PAUSED  ? MCI_MODE_PAUSE
                                                 : MCI_MODE_STOP;
        params->dwReturn = MAKEMCIRESOURCE(mode, mode);
        return MCI_RESOURCE_RETURNED;
    }
    case MCI_STATUS_TIME_FORMAT:
        params->dwReturn = MAKEMCIRESOURCE(device->timeFormat, MCI_FORMAT_RETURN_BASE + device->timeFormat);
        return MCI_RESOURCE_RETURNED;
    case MCI_STATUS_NUMBER_OF_TRACKS:
        if ((error = NeedTracks(&state))) return error;
        params->dwReturn = state.trackCount;
        return 0;
    case MCI_STATUS_CURRENT_TRACK:
        if ((error = NeedTracks(&state))) return error;
        params->dwReturn = VcdTrackOf(&state, state.position);
        return 0;
    case MCI_STATUS_LENGTH: {
        if ((error = NeedTracks(&state))) return error;
        DWORD frames;
        if (flags & MCI_TRACK) {
            if (params->dwTrack < 1 || params->dwTrack > (DWORD)state.trackCount) return MCIERR_OUTOFRANGE;
            frames = state.trackFrames[params->dwTrack - 1];
            /* Windows gives the last track, and so the disc, one frame less. */
            if (params->dwTrack == (DWORD)state.trackCount) frames--;
        } else {
            frames = VcdLeadOut(&state) - VCD_FIRST_FRAME - 1;
        }
        /* A length has no track: in tmsf it comes as msf. */
        DWORD format = device->timeFormat == MCI_FORMAT_TMSF ? MCI_FORMAT_MSF : device->timeFormat;
        params->dwReturn = FrameToTime(&state, format, frames, &result);
        return result;
    }
    case MCI_STATUS_POSITION: {
        if ((error = NeedTracks(&state))) return error;
        DWORD frame = state.position;
        if ((flags & (MCI_STATUS_START | MCI_TRACK)) == (MCI_STATUS_START | MCI_TRACK)) return MCIERR_FLAGS_NOT_COMPATIBLE;
        if (flags & MCI_STATUS_START) frame = VCD_FIRST_FRAME;
        if (flags & MCI_TRACK) {
            if (params->dwTrack < 1 || params->dwTrack > (DWORD)state.trackCount) return MCIERR_OUTOFRANGE;
            frame = VcdTrackStart(&state, params->dwTrack);
        }
        params->dwReturn = FrameToTime(&state, device->timeFormat, frame, &result);
        return result;
    }
    default:
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

static DWORD Close(Device* device, DWORD flags)
{
    char line[100];
    snprintf(line, sizeof(line), "close %s", device->name);
    AddWaitNotify(line, sizeof(line), flags);
    VcdLog(device->letter, line);
    device->opened = 0;
    return 0;
}

static LRESULT DriverOpen(MCI_OPEN_DRIVER_PARMS* params)
{
    if (!params) return 0xFFFFFFFF;
    for (int i = 0; i < MAX_DEVICES; i++) {
        if (Devices[i].id == 0) {
            memset(&Devices[i], 0, sizeof(Devices[i]));
            Devices[i].id = params->wDeviceID;
            params->wCustomCommandTable = MCI_NO_COMMAND_TABLE;
            params->wType = MCI_DEVTYPE_CD_AUDIO;
            return params->wDeviceID;
        }
    }
    return 0;
}

__declspec(dllexport) LRESULT CALLBACK DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM param1,
                                                  LPARAM param2)
{
    (void)driver;
    switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
        return 1;
    case DRV_OPEN:
        return DriverOpen((MCI_OPEN_DRIVER_PARMS*)param2);
    case DRV_CLOSE: {
        Device* device = FindDevice((UINT)id);
        if (device) device->id = 0;
        return 1;
    }
    case DRV_QUERYCONFIGURE:
        return 0;
    case DRV_INSTALL:
    case DRV_REMOVE:
        return DRVCNF_RESTART;
    }
    if (message < DRV_MCI_FIRST) return DefDriverProc(id, driver, message, param1, param2);

    Device* device = FindDevice((UINT)id);
    if (!device) return MCIERR_INVALID_DEVICE_ID;
    DWORD flags = (DWORD)param1;
    if (message == MCI_OPEN_DRIVER) return Open(device, flags, (MCI_OPEN_PARMSW*)param2);
    if (!device->opened) return MCIERR_INVALID_DEVICE_ID;
    switch (message) {
    case MCI_CLOSE_DRIVER: return Close(device, flags);
    case MCI_STATUS: return Status(device, flags, (MCI_STATUS_PARMS*)param2);
    case MCI_SET: return Set(device, flags, (MCI_SET_PARMS*)param2);
    case MCI_PLAY:
    case MCI_PAUSE:
    case MCI_RESUME:
    case MCI_STOP:
    case MCI_SEEK: return TransportMessage(device, message, flags, (void*)param2);
    default: {
        char line[100];
        snprintf(line, sizeof(line), "message 0x%x %s flags 0x%lx", message, device->name, flags);
        VcdLog(device->letter, line);
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
    }
}
