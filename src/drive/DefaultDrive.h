// The system's MCI default CD drive: the drive the cdaudio device addresses.
#ifndef DORVANE_DEFAULTDRIVE_H
#define DORVANE_DEFAULTDRIVE_H

#include <windows.h>

#include "settings/Settings.h"

// Under HKEY_LOCAL_MACHINE. Byte 0 of the value is the index of a CD drive in
// the system's order; the other three bytes are 0.
#define MCI_CDAUDIO_KEY "System\\CurrentControlSet\\Control\\MediaResources\\mci\\cdaudio"
#define DEFAULT_DRIVE_VALUE "Default Drive"

// The value exactly as stored, so that it can be put back byte for byte.
struct DefaultDriveValue {
    BYTE bytes[REG_TEXT_SIZE];
    DWORD size;
    DWORD type;
};

// Reads "Default Drive" from the open key; an empty value names drive 0. 0
// when it is missing, unreadable or longer than the buffer; only then is
// `value` left undefined. `missing`, when given, tells the first case apart.
int QueryDefaultDrive(HKEY key, DefaultDriveValue* value, int* missing = NULL);

// Writes "Default Drive" as the four bytes drive, 0, 0, 0 (REG_BINARY).
// `status`, when given, receives the result of the write.
int SetDefaultDrive(HKEY key, BYTE drive, LSTATUS* status = NULL);

// Writes back a value read by QueryDefaultDrive, type and bytes unchanged.
int RestoreDefaultDrive(HKEY key, const DefaultDriveValue* value);

#endif
