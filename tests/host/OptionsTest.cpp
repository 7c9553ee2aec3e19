// The Options dialog: what OK saves and registers, what Cancel puts back, the
// hot key, the player lookup, the start-up shortcut and the password box.
#include <algorithm>

#include <commctrl.h>
#include <commdlg.h>

#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

const char kStartup[] = "C:\\Users\\Ann\\Start Menu\\Programs\\Startup";
const std::string kShortcut = std::string(kStartup) + "\\Dorvane.lnk";

class OptionsTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
        sim::AddFile(DEFAULT_INSTALL_DIR "\\Dorvane.lnk", "shortcut");
        sim::AddDirectory(kStartup);
        sim::SetRegText(SHELL_FOLDERS_PATH, "StartUp", kStartup);
        sim::SetRegText(SHELL_FOLDERS_PATH, "Programs", "C:\\Users\\Ann\\Start Menu\\Programs");
        Store("AutoCloseTime", "15");
    }

    void OpenOptions()
    {
        Choose(IDM_OPTIONS);
        user.WhenDialogShows(IDD_OPTIONS);
    }

    // The check boxes and enabled controls of the open Options dialog, as "1022:1 1023:on ...".
    void ReadBoxes(std::string* seen)
    {
        Step([seen] {
            sim::DialogView options = *sim::OpenDialog(IDD_OPTIONS);
            for (int box : {IDC_LOAD_AT_STARTUP, IDC_AUTOCLOSE, IDC_PASSWORD_PROTECT})
                *seen += std::to_string(box) + ":" + std::to_string(options.Control(box).checked) + " ";
            for (int control : {IDC_LOAD_AT_STARTUP, IDC_TIME_LABEL, IDC_TIME_UPDOWN, IDC_TIME, IDC_SECONDS_LABEL,
                                IDC_CHANGE_PASSWORD})
                if (options.Control(control).enabled) *seen += std::to_string(control) + " ";
        });
    }
};

std::string HotKeysOf(int id)
{
    std::string keys;
    for (const sim::HotKeyView& key : sim::HotKeys())
        if (key.id == id) keys += std::to_string(key.modifiers) + "+" + std::to_string(key.virtualKey);
    return keys;
}

TEST_F(OptionsTest, OkSavesEachSettingAsShownAndTyped)
{
    sim::AddFile("C:\\Windows\\System32\\tunes.exe");
    Store("Player", "C:\\Old\\cd.exe");
    std::string boxes, shown;
    OpenOptions();
    ReadBoxes(&boxes);
    Step([&] {
        sim::DialogView options = *sim::OpenDialog(IDD_OPTIONS);
        const sim::ControlView& upDown = options.Control(IDC_TIME_UPDOWN);
        shown = std::to_string(upDown.rangeMin) + ".." + std::to_string(upDown.rangeMax) + " " +
                options.Control(IDC_TIME).text + " " + options.Control(IDC_PLAYER).text + " " +
                std::to_string(options.Control(IDC_PLAYER).limit);
    });
    user.Tick(IDC_AUTOCLOSE).Tick(IDC_LOAD_AT_STARTUP);
    ReadBoxes(&boxes);
    // A second request brings the shown dialog to the front.
    Choose(IDM_OPTIONS);
    const Seen& again = Look();
    Step([] { EXPECT_TRUE(sim::OpenDialog(IDD_OPTIONS)->foreground); });
    user.ClickButton(IDC_PLAYER).Type(std::string(13, '\b')).Paste("C:\\Elsewhere\\tunes.exe").ClickButton(IDOK);
    const Seen& after = Look();
    EXPECT_EQ(0, RunToExit());

    EXPECT_EQ("1025:0 1022:0 1028:0 1025 1025:1 1022:1 1028:0 1025 1015 1024 1023 1017 ", boxes);
    EXPECT_EQ("5..300 15 C:\\Old\\cd.exe 260", shown);
    EXPECT_EQ(std::vector<int>{IDD_OPTIONS}, again.dialogs);
    EXPECT_TRUE(after.dialogs.empty());
    EXPECT_EQ("1", Saved("AutoCloseAllowed"));
    EXPECT_EQ("C:\\Elsewhere\\tunes.exe", Saved("Player")) << "the path as typed, though found elsewhere";
    EXPECT_TRUE(sim::FileExists(kShortcut)) << "the shortcut is copied on OK";
    EXPECT_EQ(0u, sim::CurrentErrorMode()) << "the player's lookup and the shortcut's copy put the error mode back";
}

struct HotKeyRow {
    const char* what;
    WORD pressed;        // 0: the Default button
    const char* saved;
    std::string registered;
    const char* time = "15";   // typed for the countdown's time, and what is kept
};
const HotKeyRow kHotKeys[] = {
    {"a bare key gets Control and Alt", 'K', "1611", std::to_string(MOD_CONTROL | MOD_ALT) + "+75", ""},
    {"Control and Shift", MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT), "849",
     std::to_string(MOD_CONTROL | MOD_SHIFT) + "+81", "3"},
    {"Default", 0, "1568", std::to_string(MOD_CONTROL | MOD_ALT) + "+32"},
};
using OptionsHotKey = Rows<OptionsTest>;

TEST_P(OptionsHotKey, TheControlGivesTheKeyThatIsRegisteredAndSaved)
{
    const HotKeyRow& c = kHotKeys[GetParam()];
    Store("HotKey", std::to_string(MAKEWORD('Z', HOTKEYF_CONTROL | HOTKEYF_ALT)));
    Store("AutoCloseAllowed", "1");
    Step([] { EXPECT_EQ(std::to_string(MOD_CONTROL | MOD_ALT) + "+90", HotKeysOf(2001)); });
    OpenOptions();
    if (c.pressed) user.SetHotKey(IDC_HOTKEY, c.pressed);
    else user.ClickButton(IDC_DEFAULT_HOTKEY);
    // An emptied time keeps the old one; a pasted one is taken as it is, even one digit below the range.
    if (std::string(c.time) != "15") user.ClickButton(IDC_TIME).Type("\b\b").Paste(c.time);
    user.ClickButton(IDOK);
    Step([&c] { EXPECT_EQ(c.registered, HotKeysOf(2001)) << "the old key is given up for the new one"; });
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE);
    const Seen& opened = Look();
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.saved, Saved("HotKey"));
    EXPECT_EQ(*c.time ? c.time : "15", Saved("AutoCloseTime"));
    EXPECT_EQ(*c.time ? c.time : "15", opened.countdown) << "the next opening counts down from the new time";
}
ROWS(OptionsHotKey, kHotKeys);

// Every box on and the lock on; Cancel puts back what the boxes and the password prompt changed.
TEST_F(OptionsTest, CancelPutsBackTheBoxesAndTheLock)
{
    Store("Locked", "1");
    Store("AutoCloseAllowed", "1");
    Store("Password", "p");
    sim::AddFile(kShortcut, "shortcut");
    std::string before, after;
    OpenOptions();
    ReadBoxes(&before);
    user.Tick(IDC_AUTOCLOSE).Tick(IDC_LOAD_AT_STARTUP).Tick(IDC_PASSWORD_PROTECT);
    user.WhenDialogShows(IDD_PASSWORD_PROMPT).Type("p").ClickButton(IDOK);
    const Seen& unlocked = Look();
    user.ClickButton(IDD_OPTIONS, IDCANCEL);
    const Seen& cancelled = Look();
    OpenOptions();
    ReadBoxes(&after);
    user.ClickButton(IDCANCEL).EndTask();
    Run();
    EXPECT_EQ("1025:1 1022:1 1028:1 1025 1015 1024 1023 1017 1030 ", before);
    EXPECT_EQ(before, after);
    EXPECT_FALSE(unlocked.ticking);
    EXPECT_TRUE(cancelled.ticking) << "the lock's tick goes and comes with the lock";
    EXPECT_EQ("1", Saved("AutoCloseAllowed")) << "Cancel saves nothing";
}

struct PasswordBoxRow {
    const char* what;
    const char* stored;
    const char* locked;
    int asks;                 // the dialog the click shows, 0 for none
    const char* answer;       // typed there (both fields of a new password), null for Cancel
    const char* boxes;        // the box and the Change button afterwards; "tick" while the lock's tick runs
    const char* saved;        // Locked, saved on OK
};
const PasswordBoxRow kPasswordBoxes[] = {
    {"no password, the new one cancelled", "", "0", IDD_PASSWORD_CHANGE, nullptr, "1028:0 ", "0"},
    {"no password, a new one given", "", "0", IDD_PASSWORD_CHANGE, "door", "1028:1 1030 tick", "1"},
    {"a password, locking", "p", "0", 0, nullptr, "1028:1 1030 tick", "1"},
    {"unlocking cancelled", "p", "1", IDD_PASSWORD_PROMPT, nullptr, "1028:1 1030 tick", "1"},
    {"unlocking with the password", "p", "1", IDD_PASSWORD_PROMPT, "p", "1028:0 ", "0"},
};
using OptionsPasswordBox = Rows<OptionsTest>;

TEST_P(OptionsPasswordBox, AsksForWhatEachChangeNeeds)
{
    const PasswordBoxRow& c = kPasswordBoxes[GetParam()];
    Store("Password", c.stored);
    Store("Locked", c.locked);
    OpenOptions();
    user.Tick(IDC_PASSWORD_PROTECT);
    if (c.asks) {
        user.WhenDialogShows(c.asks);
        Step([&c] {
            EXPECT_EQ(c.locked[0] == '1' ? BST_CHECKED : BST_UNCHECKED,
                      sim::OpenDialog(IDD_OPTIONS)->Control(IDC_PASSWORD_PROTECT).checked)
                << "the box shows the lock as it is until the dialog has answered";
            EXPECT_EQ("Options", OwnerOf(sim::OpenDialog(c.asks)->owner));
        });
        if (!c.answer) user.ClickButton(IDCANCEL);
        else if (c.asks == IDD_PASSWORD_PROMPT) user.Type(c.answer).ClickButton(IDOK);
        else user.Type(c.answer).ClickButton(IDC_RETYPE_PASSWORD).Type(c.answer).ClickButton(IDOK);
    }
    Step([&c] {
        sim::DialogView options = *sim::OpenDialog(IDD_OPTIONS);
        EXPECT_EQ(IDD_OPTIONS, sim::OpenDialogs().back().templateId) << "no password dialog is left";
        EXPECT_EQ(c.boxes, "1028:" + std::to_string(options.Control(IDC_PASSWORD_PROTECT).checked) + " " +
                               (options.Control(IDC_CHANGE_PASSWORD).enabled ? "1030 " : "") +
                               (Ticking() ? "tick" : ""));
    });
    user.ClickButton(IDD_OPTIONS, IDOK);
    user.EndTask();
    Run();
    EXPECT_EQ(c.saved, Saved("Locked"));
}
ROWS(OptionsPasswordBox, kPasswordBoxes);

// The player path is kept in the system's code page: OK takes it when it
// comes back from that code page as typed, on any system, UTF-8 included, and
// is found along the search order; Browse opens in the Programs folder on each.
// A refused path stays selected until a file chosen by Browse replaces it.
struct PlayerPathRow {
    const char* what;
    UINT codePage;
    std::string typed;
    const char* found;   // a file of this name along the search order
    bool taken;
};
const char kCyrillic[] = "C:\\Музыка\\плеер.exe";
// The code page has no "ā": its best fit "a" would name another file.
const char kBestFit[] = "C:\\Tools\\tāl.exe";
// Too long for a path in UTF-8, though not in characters.
std::string LongPlayer()
{
    std::string path = "C:\\";
    for (int i = 0; i < 40; ++i) path += "плеер";
    return path + ".exe";
}
const PlayerPathRow kPlayerPaths[] = {
    {"1252 none", 1252, "", NULL, true},
    {"1252 outside the search order", 1252, "C:\\Tools\\tunes.exe", NULL, false},
    {"1251 Cyrillic", 1251, kCyrillic, "плеер.exe", true},
    {"1251 best fit", 1251, kBestFit, "tal.exe", false},
    {"UTF-8 Cyrillic", CP_UTF8, kCyrillic, "плеер.exe", true},
    {"UTF-8 too long", CP_UTF8, LongPlayer(), NULL, false},
};
using OptionsPlayerPath = Rows<OptionsTest>;

TEST_P(OptionsPlayerPath, IsTakenWhenTheSystemCodePageHoldsIt)
{
    const PlayerPathRow& c = kPlayerPaths[GetParam()];
    sim::SetAnsiCodePage(c.codePage);
    // Names and settings are bytes in the system's code page.
    auto bytes = [&c](const std::string& text) { return c.codePage == 1251 ? Cp1251(text) : text; };
    if (c.found) sim::AddFile("C:\\Windows\\System32\\" + bytes(c.found));
    sim::AddFile("C:\\Tools\\tunes.exe");
    sim::AddFile("C:\\Music\\player.exe");
    std::string refused;
    OpenOptions();
    user.ClickButton(IDC_BROWSE).CancelFileDialog();
    if (c.typed[0] != '\0') user.ClickButton(IDC_PLAYER).Paste(c.typed);
    user.ClickButton(IDOK);
    if (!c.taken) {
        user.AnswerMessageBox(IDOK);
        Step([&refused] {
            sim::DialogView options = *sim::OpenDialog(IDD_OPTIONS);
            const sim::ControlView& edit = options.Control(IDC_PLAYER);
            refused = std::to_string(options.focusId) + " " + std::to_string(edit.selStart) + "-" +
                      std::to_string(edit.selEnd) + " " + edit.text;
        });
        // The current directory moves to the chosen file's folder, where it is found.
        user.ClickButton(IDC_BROWSE).ChooseFile("C:\\Music\\player.exe").ClickButton(IDOK);
    }
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.taken ? std::vector<std::string>{} : std::vector<std::string>{"File not found!"}, MessageTexts());
    EXPECT_EQ(c.taken ? "" : "Options", Joined(BoxOwners())) << "Options waits under its box";
    EXPECT_EQ(!c.taken ? "C:\\Music\\player.exe" : c.typed[0] != '\0' ? bytes(c.typed) : "(none)", Saved("Player"));
    if (!c.taken) {
        const size_t typed = std::count_if(c.typed.begin(), c.typed.end(), [](char b) { return (b & 0xC0) != 0x80; });
        EXPECT_EQ("1020 0-" + std::to_string(typed) + " " + c.typed, refused);
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND | MB_SETFOREGROUND), sim::MessageBoxes().at(0).type);
    }
    ASSERT_EQ(c.taken ? 1u : 2u, sim::FileDialogs().size());
    const sim::FileDialogRecord& browse = sim::FileDialogs()[0];
    EXPECT_EQ("Options", OwnerOf(browse.owner));
    EXPECT_EQ("C:\\Users\\Ann\\Start Menu\\Programs", browse.initialDir.value_or("(none)"));
    // The filter is in the language of the moment, its first entry chosen.
    EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"Programs", "*.exe;*.com;*.bat;*.pif;*.lnk"},
                                                               {"All Files", "*.*"}}),
              browse.filter);
    EXPECT_EQ(1u, browse.filterIndex);
}
ROWS(OptionsPlayerPath, kPlayerPaths);

struct ShortcutRow {
    const char* what;
    bool existed;
    std::function<void()> meanwhile;
    bool exists;
    std::vector<std::string> messages;
};
const ShortcutRow kShortcuts[] = {
    {"unticked", true, [] {}, false, {}},
    {"made meanwhile", false, [] { sim::AddFile(kShortcut, "mine"); }, true, {}},
    {"no shortcut in the install folder", false, [] { sim::RemoveFile(DEFAULT_INSTALL_DIR "\\Dorvane.lnk"); },
     false, {"Failed to write information."}},
    // Unticked, a shortcut that cannot be deleted leaves the program starting with Windows: that is told.
    {"unticked, the delete refused", true, [] { sim::FailCall("DeleteFileA", kShortcut); }, true,
     {"Failed to write information."}},
    {"unticked, gone meanwhile: nothing to delete", true, [] { sim::RemoveFile(kShortcut); }, false, {}},
};
using OptionsShortcut = Rows<OptionsTest>;

TEST_P(OptionsShortcut, TheStartupShortcutFollowsTheBoxOnOk)
{
    const ShortcutRow& c = kShortcuts[GetParam()];
    if (c.existed) sim::AddFile(kShortcut, "shortcut");
    OpenOptions();
    user.Tick(IDC_LOAD_AT_STARTUP).Do(c.what, c.meanwhile).ClickButton(IDOK);
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.messages, MessageTexts());
    EXPECT_EQ(c.messages.empty() ? "" : "Options", Joined(BoxOwners())) << "Options waits under its box";
    EXPECT_EQ(c.exists, sim::FileExists(kShortcut));
    if (std::string(c.what) == "made meanwhile") {
        EXPECT_EQ("mine", sim::FileContents(kShortcut).value_or("")) << "not overwritten";
    }
}
ROWS(OptionsShortcut, kShortcuts);

TEST_F(OptionsTest, WithoutAStartupFolderTheBoxIsOffAndTheShortcutNeverTouched)
{
    sim::SetRegText(SHELL_FOLDERS_PATH, "StartUp", "");
    std::string boxes;
    OpenOptions();
    ReadBoxes(&boxes);
    user.ClickButton(IDOK);
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ("1025:0 1022:0 1028:0 ", boxes);
    EXPECT_EQ(-1, sim::TraceIndex("DeleteFileA"));
}

}  // namespace
