// A scenario at a machine with CD drives: the program installed, drives and
// discs to put in place, and what the tray and the MCI default drive show.
#ifndef TESTS_DRIVESCENARIO_H
#define TESTS_DRIVESCENARIO_H

#include <mmsystem.h>

#include <string>
#include <vector>

#include "Scenario.h"

#define MCI_CDAUDIO_PATH "HKLM\\System\\CurrentControlSet\\Control\\MediaResources\\mci\\cdaudio"

class DriveScenario : public Scenario {
protected:
    void SetUp() override;

    // CD drives with these letters ("de": D: and E:).
    static void AddDrives(const std::string& letters);

    // "Default Drive" as the four bytes drive, 0, 0, 0; or as exactly `bytes`.
    static void SetDefaultDrive(int drive);
    static void SetDefaultDriveBytes(const std::string& bytes);
    // The value's bytes now; "(none)" when it is missing.
    static std::string DefaultDriveBytes();

    // What the tray icon shows now: its picture's resource and its tooltip.
    static int TrayPicture();
    static std::string TrayTip();
    // Every picture the tray showed, in order (NIM_MODIFY with NIF_ICON).
    static std::vector<int> TrayPictures();

    // The MCI commands sent from the moment `Mark` was taken.
    struct Mark {
        size_t mci = 0;
    };
    static Mark Now();
    static std::vector<std::string> MciSince(const Mark& mark);
};

#endif
