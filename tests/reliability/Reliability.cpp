#include "Reliability.h"

#include <mmsystem.h>

#include <algorithm>
#include <map>
#include <set>

#include "ProgramImage.h"
#include "app/WinMain.h"
#include "res/resource.h"
#include "ui/PasswordDialogs.h"

namespace reliability {

const char kPlayer[] = "C:\\Players\\tunes.exe";
const char kStartup[] = "C:\\Users\\Ann\\Start Menu\\Programs\\Startup";

void Machine::Prepare(const std::string& drives, bool bare)
{
    static bool loaded = false;
    if (bare && loaded) {
        sim::ResetWorld();
        RestoreProgramImage();
        Install();
    } else {
        NewMachine();
    }
    loaded = true;
    AddDrives(drives);
    if (bare) return;
    sim::AddDirectory(kStartup);
    sim::SetRegText(SHELL_FOLDERS_PATH, "StartUp", kStartup);
    sim::AddFile(DEFAULT_INSTALL_DIR "\\Dorvane.lnk", "shortcut");
    sim::AddFile(DEFAULT_INSTALL_DIR "\\help.html", "<html>");
    sim::AddFile(kPlayer, "MZ");
}

void Settings(const std::vector<std::pair<const char*, std::string>>& values)
{
    for (const auto& value : values) sim::SetRegText(SETTINGS_PATH, value.first, value.second);
}

std::string Describe(const Act& act)
{
    static const char* const kWhat[] = {"click the icon", "right-click the icon", "door hot key", "choose", "close the menu",
        "answer the box, 0 its first button or 1 its last:", "type into", "press key", "click control", "choose file",
        "cancel the file dialog", "press the button of drive", "push in the tray of drive", "put a disc in drive",
        "take the disc out of drive", "slow the door of drive", "make the next call fail:", "wait ms", "tidy up"};
    std::string what = kWhat[act.kind];
    if (act.kind >= Act::DriveButton && act.kind <= Act::SlowDoor) what += " " + std::string(1, char(act.value));
    else if (act.value || act.kind == Act::Answer) what += " " + std::to_string(act.value);
    return act.text.empty() ? what : what + " \"" + act.text + "\"";
}

sim::Disc TestDisc(int kind)
{
    if (kind == 1)
        return sim::DataDisc("TOOLS", {{"autorun.inf", "[autorun]\r\nopen=setup.exe /auto\r\n"}, {"SETUP.EXE", "MZ"}});
    sim::Disc disc = sim::AudioDisc({sim::Frames(3, 5), sim::Frames(4, 12, 33), sim::Frames(2, 40)});
    if (kind == 2) {
        disc.tracks.resize(1);
        disc.readable = false;
    }
    return disc;
}

DWORD FailureError(const std::string& api)
{
    return api == "mciSendStringA" ? MCIERR_HARDWARE : ERROR_ACCESS_DENIED;
}

std::optional<sim::DialogView> TopDialog()
{
    std::optional<sim::DialogView> top;
    for (const sim::DialogView& dialog : sim::OpenDialogs())
        if (dialog.visible && dialog.enabled) top = dialog;
    return top;
}

bool BoxOpen()
{
    for (const sim::MessageBoxRecord& box : sim::MessageBoxes())
        if (box.open) return true;
    return false;
}

bool FileDialogOpen()
{
    for (const sim::FileDialogRecord& record : sim::FileDialogs())
        if (record.open) return true;
    return false;
}

std::vector<UINT> ReachableCommands(const std::vector<sim::MenuItemView>& items)
{
    std::vector<UINT> commands;
    for (const sim::MenuItemView& item : items) {
        if (item.state & MFS_GRAYED) continue;
        if (item.isPopup) {
            std::vector<UINT> inner = ReachableCommands(item.popup);
            commands.insert(commands.end(), inner.begin(), inner.end());
        } else if (item.id != 0 && !(item.type & MFT_SEPARATOR)) {
            commands.push_back(item.id);
        }
    }
    return commands;
}

namespace {

const int kFinishRounds = 60;   // acts to come back to idle and end, at most

std::vector<std::string> Found;
// The boxes shown when the user acted at them or a call failed: a box may
// repeat an open one after that.
std::vector<size_t> Marks;
// What the watch has seen of the run: the trace, the boxes shown before it and since, the faults told.
struct {
    size_t trace, firstBox, boxes;
    std::set<std::string> told;
} Seen;

struct Play {
    int generation = 0;
    NextAct next;
    bool answersBoxes = true, finishing = false, exitChosen = false;
    int rounds = 0;
    std::string last;     // the last act done
} Playing;

// A line of the trace that tells of a call made to fail: "<call> failed on request (<subject>)".
bool Failure(const std::string& line, const std::string& call = "")
{
    return line.compare(0, call.size(), call) == 0 &&
           (line.find(" failed on request (") != std::string::npos ||
            line.find(" failed by decision (") != std::string::npos);
}

bool HasControl(const sim::DialogView& dialog, int id)
{
    for (const sim::ControlView& control : dialog.controls)
        if (control.id == id && control.enabled && control.visible) return true;
    return false;
}

bool Tidy();

// Does the act when the screen offers it now.
bool Perform(const Act& act)
{
    sim::User& user = sim::user();
    std::optional<std::vector<sim::MenuItemView>> menu = sim::OpenMenu();
    std::vector<UINT> commands = menu ? ReachableCommands(*menu) : std::vector<UINT>();
    std::optional<sim::DialogView> top = TopDialog();
    std::vector<sim::HotKeyView> keys = sim::HotKeys();
    auto doorKey = std::find_if(keys.begin(), keys.end(), [](const sim::HotKeyView& key) { return key.id == 2001; });
    std::vector<sim::MessageBoxRecord> boxes = sim::MessageBoxes();
    auto box = std::find_if(boxes.rbegin(), boxes.rend(), [](const sim::MessageBoxRecord& box) { return box.open; });
    char letter = static_cast<char>(act.value);
    bool icon = !sim::TrayIcons().empty();
    switch (act.kind) {
    case Act::Click: if (!icon) return false; user.LeftClickTray(); break;
    case Act::RightClick: if (!icon) return false; user.RightClickTray(); break;
    case Act::HotKey:
        if (doorKey == keys.end()) return false;
        user.PressKeys(doorKey->modifiers, doorKey->virtualKey);
        break;
    case Act::Choose:
        if (std::find(commands.begin(), commands.end(), UINT(act.value)) == commands.end()) return false;
        user.ChooseMenuItem(UINT(act.value));
        break;
    case Act::Dismiss: if (!menu) return false; user.DismissMenu(); break;
    case Act::Answer:
        if (box == boxes.rend()) return false;
        user.AnswerMessageBox((box->type & MB_TYPEMASK) != MB_YESNO ? IDOK : act.value ? IDNO : IDYES);
        break;
    case Act::Type:
        // Into the edit `value` when it is given, else where the focus is.
        if (!top || (act.value && !HasControl(*top, act.value))) return false;
        if (act.value) user.ClickButton(top->templateId, act.value);
        user.Type(act.text);
        break;
    case Act::Key: user.PressKey(UINT(act.value)); break;
    case Act::Press:
        if (!top || !HasControl(*top, act.value)) return false;
        user.ClickButton(top->templateId, act.value);
        break;
    case Act::File: if (!FileDialogOpen()) return false; user.ChooseFile(act.text); break;
    case Act::NoFile: if (!FileDialogOpen()) return false; user.CancelFileDialog(); break;
    case Act::DriveButton: user.PressDriveButton(letter); break;
    case Act::PushIn: if (!sim::TrayOpen(letter)) return false; user.PushTrayIn(letter); break;
    case Act::Insert: user.InsertDisc(letter, TestDisc(std::stoi(act.text))); break;
    case Act::TakeOut: user.TakeOutDisc(letter); break;
    case Act::SlowDoor: sim::SetDoorTime(letter, DWORD(std::stoul(act.text))); break;
    case Act::Fail: sim::FailCall(act.text, "", FailureError(act.text)); break;
    case Act::Wait: user.Wait(DWORD(act.value)); break;
    case Act::Tidy: return Tidy();
    }
    if (act.kind <= Act::NoFile) Marks.push_back(sim::MessageBoxes().size());
    Playing.last = Describe(act);
    return true;
}

// False when nothing is open.
bool Tidy()
{
    std::optional<sim::DialogView> top = TopDialog();
    return Perform({Act::Answer, 0}) || Perform({Act::NoFile}) || Perform({Act::Dismiss}) ||
           (top && Perform({Act::Press, HasControl(*top, IDCANCEL) ? IDCANCEL : IDOK}));
}

// One round of coming back to idle and ending the program.
void FinishRound()
{
    std::optional<sim::DialogView> top = TopDialog();
    // Without an icon there is no Exit to choose over the boxes.
    bool answers = Playing.answersBoxes || sim::TrayIcons().empty();
    if (Playing.exitChosen && top && top->templateId == IDD_PASSWORD_PROMPT) {
        Perform({Act::Type, IDC_OLD_PASSWORD, MasterPassword});
        Perform({Act::Press, IDOK});
    } else if (sim::OpenMenu()) {
        // Exit from the menu also ends what is left open.
        if (Perform({Act::Choose, IDM_EXIT})) Playing.exitChosen = true;
        else Perform({Act::Dismiss});
    } else if (!answers || !Tidy()) {
        Perform({Act::RightClick});
    }
}

// The user's next act, or a round of finishing, when the program next waits
// for input; a step left over from an earlier run of the program does nothing.
void DecideNext()
{
    sim::user().Do("the user's next act", [generation = Playing.generation] {
        if (generation != Playing.generation) return;
        Act act;
        Playing.finishing = Playing.finishing || !Playing.next(&act);
        if (!Playing.finishing) {
            Perform(act);
        } else if (++Playing.rounds > kFinishRounds) {
            Fault("the program does not come back to idle and end; the last act: " + Playing.last);
            sim::user().EndTask();
            return;
        } else {
            FinishRound();
            sim::user().Wait(50);
        }
        DecideNext();
    });
}

}  // namespace

const std::vector<std::string>& Faults() { return Found; }
void Fault(const std::string& account) { Found.push_back(account); }

std::vector<std::string> RunWithUser(NextAct next, bool answersBoxes, std::function<void()> watch,
                                     const std::string& commandLine, Entry entry)
{
    Found.clear();
    Marks.clear();
    const std::vector<std::string>& trace = sim::Trace();
    size_t since = trace.size();
    std::vector<std::string> devices = sim::OpenMciDevices();
    // At every wait for input: no box piles up on an open one of the same text by itself, no dialog shows twice.
    Seen = {since, sim::MessageBoxes().size(), sim::MessageBoxes().size(), {}};
    sim::WatchIdle([watch] {
        auto once = [](const std::string& account) {
            if (Seen.told.insert(account).second) Fault(account);
        };
        for (const std::vector<std::string>& trace = sim::Trace(); Seen.trace < trace.size(); ++Seen.trace) {
            if (trace[Seen.trace].compare(0, 10, "MessageBox") == 0) ++Seen.boxes;
            else if (Failure(trace[Seen.trace])) Marks.push_back(Seen.boxes);
        }
        const std::vector<sim::MessageBoxRecord>& boxes = sim::MessageBoxes();
        for (size_t j = Seen.firstBox; j < boxes.size(); ++j)
            for (size_t i = Seen.firstBox; i < j; ++i)
                if (boxes[i].open && boxes[j].open && boxes[i].text == boxes[j].text &&
                    std::none_of(Marks.begin(), Marks.end(), [i, j](size_t mark) { return mark > i && mark <= j; }))
                    once("a second box \"" + boxes[j].text + "\" opened over the first by itself");
        std::map<int, int> shown;
        for (const sim::DialogView& dialog : sim::OpenDialogs())
            if (dialog.visible && ++shown[dialog.templateId] > 1)
                once("dialog " + std::to_string(dialog.templateId) + " shows twice");
        if (watch) watch();
    });
    Playing = Play{Playing.generation + 1, next, answersBoxes, false, false, 0, ""};
    DecideNext();
    try {
        sim::RunProcess(entry ? entry : WinMain, commandLine);
    } catch (const sim::Failure& failure) {
        Fault(std::string("the run cannot go on: ") + failure.what());
    }
    // What the process left behind, bar what a release that failed, or that the
    // fuzzed MCI driver answered for, had to leave.
    auto failed = [&](const std::string& call, const std::string& subject) {
        for (size_t i = since; i < trace.size(); ++i)
            if ((Failure(trace[i], call) && trace[i].find("(" + subject + ")") != std::string::npos) ||
                (trace[i] == call + " \"" + subject + "\"" && i + 1 < trace.size() &&
                 trace[i + 1] == call + " decided by the driver"))
                return true;
        return false;
    };
    for (const Leftover& item : LeftBehind()) {
        bool heldBefore = std::any_of(devices.begin(), devices.end(),
                                      [&](const std::string& device) { return item.what == "the MCI device " + device; });
        if (!heldBefore && (item.release.empty() || !failed(item.release, item.subject)))
            Fault(item.what + " left behind");
    }
    return Found;
}

std::vector<std::string> RunActs(const std::vector<Act>& acts, bool answersBoxes, const std::string& commandLine,
                                 Entry entry)
{
    size_t next = 0;
    return RunWithUser([&](Act* act) { return next < acts.size() && (*act = acts[next++], true); }, answersBoxes,
                       nullptr, commandLine, entry);
}

}  // namespace reliability
