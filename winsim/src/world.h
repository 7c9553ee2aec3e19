// The simulated machine's state, shared by the winsim sources.
#ifndef WINSIM_WORLD_H
#define WINSIM_WORLD_H

#include <windows.h>
#include <dbt.h>
#include <shellapi.h>
#include <winsim/sim.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace sim {

// Ends the process from outside; RunProcess treats it as a normal end.
struct EndTaskRequest {
};

std::string Upper(std::string text);
bool SameText(const std::string& a, const std::string& b);
struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const { return Upper(a) < Upper(b); }
};
std::string Hex(unsigned long value);
std::string Describe(const char* text);   // a text for failure reports, quoted

// ---- Resources read from the program's .rc ----
struct ControlTemplate {
    std::string className;
    std::string text;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};
struct DialogTemplate {
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    std::string font;
    int fontSize = 0;
    std::vector<ControlTemplate> controls;
};
struct MenuTemplateItem {
    std::string text;
    UINT id = 0;
    UINT type = MFT_STRING;
    UINT state = 0;
    bool popup = false;
    std::vector<MenuTemplateItem> items;
};
struct Resources {
    std::map<int, DialogTemplate> dialogs;
    std::map<int, std::vector<MenuTemplateItem>> menus;
    std::map<int, std::string> icons;     // id -> file
    std::map<int, std::string> bitmaps;   // id -> file
    std::string manifest;                 // the application manifest's text, empty when there is none
};
Resources ParseResourceScript(const std::string& path);

// ---- Registry ----
struct RegKey {
    std::string path;   // HKCU\Software\...
    std::string className;
    std::map<std::string, RegValue, CaseLess> values;
    std::map<std::string, std::unique_ptr<RegKey>, CaseLess> keys;
};

// ---- Files ----
struct FileEntry {
    std::string path;   // as created
    std::string contents;
    bool directory = false;
};
struct Search {
    std::vector<std::string> names;
    std::vector<bool> directories;
    size_t next = 0;
};

// ---- Windows ----
struct Window {
    HWND handle = NULL;
    std::string className;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = NULL;   // for child controls
    HWND owner = NULL;
    int controlId = 0;
    DLGPROC dialogProc = NULL;
    int templateId = 0;
    const DialogTemplate* dialogTemplate = NULL;
    LONG_PTR msgResult = 0;
    LONG_PTR userData = 0;
    HICON bigIcon = NULL;
    HICON smallIcon = NULL;
    bool enabled = true;
    bool visible = false;
    bool unicode = false;   // a dialog made by DialogBoxParamW
    bool destroyed = false;
    bool destroying = false;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    int messageBox = -1;   // index into MessageBoxes for a message box window
    std::vector<HWND> children;
    bool topmost = false;
    HWND savedFocus = NULL;   // a dialog's focus while another window is active

    // Child controls (controls.cpp).
    DWORD editLimit = 30000;
    DWORD selStart = 0, selEnd = 0;
    int refusedKeys = 0;      // typed characters an edit refused (digits only, limit)
    UINT check = BST_UNCHECKED;
    bool pushed = false;      // Space held on a button
    WORD hotKey = 0;
    WORD hotKeyInvalid = 0;   // HKCOMB_* the control refuses
    WORD hotKeyReplacement = 0;
    int upDownMin = 100, upDownMax = 0, upDownPos = 0;   // the control's defaults
    bool upDownBuddyInt = false;
    HWND buddy = NULL;
    int iconResource = 0;     // a static icon's resource
};

// ---- Icons ----
struct IconObject {
    int resource = 0;
    int size = 0;           // the side of the square image
    bool shared = false;    // LoadIconA's: the system owns it
    bool destroyed = false;
};

// ---- Menus ----
// An item as user32 keeps it: the text in UTF-16, NULL (hasText false) apart
// from an empty one.
struct MenuItem {
    UINT id = 0;
    UINT type = MFT_STRING;   // MFT_* bits; a pop-up is an item with `popup`
    UINT state = 0;
    std::u16string text;
    bool hasText = false;
    HMENU popup = NULL;
    HBITMAP checked = NULL;
    HBITMAP unchecked = NULL;
    HBITMAP picture = NULL;   // hbmpItem
    ULONG_PTR data = 0;
};
struct Menu {
    std::vector<MenuItem> items;
    bool destroyed = false;
};
struct Tracking {
    HMENU menu = NULL;
    bool done = false;
    UINT chosen = 0;
};

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT period;
    TIMERPROC proc;
    DWORD due;
};
struct HotKey {
    HWND window;
    int id;
    UINT modifiers;
    UINT virtualKey;
};

struct Fault {
    std::string api;
    std::string subject;
    DWORD error;
    int times;
};

// ---- Drives and discs ----
struct CdDrive {
    char letter = 'D';
    bool trayOpen = false;
    bool hasDisc = false;
    Disc disc;
    DWORD doorTime = 1000;   // ms one tray movement commanded through MCI takes
    int media = 0;           // counts loads and ejects: a file opened on an older medium is gone
    enum class Play { Stopped, Playing, Paused } play = Play::Stopped;
    DWORD position = 0;      // absolute frame (the first track starts at 150) unless playing
    DWORD playFrom = 0;
    DWORD playTo = 0;
    DWORD playStartedAt = 0;
};
struct MciAnswer {
    std::string command;
    std::string answer;
    int times;
};
struct MciDevice {
    UINT id = 0;
    std::string alias;
    size_t drive = 0;        // index into World::cdDrives
    bool shareable = false;
    int timeFormat = 0;      // MCI_FORMAT_MSF until set
    size_t process = 0;      // the process that opened it (see mci.cpp)
};
struct OpenedFile {
    std::string key;         // the normalised path
    std::string contents;
    size_t offset = 0;
    DWORD shareMode = 0;
    char drive = 0;          // the CD drive it lies on, 0 for the fixed disk
    int media = 0;
};

// ---- The scripted user ----
struct Step {
    std::string what;
    std::function<bool()> ready;          // may the step run now?
    std::function<DWORD()> wakeAt;        // when it becomes ready by time alone (0: not by time)
    std::function<void()> act;
    std::string waitingFor;               // for failure reports
    bool started = false;
    DWORD startedAt = 0;
    bool outside = false;                 // acts on another program: possible while this one is blocked
};

struct World {
    DWORD now = 0;
    DWORD timeLimit = 120000;
    DWORD processStart = 0;
    DWORD lastError = 0;
    UINT errorMode = 0;
    long dispatched = 0;

    // Process
    bool processRunning = false;
    bool otherInstanceRunning = false;
    std::string imagePath;
    std::string currentDirectory = "C:\\";
    std::vector<std::string> systemSearchPath;
    std::vector<ProcessStart> processStarts;
    std::vector<ShellLaunch> shellLaunches;
    std::set<HANDLE> kernelHandles;
    uintptr_t nextHandle = 0x1000;

    Resources resources;
    bool resourcesLoaded = false;

    // Registry
    RegKey currentUser;
    RegKey localMachine;
    std::map<HKEY, RegKey*> regHandles;
    std::map<HKEY, REGSAM> regAccess;   // the rights each handle was opened with

    // Files
    std::map<std::string, FileEntry> files;   // by normalised upper-case path
    std::map<HANDLE, Search> searches;

    // Windows and messages
    std::map<HWND, std::unique_ptr<Window>> windows;
    HWND desktop = NULL;
    HWND foreground = NULL;
    HWND active = NULL;
    HWND focus = NULL;
    std::vector<HWND> activations;   // windows in the order they were last activated
    std::u16string clipboard;
    std::vector<FileDialogRecord> fileDialogs;
    DWORD commDlgError = 0;
    POINT cursor = {1000, 740};
    std::deque<MSG> queue;
    // Messages other programs sent (the shell's icon notifications, the
    // system's broadcasts): the thread handles them, ahead of its queue,
    // whenever it waits for messages or for another program (a cross-process
    // send).
    std::deque<MSG> sent;
    DWORD lastWaited = 0;   // when the thread last waited for messages (and took the sent ones)
    bool quitPosted = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    std::map<UINT_PTR, int> timerFirings;
    std::vector<HotKey> hotKeys;
    std::vector<HotKey> hotKeysOfOthers;

    // Menus
    std::map<HMENU, Menu> menus;
    std::vector<Tracking*> tracking;
    std::vector<MenuShowing> menusShown;

    // ---- Menus, bitmaps and code pages ----
    UINT ansiCodePage = 1252;
    std::map<HBITMAP, int> bitmaps;          // live handles -> bitmap resource
    std::map<HBITMAP, int> deletedBitmaps;   // freed handles -> bitmap resource

    std::vector<MessageBoxRecord> messageBoxes;

    // Shell
    std::vector<TrayIconRecord> trayIcons;
    std::vector<TrayCall> trayCalls;
    std::map<HICON, IconObject> icons;

    // The system and the display
    WindowsRelease release = WindowsRelease::Windows10;
    UINT systemDpi = 96;
    UINT monitorDpi = 96;
    UINT secondMonitorDpi = 0;   // 0: one monitor
    int taskbarMonitor = 0;      // -1: no taskbar
    bool elevated = false;
    std::map<std::string, UINT, CaseLess> registeredMessages;   // the session's, across processes
    std::set<UINT> processMessageFilter;                         // ChangeWindowMessageFilter
    std::set<std::pair<HWND, UINT>> windowMessageFilter;         // ChangeWindowMessageFilterEx
    std::set<std::string, CaseLess> loadedModules;               // LoadLibraryExA's, this process

    std::vector<Fault> faults;
    FailureDecision decideFailures;
    std::function<void()> idleWatch;
    std::vector<std::string> trace;

    std::vector<Step> steps;
    size_t nextStep = 0;
    bool acceptMessageBoxes = false;

    // Drives and discs
    std::vector<CdDrive> cdDrives;   // in letter order
    std::vector<MciDevice> mciDevices;
    std::vector<MciCall> mciCalls;
    std::vector<MciAnswer> mciAnswers;
    MciDriver mciDriver;
    size_t mciProcess = 0;           // trace line of the current process's start
    size_t mciTraceSeen = 0;
    std::map<HANDLE, OpenedFile> openedFiles;
    // What the system's media broadcasts point at, kept until the world goes.
    std::deque<DEV_BROADCAST_VOLUME> mediaNotices;
};

World& W();

// Shared helpers
uintptr_t NewHandleValue();
void Log(const std::string& line);
// True (and sets the last error) when a fault for this call is due.
bool Faulted(const char* api, const std::string& subject);

Window* FindWindow(HWND window);   // null when absent or destroyed
bool IsChildOf(HWND parent, HWND window);
LRESULT CallWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// `unicode`: made by a W call. An ANSI dialog's own text goes through the ANSI
// code page, as DefDlgProcA stores it.
HWND CreateDialogWindow(const DialogTemplate& dialog, HWND owner, DLGPROC proc, LPARAM param, bool unicode = false);
void EndProcessWindows();

// Dialog controls, focus and activation (controls.cpp, activation.cpp).
HWND CreateControl(HWND dialog, const ControlTemplate& control, HWND previous);
LRESULT ControlProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
bool IsControlClass(const Window& window, const char* className);
bool IsPushButton(const Window& window);
bool IsCheckBox(const Window& window);
void SetText(HWND handle, const std::u16string& text);   // SetWindowText for any window
std::u16string TextOf(const Window& window);
HWND FirstTabStop(HWND dialog);
HWND NextTabStop(HWND dialog, HWND from);
HWND TopLevel(HWND handle);
// The user's click on a button (focus, check box state, BN_CLICKED to the dialog).
void ClickControl(HWND button);
void ChangeFocus(HWND handle);
void Activate(HWND handle);
// `handle` goes away or hides: its owner, else the last active window still shown, becomes active.
void ActivateOther(HWND handle);
bool WindowEnabled(HWND handle);   // it and its parents
// The user presses a combination in a hot-key control (HKM_GETHOTKEY's form).
void PressHotKey(HWND control, WORD value);
std::vector<ControlView> ControlViews(const Window& dialog);

// What a wait is for, in failure reports.
enum class LoopEnd { Done, Quit };
// Dispatches the thread's messages and lets the user act until `done()`;
// a modal dialog's keys go through IsDialogMessageA first.
LoopEnd ModalLoop(HWND dialog, const std::function<bool()>& done, const std::string& what);
// Nothing to dispatch: let the user act, or move the clock to the next
// timer or scripted moment. Timers count only when `eligible` accepts them.
void Idle(const std::string& what, const std::function<bool(const Timer&)>& eligible);
bool TakeDueTimer(MSG* message, const std::function<bool(const Timer&)>& eligible);
// Hands the messages other programs sent to their window procedures.
void DeliverSent();
// The thread is blocked for `milliseconds`: nothing is dispatched, but time
// passes and the user may act on other programs (click the icon) meanwhile.
void BlockFor(DWORD milliseconds);
void FreeWindowTimersAndHotKeys(HWND window);

// A step of the scripted user (script.cpp).
User& AddScriptStep(const std::string& what, std::function<bool()> ready, std::function<void()> act,
                    const std::string& waitingFor);

// ---- Menus, bitmaps and code pages ----
Menu* FindMenu(HMENU handle);                      // null when absent or destroyed
MenuItem* FindMenuCommand(HMENU handle, UINT id);  // a command item (not a pop-up), depth first
std::vector<MenuItemView> MenuView(HMENU handle);
// Fails the run when the menu tree shows a check-mark bitmap that was deleted.
void CheckShownBitmaps(HMENU handle);
// The bitmap resource of a handle, as MenuItemView reports it.
int BitmapView(HBITMAP bitmap);

// Conversions; code pages 1251, 1252 and 65001, CP_ACP meaning the machine's.
bool KnownCodePage(UINT codePage);
std::u16string Decode(UINT codePage, const std::string& bytes);
std::string Encode(UINT codePage, const std::u16string& text, bool* usedDefault = NULL);
std::string Utf8(const std::u16string& text);
std::u16string FromUtf8(const std::string& text);
// A NUL-terminated ANSI text as the user sees it, in UTF-8; NULL gives "".
std::string ShownAnsi(const char* text);
std::u16string WideText(const WCHAR* text);   // up to its NUL; NULL gives ""

std::string NormalizePath(const std::string& path);
const FileEntry* FindFile(const std::string& path);
bool ResolveExecutable(const std::string& name, std::string* found);

// The system and the display (display.cpp, modules.cpp, broadcast.cpp).
// Whether the program's manifest makes it DPI aware, and the DPI it is shown.
bool ProcessDpiAware();
UINT ProcessSystemDpi();
// The function `name` of `module` is exported by the machine's Windows.
bool SystemExports(const std::string& module, const std::string& name);
// The shell sends `message` to every top-level window of the program that is
// shown or has no owner, through the message filter of an elevated program.
void ShellBroadcast(UINT message);
// The system tells every such window that media came into drive `letter` or
// went out of it (WM_DEVICECHANGE); its rights are above any program's.
void MediaBroadcast(char letter, bool arrived);
UINT TaskbarCreatedMessage();
// The end of the program's process: what it loaded and let through goes.
void EndProcessSystemState();

// Drives and discs
CdDrive* FindCdDrive(char letter);   // null for a letter that is no CD drive
// Whether the root of `letter` can be listed now (C:, or a CD drive with a readable disc loaded).
bool RootListable(char letter);
// True for paths off the CD drives and for a loaded, readable disc. Otherwise
// sets the last error, after the system's "No Disk" box when the error mode
// lets it show (the thread waits in it: nothing is dispatched meanwhile).
bool CdPathReadable(const std::string& normalized);

}  // namespace sim

#endif
