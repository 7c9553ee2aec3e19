#include "Reliability.h"

#include <mmsystem.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

#include "app/WinMain.h"
#include "res/resource.h"

namespace reliability {

const char kMasterPassword[] = "Zebra walks at noon";

namespace {

const int kFinishRounds = 60;   // acts to come back to idle and end, at most

std::vector<std::string> Done;
std::vector<std::string> Found;
std::vector<size_t> ActMarks;   // how many boxes had been shown when the user acted

}  // namespace

DWORD FailureError(const std::string& api)
{
    return api == "mciSendStringA" ? MCIERR_HARDWARE : ERROR_ACCESS_DENIED;
}

namespace {

int NewestOpenBox()
{
    const std::vector<sim::MessageBoxRecord>& boxes = sim::MessageBoxes();
    for (size_t i = boxes.size(); i-- > 0;)
        if (boxes[i].open) return static_cast<int>(i);
    return -1;
}

bool Tidy();

bool HasControl(const sim::DialogView& dialog, int id)
{
    for (const sim::ControlView& control : dialog.controls)
        if (control.id == id && control.enabled && control.visible) return true;
    return false;
}

// Appends the act to the script when the screen offers it now.
bool Perform(const Act& act)
{
    sim::User& user = sim::user();
    std::optional<std::vector<sim::MenuItemView>> menu = sim::OpenMenu();
    std::vector<UINT> commands = menu ? ReachableCommands(*menu) : std::vector<UINT>();
    std::optional<sim::DialogView> top = TopDialog();
    std::vector<sim::HotKeyView> keys = sim::HotKeys();
    auto doorKey = std::find_if(keys.begin(), keys.end(), [](const sim::HotKeyView& key) { return key.id == 2001; });
    int box = NewestOpenBox();
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
        if (std::find(commands.begin(), commands.end(), static_cast<UINT>(act.value)) == commands.end()) return false;
        user.ChooseMenuItem(static_cast<UINT>(act.value));
        break;
    case Act::Dismiss: if (!menu) return false; user.DismissMenu(); break;
    case Act::Answer:
        if (box < 0) return false;
        if ((sim::MessageBoxes()[box].type & MB_TYPEMASK) == MB_YESNO) user.AnswerMessageBox(act.value ? IDNO : IDYES);
        else user.AnswerMessageBox(IDOK);
        break;
    case Act::Type:
        // Into the edit `value` when it is given, else where the focus is.
        if (!top || (act.value && !HasControl(*top, act.value))) return false;
        if (act.value) user.ClickButton(top->templateId, act.value);
        user.Type(act.text);
        break;
    case Act::Key: user.PressKey(static_cast<UINT>(act.value)); break;
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
    case Act::SlowDoor: sim::SetDoorTime(letter, static_cast<DWORD>(std::stoul(act.text))); break;
    case Act::Fail: sim::FailCall(act.text, "", FailureError(act.text)); break;
    case Act::Wait: user.Wait(static_cast<DWORD>(act.value)); break;
    case Act::Tidy: return Tidy();
    }
    if (act.kind <= Act::NoFile) ActMarks.push_back(sim::MessageBoxes().size());
    Done.push_back(Describe(act));
    return true;
}

struct Play {
    int generation = 0;   // steps left over from an earlier run of the program do nothing
    NextAct next;
    bool answersBoxes = true;
    bool finishing = false;
    bool exitChosen = false;
    int rounds = 0;
} Playing;

// One act towards idle: the newest box answered, the file dialog, the menu
// or the top dialog cancelled. False when nothing is open.
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
    bool exitPrompt = Playing.exitChosen && top && top->templateId == IDD_PASSWORD_PROMPT;
    // Without an icon there is no Exit to choose over the boxes.
    bool answers = Playing.answersBoxes || sim::TrayIcons().empty();
    if (exitPrompt) {
        Perform({Act::Type, IDC_OLD_PASSWORD, kMasterPassword});
        Perform({Act::Press, IDOK});
    } else if (sim::OpenMenu()) {
        // Exit from the menu also ends what is left open.
        if (Perform({Act::Choose, IDM_EXIT})) Playing.exitChosen = true;
        else Perform({Act::Dismiss});
    } else if (!answers || !Tidy()) {
        Perform({Act::RightClick});
    }
}

void Decide();

void DecideNext()
{
    int generation = Playing.generation;
    sim::user().Do("the user's next act", [generation] {
        if (generation == Playing.generation) Decide();
    });
}

void Decide()
{
    if (!Playing.finishing) {
        Act act{Act::Wait};
        if (Playing.next(&act)) {
            Perform(act);
            DecideNext();
            return;
        }
        Playing.finishing = true;
    }
    if (++Playing.rounds > kFinishRounds) {
        Fault("the program does not come back to idle and end; the last act: " + (Done.empty() ? "" : Done.back()));
        sim::user().EndTask();
        return;
    }
    FinishRound();
    sim::user().Wait(50);
    DecideNext();
}

std::string Text(const std::string& text)
{
    return "\"" + text + "\"";
}

}  // namespace

std::optional<sim::DialogView> TopDialog()
{
    std::optional<sim::DialogView> top;
    for (const sim::DialogView& dialog : sim::OpenDialogs())
        if (dialog.visible && dialog.enabled) top = dialog;
    return top;
}

bool BoxOpen()
{
    return NewestOpenBox() >= 0;
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

std::string Describe(const Act& act)
{
    static const char* const kWhat[] = {
        "left click on the icon", "right click on the icon", "the door hot key", "choose menu command",
        "close the menu", "answer the box with its first (0) or last (1) button", "type", "press key",
        "click control", "choose the file", "cancel the file dialog", "press the button of drive",
        "push in the tray of drive", "put a disc in drive", "take the disc out of drive", "slow the door of drive",
        "make the next call fail:", "wait ms", "close what is open"};
    std::string what = kWhat[act.kind];
    bool drive = act.kind >= Act::DriveButton && act.kind <= Act::SlowDoor;
    if (drive) what += " " + std::string(1, static_cast<char>(act.value));
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

void PlayUser(NextAct next, bool answersBoxes)
{
    int generation = Playing.generation + 1;
    Playing = Play();
    Playing.generation = generation;
    Playing.next = next;
    Playing.answersBoxes = answersBoxes;
    Done.clear();
    ActMarks.clear();
    DecideNext();
}

const std::vector<std::string>& ActsDone()
{
    return Done;
}

std::vector<std::string>& Faults()
{
    return Found;
}

void Fault(const std::string& account)
{
    Found.push_back(account);
}

void WatchRun(std::function<void()> extra)
{
    Found.clear();
    // Per box of this run: how many calls had been made to fail before it
    // showed. A box that follows a failure of its own reports that failure.
    struct Watched {
        size_t traceSeen = sim::Trace().size();
        size_t firstBox = sim::MessageBoxes().size();
        size_t failures = 0;
        std::vector<size_t> failuresAtBox;
        std::set<std::string> reported;
    };
    auto watched = std::make_shared<Watched>();
    sim::WatchIdle([extra, watched] {
        auto once = [&watched](const std::string& account) {
            if (watched->reported.insert(account).second) Fault(account);
        };
        const std::vector<std::string>& trace = sim::Trace();
        for (; watched->traceSeen < trace.size(); ++watched->traceSeen) {
            const std::string& line = trace[watched->traceSeen];
            bool failed = line.find(" failed on request") != std::string::npos ||
                          line.find(" failed by decision") != std::string::npos;
            if (failed) ++watched->failures;
            if (line.compare(0, 10, "MessageBox") == 0)
                watched->failuresAtBox.push_back(watched->failures);
        }
        const std::vector<sim::MessageBoxRecord>& boxes = sim::MessageBoxes();
        std::vector<size_t> open;
        for (size_t i = watched->firstBox; i < watched->firstBox + watched->failuresAtBox.size(); ++i)
            if (boxes[i].open) open.push_back(i);
        for (size_t later = 1; later < open.size(); ++later)
            for (size_t earlier = 0; earlier < later; ++earlier) {
                size_t i = open[earlier], j = open[later];
                if (boxes[i].text != boxes[j].text) continue;
                bool actedBetween = false;
                for (size_t mark : ActMarks) actedBetween = actedBetween || (mark > i && mark <= j);
                bool failedBetween =
                    watched->failuresAtBox[j - watched->firstBox] > watched->failuresAtBox[i - watched->firstBox];
                if (!actedBetween && !failedBetween)
                    once("a second box " + Text(boxes[j].text) + " opened over the first by itself");
            }
        std::map<int, int> shown;
        for (const sim::DialogView& dialog : sim::OpenDialogs())
            if (dialog.visible && ++shown[dialog.templateId] > 1)
                once("dialog " + std::to_string(dialog.templateId) + " shows twice");
        if (extra) extra();
    });
}

void CheckLeftovers(bool iconMayStay)
{
    if (int keys = sim::OpenRegistryHandles()) Fault(std::to_string(keys) + " registry keys left open");
    if (int handles = sim::OpenKernelHandles()) Fault(std::to_string(handles) + " kernel handles left open");
    if (int bitmaps = sim::LiveBitmaps()) Fault(std::to_string(bitmaps) + " menu pictures never freed");
    if (!iconMayStay && !sim::TrayIcons().empty()) Fault("the icon stays in the notification area");
}

Registry ReadRegistry()
{
    Registry registry;
    std::istringstream dump(sim::DumpRegistry());
    std::string key;
    for (std::string line; std::getline(dump, line);) {
        if (line.compare(0, 1, "[") == 0) {
            key = line.substr(1, line.find(']') - 1);
            registry[key] = line.substr(line.find(']') + 1);
        } else {
            size_t type = line.find(" type=");
            registry[key + "\\" + line.substr(2, type - 2)] = line.substr(type);
        }
    }
    return registry;
}

std::vector<std::string> Changed(const Registry& before, const Registry& after)
{
    std::vector<std::string> changed;
    for (const auto& entry : before) {
        auto now = after.find(entry.first);
        if (now == after.end() || now->second != entry.second) changed.push_back(entry.first);
    }
    for (const auto& entry : after)
        if (!before.count(entry.first)) changed.push_back(entry.first);
    return changed;
}

void RunProgram(const std::string& commandLine)
{
    try {
        sim::RunProcess(WinMain, commandLine);
    } catch (const sim::Failure& failure) {
        Fault(std::string("the run cannot go on: ") + failure.what());
    }
}

}  // namespace reliability
