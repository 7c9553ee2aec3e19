// The Options dialog: what OK saves and registers, what Cancel puts back, the
// player lookup, the start-up shortcut and the password box.
#include <commctrl.h>

#include "DriveScenario.h"
#include "res/resource.h"

namespace {

const char kStartup[] = "C:\\Users\\Ann\\Start Menu\\Programs\\Startup";
const char kShellFolders[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class OptionsTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
        sim::AddFile(DEFAULT_INSTALL_DIR "\\Dorvane.lnk", "shortcut");
        sim::AddDirectory(kStartup);
        sim::SetRegText(kShellFolders, "StartUp", kStartup);
        sim::SetRegText(SETTINGS_PATH, "AutoCloseTime", "15");
    }

    void OpenOptions() { user.RightClickTray().ChooseMenuItem(IDM_OPTIONS).WhenDialogShows(IDD_OPTIONS); }

    int Finish()
    {
        user.RightClickTray().ChooseMenuItem(IDM_EXIT);
        return Run();
    }

    static std::string Saved(const char* name)
    {
        auto value = sim::GetRegValue(SETTINGS_PATH, name);
        return value ? value->data : "(none)";
    }
};

}  // namespace

TEST_F(OptionsTest, OkSavesEachSettingAndRegistersTheNewHotKey)
{
    sim::AddFile("C:\\Windows\\System32\\tunes.exe");
    std::string title;
    OpenOptions();
    user.Do("look", [&] { title = sim::OpenDialog(IDD_OPTIONS)->title; });
    user.SetHotKey(IDC_HOTKEY, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    user.Tick(IDC_AUTOCLOSE).Tick(IDC_LOAD_AT_STARTUP);
    user.ClickButton(IDC_TIME).Type("0");   // 15 becomes 150
    user.ClickButton(IDC_PLAYER).Paste("C:\\Elsewhere\\tunes.exe").ClickButton(IDOK);
    std::vector<sim::HotKeyView> keys;
    user.Do("look", [&] { keys = sim::HotKeys(); });
    EXPECT_EQ(0, Finish());

    EXPECT_EQ("Options", title);
    EXPECT_EQ(std::to_string(MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT)), Saved("HotKey"));
    ASSERT_EQ(1u, keys.size());
    EXPECT_EQ(static_cast<UINT>(MOD_CONTROL | MOD_SHIFT), keys[0].modifiers);
    EXPECT_EQ(static_cast<UINT>('Q'), keys[0].virtualKey);
    EXPECT_EQ("1", Saved("AutoCloseAllowed"));
    EXPECT_EQ("150", Saved("AutoCloseTime"));
    EXPECT_EQ("C:\\Elsewhere\\tunes.exe", Saved("Player")) << "the path as typed, though found elsewhere";
    EXPECT_EQ("0", Saved("Locked"));
    EXPECT_TRUE(sim::FileExists(std::string(kStartup) + "\\Dorvane.lnk")) << "the shortcut is copied on OK";
}

TEST_F(OptionsTest, CancelPutsBackWhatTheBoxesChanged)
{
    sim::AddFile(std::string(kStartup) + "\\Dorvane.lnk", "shortcut");
    OpenOptions();
    user.Tick(IDC_AUTOCLOSE).Tick(IDC_LOAD_AT_STARTUP).ClickButton(IDCANCEL);
    // Opened again, the dialog shows the values as they were.
    std::vector<UINT> checks;
    OpenOptions();
    user.Do("look", [&] {
        sim::DialogView options = *sim::OpenDialog(IDD_OPTIONS);
        checks = {options.Control(IDC_AUTOCLOSE).checked, options.Control(IDC_LOAD_AT_STARTUP).checked};
        EXPECT_FALSE(options.Control(IDC_TIME).enabled);
    });
    user.ClickButton(IDCANCEL);
    EXPECT_EQ(0, Finish());
    EXPECT_EQ((std::vector<UINT>{BST_UNCHECKED, BST_CHECKED}), checks);
    EXPECT_EQ("(none)", Saved("AutoCloseAllowed")) << "Cancel saves nothing";
    EXPECT_TRUE(sim::FileExists(std::string(kStartup) + "\\Dorvane.lnk"));
}

TEST_F(OptionsTest, APlayerOutsideTheSearchOrderIsRefusedUntilBrowsedTo)
{
    sim::AddFile("C:\\Tools\\tunes.exe");
    std::string focusAfterRefusal;
    OpenOptions();
    user.ClickButton(IDC_PLAYER).Type("C:\\Tools\\tunes.exe").ClickButton(IDOK).AnswerMessageBox(IDOK);
    user.Do("look", [&] { focusAfterRefusal = std::to_string(sim::OpenDialog(IDD_OPTIONS)->focusId); });
    // Browsing to it moves the current directory there, where it is found.
    user.ClickButton(IDC_BROWSE).ChooseFile("C:\\Tools\\tunes.exe").ClickButton(IDOK);
    EXPECT_EQ(0, Finish());
    EXPECT_EQ(std::vector<std::string>{"File not found!"}, MessageTexts());
    EXPECT_EQ(std::to_string(IDC_PLAYER), focusAfterRefusal);
    EXPECT_EQ("C:\\Tools\\tunes.exe", Saved("Player"));
    ASSERT_EQ(1u, sim::FileDialogs().size());
}

// The player path is kept in the system's code page: OK takes it when it
// comes back from that code page as typed, on any system, UTF-8 included.
TEST_F(OptionsTest, APlayerPathIsTakenWhenTheSystemCodePageHoldsIt)
{
    struct Case {
        UINT codePage;
        const char* typed;
        const char* found;   // a file of this name along the search order
        bool taken;
    };
    const char kCyrillic[] = "C:\\Музыка\\плеер.exe";
    // The code page has no "ā": its best fit "a" would name another file.
    const char kBestFit[] = "C:\\Tools\\tāl.exe";
    const Case cases[] = {
        {1252, "", NULL, true},           {1252, "C:\\Tools\\tunes.exe", "tunes.exe", true},
        {1252, kCyrillic, NULL, false},   {1252, kBestFit, "tal.exe", false},
        {1251, "", NULL, true},           {1251, "C:\\Tools\\tunes.exe", "tunes.exe", true},
        {1251, kCyrillic, "плеер.exe", true}, {1251, kBestFit, "tal.exe", false},
        {CP_UTF8, "", NULL, true},        {CP_UTF8, "C:\\Tools\\tunes.exe", "tunes.exe", true},
        {CP_UTF8, kCyrillic, "плеер.exe", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.typed);
        SetUp();
        sim::SetAnsiCodePage(c.codePage);
        // Names and settings are bytes in the system's code page.
        auto bytes = [&c](const std::string& text) { return c.codePage == 1251 ? Cp1251(text) : text; };
        if (c.found) sim::AddFile("C:\\Windows\\System32\\" + bytes(c.found));
        OpenOptions();
        if (c.typed[0] != '\0') user.ClickButton(IDC_PLAYER).Paste(c.typed);
        user.ClickButton(IDOK);
        if (!c.taken) user.AnswerMessageBox(IDOK).ClickButton(IDCANCEL);
        EXPECT_EQ(0, Finish());
        EXPECT_EQ(c.taken ? std::vector<std::string>{} : std::vector<std::string>{"File not found!"}, MessageTexts());
        EXPECT_EQ(c.taken && c.typed[0] != '\0' ? bytes(c.typed) : "(none)", Saved("Player"));
    }
}

TEST_F(OptionsTest, DefaultSetsControlAltSpaceAndUntickingDeletesTheShortcut)
{
    sim::AddFile(std::string(kStartup) + "\\Dorvane.lnk", "shortcut");
    sim::SetRegText(SETTINGS_PATH, "HotKey", "0");
    OpenOptions();
    user.ClickButton(IDC_DEFAULT_HOTKEY).Tick(IDC_LOAD_AT_STARTUP).ClickButton(IDOK);
    EXPECT_EQ(0, Finish());
    EXPECT_EQ("1568", Saved("HotKey")) << "0x0620: Control+Alt+Space";
    EXPECT_FALSE(sim::FileExists(std::string(kStartup) + "\\Dorvane.lnk"));
}

TEST_F(OptionsTest, AStartupShortcutThatCannotBeMadeIsReported)
{
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::vector<std::string> messages;
    };
    const std::string target = std::string(kStartup) + "\\Dorvane.lnk";
    const Case cases[] = {
        {"made meanwhile", [&] { sim::AddFile(target, "shortcut"); }, {}},
        {"no shortcut in the install folder", [] { DeleteFileA(DEFAULT_INSTALL_DIR "\\Dorvane.lnk"); },
         {"Failed to write information."}},
        {"refused", [&] { sim::FailCall("CopyFileA", target); }, {"Failed to write information."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        OpenOptions();
        user.Tick(IDC_LOAD_AT_STARTUP).Do(c.what, c.prepare).ClickButton(IDOK).AcceptMessageBoxes();
        EXPECT_EQ(0, Finish());
        EXPECT_EQ(c.messages, MessageTexts());
    }
}

TEST_F(OptionsTest, WithoutAStartupFolderTheShortcutIsNeverTouched)
{
    sim::SetRegText(kShellFolders, "StartUp", "");
    bool enabled = true;
    OpenOptions();
    user.Do("look", [&] { enabled = sim::OpenDialog(IDD_OPTIONS)->Control(IDC_LOAD_AT_STARTUP).enabled; });
    user.ClickButton(IDOK);
    EXPECT_EQ(0, Finish());
    EXPECT_FALSE(enabled);
    EXPECT_EQ(-1, sim::TraceIndex("CopyFileA"));
    EXPECT_EQ(-1, sim::TraceIndex("DeleteFileA"));
}

TEST_F(OptionsTest, ThePasswordBoxAsksForANewPasswordThenForTheOldOne)
{
    std::string changeTitle;
    OpenOptions();
    // No password yet: ticking the box asks for one; the Old section is off.
    user.Tick(IDC_PASSWORD_PROTECT).WhenDialogShows(IDD_PASSWORD_CHANGE).Do("look", [&] {
        sim::DialogView change = *sim::OpenDialog(IDD_PASSWORD_CHANGE);
        changeTitle = change.title;
        EXPECT_FALSE(change.Control(IDC_OLD_PASSWORD).enabled);
    });
    user.ClickButton(IDC_NEW_PASSWORD).Type("door").ClickButton(IDC_RETYPE_PASSWORD).Type("dour").ClickButton(IDOK);
    user.AnswerMessageBox(IDOK).Type("door").ClickButton(IDOK);
    user.ClickButton(IDOK);
    // Switching it off needs the password.
    OpenOptions();
    UINT whileAsked = BST_UNCHECKED;
    user.Tick(IDC_PASSWORD_PROTECT).WhenDialogShows(IDD_PASSWORD_PROMPT).Do("look", [&] {
        whileAsked = sim::OpenDialog(IDD_OPTIONS)->Control(IDC_PASSWORD_PROTECT).checked;
    });
    user.Type("door").ClickButton(IDOK);
    user.ClickButton(IDOK);
    EXPECT_EQ(0, Finish());
    EXPECT_EQ("Password", changeTitle);
    EXPECT_EQ(std::vector<std::string>{"Password retyped incorrectly!"}, MessageTexts());
    EXPECT_EQ("door", Saved("Password"));
    EXPECT_EQ("0", Saved("Locked"));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), whileAsked) << "the box stays ticked until the password is confirmed";
}
