// The test's side of the simulated system: prepare the machine, run the
// program as a process, act as its user, and look at what the user and the
// registry see. Everything here is in-memory and deterministic.
#ifndef WINSIM_SIM_H
#define WINSIM_SIM_H

#include <windows.h>

#include <functional>
#include <map>
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

// Every ShellExecuteA call in order. Files are found as the shell finds them:
// a path as given, a bare name in the call's directory, then along the
// standard search order, then under the machine's App Paths key. A folder or
// a drive root with a readable disc opens in an explorer window; a missing
// file gives SE_ERR_FNF. The machine's System32 holds rundll32.exe and
// sndvol.exe (a current Windows), not sndvol32.exe.
struct ShellLaunch {
    HWND owner = NULL;
    std::optional<std::string> verb;         // none for the default verb
    std::string file;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    int show = 0;
    INT_PTR result = 0;
    std::string image;   // the program started ("C:\Windows\explorer.exe" for a folder); empty on failure
    DWORD at = 0;        // virtual time of the call
};
const std::vector<ShellLaunch>& ShellLaunches();

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
// Every failable call that FailCall leaves alone is put to `decide`, with its
// api and subject as above: true fails it with *error. Until ResetWorld.
using FailureDecision = std::function<bool(const std::string& api, const std::string& subject, DWORD* error)>;
void DecideFailures(FailureDecision decide);
// `watch` looks at the machine each time the program waits for input, before
// the user acts; it may throw Failure to end the run. Until ResetWorld.
void WatchIdle(std::function<void()> watch);

// ---- The system and the display ----
// Which Windows the machine runs decides which of the later functions its
// DLLs export (what GetProcAddress finds) and whether shcore.dll is there.
enum class WindowsRelease {
    Vista,        // ChangeWindowMessageFilter
    Windows7,     // and ChangeWindowMessageFilterEx
    Windows8_1,   // and shcore.dll with GetDpiForMonitor
    Windows10,    // and GetSystemMetricsForDpi (1607 and later); the default
};
void SetWindowsRelease(WindowsRelease release);
// The display scale in DPI (96 is 100 %) the user signed in with: the system
// DPI, which processes keep for their whole life, and the primary monitor's
// DPI until it changes. The program's manifest says whether it sees it: a
// process that does not declare itself DPI aware is shown 96 throughout.
void SetDisplayDpi(UINT dpi);
// The user picks another scale for the primary monitor while the program runs
// (Windows 8.1 and later): the monitor's DPI changes, the system DPI of
// running processes does not. Explorer rebuilds its taskbar at the new size
// and broadcasts "TaskbarCreated" with its icons kept. (A window that is not
// shown gets no WM_DPICHANGED.)
void ChangeDisplayDpi(UINT dpi);
// A second monitor, to the right of the primary one, at its own DPI (what a
// process is told of it follows its DPI awareness, as for the primary).
void AddMonitor(UINT dpi);
// The monitor whose taskbar holds the notification area: 0 the primary (the
// default), 1 the second; -1 when there is no taskbar window at all.
void PlaceTaskbar(int monitor);
// Explorer restarts (after a crash or an update): the notification area
// forgets every icon, and the new taskbar broadcasts "TaskbarCreated" to every
// top-level window that is shown or has no owner.
void RestartShell();
// Who runs the program. By default a standard user (or an administrator
// under UAC, whose programs run with the same rights): keys under
// HKEY_LOCAL_MACHINE open for reading only, and opening one with any other
// right, creating one or writing a value there fails with ERROR_ACCESS_DENIED;
// nor may files be added to or removed from C:\Program Files and C:\Windows.
// HKEY_CURRENT_USER and the user's profile are the user's own.
// Elevated, the program may do all that, and the shell does not run with it:
// a message the shell sends reaches a window of the program only where the
// program let it through (ChangeWindowMessageFilterEx for that window,
// ChangeWindowMessageFilter for all).
void RunElevated(bool elevated);
// The side of the square image an icon handle holds, 0 for a destroyed icon
// and anything else.
int IconSize(HICON icon);

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
// Takes a file away, whoever may delete it.
void RemoveFile(const std::string& path);
bool FileExists(const std::string& path);
// A file's bytes; none for a path that is no file.
std::optional<std::string> FileContents(const std::string& path);
// Folders SearchPathA and CreateProcessA look in after the program's own
// folder and the current directory (default: System32, System, Windows).
void SetSystemSearchPath(const std::vector<std::string>& folders);
UINT CurrentErrorMode();

// ---- Drives and discs ----
// CD drives have a tray that moves when the program sends an MCI door
// command or when the user presses the drive's button or pushes the tray in.
// A disc is read only while it lies in a drive whose tray is closed. Each
// time a disc becomes loaded or stops being so, by any of these, the system
// sends every top-level window WM_DEVICECHANGE (DBT_DEVICEARRIVAL or
// DBT_DEVICEREMOVECOMPLETE for a DBTF_MEDIA volume of that letter).
struct Track {
    DWORD frames = 0;   // 75 frames a second
    bool audio = true;
};
DWORD Frames(int minutes, int seconds, int frames = 0);
Track AudioTrack(DWORD frames);
Track DataTrack(DWORD frames);

struct Disc {
    std::string label;
    std::vector<Track> tracks;
    // Files by their path from the root ("autorun.inf", "SETUP\\DATA.CAB"): the exact bytes.
    std::map<std::string, std::string> rootFiles;
    // False: MCI sees the disc and its tracks, but the file system cannot read
    // it (listing, volume information and opening files fail with
    // ERROR_UNRECOGNIZED_VOLUME, and no "No Disk" box is shown).
    bool readable = true;
};
// An audio CD, one audio track of each length, which the file system shows
// as the volume "Audio CD" holding Track01.cda, Track02.cda...
Disc AudioDisc(const std::vector<DWORD>& trackFrames);
// A data CD: one data track of about 10 minutes, with the label and files given.
Disc DataDisc(const std::string& label, const std::map<std::string, std::string>& rootFiles = {});

// A CD drive at any letter but C:; GetLogicalDriveStringsA lists C: and the
// CD drives in letter order, which is also the order of MCI's "Default Drive" index.
void AddCdDrive(char letter);
// The disc lies in the drive: loaded when the tray is closed, on the tray when it is open.
void InsertDisc(char letter, const Disc& disc);
void TakeOutDisc(char letter);
// The drive's own button: the tray opens, or closes when it is open.
void PressDriveButton(char letter);
// The user pushes an open tray in by hand.
void PushTrayIn(char letter);
bool TrayOpen(char letter);
// How long one tray movement commanded through MCI takes (default 1000 ms).
void SetDoorTime(char letter, DWORD milliseconds);
// "playing", "paused" or "stopped", as the drive itself is.
std::string DrivePlayState(char letter);
// The drive's position as "tt:mm:ss:ff" (track, minutes, seconds, frames in
// the track); empty without a loaded disc.
std::string DrivePosition(char letter);

// Every MCI command string, in the order sent, with its result and answer.
struct MciCall {
    std::string command;
    MCIERROR result = 0;
    std::string answer;   // the whole answer, before any cut to the caller's buffer
    DWORD at = 0;
};
const std::vector<MciCall>& MciLog();
std::vector<std::string> MciCommands();
// The next `times` sends of exactly this command text fail with `error`;
// nothing happens in the drive.
void FailMci(const std::string& command, MCIERROR error, int times = 1);
// The next `times` sends of exactly this command succeed with `answer`, as an
// odd driver might answer; nothing happens in the drive.
void AnswerMci(const std::string& command, const std::string& answer, int times = 1);
// Every MCI command the program sends is put to `driver` first, as an odd
// driver would take it: true decides the call with *result (and *answer when
// it is 0); false leaves it to the drive. Until ResetWorld.
using MciDriver = std::function<bool(const std::string& command, MCIERROR* result, std::string* answer)>;
void AnswerMciWith(MciDriver driver);
// The aliases of the MCI devices the last process has open (such as "cdaudio", "cd4open").
std::vector<std::string> OpenMciDevices();

// ---- What the user sees ----
// Texts the user reads (message boxes, the tooltip, menu items) are UTF-8 of
// what is on screen: bytes given to an A call are read through the machine's
// ANSI code page (SetAnsiCodePage), so code page 1251 bytes on a 1252 system
// show as what that system would show.
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
    // The shell's own copy of the picture: the icon resource and the side of
    // the image it was given (0 for none).
    int iconResource = 0;
    int iconSize = 0;
    std::string tip;   // UTF-8, as shown
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
    bool wide = false;        // Shell_NotifyIconW
    // The tip field's bytes as given, when NIF_TIP: 64 characters in the
    // record's first form, 128 in the later ones; a WCHAR is two bytes.
    std::string tipBytes;
    BOOL result = FALSE;
};
const std::vector<TrayCall>& TrayCalls();

// The resource number of an icon handle LoadIconA or LoadImageA gave (also
// once destroyed), 0 for anything else.
int IconResourceId(HICON icon);

struct MenuItemView {
    UINT id = 0;
    UINT type = 0;
    UINT state = 0;
    std::string text;                  // UTF-8, as shown
    std::vector<MenuItemView> popup;   // a pop-up's items
    bool isPopup = false;
    // The check-mark bitmaps (hbmpChecked, hbmpUnchecked) as the bitmap
    // resources they were loaded from: 0 for none, -1 for a handle that was
    // deleted or that LoadBitmapA never gave.
    int checkedBitmap = 0;
    int uncheckedBitmap = 0;
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

// ---- Menus, bitmaps and code pages ----

// The machine's ANSI code page (CP_ACP; 1252 as on an English Windows until
// set): 1251 and 1252 are known, and 65001 (UTF-8).
void SetAnsiCodePage(UINT codePage);

// The items of the pop-up menu being tracked as they are now, changes made
// while it is open included; nothing while no menu is open. A menu that shows
// a check-mark bitmap that was deleted fails the run (sim::Failure).
std::optional<std::vector<MenuItemView>> OpenMenu();

// The item with command `id` in `items` and their pop-ups, depth first as
// Windows searches; null when there is none. Pop-up items are not commands.
const MenuItemView* FindMenuItem(const std::vector<MenuItemView>& items, UINT id);
// Not on a temporary list: the item would go with it.
const MenuItemView* FindMenuItem(std::vector<MenuItemView>&& items, UINT id) = delete;

// Bitmaps LoadBitmapA gave and DeleteObject has not freed yet. Each call of
// LoadBitmapA makes a new handle; DestroyMenu does not free a menu's bitmaps.
// The end of the process leaves the count as it was, to show what the
// program did not free.
int LiveBitmaps();
// The bitmap resource a handle was loaded from; 0 for NULL, -1 for a deleted
// handle or one LoadBitmapA never gave.
int BitmapResourceId(HBITMAP bitmap);

// ---- Dialogs ----
// A dialog's control as the user sees it. Texts are UTF-8; a password edit
// keeps its text and shows one '*' a character.
struct ControlView {
    HWND handle = NULL;
    int id = 0;
    std::string className;      // "Button", "Edit", "Static", "msctls_hotkey32", "msctls_updown32"
    DWORD style = 0;
    std::string text;
    std::string shown;
    bool enabled = true;
    bool visible = true;
    bool focused = false;
    UINT checked = BST_UNCHECKED;
    DWORD limit = 0;            // edits: the most characters typing may give
    DWORD selStart = 0, selEnd = 0;
    int refusedKeys = 0;        // characters an edit refused (not a digit, over the limit)
    WORD hotKey = 0;
    int rangeMin = 0, rangeMax = 0, position = 0;   // up-down
    int buddyId = 0;            // the up-down's buddy control, 0 for none
    int iconResource = 0;       // a static icon
};
struct DialogView {
    HWND handle = NULL;
    int templateId = 0;
    std::string title;
    HWND owner = NULL;
    bool visible = false;
    bool enabled = true;
    bool topmost = false;
    bool active = false;
    bool foreground = false;
    int focusId = 0;            // the control with the focus; 0 for none or the dialog itself
    int bigIcon = 0, smallIcon = 0;   // icon resources
    std::vector<ControlView> controls;
    // The control `id`; throws Failure when there is none.
    const ControlView& Control(int id) const;
};
// The newest dialog made from template `templateId` that is not destroyed.
std::optional<DialogView> OpenDialog(int templateId);
std::optional<DialogView> DialogInfo(HWND dialog);
// Every dialog of the program that exists now, oldest first.
std::vector<DialogView> OpenDialogs();
HWND ActiveWindow();
HWND FocusWindow();

// Every common file-open dialog, as the program set it up and as it ended.
// Texts are UTF-8 as shown (A calls through the ANSI code page).
struct FileDialogRecord {
    bool wide = false;          // GetOpenFileNameW
    DWORD structSize = 0;
    HWND owner = NULL;
    HINSTANCE instance = NULL;
    std::vector<std::pair<std::string, std::string>> filter;   // description, patterns
    DWORD filterIndex = 0;
    std::string initialFile;    // what the file buffer held
    DWORD fileBufferSize = 0;   // characters
    bool fileTitleGiven = false;
    std::optional<std::string> initialDir;
    std::optional<std::string> title;
    std::optional<std::string> defaultExtension;
    DWORD flags = 0;
    bool hookGiven = false;
    bool open = false;
    std::optional<std::string> chosen;   // the path the user chose; none after Cancel
    BOOL result = FALSE;
    std::string directoryAfter;          // the process's current directory afterwards
};
const std::vector<FileDialogRecord>& FileDialogs();
std::string CurrentDirectory();

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
    // Waits, with a menu open, until `shows` accepts what the open menu shows.
    User& WhenMenuShows(const std::string& what, std::function<bool(const std::vector<MenuItemView>&)> shows);
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
    // Explorer restarts; the user changes the display scale (as the functions
    // of the same names above).
    User& RestartShell();
    User& ChangeDisplayDpi(UINT dpi);
    // At the CD drives, as the functions of the same names above.
    User& PressDriveButton(char letter);
    User& PushTrayIn(char letter);
    User& InsertDisc(char letter, const Disc& disc);
    User& TakeOutDisc(char letter);

    // In dialogs. The top dialog is the newest one shown that is enabled
    // (a dialog with a modal dialog of its own over it is disabled).
    // Waits until a dialog from template `templateId` shows.
    User& WhenDialogShows(int templateId);
    // Types `text` (UTF-8) into the window with the focus, character by
    // character, as the keyboard would: an edit's limit and digits-only rule apply.
    User& Type(const std::string& text);
    // Pastes `text` into the focused edit (its first line; the limit applies).
    User& Paste(const std::string& text);
    // Presses a key (VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB, VK_BACK): a hot
    // key registered for it without modifiers takes it, else the focused window.
    User& PressKey(UINT virtualKey);
    // A mouse click on control `controlId` of the top dialog, or of the newest
    // dialog from `templateId`: the dialog becomes active, then the control is clicked.
    User& ClickButton(int controlId);
    User& ClickButton(int templateId, int controlId);
    // A click on a check box of the top dialog.
    User& Tick(int controlId);
    // The user clicks the hot-key control and presses a combination:
    // `value` as HKM_GETHOTKEY gives it (low byte the key, high byte HOTKEYF_*).
    User& SetHotKey(int controlId, WORD value);
    // Answers the open file-open dialog with `path` (UTF-8), or cancels it.
    User& ChooseFile(const std::string& path);
    User& CancelFileDialog();
};
User& user();
// The first step of the script the program never came to, as an account;
// empty when every step ran.
std::string UnusedScript();

}  // namespace sim

#endif
