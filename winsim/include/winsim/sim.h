// The test's side of the simulated system: prepare the machine, run the
// program as a process, act as its user, and look at what the user and the
// registry see. Everything here is in-memory and deterministic.
#ifndef WINSIM_SIM_H
#define WINSIM_SIM_H

#include <windows.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

// Thrown out of the program when the scripted user cannot go on: the program
// waits for something the script never gives, or the script asks for
// something the program does not offer. Carries a readable account.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// ---- The machine ----

// A fresh machine: drive C: with C:\Windows\System32, an empty registry apart
// from the system's keys, no windows, virtual time 0.
void ResetWorld();

// Reads the program's resource script (and the headers it includes): these
// are the dialogs, menus and icons the program's module holds.
void LoadResourceScript(const std::string& rcPath);

// ---- Processes ----

// Runs `entry` as a new process of the program with the given command line
// (what WinMain receives) and returns its result. When the process ends its
// windows, timers and hot keys go with it; icons it did not delete stay in
// the notification area. Throws Failure as described above.
int RunProcess(int(WINAPI* entry)(HINSTANCE, HINSTANCE, LPSTR, int), const std::string& commandLine,
               const std::string& imagePath = "C:\\Program Files\\Dorvane\\Dorvane.exe");
HINSTANCE ProgramInstance();

// The program's shared "Shared" section: -1 while no instance runs. Another
// running instance leaves it at 0.
void SetOtherInstanceRunning();
LONG SharedInstanceCount();

struct ProcessStart {
    std::string applicationName;   // empty when none was given
    std::string commandLine;
    std::string image;             // the executable the system found, empty when none
    bool succeeded = false;
    BOOL inheritHandles = FALSE;
    DWORD creationFlags = 0;
    bool environmentGiven = false;
    bool directoryGiven = false;
    bool securityGiven = false;
    STARTUPINFOA startup = {};
};
const std::vector<ProcessStart>& ProcessStarts();

// Open kernel handles (processes, threads, searches) and registry handles.
int OpenKernelHandles();
int OpenRegistryHandles();

// ---- Time ----
DWORD Now();
// How long (virtual ms from the process start) the script may wait in all.
void SetTimeLimit(DWORD milliseconds);

// ---- Faults ----
// The next `times` calls of `api` whose subject matches fail with `error`
// (subject: a registry path or value name, a resource or timer id, a file
// path, "NIM_ADD"...; empty matches every call).
void FailCall(const std::string& api, const std::string& subject = "", DWORD error = ERROR_ACCESS_DENIED,
              int times = 1);

// ---- Registry ----
struct RegValue {
    DWORD type = REG_NONE;
    std::string data;   // the exact bytes
};
// Key paths start with HKCU\ or HKLM\ .
void SetRegText(const std::string& keyPath, const std::string& name, const std::string& text);   // REG_SZ, NUL included
void SetRegValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& bytes);
std::optional<RegValue> GetRegValue(const std::string& keyPath, const std::string& name);
bool RegKeyExists(const std::string& keyPath);
std::string RegKeyClass(const std::string& keyPath);
void CreateRegKey(const std::string& keyPath);
// Every key, class and value as text, to compare before and after.
std::string DumpRegistry();

// ---- Files ----
void AddFile(const std::string& path, const std::string& contents = "");
void AddDirectory(const std::string& path);
bool FileExists(const std::string& path);
// Folders SearchPathA and CreateProcessA look in after the program's own
// folder and the current directory (default: System32, System, Windows).
void SetSystemSearchPath(const std::vector<std::string>& folders);
UINT CurrentErrorMode();

// ---- What the user sees ----
struct MessageBoxRecord {
    HWND owner = NULL;
    std::string text;
    std::string caption;
    UINT type = 0;
    int answer = 0;          // 0 while open, or when the box ended without an answer
    bool open = false;
    DWORD shownAt = 0;
};
const std::vector<MessageBoxRecord>& MessageBoxes();

struct TrayIconRecord {
    HWND window = NULL;
    UINT id = 0;
    bool hasCallback = false;
    UINT callbackMessage = 0;
    HICON icon = NULL;
    std::string tip;
};
std::vector<TrayIconRecord> TrayIcons();

struct TrayCall {
    DWORD message = 0;        // NIM_ADD...
    DWORD size = 0;           // cbSize as given
    HWND window = NULL;
    UINT id = 0;
    UINT flags = 0;
    UINT callbackMessage = 0;
    HICON icon = NULL;
    std::string tipBytes;     // the 64-byte tip field as given, when NIF_TIP
    BOOL result = FALSE;
};
const std::vector<TrayCall>& TrayCalls();

// The resource number of an icon handle LoadIconA gave, 0 for anything else.
int IconResourceId(HICON icon);

struct MenuItemView {
    UINT id = 0;
    UINT type = 0;
    UINT state = 0;
    std::string text;
    std::vector<MenuItemView> popup;   // a pop-up's items
    bool isPopup = false;
};
struct MenuShowing {
    std::vector<MenuItemView> items;
    UINT flags = 0;
    POINT at = {};
    HWND owner = NULL;
    HWND foreground = NULL;    // the foreground window when tracking began
    DWORD shownAt = 0;
};
// Every showing of a pop-up menu, as it looked when it appeared.
const std::vector<MenuShowing>& MenusShown();
std::vector<MenuItemView> MenuItems(HMENU menu);
bool MenuDestroyed(HMENU menu);

struct WindowView {
    std::string className;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    int templateId = 0;
    HWND owner = NULL;
    bool visible = false;
    bool destroyed = false;
    HICON bigIcon = NULL;
    int cx = 0, cy = 0;          // dialog units, from the template
    std::string font;
    int fontSize = 0;
    int controlCount = 0;
};
std::optional<WindowView> WindowInfo(HWND window);
HWND ForegroundWindow();

struct TimerView {
    HWND window;
    UINT_PTR id;
    UINT period;
};
std::vector<TimerView> Timers();
// How often the timer procedure of timer `id` has run.
int TimerFirings(UINT_PTR id);

struct HotKeyView {
    HWND window;
    int id;
    UINT modifiers;
    UINT virtualKey;
};
std::vector<HotKeyView> HotKeys();
// A key combination another program holds: RegisterHotKey refuses it.
void TakeHotKey(UINT modifiers, UINT virtualKey);

// Notable platform calls in the order they were made ("InitCommonControls",
// "SetTimer 1001 500", ...).
const std::vector<std::string>& Trace();
// Index of the first trace line starting with `prefix`, or -1.
int TraceIndex(const std::string& prefix);

// ---- The scripted user ----
// Steps run in order, each when the program waits for input (in its message
// loop, a menu, a dialog or a message box) and the step's moment has come.
class User {
public:
    User& LeftClickTray();
    User& RightClickTray();
    User& DoubleClickTray();
    User& PressKeys(UINT modifiers, UINT virtualKey);
    User& ChooseMenuItem(UINT command);
    User& DismissMenu();
    User& AnswerMessageBox(int button);
    // From this step on, every message box is answered with its first button.
    User& AcceptMessageBoxes();
    User& Wait(DWORD milliseconds);
    // Not before `milliseconds` of virtual time from the process start.
    User& At(DWORD milliseconds);
    User& When(const std::string& what, std::function<bool()> condition);
    User& Do(const std::string& what, std::function<void()> action);
    // The user ends the program from outside (as the task manager would).
    User& EndTask();
};
User& user();

}  // namespace sim

#endif
