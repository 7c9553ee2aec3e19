// The settings: reading them with their defaults, writing one at a time, and
// the start-up shortcut probe.
#include <climits>
#include <string>

#include "Rows.h"
#include "Scenario.h"
#include "app/WinMain.h"
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

struct LoadRow {
    const char* what;
    bool key;   // the program's settings key is there, empty
    std::string loaded;
    const char* startup = kStartup;   // the StartUp folder the shell names; null: none
    std::string shortcut = std::string(kStartup) + "\\Dorvane.lnk";
};
const std::string kStartupLoaded = std::string("|") + kStartup + "|";
const LoadRow kLoads[] = {
    {"no key: the start values, no search for the player, no shortcut", false, "1|0||0|0||0|-1|0" + kStartupLoaded},
    {"an empty key: the defaults", true, "1|1568|C:\\Windows\\System32\\Cdplayer.exe|0|15||0|0|1" + kStartupLoaded},
    // No StartUp folder: "C:\" and a second backslash, which is the root's file.
    {"no Startup folder: the shortcut at the root of C", true,
     "1|1568|C:\\Windows\\System32\\Cdplayer.exe|0|15||0|0|1||", nullptr, "C:\\Dorvane.lnk"},
};
using SettingsLoad = Rows<SettingsTest>;

TEST_P(SettingsLoad, WhatIsLoadedWithoutTheKeyWithAnEmptyKeyAndWithEveryValue)
{
    const LoadRow& c = kLoads[GetParam()];
    if (c.startup) sim::SetRegText(SHELL_FOLDERS_PATH, "StartUp", c.startup);
    sim::AddFile(c.shortcut);
    sim::AddFile("C:\\Windows\\System32\\CDPLAYER.EXE");
    if (c.key) sim::CreateRegKey(SETTINGS_PATH);
    EXPECT_EQ(c.loaded, Loaded());
    EXPECT_EQ(0u, sim::CurrentErrorMode());
    // With the key, the shortcut and the player (which the key does not name) are looked for with the quiet
    // error mode; without it, neither.
    for (const char* call : {"FindFirstFileA", "SearchPathA Cdplayer.exe"}) {
        const int at = sim::TraceIndex(call);
        ASSERT_EQ(c.key, at > 0) << call;
        if (!c.key) continue;
        EXPECT_EQ("SetErrorMode 0x8001", sim::Trace()[static_cast<size_t>(at) - 1]) << call;
    }
}
ROWS(SettingsLoad, kLoads);

const char* const kNames[] = {"Language", "HotKey", "Player", "AutoCloseAllowed", "AutoCloseTime", "Password",
                              "Locked", "LastDrive"};
struct TextRow {
    const char* what;
    int index;
    std::string text, loaded;
};
const std::string kLongest(199, 'p');
const TextRow kTexts[] = {
    // Only the first character of Language counts, and only 0 changes it.
    {"Language 2", 0, "2", "1"}, {"Language 0abc", 0, "0abc", "0"}, {"Language empty", 0, "", "1"},
    {"AutoCloseTime abc", 4, "abc", "0"}, {"AutoCloseTime -5", 4, "-5", "-5"},
    {"AutoCloseTime blanks 20", 4, " \n\v\f\r20", "20"}, {"AutoCloseTime tab +7s", 4, "\t+7s", "7"},
    {"AutoCloseTime too big", 4, "99999999999", "2147483647"}, {"HotKey 65535", 1, "65535", "65535"},
    {"LastDrive 2 NUL 9", 7, std::string("2\0" "9", 3), "2"},
    // 199 characters fit the buffer with a terminator; 200 do not, and count as missing.
    {"Password of 199", 5, kLongest, kLongest}, {"Password of 200", 5, kLongest + "p", ""},
    {"Player of 200", 2, std::string(200, 'q'), "C:\\Windows\\System32\\Cdplayer.exe"},
    {"Player with its terminator", 2, std::string("D:\\Audio\\play.exe\0", 18), "D:\\Audio\\play.exe"},
    {"Player empty, junk after it", 2, std::string(1, '\0') + std::string(199, 'q'), ""},
};
using SettingsText = Rows<SettingsTest>;

TEST_P(SettingsText, IsReadAsItsKindOfValue)
{
    const TextRow& c = kTexts[GetParam()];
    sim::AddFile("C:\\Windows\\System32\\Cdplayer.exe");
    Store(kNames[c.index], c.text);
    std::string loaded = Loaded() + "|";
    for (int i = 0; i < c.index; ++i) loaded.erase(0, loaded.find('|') + 1);
    EXPECT_EQ(c.loaded, loaded.substr(0, loaded.find('|')));
}
ROWS(SettingsText, kTexts);

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
    for (const char* name : kNames) saved += Saved(name) + "|";
    EXPECT_EQ("-2147483648|1568|C:\\Program Files\\Player\\play.exe|-1|015||0|3|", saved);
}

struct SaveFailureRow {
    const char* what;
    const char* api;
    const char* subject;
    const char* message;
    bool written;
};
const SaveFailureRow kSaveFailures[] = {
    {"opening Software", "RegOpenKeyExA", "HKCU\\Software", "Failed to read information.", false},
    {"making the maker's key", "RegCreateKeyExA", "HKCU\\Software\\Ostrelle", "Failed to read information.", false},
    {"making the program's key", "RegCreateKeyExA", SETTINGS_PATH, "Failed to write information.", false},
    {"writing the value", "RegSetValueExA", "LastDrive", "Failed to write information.", false},
    {"closing the program's key", "RegCloseKey", SETTINGS_PATH, "Failed to write information.", true},
    {"closing the maker's key", "RegCloseKey", "HKCU\\Software\\Ostrelle", "Failed to read information.", true},
    {"closing Software", "RegCloseKey", "HKCU\\Software", "Failed to read information.", true},
};
using SettingsSaveFailure = Rows<SettingsTest>;

TEST_P(SettingsSaveFailure, ShowsItsMessage)
{
    const SaveFailureRow& c = kSaveFailures[GetParam()];
    MainWindow = TestWindow();
    sim::FailCall(c.api, c.subject);
    user.AcceptMessageBoxes();
    SaveSetting(SETTING_LAST_DRIVE, 2, NULL);
    EXPECT_EQ(std::vector<std::string>{c.message}, MessageTexts());
    EXPECT_EQ(MainWindow, sim::MessageBoxes().at(0).owner);
    EXPECT_EQ(c.written ? "2" : "(none)", Saved("LastDrive"));
    EXPECT_EQ(0, sim::OpenRegistryHandles()) << "keys opened before the failure are closed";
}
ROWS(SettingsSaveFailure, kSaveFailures);

}  // namespace
