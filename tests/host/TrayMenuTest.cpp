// The tray menu as the user sees it: every item's text, picture and state
// after start, with no, one and three drives, in English and in Russian, and
// what choosing a drive or a language does to it.
#include <set>
#include <string>
#include <vector>

#include "DriveScenario.h"
#include "res/resource.h"

namespace {

using sim::MenuItemView;

// One expected entry: a separator has no command and no text.
struct Entry {
    UINT id;
    std::string text;
    int bitmap;                      // the checked-state picture, 0 for none
    std::vector<Entry> popup = {};
    bool isPopup = false;
};

Entry Separator() { return Entry{0, "", 0}; }
Entry Popup(const std::string& text, int bitmap, std::vector<Entry> items) { return Entry{0, text, bitmap, items, true}; }

struct Texts {
    std::string explore, open, autoplay, openDrive, closeDrive, player, audio, play, pause, stop, previous, next,
        settings, settingsHeading, system, multimedia, volume, language, english, russian, options, about, exit;
    int languageBitmap;
};

const Texts kEnglish = {" &Explore", " &Open", " A&utoplay", " Open &CD drive", " Close C&D drive     ",
                        " CD &Player", " CD &Audio", " &Play", " P&ause", " &Stop", " P&revious Track",
                        " &Next Track", " &Settings", " SETTINGS", " &System Properties", " &Multimedia",
                        " &Volume Control", " &Language", " &English", " Русский", " Op&tions...", " A&bout...",
                        " E&xit", IDB_ENGLISH};
const Texts kRussian = {" &Проводник", " &Открыть папку", " Авто&запуск", " О&ткрыть CD-привод",
                        " За&крыть CD-привод     ", " П&роигрыватель CD", " А&удио CD", " &Воспроизвести",
                        " &Пауза", " &Остановить", " П&редыдущая", " &Следующая", " &Настройки", " НАСТРОЙКИ",
                        " &Сведения о системе", " &Мультимедиа", " &Громкость", " Language", " English",
                        " &Русский", " &Свойства...", " О про&грамме...", " &Выход", IDB_RUSSIAN};

// The menu below the drive items, as every start shows it: every item
// usable, every picture in place, the information lines still blank.
std::vector<Entry> MenuBelowDrives(const Texts& t)
{
    return {
        Separator(),
        {IDM_EXPLORE, t.explore, IDB_EXPLORE},
        {IDM_OPEN_FOLDER, t.open, IDB_FOLDER},
        {IDM_AUTOPLAY, t.autoplay, IDB_AUTOPLAY},
        Separator(),
        {IDM_OPEN_DOOR, t.openDrive, IDB_EJECT},
        {IDM_CLOSE_DOOR, t.closeDrive, IDB_CLOSE},
        Separator(),
        {IDM_CD_PLAYER, t.player, IDB_CD_PLAYER},
        Popup(t.audio, IDB_CD_AUDIO,
              {{IDM_DISC_SUMMARY, " ", IDB_INFO},
               {IDM_TRACK_LINE, " ", 0},
               {IDM_LENGTH_LINE, " ", 0},
               Separator(),
               {IDM_PLAY, t.play, IDB_PLAY},
               {IDM_PAUSE, t.pause, IDB_PAUSE},
               {IDM_STOP, t.stop, IDB_STOP},
               {IDM_PREVIOUS_TRACK, t.previous, IDB_PREVIOUS},
               {IDM_NEXT_TRACK, t.next, IDB_NEXT}}),
        Separator(),
        Popup(t.settings, IDB_SETTINGS,
              {{IDM_SETTINGS_HEADING, t.settingsHeading, IDB_INFO},
               Separator(),
               {IDM_SYSTEM_PROPERTIES, t.system, IDB_COMPUTER},
               {IDM_MULTIMEDIA, t.multimedia, IDB_MULTIMEDIA},
               {IDM_VOLUME_CONTROL, t.volume, IDB_VOLUME}}),
        Separator(),
        Popup(t.language, t.languageBitmap,
              {{IDM_LANGUAGE_HEADING, " LANGUAGE", IDB_INFO},
               Separator(),
               {IDM_ENGLISH, t.english, IDB_ENGLISH},
               {IDM_RUSSIAN, t.russian, IDB_RUSSIAN}}),
        {IDM_OPTIONS, t.options, IDB_OPTIONS},
        {IDM_ABOUT, t.about, IDB_ABOUT},
        Separator(),
        {IDM_EXIT, t.exit, IDB_EXIT},
    };
}

// Compares the shown items with the expected ones, naming the first mismatch
// by its place in the menu.
void ExpectEntries(const std::vector<Entry>& expected, const std::vector<MenuItemView>& shown,
                   const std::string& where)
{
    ASSERT_EQ(expected.size(), shown.size()) << where;
    for (size_t i = 0; i < expected.size(); ++i) {
        const Entry& want = expected[i];
        const MenuItemView& item = shown[i];
        std::string at = where + "[" + std::to_string(i) + "]";
        if (want.text.empty() && !want.isPopup) {
            EXPECT_TRUE(item.type & MFT_SEPARATOR) << at << " should be a separator";
            continue;
        }
        EXPECT_EQ(want.isPopup, item.isPopup) << at;
        if (!want.isPopup) {
            EXPECT_EQ(want.id, item.id) << at;
        }
        EXPECT_EQ(want.text, item.text) << at;
        EXPECT_EQ(0u, item.type & ~static_cast<UINT>(MFT_RADIOCHECK)) << at << " is a plain string";
        // An item with a picture is checked, its picture being the check mark.
        EXPECT_EQ(want.bitmap ? static_cast<UINT>(MFS_CHECKED) : 0u, item.state) << at;
        EXPECT_EQ(want.bitmap, item.checkedBitmap) << at;
        EXPECT_EQ(0, item.uncheckedBitmap) << at;
        if (want.isPopup) ExpectEntries(want.popup, item.popup, at);
    }
}

class TrayMenuTest : public DriveScenario {
protected:
    // The menu as the first right click after start shows it.
    std::vector<MenuItemView> FirstMenu()
    {
        EXPECT_FALSE(sim::MenusShown().empty());
        return sim::MenusShown().empty() ? std::vector<MenuItemView>() : sim::MenusShown().front().items;
    }

    int RunShowingMenu()
    {
        user.RightClickTray().ChooseMenuItem(IDM_EXIT);
        return Run();
    }
};

bool HasDefault(const std::vector<MenuItemView>& items)
{
    for (const MenuItemView& item : items)
        if ((item.state & MFS_DEFAULT) || HasDefault(item.popup)) return true;
    return false;
}

}  // namespace

TEST_F(TrayMenuTest, OneDriveShowsItsLetterAsAnInformationLine)
{
    AddDrives("d");
    EXPECT_EQ(0, RunShowingMenu());
    std::vector<MenuItemView> menu = FirstMenu();
    ASSERT_EQ(19u, menu.size());
    EXPECT_EQ(" [D:]", menu[0].text);
    EXPECT_EQ(0u, menu[0].id) << "the single drive item has no command";
    EXPECT_EQ(static_cast<UINT>(MFT_STRING), menu[0].type);
    EXPECT_EQ(static_cast<UINT>(MFS_CHECKED), menu[0].state);
    EXPECT_EQ(IDB_INFO, menu[0].checkedBitmap);
    EXPECT_EQ(0, menu[0].uncheckedBitmap);
    ExpectEntries(MenuBelowDrives(kEnglish), std::vector<MenuItemView>(menu.begin() + 1, menu.end()), "menu");
    EXPECT_FALSE(HasDefault(menu));
    // With one drive the system's default drive is never looked at.
    EXPECT_EQ(-1, sim::TraceIndex("RegCreateKeyExA HKLM"));
}

TEST_F(TrayMenuTest, ThreeDrivesAreRadioItemsAboveTheMenu)
{
    AddDrives("def");
    SetDefaultDrive(1);
    sim::SetRegText(SETTINGS_PATH, "LastDrive", "-1");
    EXPECT_EQ(0, RunShowingMenu());
    std::vector<MenuItemView> menu = FirstMenu();
    ASSERT_EQ(21u, menu.size());
    const char* texts[] = {" [D:]", " [E:]", " [F:]"};
    for (UINT i = 0; i < 3; ++i) {
        SCOPED_TRACE(texts[i]);
        EXPECT_EQ(texts[i], menu[i].text);
        EXPECT_EQ(IDM_DRIVE_FIRST + i, menu[i].id);
        EXPECT_EQ(static_cast<UINT>(MFT_RADIOCHECK), menu[i].type);
        EXPECT_EQ(i == 1 ? static_cast<UINT>(MFS_CHECKED) : 0u, menu[i].state) << "the default drive is selected";
        EXPECT_EQ(IDB_INFO, menu[i].checkedBitmap);
        EXPECT_EQ(IDB_DRIVE, menu[i].uncheckedBitmap);
    }
    // The pop-ups sit three places further down.
    EXPECT_TRUE(menu[12].isPopup && menu[14].isPopup && menu[16].isPopup);
    ExpectEntries(MenuBelowDrives(kEnglish), std::vector<MenuItemView>(menu.begin() + 3, menu.end()), "menu");
}

TEST_F(TrayMenuTest, WithoutDrivesAndAnswerNoTheMenuStartsWithItsSeparator)
{
    user.AnswerMessageBox(IDNO).AnswerMessageBox(IDOK);
    EXPECT_EQ(0, RunShowingMenu());
    EXPECT_EQ((std::vector<std::string>{"CD drive information not found.\nTerminate the program?",
                                        "Failed to read information."}),
              MessageTexts());
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), sim::MessageBoxes()[0].type);
    ExpectEntries(MenuBelowDrives(kEnglish), FirstMenu(), "menu");
}

TEST_F(TrayMenuTest, WithoutDrivesAnswerYesEndsTheProgram)
{
    user.AnswerMessageBox(IDYES);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(1u, sim::MessageBoxes().size());
    EXPECT_TRUE(sim::MenusShown().empty());
    EXPECT_TRUE(sim::TrayIcons().empty()) << "the teardown removed the icon";
}

TEST_F(TrayMenuTest, RussianMenuReadsRightOnAnEnglishWindows)
{
    // An English Windows: code page 1252 for the ANSI calls.
    sim::SetAnsiCodePage(1252);
    AddDrives("de");
    sim::SetRegText(SETTINGS_PATH, "Language", "0");
    EXPECT_EQ(0, RunShowingMenu());
    std::vector<MenuItemView> menu = FirstMenu();
    ASSERT_EQ(20u, menu.size());
    EXPECT_EQ(" [D:]", menu[0].text);
    EXPECT_EQ(" [E:]", menu[1].text);
    ExpectEntries(MenuBelowDrives(kRussian), std::vector<MenuItemView>(menu.begin() + 2, menu.end()), "menu");
}

TEST_F(TrayMenuTest, EachPictureIsLoadedOnceAndFreedAtTheEnd)
{
    AddDrives("de");
    int liveWhileShown = -1;
    user.RightClickTray().Do("count the pictures", [&] { liveWhileShown = sim::LiveBitmaps(); });
    user.ChooseMenuItem(IDM_ENGLISH);   // the current language: nothing is rebuilt
    user.RightClickTray().ChooseMenuItem(IDM_RUSSIAN);
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    // 23 pictures of the menu; the track lines' disc is loaded only when shown.
    EXPECT_EQ(23, liveWhileShown);
    EXPECT_EQ(0, sim::LiveBitmaps()) << "every picture is freed at the end";
    std::set<int> loaded;
    for (const std::string& line : sim::Trace()) {
        if (line.rfind("LoadBitmapA ", 0) == 0) {
            EXPECT_TRUE(loaded.insert(std::stoi(line.substr(12))).second) << line;
        }
    }
}
