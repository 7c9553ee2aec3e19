// The settings: reading them with their defaults, writing one at a time, and
// the start-up shortcut probe.
#include <climits>
#include <string>

#include "Scenario.h"
#include "app/WinMain.h"
#include "settings/DecimalText.h"
#include "settings/Settings.h"
#include "ui/StringTable.h"

namespace {

const char kStartup[] = "C:\\Users\\ann\\Start Menu\\Programs\\Startup";

class SettingsTest : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        InitStringTable();
    }

    // Every field after LoadSettings, in table order, then the derived ones.
    static std::string Loaded()
    {
        LoadSettings();
        const SettingsFields& s = SettingsRecord;
        return std::to_string(s.Language) + "|" + std::to_string(s.HotKey) + "|" + s.Player + "|" +
               std::to_string(s.AutoCloseAllowed) + "|" + std::to_string(s.AutoCloseTime) + "|" + s.Password + "|" +
               std::to_string(s.Locked) + "|" + std::to_string(s.LastDrive) + "|" + std::to_string(LoadAtStartup) +
               "|" + StartupFolder + "|" + ProgramsFolder;
    }
};

}  // namespace

TEST_F(SettingsTest, WhatIsLoadedWithoutTheKeyWithAnEmptyKeyAndWithEveryValue)
{
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::string loaded;
    };
    const std::string startup = std::string("|") + kStartup + "|";
    const Case cases[] = {
        {"no key: the start values, no search for the player, no shortcut", [] {}, "1|0||0|0||0|-1|0" + startup},
        // As the program writes them: no terminators, and a longer text before each shorter one.
        {"every value",
         [] {
             for (auto [name, text] : {std::pair{"Language", "0"}, {"HotKey", "1611"}, {"Player", "C:\\P\\cd.exe"},
                                      {"AutoCloseAllowed", "1"}, {"AutoCloseTime", "150"}, {"Password", "Secret"},
                                      {"Locked", "1"}, {"LastDrive", "2"}})
                 Store(name, text);
         },
         "0|1611|C:\\P\\cd.exe|1|150|Secret|1|2|1" + startup},
        {"an empty key: the defaults", [] { sim::CreateRegKey(SETTINGS_PATH); },
         "1|1568|C:\\Windows\\System32\\Cdplayer.exe|0|15||0|0|1" + startup},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        sim::SetRegText(SHELL_FOLDERS_PATH, "StartUp", kStartup);
        sim::AddFile(std::string(kStartup) + "\\Dorvane.lnk");
        sim::AddFile("C:\\Windows\\System32\\CDPLAYER.EXE");
        c.prepare();
        EXPECT_EQ(c.loaded, Loaded());
        EXPECT_EQ(0, sim::OpenRegistryHandles());
        EXPECT_EQ(0, sim::OpenKernelHandles()) << "the shortcut's search is closed";
        EXPECT_EQ(0u, sim::CurrentErrorMode());
    }
    // The player search of the empty key runs with the quiet error mode.
    int search = sim::TraceIndex("SearchPathA Cdplayer.exe");
    ASSERT_GT(search, 0);
    EXPECT_EQ("SetErrorMode 0x8001", sim::Trace()[static_cast<size_t>(search) - 1]);
}

TEST_F(SettingsTest, EachTextIsReadAsItsKindOfValue)
{
    const char* const names[] = {"Language", "HotKey", "Player", "AutoCloseAllowed", "AutoCloseTime", "Password",
                                 "Locked", "LastDrive"};
    struct Case {
        int index;
        std::string text, loaded;
    };
    const std::string longest(199, 'p');
    const Case cases[] = {
        {0, "1x", "1"}, {0, "2", "1"}, {0, "0abc", "0"}, {0, "", "1"},
        {4, "abc", "0"}, {4, " 20", "20"}, {4, "\t+7s", "7"}, {4, "-5", "-5"}, {4, "99999999999", "2147483647"},
        {1, "70000", "4464"}, {1, "65535", "65535"}, {1, "99999999999", "65535"},
        {7, "-1", "-1"}, {7, std::string("2\0" "9", 3), "2"}, {6, "1", "1"}, {3, "1", "1"},
        // 199 characters fit the buffer with a terminator; 200 do not, and count as missing.
        {5, longest, longest}, {5, longest + "p", ""},
        {2, std::string(200, 'q'), "C:\\Windows\\System32\\Cdplayer.exe"},
        {2, std::string("D:\\Audio\\play.exe\0", 18), "D:\\Audio\\play.exe"},
        {2, std::string(1, '\0') + std::string(199, 'q'), ""},   // an empty text, junk after it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(names[c.index]) + " = \"" + c.text + "\"");
        SetUp();
        sim::AddFile("C:\\Windows\\System32\\Cdplayer.exe");
        Store(names[c.index], c.text);
        std::string loaded = Loaded() + "|";
        for (int i = 0; i < c.index; ++i) loaded.erase(0, loaded.find('|') + 1);
        EXPECT_EQ(c.loaded, loaded.substr(0, loaded.find('|')));
    }
}

TEST_F(SettingsTest, TheShortcutIsLookedForInTheStartupFolderOrAtTheRootOfC)
{
    // No StartUp folder: "C:\" and a second backslash, which is the root's file.
    sim::CreateRegKey(SETTINGS_PATH);
    sim::AddFile("C:\\Dorvane.lnk");
    EXPECT_EQ("1||", Loaded().substr(Loaded().size() - 3));
    int probe = sim::TraceIndex("FindFirstFileA C:\\\\Dorvane.lnk");
    ASSERT_GT(probe, 0);
    EXPECT_EQ("SetErrorMode 0x8001", sim::Trace()[static_cast<size_t>(probe) - 1]);

    SetUp();
    sim::CreateRegKey(SETTINGS_PATH);
    sim::SetRegText(SHELL_FOLDERS_PATH, "StartUp", kStartup);
    sim::AddFile("C:\\Dorvane.lnk");
    EXPECT_EQ("|0|" + std::string(kStartup) + "|", Loaded().substr(Loaded().find("|0|C:\\Users")));
}

TEST_F(SettingsTest, ASaveWritesOneTextWithoutTerminatorAndMakesTheKeysItNeeds)
{
    SaveSetting(-1, 1, "x");
    SaveSetting(SETTING_COUNT, 1, "x");
    EXPECT_FALSE(sim::RegKeyExists("HKCU\\Software\\Ostrelle")) << "no setting has that index";
    SaveSetting(SETTING_LAST_DRIVE, 3, "ignored");
    EXPECT_EQ("REG_SZ", sim::RegKeyClass("HKCU\\Software\\Ostrelle"));
    EXPECT_EQ("REG_SZ", sim::RegKeyClass(SETTINGS_PATH));
    const std::pair<int, LONG> numbers[] = {{SETTING_HOTKEY, 0x0620}, {SETTING_LOCKED, 0},
                                            {SETTING_AUTOCLOSE_ALLOWED, -1}, {SETTING_LANGUAGE, INT_MIN}};
    for (auto [index, number] : numbers) SaveSetting(index, number, NULL);
    SaveSetting(SETTING_PLAYER, 42, "C:\\Program Files\\Player\\play.exe");
    SaveSetting(SETTING_AUTOCLOSE_TIME, 0, "015");
    SaveSetting(SETTING_PASSWORD, 0, "");
    std::string saved;
    for (const char* name : {"Language", "HotKey", "Player", "AutoCloseAllowed", "AutoCloseTime", "Password", "Locked",
                             "LastDrive"})
        saved += Saved(name) + "|";
    EXPECT_EQ("-2147483648|1568|C:\\Program Files\\Player\\play.exe|-1|015||0|3|", saved);
    EXPECT_TRUE(sim::MessageBoxes().empty());
    EXPECT_EQ(0, sim::OpenRegistryHandles());

    // A key that exists keeps its class.
    SetUp();
    sim::CreateRegKey(SETTINGS_PATH);
    SaveSetting(SETTING_LOCKED, 1, NULL);
    EXPECT_EQ("", sim::RegKeyClass(SETTINGS_PATH));
    EXPECT_EQ("1", Saved("Locked"));
}

TEST_F(SettingsTest, EachFailingStepOfASaveShowsItsMessage)
{
    struct Case {
        const char* api;
        const char* subject;
        const char* message;
        bool written;
    };
    const Case cases[] = {
        {"RegOpenKeyExA", "HKCU\\Software", "Failed to read information.", false},
        {"RegCreateKeyExA", "HKCU\\Software\\Ostrelle", "Failed to read information.", false},
        {"RegCreateKeyExA", SETTINGS_PATH, "Failed to write information.", false},
        {"RegSetValueExA", "LastDrive", "Failed to write information.", false},
        {"RegCloseKey", SETTINGS_PATH, "Failed to write information.", true},
        {"RegCloseKey", "HKCU\\Software\\Ostrelle", "Failed to read information.", true},
        {"RegCloseKey", "HKCU\\Software", "Failed to read information.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.api) + " " + c.subject);
        SetUp();
        MainWindow = TestWindow();
        sim::FailCall(c.api, c.subject);
        user.AcceptMessageBoxes();
        SaveSetting(SETTING_LAST_DRIVE, 2, NULL);
        EXPECT_EQ(std::vector<std::string>{c.message}, MessageTexts());
        EXPECT_EQ(MainWindow, sim::MessageBoxes()[0].owner);
        EXPECT_EQ(c.written ? "2" : "(none)", Saved("LastDrive"));
        EXPECT_EQ(0, sim::OpenRegistryHandles()) << "keys opened before the failure are closed";
    }
}

TEST(DecimalText, ParsesAndFormatsThe32BitRange)
{
    const std::pair<const char*, LONG> parsed[] = {{"", 0}, {"-", 0}, {"-2147483648", INT_MIN},
        {"-99999999999999999999999", INT_MIN}, {"2147483648", INT_MAX}, {" \t\n\v\f\r12 34", 12}, {"+-1", 0}};
    for (auto [text, number] : parsed) EXPECT_EQ(number, ParseDecimal(text)) << text;
    char text[DECIMAL_TEXT_SIZE];
    for (LONG number : {0, 7, -7, 1568, INT_MAX, INT_MIN}) {
        FormatDecimal(number, text);
        EXPECT_EQ(std::to_string(number), text);
    }
}
