// What the reliability checks share: the machine each run starts on, a user
// who does what the screen offers at each moment, and what every run of the
// program must keep to.
#ifndef TESTS_RELIABILITY_H
#define TESTS_RELIABILITY_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "DriveScenario.h"

namespace reliability {

extern const char kPlayer[];
extern const char kStartup[];

// The installed program with its help, a start-up folder, a player and the
// CD drives `drives`; `bare`, for many short runs, keeps the resources already
// read and puts in the drives alone.
struct Machine : DriveScenario {
    void TestBody() override {}
    void Prepare(const std::string& drives, bool bare = false);
    using DriveScenario::DefaultDriveBytes;
    using DriveScenario::SetDefaultDrive;
    using DriveScenario::TestWindow;
};
// Values of the program's settings key, as text.
void Settings(const std::vector<std::pair<const char*, std::string>>& values);

// One thing the user does, done only when the screen offers it (a menu choice
// needs the menu open, a button a dialog that has it) and skipped otherwise.
// Tidy is one step towards idle: the newest box answered, the file dialog, the menu or the top dialog cancelled.
struct Act {
    enum Kind { Click, RightClick, HotKey, Choose, Dismiss, Answer, Type, Key, Press, File, NoFile,
                DriveButton, PushIn, Insert, TakeOut, SlowDoor, Fail, Wait, Tidy };
    Act(Kind kind = Wait, int value = 0, std::string text = "") : kind(kind), value(value), text(text) {}
    Kind kind;
    int value;         // command, button (0 the first, 1 the last), key, control typed into, drive, ms
    std::string text;  // what is typed, the file chosen, the disc (TestDisc), the door's time, the call that fails
};
std::string Describe(const Act& act);

// 0 an audio CD of three tracks, 1 a data CD with an autorun.inf, 2 a
// one-track disc the file system cannot read.
sim::Disc TestDisc(int kind);

// What the screen shows: the dialog that takes input (the newest shown and
// enabled), an open box, an open file dialog, and the commands of an open
// menu the user can reach (none greyed on the way).
std::optional<sim::DialogView> TopDialog();
bool BoxOpen();
bool FileDialogOpen();
std::vector<UINT> ReachableCommands(const std::vector<sim::MenuItemView>& items);

// The error a call is made to fail with: an MCI error for MCI, else access denied.
DWORD FailureError(const std::string& api);

// Runs the program (`entry`, WinMain when null) with `commandLine` to its end
// while the user plays `next` act by act until it gives false, then comes
// back to idle and ends the program (`answersBoxes` answers every box and
// cancels every dialog first; else Exit is chosen over them). At every wait
// for input no box may pile up on an open one of the same text unless the
// user acted or a call failed in between, no dialog may show twice, and
// `watch` looks too; at the end the program must have ended by itself and
// left no registry key, kernel handle, menu picture, MCI device, icon or tray
// picture (but what a failed release had to leave). Returns the faults found.
using NextAct = std::function<bool(Act* act)>;
using Entry = int(WINAPI*)(HINSTANCE, HINSTANCE, LPSTR, int);
std::vector<std::string> RunWithUser(NextAct next, bool answersBoxes, std::function<void()> watch = nullptr,
                                     const std::string& commandLine = "", Entry entry = nullptr);
std::vector<std::string> RunActs(const std::vector<Act>& acts, bool answersBoxes = true,
                                 const std::string& commandLine = "", Entry entry = nullptr);
// The faults of the run so far; and one more.
const std::vector<std::string>& Faults();
void Fault(const std::string& account);

}  // namespace reliability

#endif
