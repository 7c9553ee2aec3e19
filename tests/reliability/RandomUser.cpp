// A seeded random user: clicks, the hot key, menu choices, dialog keys and
// text, discs in and out, the drives' own buttons, slow doors and failing
// calls, with the timers running in between, thousands of acts a seed, over
// as many runs of the program as its Exit makes. Beyond what every run
// keeps to (Reliability.h): "Default Drive" is put back after every door
// command, and the lock holds: a locked drive opened by hand is shut again
// unless the password was given since the program last closed it. A failing
// seed is told with its last acts.
//
// RANDOM_USER_SEEDS ("first-last") and RANDOM_USER_ACTS choose other runs
// than the few make test takes; tools/soak.sh runs many.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>

#include "ProgramImage.h"
#include "Reliability.h"
#include "drive/DriveDiscovery.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/PasswordDialogs.h"

using namespace reliability;

namespace {

const char* const kFailable[] = {"RegOpenKeyExA", "RegQueryValueExA", "RegSetValueExA", "RegCreateKeyExA",
                                 "RegCloseKey", "mciSendStringA", "ShellExecuteA", "CreateFileA", "FindFirstFileA",
                                 "GetVolumeInformationA", "DialogBoxParamW", "SetMenuItemInfoW", "GetCursorPos",
                                 "CopyFileA", "DeleteFileA", "LoadIconA", "SetTimer", "GetOpenFileNameW"};
const DWORD kLockGrace = 5000;   // ms a locked door may stay open beyond a movement: the thread may sleep
const size_t kActsShown = 25;    // of a failing seed, the last acts up to the fault

// The user's choices, drawn from the seed: four for each act, however many it uses,
// so that what one act takes leaves the later acts of the seed as they were.
struct Choices {
    std::mt19937 random;
    std::array<uint32_t, 4> picks = {};
    size_t next = 0;
    void BeginAct()
    {
        for (uint32_t& pick : picks) pick = random();
        next = 0;
    }
    uint32_t Pick(size_t count)
    {
        uint32_t value = picks[next % picks.size()] / (next < picks.size() ? 1 : 7);
        ++next;
        return static_cast<uint32_t>(value % count);
    }
};

// What the watch follows from one wait for input to the next.
struct Follow {
    std::string defaultDrive;     // as it must be outside door commands
    size_t boxesAtBaseline = 0;
    bool registryFailed = false;  // a registry call was made to fail since
    bool passwordGiven = false;   // since the program last closed the door
    size_t mciSeen = 0;
    bool lockedOpen = false;
    DWORD lockedOpenSince = 0;
    DWORD slowestDoor = 1000;
} Followed;

void WatchDoors()
{
    const std::vector<sim::MciCall>& log = sim::MciLog();
    for (; Followed.mciSeen < log.size(); ++Followed.mciSeen)
        if (log[Followed.mciSeen].command == "set cd4open door closed wait") Followed.passwordGiven = false;
    // A door command may be showing a box of its own, with the value aimed.
    if (BoxOpen()) {
        Followed.lockedOpen = false;
        return;
    }
    if (std::string now = Machine::DefaultDriveBytes(); now != Followed.defaultDrive) {
        bool told = false;
        const std::vector<sim::MessageBoxRecord>& boxes = sim::MessageBoxes();
        for (size_t i = Followed.boxesAtBaseline; i < boxes.size(); ++i)
            told = told || boxes[i].text.rfind("Failed to ", 0) == 0;
        if (!(Followed.registryFailed && told)) Fault("\"Default Drive\" is not put back after a door command");
        Followed.defaultDrive = now;
        Followed.registryFailed = false;
        Followed.boxesAtBaseline = boxes.size();
    }
    char letter = DriveCount > 0 ? DriveLetters[ValidDriveIndex(SelectedDrive)][0] : 0;
    bool lockedOpen = letter && SettingsRecord.Locked && !Followed.passwordGiven && sim::TrayOpen(letter);
    if (lockedOpen && !Followed.lockedOpen) Followed.lockedOpenSince = sim::Now();
    Followed.lockedOpen = lockedOpen;
    if (lockedOpen && sim::Now() - Followed.lockedOpenSince > Followed.slowestDoor + kLockGrace)
        Fault(std::string("the lock does not hold: drive ") + letter + " stays open");
}

// The password counts as given when the user confirms the prompt holding a
// valid one, not when it is typed: a close may come in between.
Act NotingConfirmation(const sim::DialogView& dialog, Act act)
{
    if (dialog.templateId != IDD_PASSWORD_PROMPT) return act;
    bool cancelFocused = false;
    std::string typed;
    for (const sim::ControlView& control : dialog.controls) {
        if (control.id == IDCANCEL) cancelFocused = control.focused;
        if (control.id == IDC_OLD_PASSWORD) typed = control.text;
    }
    bool confirms = act.kind == Act::Press ? act.value == IDOK
                                           : act.kind == Act::Key && act.value == VK_RETURN && !cancelFocused;
    bool valid = typed == MasterPassword || (typed == SettingsRecord.Password && !typed.empty());
    if (confirms && valid) Followed.passwordGiven = true;
    return act;
}

// A key, a button or text typed into an edit of the dialog: in Options a time
// or a player, elsewhere a password right or wrong.
Act DialogAct(Choices& choices, const sim::DialogView& dialog)
{
    std::vector<const sim::ControlView*> controls;
    for (const sim::ControlView& control : dialog.controls)
        if (control.enabled && control.visible && control.id > 0 &&
            (control.className == "Edit" ||
             (control.className == "Button" && (control.style & BS_TYPEMASK) != BS_GROUPBOX)))
            controls.push_back(&control);
    const int keys[] = {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB, VK_BACK};
    if (controls.empty() || choices.Pick(5) == 0) return NotingConfirmation(dialog, {Act::Key, keys[choices.Pick(5)]});
    const sim::ControlView& control = *controls[choices.Pick(controls.size())];
    if (control.className == "Button") return NotingConfirmation(dialog, {Act::Press, control.id});
    std::vector<std::string> texts = {SettingsRecord.Password, MasterPassword, "pw", "pw2", "wrong"};
    if (dialog.templateId == IDD_OPTIONS) texts = control.id == IDC_TIME ? std::vector<std::string>{"2", "0", "45"}
                                                                          : std::vector<std::string>{kPlayer, "missing.exe"};
    return {Act::Type, control.id, texts[choices.Pick(texts.size())]};
}

// The next act, by what the screen shows.
Act NextAct(Choices& choices)
{
    choices.BeginAct();
    if (std::optional<std::vector<sim::MenuItemView>> menu = sim::OpenMenu()) {
        std::vector<UINT> commands = ReachableCommands(*menu);
        UINT command = commands.empty() ? 0 : commands[choices.Pick(commands.size())];
        // Exit ends this run of the program: seldom.
        if (command == 0 || (command == IDM_EXIT && choices.Pick(6) != 0) || choices.Pick(10) == 0)
            return {Act::Dismiss};
        return {Act::Choose, static_cast<int>(command)};
    }
    if (FileDialogOpen()) return choices.Pick(2) ? Act{Act::File, 0, kPlayer} : Act{Act::NoFile};
    if (BoxOpen() && choices.Pick(3) == 0) return {Act::Answer, static_cast<int>(choices.Pick(2))};
    if (std::optional<sim::DialogView> top = TopDialog(); top && choices.Pick(3) != 0) return DialogAct(choices, *top);
    auto drive = [&choices] { return choices.Pick(2) ? 'E' : 'D'; };
    switch (choices.Pick(16)) {
    case 0: case 1: return {Act::Click};
    case 2: case 3: case 4: return {Act::RightClick};
    case 5: return {Act::HotKey};
    case 6: return {Act::DriveButton, drive()};
    case 7: return {Act::PushIn, drive()};
    case 8: return {Act::Insert, drive(), std::to_string(choices.Pick(3))};
    case 9: return {Act::TakeOut, drive()};
    case 10: {
        DWORD time = 200 + 400 * choices.Pick(10);
        Followed.slowestDoor = std::max(Followed.slowestDoor, time);
        return {Act::SlowDoor, drive(), std::to_string(time)};
    }
    case 11: {
        std::string api = kFailable[choices.Pick(std::size(kFailable))];
        Followed.registryFailed |= api.rfind("Reg", 0) == 0;
        return {Act::Fail, 0, api};
    }
    case 12: return {Act::Key, std::vector<int>{VK_RETURN, VK_SPACE, VK_ESCAPE}[choices.Pick(3)]};
    default: return {Act::Wait, static_cast<int>(100 + 300 * choices.Pick(9))};
    }
}

using RandomUser = Machine;

// The machine and the settings the seed starts with, then runs of the program
// until `acts` acts are done or a fault is found. The faults, and the acts as done.
std::vector<std::string> RunSeed(Machine& machine, uint32_t seed, size_t acts, std::vector<std::string>* done)
{
    Choices choices{std::mt19937(seed)};
    machine.Prepare("DE");
    sim::InsertDisc('D', TestDisc(0));
    sim::InsertDisc('E', TestDisc(1));
    choices.BeginAct();
    // Elevated, the program aims "Default Drive"; a standard user's may not.
    sim::RunElevated(choices.Pick(2));
    Settings({{"Locked", choices.Pick(2) ? "1" : "0"}, {"Password", "pw"},
              {"AutoCloseAllowed", choices.Pick(2) ? "1" : "0"}, {"AutoCloseTime", std::to_string(choices.Pick(3))},
              {"LastDrive", std::to_string(static_cast<int>(choices.Pick(3)) - 1)}});
    Machine::SetDefaultDrive(static_cast<int>(choices.Pick(2)));
    // Time enough for every act, so that a user left waiting shows.
    sim::SetTimeLimit(static_cast<DWORD>(600000 + 5000 * acts));
    Followed = Follow();
    Followed.defaultDrive = Machine::DefaultDriveBytes();
    std::vector<std::string> faults;
    for (int idleRuns = 0; done->size() < acts && faults.empty(); ) {
        if (idleRuns == 3) return {"the program ends before the user can act"};
        size_t before = done->size();
        RestoreProgramImage();
        Followed.passwordGiven = false;
        Followed.mciSeen = sim::MciLog().size();
        faults = RunWithUser([&](Act* act) {
            if (done->size() >= acts || !Faults().empty()) return false;
            *act = NextAct(choices);
            done->push_back(Describe(*act));
            return true;
        }, true, WatchDoors);
        idleRuns = done->size() == before ? idleRuns + 1 : 0;
    }
    return faults;
}

// A failing seed is told with the last acts up to its fault; RANDOM_USER_SEEDS=seed-seed
// and RANDOM_USER_ACTS=<acts done> run it again.
TEST_F(RandomUser, EveryInvariantHoldsForEachSeed)
{
    uint32_t first = 1, last = 3;
    size_t acts = 1500;
    if (const char* seeds = std::getenv("RANDOM_USER_SEEDS")) std::sscanf(seeds, "%u-%u", &first, &last);
    if (const char* count = std::getenv("RANDOM_USER_ACTS")) acts = std::strtoul(count, NULL, 10);
    size_t total = 0;
    for (uint32_t seed = first; seed <= last; ++seed) {
        std::vector<std::string> done;
        std::vector<std::string> faults = RunSeed(*this, seed, acts, &done);
        total += done.size();
        std::string steps;
        for (size_t i = done.size() > kActsShown ? done.size() - kActsShown : 0; i < done.size(); ++i)
            steps += "\n  " + std::to_string(i + 1) + ". " + done[i];
        EXPECT_TRUE(faults.empty()) << "seed " << seed << ": " << faults.front() << "\nthe last of its "
                                    << done.size() << " acts:" << steps;
    }
    std::printf("random user: seeds %u-%u, %zu acts\n", first, last, total);
}

}  // namespace
