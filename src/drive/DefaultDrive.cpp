#include "drive/DefaultDrive.h"

#include "settings/Registry.h"

int QueryDefaultDrive(HKEY key, DefaultDriveValue* value, int* missing)
{
    value->size = sizeof value->bytes;
    value->type = REG_NONE;
    LSTATUS status = RegQueryValueExA(key, DEFAULT_DRIVE_VALUE, NULL, &value->type, value->bytes, &value->size);
    if (missing != NULL) *missing = status == ERROR_FILE_NOT_FOUND;
    if (status != ERROR_SUCCESS) return 0;
    // An empty value leaves the cdaudio device on the first drive; it is put
    // back empty.
    if (value->size == 0) value->bytes[0] = 0;
    return value->size <= sizeof value->bytes;
}

int SetDefaultDrive(HKEY key, BYTE drive, LSTATUS* status)
{
    const BYTE bytes[4] = {drive, 0, 0, 0};
    return SetRegValue(key, DEFAULT_DRIVE_VALUE, bytes, REG_BINARY, sizeof bytes, status);
}

int RestoreDefaultDrive(HKEY key, const DefaultDriveValue* value)
{
    return SetRegValue(key, DEFAULT_DRIVE_VALUE, value->bytes, value->type, value->size);
}
