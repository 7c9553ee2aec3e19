// A seeded random user: clicks, the hot key, menu choices, dialog keys and
// text, discs in and out, the drives' own buttons, slow doors and failing
// calls, with the timers running in between, thousands of acts a seed, over
// as many runs of the program as its Exit makes. Besides what every run
// keeps to (Reliability.h): the program always comes back to idle, "Default
// Drive" is put back after every door command, no registry value changes
// but the settings, and the lock holds: a locked drive opened by hand is
// shut again unless the password was given since the program last closed
// it. A failing seed is shrunk to the shortest list of acts that still
// fails it, which is printed with the seed.
//
// RANDOM_USER_SEEDS ("first-last") and RANDOM_USER_ACTS choose other runs
// than the few make test takes; tools/soak.sh runs many. RANDOM_USER_TRACE
// prints the platform calls of a failing seed's shortest run.
#include <cstdio>
#include <cstdlib>
#include <random>

#include "DriveScenario.h"
#include "ProgramImage.h"
#include "Reliability.h"
#include "drive/DriveDiscovery.h"
#include "res/resource.h"
#include "settings/Settings.h"

using namespace reliability;

namespace {

const char kPlayer[] = "C:\\Players\\tunes.exe";
const char* const kFailable[] = {"RegOpenKeyExA", "RegQueryValueExA", "RegSetValueExA", "RegCreateKeyExA",
                                 "RegCloseKey", "mciSendStringA", "ShellExecuteA", "CreateFileA", "FindFirstFileA",
                                 "GetVolumeInformationA", "DialogBoxParamW", "SetMenuItemInfoW", "GetCursorPos",
                                 "CopyFileA", "DeleteFileA", "LoadIconA", "SetTimer", "GetOpenFileNameW"};
const char* const kSettings[] = {"Language", "HotKey", "Player", "AutoCloseAllowed",
                                 "AutoCloseTime", "Password", "Locked", "LastDrive"};
const size_t kPicksPerAct = 4;   // every act takes as many choices, so that acts can be cut out
const DWORD kLockGrace = 5000;   // ms a locked door may stay open beyond a movement: the thread may sleep
const int kShrinkRuns = 400;

// The user's choices: drawn from the seed, or replayed from a shortened list.
class Choices {
public:
    Choices(uint32_t seed, const std::vector<uint32_t>* replay) : random_(seed), replay_(replay) {}
    void BeginAct()
    {
        picks_.clear();
        for (size_t i = 0; i < kPicksPerAct; ++i) {
            uint32_t value = replay_ ? (taken_.size() < replay_->size() ? (*replay_)[taken_.size()] : 0) : random_();
            taken_.push_back(value);
            picks_.push_back(value);
        }
        next_ = 0;
    }
    uint32_t Pick(size_t count)
    {
        uint32_t value = picks_[next_ % kPicksPerAct] / (next_ < kPicksPerAct ? 1 : 7);
        ++next_;
        return static_cast<uint32_t>(value % count);
    }
    bool Exhausted() const { return replay_ && taken_.size() >= replay_->size(); }
    const std::vector<uint32_t>& Taken() const { return taken_; }

private:
    std::mt19937 random_;
    const std::vector<uint32_t>* replay_;
    std::vector<uint32_t> taken_;
    std::vector<uint32_t> picks_;
    size_t next_ = 0;
};

std::string DefaultDriveNow()
{
    auto value = sim::GetRegValue(MCI_CDAUDIO_PATH, "Default Drive");
    return value ? value->data : "(none)";
}

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
    if (std::string now = DefaultDriveNow(); now != Followed.defaultDrive) {
        bool told = false;
        const std::vector<sim::MessageBoxRecord>& boxes = sim::MessageBoxes();
        for (size_t i = Followed.boxesAtBaseline; i < boxes.size(); ++i)
            told = told || boxes[i].text.compare(0, 10, "Failed to ") == 0;
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

char Drive(Choices& choices)
{
    return choices.Pick(2) ? 'E' : 'D';
}

// What the user types into edit `id` of dialog `templateId`.
std::string TextFor(Choices& choices, int templateId, int id)
{
    if (templateId == IDD_OPTIONS) {
        if (id == IDC_TIME) return std::vector<std::string>{"2", "0", "45"}[choices.Pick(3)];
        return choices.Pick(2) ? kPlayer : "missing.exe";
    }
    return std::vector<std::string>{SettingsRecord.Password, kMasterPassword, "pw", "pw2", "wrong"}[choices.Pick(5)];
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
    bool valid = typed == kMasterPassword || (typed == SettingsRecord.Password && !typed.empty());
    if (confirms && valid) Followed.passwordGiven = true;
    return act;
}

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
    return {Act::Type, control.id, TextFor(choices, dialog.templateId, control.id)};
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
    switch (choices.Pick(16)) {
    case 0:
    case 1: return {Act::Click};
    case 2:
    case 3:
    case 4: return {Act::RightClick};
    case 5: return {Act::HotKey};
    case 6: return {Act::DriveButton, Drive(choices)};
    case 7: return {Act::PushIn, Drive(choices)};
    case 8: return {Act::Insert, Drive(choices), std::to_string(choices.Pick(3))};
    case 9: return {Act::TakeOut, Drive(choices)};
    case 10: {
        DWORD time = 200 + 400 * choices.Pick(10);
        if (time > Followed.slowestDoor) Followed.slowestDoor = time;
        return {Act::SlowDoor, Drive(choices), std::to_string(time)};
    }
    case 11: {
        std::string api = kFailable[choices.Pick(sizeof kFailable / sizeof kFailable[0])];
        if (api.compare(0, 3, "Reg") == 0) Followed.registryFailed = true;
        return {Act::Fail, 0, api};
    }
    case 12: return {Act::Key, std::vector<int>{VK_RETURN, VK_SPACE, VK_ESCAPE}[choices.Pick(3)]};
    default: return {Act::Wait, static_cast<int>(100 + 300 * choices.Pick(9))};
    }
}

struct Outcome {
    std::vector<std::string> faults;
    std::vector<std::string> acts;     // as drawn, one a step
    std::vector<uint32_t> choices;
    size_t setupChoices = 0;
};

class RandomUser : public DriveScenario {
protected:
    // The machine and the settings the seed starts with.
    void Prepare(Choices& choices)
    {
        NewMachine();
        AddDrives("de");
        sim::InsertDisc('D', TestDisc(0));
        sim::InsertDisc('E', TestDisc(1));
        sim::AddDirectory("C:\\Startup");
        sim::SetRegText(SHELL_FOLDERS_PATH, "StartUp", "C:\\Startup");
        sim::AddFile(DEFAULT_INSTALL_DIR "\\Dorvane.lnk", "shortcut");
        sim::AddFile(DEFAULT_INSTALL_DIR "\\help.html", "<html>");
        sim::AddFile(kPlayer, "MZ");
        choices.BeginAct();
        // Elevated, the program aims "Default Drive"; a standard user's may not.
        sim::RunElevated(choices.Pick(2));
        sim::SetRegText(SETTINGS_PATH, "Locked", choices.Pick(2) ? "1" : "0");
        sim::SetRegText(SETTINGS_PATH, "Password", "pw");
        sim::SetRegText(SETTINGS_PATH, "AutoCloseAllowed", choices.Pick(2) ? "1" : "0");
        sim::SetRegText(SETTINGS_PATH, "AutoCloseTime", std::to_string(choices.Pick(3)));
        sim::SetRegText(SETTINGS_PATH, "LastDrive", std::to_string(static_cast<int>(choices.Pick(3)) - 1));
        sim::SetRegValue(MCI_CDAUDIO_PATH, "Default Drive", REG_BINARY,
                         std::string(1, static_cast<char>(choices.Pick(2))) + std::string(3, '\0'));
    }

    void CheckRegistry(const Registry& before)
    {
        for (const std::string& entry : Changed(before, ReadRegistry())) {
            bool setting = false;
            for (const char* name : kSettings) setting = setting || entry == SETTINGS_PATH "\\" + std::string(name);
            bool putBack = entry == MCI_CDAUDIO_PATH "\\Default Drive" && DefaultDriveNow() == Followed.defaultDrive;
            if (!setting && !putBack) Fault("changed " + entry + ", which the user never asked for");
        }
    }

    Outcome RunSeed(uint32_t seed, size_t acts, const std::vector<uint32_t>* replay)
    {
        Choices choices(seed, replay);
        Prepare(choices);
        // Time enough for every act, so that a user left waiting shows.
        sim::SetTimeLimit(static_cast<DWORD>(600000 + 5000 * acts));
        Outcome outcome;
        outcome.setupChoices = choices.Taken().size();
        Followed = Follow();
        Followed.defaultDrive = DefaultDriveNow();
        int idleRuns = 0;
        while (outcome.acts.size() < acts && outcome.faults.empty() && !choices.Exhausted() && idleRuns < 3) {
            size_t before = outcome.acts.size();
            RestoreProgramImage();
            Followed.passwordGiven = false;
            Followed.mciSeen = sim::MciLog().size();
            Registry registry = ReadRegistry();
            WatchRun(WatchDoors);
            PlayUser([&](Act* act) {
                if (outcome.acts.size() >= acts || !Faults().empty() || choices.Exhausted()) return false;
                *act = NextAct(choices);
                outcome.acts.push_back(Describe(*act));
                return true;
            }, true);
            RunProgram();
            CheckLeftovers(false);
            CheckRegistry(registry);
            outcome.faults = Faults();
            idleRuns = outcome.acts.size() == before ? idleRuns + 1 : 0;
        }
        if (idleRuns >= 3) outcome.faults.push_back("the program ends before the user can act");
        outcome.choices = choices.Taken();
        return outcome;
    }

    // Cuts acts out of the failing run while it still fails the same way.
    Outcome Shrink(uint32_t seed, Outcome failing)
    {
        const std::string fault = failing.faults.front().substr(0, 30);
        auto prefix = [](const Outcome& outcome) {
            return std::vector<uint32_t>(outcome.choices.begin(), outcome.choices.begin() + outcome.setupChoices);
        };
        int runs = 0;
        for (size_t chunk = failing.acts.size() / 2; chunk >= 1 && runs < kShrinkRuns;) {
            bool cut = false;
            for (size_t start = 0; start < failing.acts.size() && runs < kShrinkRuns; start += chunk) {
                std::vector<uint32_t> replay = prefix(failing);
                size_t acts = 0;
                for (size_t act = 0; act < failing.acts.size(); ++act) {
                    if (act >= start && act < start + chunk) continue;
                    auto from = failing.choices.begin() + failing.setupChoices + act * kPicksPerAct;
                    replay.insert(replay.end(), from, from + kPicksPerAct);
                    ++acts;
                }
                Outcome shorter = RunSeed(seed, acts, &replay);
                ++runs;
                if (!shorter.faults.empty() && shorter.faults.front().compare(0, fault.size(), fault) == 0) {
                    failing = shorter;
                    cut = true;
                    start -= std::min(start, chunk);
                }
            }
            if (!cut) chunk /= 2;
        }
        return failing;
    }
};

TEST_F(RandomUser, EveryInvariantHoldsForEachSeed)
{
    uint32_t first = 1, last = 3;
    size_t acts = 1500;
    if (const char* seeds = std::getenv("RANDOM_USER_SEEDS")) std::sscanf(seeds, "%u-%u", &first, &last);
    if (const char* count = std::getenv("RANDOM_USER_ACTS")) acts = std::strtoul(count, NULL, 10);
    size_t total = 0;
    for (uint32_t seed = first; seed <= last; ++seed) {
        Outcome outcome = RunSeed(seed, acts, nullptr);
        total += outcome.acts.size();
        if (outcome.faults.empty()) continue;
        Outcome shortest = Shrink(seed, outcome);
        std::string steps;
        for (size_t i = 0; i < shortest.acts.size(); ++i)
            steps += "\n  " + std::to_string(i + 1) + ". " + shortest.acts[i];
        if (std::getenv("RANDOM_USER_TRACE")) {
            std::vector<uint32_t> replay = shortest.choices;
            RunSeed(seed, shortest.acts.size(), &replay);
            for (const std::string& line : sim::Trace()) std::printf("  %s\n", line.c_str());
        }
        ADD_FAILURE() << "seed " << seed << ": " << outcome.faults.front() << "\nshortest acts that still fail ("
                      << shortest.faults.front() << "):" << steps;
    }
    std::printf("random user: seeds %u-%u, %zu acts\n", first, last, total);
}

}  // namespace
