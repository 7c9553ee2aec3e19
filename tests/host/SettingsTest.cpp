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

const char kShellFolders[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kStartup[] = "C:\\Users\\ann\\Start Menu\\Programs\\Startup";

class SettingsTest : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        InitStringTable();
    }

    // A stored text as the program writes it: no terminator.
    static void Store(const char* name, const std::string& text)
    {
        sim::SetRegValue(SETTINGS_PATH, name, REG_SZ, text);
    }

    static std::string Stored(const char* name)
    {
        auto value = sim::GetRegValue(SETTINGS_PATH, name);
        EXPECT_TRUE(value.has_value()) << name;
        if (!value) return "";
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value->type) << name;
        return value->data;
    }

    std::vector<std::string> SaveWithAnswers(int index, LONG number, const char* text)
    {
        user.AcceptMessageBoxes();
        SaveSetting(index, number, text);
        return MessageTexts();
    }
};

}  // namespace

TEST_F(SettingsTest, WithoutTheKeyEverySettingKeepsItsStartValue)
{
    sim::SetRegText(kShellFolders, "StartUp", kStartup);
    sim::AddFile(std::string(kStartup) + "\\Dorvane.lnk");
    sim::AddFile("C:\\Windows\\System32\\Cdplayer.exe");
    LoadSettings();
    EXPECT_EQ(1u, SettingsRecord.Language);
    EXPECT_EQ(0, SettingsRecord.HotKey);
    EXPECT_STREQ("", SettingsRecord.Player) << "no search for the CD player";
    EXPECT_EQ(0, SettingsRecord.AutoCloseAllowed);
    EXPECT_EQ(0, SettingsRecord.AutoCloseTime);
    EXPECT_STREQ("", SettingsRecord.Password);
    EXPECT_EQ(0, SettingsRecord.Locked);
    EXPECT_EQ(-1, SettingsRecord.LastDrive);
    EXPECT_EQ(0, LoadAtStartup) << "the shortcut is not looked for";
    EXPECT_STREQ(kStartup, StartupFolder);
    EXPECT_EQ(0, sim::OpenRegistryHandles());
}

TEST_F(SettingsTest, AnEmptyKeyGivesTheDefaults)
{
    sim::CreateRegKey(SETTINGS_PATH);
    sim::AddFile("C:\\Windows\\System32\\CDPLAYER.EXE");
    LoadSettings();
    EXPECT_EQ(1u, SettingsRecord.Language);
    EXPECT_EQ(0x0620, SettingsRecord.HotKey);
    EXPECT_STREQ("C:\\Windows\\System32\\Cdplayer.exe", SettingsRecord.Player);
    EXPECT_EQ(0, SettingsRecord.AutoCloseAllowed);
    EXPECT_EQ(15, SettingsRecord.AutoCloseTime);
    EXPECT_STREQ("", SettingsRecord.Password);
    EXPECT_EQ(0, SettingsRecord.Locked);
    EXPECT_EQ(0, SettingsRecord.LastDrive);

    // The search runs with the quiet error mode, which is then restored.
    int search = sim::TraceIndex("SearchPathA Cdplayer.exe");
    ASSERT_GT(search, 0);
    EXPECT_EQ("SetErrorMode 0x8001", sim::Trace()[static_cast<size_t>(search) - 1]);
    EXPECT_EQ("SetErrorMode 0x0", sim::Trace()[static_cast<size_t>(search) + 1]);
    EXPECT_EQ(0u, sim::CurrentErrorMode());
}

TEST_F(SettingsTest, NoCdPlayerAnywhereLeavesThePlayerEmpty)
{
    sim::CreateRegKey(SETTINGS_PATH);
    sim::AddFile("C:\\Elsewhere\\Cdplayer.exe");
    LoadSettings();
    EXPECT_STREQ("", SettingsRecord.Player);
}

TEST_F(SettingsTest, StoredTextsAreReadAsTheProgramWritesThem)
{
    struct Case {
        const char* value;
        std::string text;
        LONG expected;
    };
    const Case cases[] = {
        {"Language", "1x", 1}, {"Language", "2", 1}, {"Language", "0", 0}, {"Language", "0abc", 0},
        {"Language", "", 1},
        {"AutoCloseTime", "abc", 0}, {"AutoCloseTime", " 20", 20}, {"AutoCloseTime", "\t+7s", 7},
        {"AutoCloseTime", "-5", -5}, {"AutoCloseTime", "99999999999", INT_MAX},
        {"HotKey", "70000", 70000 & 0xFFFF}, {"HotKey", "65535", 0xFFFF}, {"HotKey", "99999999999", 0xFFFF},
        {"LastDrive", "3", 3}, {"LastDrive", "-1", -1}, {"LastDrive", std::string("2\0" "9", 3), 2},
        {"Locked", "1", 1}, {"AutoCloseAllowed", "1", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " = \"" + c.text + "\"");
        Scenario::SetUp();
        Store(c.value, c.text);
        LoadSettings();
        std::string name = c.value;
        LONG read = name == "Language"        ? static_cast<LONG>(SettingsRecord.Language)
                    : name == "AutoCloseTime" ? SettingsRecord.AutoCloseTime
                    : name == "HotKey"        ? static_cast<LONG>(SettingsRecord.HotKey)
                    : name == "LastDrive"     ? SettingsRecord.LastDrive
                    : name == "Locked"        ? SettingsRecord.Locked
                                              : SettingsRecord.AutoCloseAllowed;
        EXPECT_EQ(c.expected, read);
    }
}

TEST_F(SettingsTest, TextsLongerThanTheBufferCountAsMissing)
{
    sim::AddFile("C:\\Windows\\System32\\Cdplayer.exe");
    std::string longest(199, 'p');
    Store("Password", longest);                          // 199 characters fit with the terminator
    Store("Player", std::string(200, 'q'));              // 200 do not
    LoadSettings();
    EXPECT_EQ(longest, SettingsRecord.Password);
    EXPECT_STREQ("C:\\Windows\\System32\\Cdplayer.exe", SettingsRecord.Player);

    Scenario::SetUp();
    Store("Password", std::string(300, 'p'));
    sim::SetRegText(SETTINGS_PATH, "Player", "D:\\Audio\\play.exe");   // stored with its terminator
    LoadSettings();
    EXPECT_STREQ("", SettingsRecord.Password);
    EXPECT_STREQ("D:\\Audio\\play.exe", SettingsRecord.Player);
}

TEST_F(SettingsTest, ShortcutProbeLooksInTheStartupFolderOrAtTheRootOfC)
{
    sim::CreateRegKey(SETTINGS_PATH);
    sim::SetRegText(kShellFolders, "StartUp", kStartup);
    sim::SetRegText(kShellFolders, "Programs", "C:\\Users\\ann\\Start Menu\\Programs");
    sim::AddFile(std::string(kStartup) + "\\Dorvane.lnk");
    LoadSettings();
    EXPECT_EQ(1, LoadAtStartup);
    EXPECT_STREQ("C:\\Users\\ann\\Start Menu\\Programs", ProgramsFolder);

    Scenario::SetUp();
    sim::CreateRegKey(SETTINGS_PATH);
    sim::SetRegText(kShellFolders, "StartUp", kStartup);
    LoadSettings();
    EXPECT_EQ(0, LoadAtStartup);

    // No StartUp folder: "C:\" and a second backslash, which is the root's file.
    Scenario::SetUp();
    sim::CreateRegKey(SETTINGS_PATH);
    sim::AddFile("C:\\Dorvane.lnk");
    LoadSettings();
    EXPECT_STREQ("", StartupFolder);
    EXPECT_STREQ("", ProgramsFolder);
    EXPECT_EQ(1, LoadAtStartup);
    int probe = sim::TraceIndex("FindFirstFileA C:\\\\Dorvane.lnk");
    ASSERT_GT(probe, 0);
    EXPECT_EQ("SetErrorMode 0x8001", sim::Trace()[static_cast<size_t>(probe) - 1]);
    EXPECT_EQ(0, sim::OpenKernelHandles()) << "the search handle is released";
}

TEST_F(SettingsTest, SaveWritesTheTextWithoutTerminatorAndCreatesTheKeys)
{
    SaveSetting(SETTING_LAST_DRIVE, 3, "ignored");
    EXPECT_EQ("3", Stored("LastDrive"));
    EXPECT_EQ("REG_SZ", sim::RegKeyClass("HKCU\\Software\\Ostrelle"));
    EXPECT_EQ("REG_SZ", sim::RegKeyClass(SETTINGS_PATH));

    SaveSetting(SETTING_HOTKEY, 0x0620, NULL);
    SaveSetting(SETTING_LOCKED, 0, NULL);
    SaveSetting(SETTING_AUTOCLOSE_ALLOWED, -1, NULL);
    SaveSetting(SETTING_LANGUAGE, INT_MIN, NULL);
    SaveSetting(SETTING_PLAYER, 42, "C:\\Program Files\\Player\\play.exe");
    SaveSetting(SETTING_AUTOCLOSE_TIME, 0, "015");
    SaveSetting(SETTING_PASSWORD, 0, "");
    EXPECT_EQ("1568", Stored("HotKey"));
    EXPECT_EQ("0", Stored("Locked"));
    EXPECT_EQ("-1", Stored("AutoCloseAllowed"));
    EXPECT_EQ("-2147483648", Stored("Language"));
    EXPECT_EQ("C:\\Program Files\\Player\\play.exe", Stored("Player"));
    EXPECT_EQ("015", Stored("AutoCloseTime"));
    EXPECT_EQ("", Stored("Password"));
    EXPECT_TRUE(sim::MessageBoxes().empty());
    EXPECT_EQ(0, sim::OpenRegistryHandles());
}

TEST_F(SettingsTest, ExistingKeysKeepTheirClass)
{
    sim::CreateRegKey(SETTINGS_PATH);
    SaveSetting(SETTING_LOCKED, 1, NULL);
    EXPECT_EQ("", sim::RegKeyClass(SETTINGS_PATH));
    EXPECT_EQ("1", Stored("Locked"));
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
        EXPECT_EQ(std::vector<std::string>{c.message}, SaveWithAnswers(SETTING_LAST_DRIVE, 2, NULL));
        EXPECT_EQ(MainWindow, sim::MessageBoxes()[0].owner);
        EXPECT_EQ(c.written, sim::GetRegValue(SETTINGS_PATH, "LastDrive").has_value());
        EXPECT_EQ(0, sim::OpenRegistryHandles()) << "keys opened before the failure are closed";
    }
}

TEST_F(SettingsTest, SaveMessagesFollowTheLanguage)
{
    SettingsRecord.Language = LANGUAGE_RUSSIAN;
    sim::FailCall("RegSetValueExA");
    EXPECT_EQ(std::vector<std::string>{"Ошибка записи информации."}, SaveWithAnswers(SETTING_LOCKED, 1, NULL));
    EXPECT_EQ("Dorvane", sim::MessageBoxes()[0].caption);
}

TEST(DecimalText, ParsesAndFormatsThe32BitRange)
{
    EXPECT_EQ(0, ParseDecimal(""));
    EXPECT_EQ(0, ParseDecimal("-"));
    EXPECT_EQ(-2147483647 - 1, ParseDecimal("-2147483648"));
    EXPECT_EQ(-2147483647 - 1, ParseDecimal("-99999999999999999999999"));
    EXPECT_EQ(2147483647, ParseDecimal("2147483648"));
    EXPECT_EQ(12, ParseDecimal(" \t\n12 34"));

    char text[DECIMAL_TEXT_SIZE];
    for (LONG number : {0, 7, -7, 1568, INT_MAX, INT_MIN}) {
        FormatDecimal(number, text);
        EXPECT_EQ(std::to_string(number), text);
        EXPECT_EQ(number, ParseDecimal(text));
    }
}
