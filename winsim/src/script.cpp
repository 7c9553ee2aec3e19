// The scripted user: a list of steps, each run when the program waits for
// input and the step's moment has come.
#include "world.h"

#include <algorithm>

namespace sim {

std::vector<int> MessageBoxButtons(UINT type);

namespace {

bool Always()
{
    return true;
}

MessageBoxRecord* OpenBox()
{
    for (auto it = W().messageBoxes.rbegin(); it != W().messageBoxes.rend(); ++it)
        if (it->open) return &*it;
    return NULL;
}

bool MenuOpen()
{
    return !W().tracking.empty() && !W().tracking.back()->done;
}

User& AddStep(const std::string& what, std::function<bool()> ready, std::function<void()> act,
              const std::string& waitingFor = "the program to wait for input")
{
    Step step;
    step.what = what;
    step.ready = ready;
    step.act = act;
    step.waitingFor = waitingFor;
    W().steps.push_back(step);
    return user();
}

// A step that does nothing but wait for the virtual time `wakeAt` gives.
User& TimedStep(const std::string& what, std::function<DWORD()> wakeAt)
{
    User& result = AddStep(what, [wakeAt] { return W().now >= wakeAt(); }, [] {}, "its time");
    W().steps.back().wakeAt = wakeAt;
    return result;
}

// The shell tells the icon's window about the mouse, as Shell_NotifyIcon's
// first form does: wParam the icon's id, lParam the mouse message. It sends
// them without waiting (SendNotifyMessage), so they come ahead of the queue.
void MouseOnIcon(std::initializer_list<UINT> messages)
{
    if (W().trayIcons.empty()) throw Failure("the user clicks the notification-area icon, but there is none");
    const TrayIconRecord icon = W().trayIcons.front();
    if (!icon.hasCallback) return;
    for (UINT message : messages) {
        MSG sent = MSG();
        sent.hwnd = icon.window;
        sent.message = icon.callbackMessage;
        sent.wParam = icon.id;
        sent.lParam = static_cast<LPARAM>(message);
        sent.time = W().now;
        W().sent.push_back(sent);
    }
}

// A step on the shell's side: it may happen while the program is blocked.
User& OutsideStep(const std::string& what, std::function<void()> act)
{
    User& result = AddStep(what, Always, act);
    W().steps.back().outside = true;
    return result;
}

void Choose(UINT command)
{
    Tracking* tracking = W().tracking.back();
    MenuItem* item = FindMenuCommand(tracking->menu, command);
    if (!item) throw Failure("the user chooses menu command " + std::to_string(command) + ", but the open menu has none");
    if (item->state & MFS_GRAYED)
        throw Failure("the user chooses menu command " + std::to_string(command) + ", but it is greyed");
    tracking->chosen = command;
    tracking->done = true;
}

void Answer(MessageBoxRecord* box, int button)
{
    std::vector<int> buttons = MessageBoxButtons(box->type);
    if (std::find(buttons.begin(), buttons.end(), button) == buttons.end())
        throw Failure("the message box " + Describe(box->text.c_str()) + " has no button " + std::to_string(button));
    box->answer = button;
    box->open = false;
}

}  // namespace

User& AddScriptStep(const std::string& what, std::function<bool()> ready, std::function<void()> act,
                    const std::string& waitingFor)
{
    return AddStep(what, ready, act, waitingFor);
}

namespace {

// The script's next step, noted as begun (a wait counts from here); NULL at the end.
Step* NextStep()
{
    World& w = W();
    if (w.nextStep >= w.steps.size()) return NULL;
    Step& step = w.steps[w.nextStep];
    if (!step.started) {
        step.started = true;
        step.startedAt = w.now;
    }
    return &step;
}

void TakeStep(const Step& step, const std::string& how)
{
    ++W().nextStep;
    Log(how + step.what);
    std::function<void()> act = step.act;   // the act may add steps and move the vector
    act();
}

}  // namespace

bool RunReadyStep()
{
    World& w = W();
    if (w.acceptMessageBoxes) {
        if (MessageBoxRecord* box = OpenBox()) {
            Answer(box, MessageBoxButtons(box->type).front());
            return true;
        }
    }
    Step* step = NextStep();
    if (!step || !step->ready()) return false;
    TakeStep(*step, "user: ");
    return true;
}

void BlockFor(DWORD milliseconds)
{
    World& w = W();
    DWORD end = w.now + milliseconds;
    // Time runs on through the script's waits. A wait that ends meanwhile
    // lets the user act on other programs (click the icon) at that moment;
    // anything else waits for the thread, and so does an act the script puts
    // straight after the one that blocked it.
    bool waited = false;
    while (Step* step = NextStep()) {
        if (!step->wakeAt && !(step->outside && waited)) break;
        if (step->wakeAt) {
            DWORD at = step->wakeAt();
            if (at > end) break;
            if (at > w.now) w.now = at;
            waited = true;
        }
        if (!step->ready()) break;
        TakeStep(*step, "user, while the program is blocked: ");
    }
    w.now = end;
}

DWORD NextStepTime()
{
    World& w = W();
    if (w.nextStep >= w.steps.size()) return 0;
    const Step& step = w.steps[w.nextStep];
    return step.wakeAt ? step.wakeAt() : 0;
}

std::string WaitingStep()
{
    World& w = W();
    if (w.nextStep >= w.steps.size()) return "the script has ended, and the program is still running";
    const Step& step = w.steps[w.nextStep];
    return "script step " + std::to_string(w.nextStep + 1) + " (" + step.what + ") waits for " + step.waitingFor;
}

std::string UnusedScript()
{
    return W().nextStep < W().steps.size() ? WaitingStep() : "";
}

User& user()
{
    static User theUser;
    return theUser;
}

User& User::LeftClickTray()
{
    return OutsideStep("left click on the icon", [] { MouseOnIcon({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}); });
}

User& User::RightClickTray()
{
    return OutsideStep("right click on the icon", [] { MouseOnIcon({WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP}); });
}

User& User::DoubleClickTray()
{
    return OutsideStep("double click on the icon", [] {
        MouseOnIcon({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    });
}

User& User::PressKeys(UINT modifiers, UINT virtualKey)
{
    return AddStep("keys " + Hex(modifiers) + "+" + Hex(virtualKey), Always, [modifiers, virtualKey] {
        // A registered hot key goes to its window, whichever window has the focus.
        for (const HotKey& key : W().hotKeys)
            if (key.modifiers == modifiers && key.virtualKey == virtualKey) {
                PostMessageA(key.window, WM_HOTKEY, static_cast<WPARAM>(key.id), MAKELPARAM(modifiers, virtualKey));
                return;
            }
        Log("keys reach no hot key");
    });
}

User& User::ChooseMenuItem(UINT command)
{
    return AddStep("choose menu command " + std::to_string(command), MenuOpen, [command] { Choose(command); },
                   "a pop-up menu");
}

User& User::DismissMenu()
{
    return AddStep("close the menu without a choice", MenuOpen, [] { W().tracking.back()->done = true; },
                   "a pop-up menu");
}

User& User::WhenMenuShows(const std::string& what, std::function<bool(const std::vector<MenuItemView>&)> shows)
{
    return AddStep("wait until the open menu shows " + what,
                   [shows] { return MenuOpen() && shows(MenuView(W().tracking.back()->menu)); },
                   [] {}, "the open menu to show " + what);
}

User& User::AnswerMessageBox(int button)
{
    return AddStep("answer the message box with " + std::to_string(button), [] { return OpenBox() != NULL; },
                   [button] { Answer(OpenBox(), button); }, "a message box");
}

User& User::AcceptMessageBoxes()
{
    return AddStep("accept every message box from now on", Always, [] { W().acceptMessageBoxes = true; });
}

User& User::Wait(DWORD milliseconds)
{
    size_t index = W().steps.size();
    return TimedStep("wait " + std::to_string(milliseconds) + " ms",
                     [index, milliseconds] { return W().steps[index].startedAt + milliseconds; });
}

User& User::At(DWORD milliseconds)
{
    return TimedStep("at " + std::to_string(milliseconds) + " ms",
                     [milliseconds] { return W().processStart + milliseconds; });
}

User& User::When(const std::string& what, std::function<bool()> condition)
{
    return AddStep("wait until " + what, condition, [] {}, what);
}

User& User::Do(const std::string& what, std::function<void()> action)
{
    return AddStep(what, Always, action);
}

User& User::EndTask()
{
    return AddStep("end the program from outside", Always, [] { throw EndTaskRequest(); });
}

User& User::RestartShell()
{
    return OutsideStep("restart the shell (Explorer)", [] { sim::RestartShell(); });
}

User& User::ChangeDisplayDpi(UINT dpi)
{
    return OutsideStep("set the display scale to " + std::to_string(dpi) + " dpi", [dpi] { sim::ChangeDisplayDpi(dpi); });
}

User& User::PressDriveButton(char letter)
{
    return AddStep(std::string("press the button of drive ") + letter, Always,
                   [letter] { sim::PressDriveButton(letter); });
}

User& User::PushTrayIn(char letter)
{
    return AddStep(std::string("push the tray of drive ") + letter + " in", Always,
                   [letter] { sim::PushTrayIn(letter); });
}

User& User::InsertDisc(char letter, const Disc& disc)
{
    return AddStep("put the disc " + Describe(disc.label.c_str()) + " in drive " + letter, Always,
                   [letter, disc] { sim::InsertDisc(letter, disc); });
}

User& User::TakeOutDisc(char letter)
{
    return AddStep(std::string("take the disc out of drive ") + letter, Always,
                   [letter] { sim::TakeOutDisc(letter); });
}

}  // namespace sim
