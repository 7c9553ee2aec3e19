// What the reliability checks share: a user who does what the screen offers
// at each moment, and what every run of the program must keep to.
#ifndef TESTS_RELIABILITY_H
#define TESTS_RELIABILITY_H

#include <windows.h>
#include <winsim/sim.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace reliability {

extern const char kMasterPassword[];

// One thing the user does. It is done only when the screen offers it (a menu
// choice needs the menu open, a click on a button a dialog that has it) and
// skipped otherwise, so a script goes on whatever a failure changed.
struct Act {
    enum Kind {
        Click, RightClick, HotKey, Choose, Dismiss, Answer, Type, Key, Press, File, NoFile,
        DriveButton, PushIn, Insert, TakeOut, SlowDoor, Fail, Wait,
        Tidy   // one step towards idle: answer a box, cancel a dialog, close the menu
    };
    Act(Kind kind = Wait, int value = 0, std::string text = "") : kind(kind), value(value), text(text) {}
    Kind kind;
    int value;            // command, button (0 the first, 1 the last), key, control (typed into), drive, ms
    std::string text;     // what is typed, the file chosen, the disc, the door's time, the call that fails
};
std::string Describe(const Act& act);

// The discs Insert puts in: 0 an audio CD of three tracks, 1 a data CD with an
// autorun.inf, 2 a one-track disc the file system cannot read.
sim::Disc TestDisc(int kind);

// Plays the user while the program runs: `next` gives each act in turn and
// false when the user is done. The user then comes back to idle and ends the
// program: `answersBoxes` answers every box and cancels every dialog first;
// otherwise boxes stay open and Exit is chosen over them. A program that will
// not end is a fault (and is ended from outside).
using NextAct = std::function<bool(Act* act)>;
void PlayUser(NextAct next, bool answersBoxes);
// The acts done so far, as the user did them.
const std::vector<std::string>& ActsDone();

// What the screen shows now: the dialog that takes input (the newest shown
// and enabled), whether a message box or a file dialog is open, and the
// commands of an open menu the user can reach (none greyed on the way).
std::optional<sim::DialogView> TopDialog();
bool BoxOpen();
bool FileDialogOpen();
std::vector<UINT> ReachableCommands(const std::vector<sim::MenuItemView>& items);

// The error a call is made to fail with: an MCI error for MCI, else access denied.
DWORD FailureError(const std::string& api);

// Faults found while the program runs or after it: accounts, in order.
std::vector<std::string>& Faults();
void Fault(const std::string& account);

// From now on, at every wait for input: no message box piles up on an open
// one of the same text unless the user acted in between, and no dialog shows
// twice. `extra` adds checks of the caller's own. Clears Faults().
void WatchRun(std::function<void()> extra = nullptr);

// What the process left behind once it has ended: registry keys and kernel
// handles open, menu pictures not freed, its icon in the notification area.
void CheckLeftovers(bool iconMayStay);

// The registry as values: "key\name" (and "key" for the key with its class)
// to type and bytes.
using Registry = std::map<std::string, std::string>;
Registry ReadRegistry();
// Entries that differ between the two, or are in only one of them.
std::vector<std::string> Changed(const Registry& before, const Registry& after);

// Runs the program to its end; a run the simulation cannot go on with is a fault.
void RunProgram(const std::string& commandLine = "");

}  // namespace reliability

#endif
