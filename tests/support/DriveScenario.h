// A scenario at a machine with CD drives: the program installed, drives and
// discs to put in place, and what the tray and the MCI default drive show.
#ifndef TESTS_DRIVESCENARIO_H
#define TESTS_DRIVESCENARIO_H

#include <mmsystem.h>

#include <deque>
#include <string>
#include <vector>

#include "Scenario.h"

#define MCI_CDAUDIO_PATH "HKLM\\System\\CurrentControlSet\\Control\\MediaResources\\mci\\cdaudio"

class DriveScenario : public Scenario {
protected:
    void NewMachine() override;

    // CD drives with these letters ("de": D: and E:).
    static void AddDrives(const std::string& letters);

    // "Default Drive" as the four bytes drive, 0, 0, 0; or as exactly `bytes`.
    static void SetDefaultDrive(int drive);
    static void SetDefaultDriveBytes(const std::string& bytes);
    // The value's bytes now; "(none)" when it is missing.
    static std::string DefaultDriveBytes();

    // Every picture the tray showed, in order (NIM_MODIFY with NIF_ICON).
    static std::vector<int> TrayPictures();
    // The disc status tick is set on the main window now.
    static bool Ticking();

    // Where the MCI log stood at a step (MarkNow).
    struct Mark {
        size_t mci = 0;
    };

    // Who owns a window, as the user would tell: "none", "main" (the hidden main window) or the
    // owning dialog ("Options", "About", "prompt", "change", "countdown").
    static std::string OwnerOf(HWND window);
    // The owner of every message box so far, in order.
    static std::vector<std::string> BoxOwners();
    // Texts joined with blanks.
    static std::string Joined(const std::vector<std::string>& texts);

    // The letters of the added drives whose trays are open now ("" for none).
    static std::string OpenTrays();
    // How often exactly `command` has been sent to MCI.
    static int Sent(const std::string& command);

    // What the user sees at one step of the script, filled in when the step runs.
    struct Seen {
        std::string open;                 // OpenTrays()
        std::string tip;                  // the tray icon's, and its picture's resource
        int picture = 0;
        std::vector<std::string> mci;     // the MCI commands sent since the mark given, when one was
        std::vector<std::string> boxes;   // every message box so far
        std::vector<int> dialogs;         // the program's dialogs on screen, main window aside
        std::vector<std::string> owners;  // and their owners (OwnerOf)
        std::string countdown;            // the seconds the countdown shows, "-" without one
        std::vector<std::string> devices; // the MCI devices the program holds open
        bool ticking = false;             // Ticking()
    };
    // A step that looks; the record stays valid for the test's life.
    const Seen& Look(const Mark* since = NULL);
    // A step that notes the MCI mark, for a later Look.
    const Mark& MarkNow();

    // The tray as the shell holds it at one step of the script, and the main
    // window's large icon.
    struct TrayView {
        size_t icons = 0;
        int picture = 0;
        int size = 0;
        std::string tip;
        bool answers = false;     // icon 151 sends WM_TRAYNOTIFY to the main window
        int windowIcon = 0;       // the main window's large icon: its resource
        int windowIconSize = 0;   // and size, 0 when destroyed
    };
    void LookAtTray(TrayView* tray);

private:
    std::deque<Seen> seen_;
    std::deque<Mark> marks_;
};

#endif
