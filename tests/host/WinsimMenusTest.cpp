// The simulated system's menus, bitmaps, code pages and wide calls, where the
// program relies on Windows' behaviour. Each check names the Wine conformance
// test that records what Windows does.
#include <shellapi.h>

#include <string>

#include "Scenario.h"
#include "res/resource.h"

namespace {

const char kExploreCp1251[] = "\xCF\xF0\xEE\xE2\xEE\xE4\xED\xE8\xEA";   // "Проводник"

class WinsimMenusTest : public Scenario {
protected:
    // The tray menu as the resource builds it: pop-ups at 9, 11 and 13.
    static HMENU ResourceMenu()
    {
        HMENU bar = LoadMenuA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
        return GetSubMenu(bar, 0);
    }

    static std::string Text(HMENU menu, UINT command)
    {
        std::vector<sim::MenuItemView> items = sim::MenuItems(menu);
        const sim::MenuItemView* item = sim::FindMenuItem(items, command);
        return item ? item->text : "(no item)";
    }
};

MENUITEMINFOW InfoW(UINT mask, const char16_t* text = nullptr)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = mask;
    info.dwTypeData = const_cast<WCHAR*>(text);
    return info;
}

}  // namespace

TEST_F(WinsimMenusTest, AnsiCallsShowTheirBytesThroughTheSystemCodePage)
{
    // As measured under Wine with code page 1252: 1251 bytes through an A call are mojibake.
    HMENU menu = ResourceMenu();
    MENUITEMINFOA ansi = {};
    ansi.cbSize = sizeof ansi;
    ansi.fMask = MIIM_STRING;
    ansi.dwTypeData = const_cast<char*>(kExploreCp1251);
    ASSERT_TRUE(SetMenuItemInfoA(menu, IDM_EXPLORE, FALSE, &ansi));
    EXPECT_EQ("Ïðîâîäíèê", Text(menu, IDM_EXPLORE));
    sim::SetAnsiCodePage(1251);
    ASSERT_TRUE(SetMenuItemInfoA(menu, IDM_EXPLORE, FALSE, &ansi));
    EXPECT_EQ("Проводник", Text(menu, IDM_EXPLORE));

    // The wide call shows the same on any system; reading back with the A
    // call on 1252 gives '?' for what the code page lacks.
    sim::SetAnsiCodePage(1252);
    MENUITEMINFOW wide = InfoW(MIIM_STRING, u"Я&x");
    ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXPLORE, FALSE, &wide));
    EXPECT_EQ("Я&x", Text(menu, IDM_EXPLORE));
    char back[8];
    ansi.dwTypeData = back;
    ansi.cch = sizeof back;
    ASSERT_TRUE(GetMenuItemInfoA(menu, IDM_EXPLORE, FALSE, &ansi));
    EXPECT_STREQ("?&x", back);

    user.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
    MessageBoxA(NULL, kExploreCp1251, NULL, MB_OK);
    MessageBoxW(NULL, u"Проводник", u"Dorvane", MB_OK);
    EXPECT_EQ("Ïðîâîäíèê", sim::MessageBoxes()[0].text);
    EXPECT_EQ("Error", sim::MessageBoxes()[0].caption) << "Windows' caption when none is given";
    EXPECT_EQ("Проводник", sim::MessageBoxes()[1].text);
}

TEST_F(WinsimMenusTest, ConversionsCountAndFailAsWindowsDoes)
{
    // dlls/kernel32/tests/codepage.c: -1 counts the NUL, 0 asks for the size,
    // a short buffer fails with ERROR_INSUFFICIENT_BUFFER.
    WCHAR wide[16];
    EXPECT_EQ(4, MultiByteToWideChar(1251, 0, "\xC0\xE1\xE2", -1, wide, 16));
    EXPECT_EQ(std::u16string(u"Абв"), wide);
    EXPECT_EQ(3, MultiByteToWideChar(1251, 0, "\xC0\xE1\xE2", 3, NULL, 0));
    EXPECT_EQ(0, MultiByteToWideChar(1251, 0, "\xC0\xE1\xE2", -1, wide, 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(866, 0, "a", -1, wide, 16)) << "a code page the simulation does not know";

    // CP_ACP is the machine's code page; 1252 keeps its undefined bytes as C1 controls.
    EXPECT_EQ(1252u, GetACP());
    ASSERT_EQ(3, MultiByteToWideChar(CP_ACP, 0, "\xC0\x81", -1, wide, 16));
    EXPECT_EQ(std::u16string(u"\u00C0\u0081"), wide);

    char bytes[16];
    BOOL usedDefault = FALSE;
    EXPECT_EQ(4, WideCharToMultiByte(1252, 0, u"€Я!", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_STREQ("\x80?!", bytes);
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, u"x", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError()) << "UTF-8 takes no default character";
    EXPECT_EQ(6, WideCharToMultiByte(CP_UTF8, 0, u"Я€", -1, bytes, 16, NULL, NULL));
    EXPECT_STREQ("Я€", bytes);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC0\x80", 2, wide, 16));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, u"x", -1, bytes, 16, NULL, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FLAGS), GetLastError()) << "UTF-8 takes no flags but WC_ERR_INVALID_CHARS";

    // Best fit: a letter the code page lacks comes out as its plain letter,
    // without a word, unless WC_NO_BEST_FIT_CHARS forbids it.
    EXPECT_EQ(3, WideCharToMultiByte(1251, 0, u"\u00E4\u0101", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_STREQ("aa", bytes);
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(2, WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, u"\u0101", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_STREQ("?", bytes);
    EXPECT_TRUE(usedDefault);

    // A machine set to UTF-8: CP_ACP follows, with UTF-8's rules.
    sim::SetAnsiCodePage(CP_UTF8);
    EXPECT_EQ(static_cast<UINT>(CP_UTF8), GetACP());
    EXPECT_EQ(0, WideCharToMultiByte(CP_ACP, 0, u"x", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(3, WideCharToMultiByte(CP_ACP, 0, u"Я", -1, bytes, 16, NULL, NULL));
}

TEST_F(WinsimMenusTest, ItemTextComesBackWithinTheCallersCount)
{
    // dlls/user32/tests/menu.c, test_menu_iteminfo: "wine" read with cch 80,
    // 5 and 4 gives 4, 4 and 3 characters; no buffer gives the length.
    HMENU menu = ResourceMenu();
    MENUITEMINFOW set = InfoW(MIIM_TYPE, u"wine");
    ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &set));
    struct Case {
        UINT cch;
        bool buffer;
        UINT cchAfter;
        std::u16string text;
    };
    for (const Case& c : {Case{80, true, 4, u"wine"}, Case{5, true, 4, u"wine"}, Case{4, true, 3, u"win"},
                          Case{0, false, 4, u""}}) {
        SCOPED_TRACE(c.cch);
        WCHAR buffer[80] = {0};
        MENUITEMINFOW get = InfoW(MIIM_TYPE, c.buffer ? buffer : nullptr);
        get.cch = c.cch;
        ASSERT_TRUE(GetMenuItemInfoW(menu, IDM_EXIT, FALSE, &get));
        EXPECT_EQ(c.cchAfter, get.cch);
        EXPECT_EQ(c.text, buffer);
        EXPECT_EQ(static_cast<UINT>(MFT_STRING), get.fType);
    }
    // A separator has no text: MIIM_TYPE clears the buffer pointer and the count.
    WCHAR buffer[8] = u"x";
    MENUITEMINFOW separator = InfoW(MIIM_TYPE, buffer);
    separator.cch = 8;
    ASSERT_TRUE(GetMenuItemInfoW(menu, 0, TRUE, &separator));
    EXPECT_EQ(static_cast<UINT>(MFT_SEPARATOR), separator.fType);
    EXPECT_EQ(nullptr, separator.dwTypeData);
    EXPECT_EQ(0u, separator.cch);
}

TEST_F(WinsimMenusTest, MasksChangeOnlyWhatTheyName)
{
    // test_menu_iteminfo: MIIM_TYPE does not combine with MIIM_STRING or MIIM_FTYPE.
    HMENU menu = ResourceMenu();
    MENUITEMINFOW both = InfoW(MIIM_TYPE | MIIM_STRING, u"x");
    EXPECT_FALSE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &both));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    // The state is replaced as given: greyed and checked, then checked alone.
    MENUITEMINFOW state = InfoW(MIIM_STATE);
    state.fState = MFS_CHECKED | MFS_GRAYED;
    ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &state));
    state.fState = MFS_CHECKED;
    ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &state));
    std::vector<sim::MenuItemView> items = sim::MenuItems(menu);
    EXPECT_EQ(static_cast<UINT>(MFS_CHECKED), sim::FindMenuItem(items, IDM_EXIT)->state);

    // A pop-up addressed by position keeps its sub-menu when its text
    // changes; hSubMenu comes back only with MIIM_SUBMENU.
    HMENU audio = GetSubMenu(menu, 9);
    MENUITEMINFOW text = InfoW(MIIM_TYPE | MIIM_STATE, u" CD &Audio");
    ASSERT_TRUE(SetMenuItemInfoW(menu, 9, TRUE, &text));
    EXPECT_EQ(audio, GetSubMenu(menu, 9));
    MENUITEMINFOW get = InfoW(MIIM_ID);
    get.hSubMenu = audio;
    ASSERT_TRUE(GetMenuItemInfoW(menu, 9, TRUE, &get));
    EXPECT_EQ(NULL, get.hSubMenu);
    get.fMask = MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoW(menu, 9, TRUE, &get));
    EXPECT_EQ(audio, get.hSubMenu);

    // An item inserted without a text, a bitmap or owner drawing is a separator.
    MENUITEMINFOW bare = InfoW(MIIM_ID | MIIM_FTYPE);
    bare.fType = MFT_RADIOCHECK;
    bare.wID = 7;
    ASSERT_TRUE(InsertMenuItemW(menu, 0, TRUE, &bare));
    EXPECT_EQ(static_cast<UINT>(MFT_RADIOCHECK | MFT_SEPARATOR), sim::MenuItems(menu)[0].type);
}

TEST_F(WinsimMenusTest, CommandsAreFoundInsidePopUpsDepthFirst)
{
    // test_menu_resource_layout: a resource separator is greyed and disabled.
    // test_menu_search_bycommand: a pop-up item's identifier is its sub-menu's
    // handle; GetMenuItemID gives -1 for it.
    HMENU menu = ResourceMenu();
    HMENU audio = GetSubMenu(menu, 9);
    std::vector<sim::MenuItemView> items = sim::MenuItems(menu);
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED | MF_DISABLED), items[0].state);
    EXPECT_EQ(static_cast<UINT>(reinterpret_cast<uintptr_t>(audio)), items[9].id);
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuItemID(menu, 9));
    EXPECT_EQ(static_cast<UINT>(IDM_CD_PLAYER), GetMenuItemID(menu, 8));
    EXPECT_EQ(18, GetMenuItemCount(menu));

    // By command, an insertion goes in front of the item, inside its pop-up;
    // a command that is nowhere appends to the menu addressed.
    MENUITEMINFOW line = InfoW(MIIM_ID | MIIM_STRING, u" Track 1");
    line.wID = IDM_TRACK_LINE + 100;
    ASSERT_TRUE(InsertMenuItemW(menu, IDM_PLAY, FALSE, &line));
    EXPECT_EQ(static_cast<UINT>(IDM_TRACK_LINE + 100), GetMenuItemID(audio, 4));
    line.wID = 1;
    ASSERT_TRUE(InsertMenuItemW(menu, 12345, FALSE, &line));
    EXPECT_EQ(1u, GetMenuItemID(menu, 18));

    // Removal by command reaches into the pop-up as well.
    ASSERT_TRUE(RemoveMenu(menu, IDM_TRACK_LINE + 100, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<UINT>(IDM_PLAY), GetMenuItemID(audio, 4));
    EXPECT_FALSE(RemoveMenu(menu, IDM_TRACK_LINE + 100, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MENU_ITEM_NOT_FOUND), GetLastError());
}

TEST_F(WinsimMenusTest, DeleteMenuDestroysThePopUpRemoveMenuKeepsIt)
{
    // dlls/user32/menu.c: DeleteMenu = DestroyMenu of the sub-menu + RemoveMenu.
    HMENU menu = ResourceMenu();
    HMENU audio = GetSubMenu(menu, 9), settings = GetSubMenu(menu, 11);
    ASSERT_TRUE(RemoveMenu(menu, 9, MF_BYPOSITION));
    EXPECT_FALSE(sim::MenuDestroyed(audio));
    EXPECT_EQ(settings, GetSubMenu(menu, 10));
    ASSERT_TRUE(DeleteMenu(menu, 10, MF_BYPOSITION));
    EXPECT_TRUE(sim::MenuDestroyed(settings));
    EXPECT_EQ(16, GetMenuItemCount(menu));
}

TEST_F(WinsimMenusTest, TheRecordMustHaveOneOfItsRealSizes)
{
    // Windows accepts today's size and the one without hbmpItem; anything
    // else is a fault in the caller, reported here rather than hidden.
    HMENU menu = ResourceMenu();
    MENUITEMINFOW info = InfoW(MIIM_STRING, u"old");
    info.cbSize = offsetof(MENUITEMINFOW, hbmpItem);
    EXPECT_TRUE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &info));
    EXPECT_EQ("old", Text(menu, IDM_EXIT));
    info.cbSize = sizeof info + 4;
    EXPECT_THROW(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &info), sim::Failure);
    EXPECT_THROW(GetMenuItemInfoW(menu, IDM_EXIT, FALSE, &info), sim::Failure);
}

TEST_F(WinsimMenusTest, EachLoadIsANewBitmapUntilDeleted)
{
    HBITMAP first = LoadBitmapA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDB_INFO));
    HBITMAP second = LoadBitmapA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDB_INFO));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second) << "unlike LoadIcon, LoadBitmap does not share";
    EXPECT_EQ(2, sim::LiveBitmaps());
    EXPECT_EQ(NULL, LoadBitmapA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDI_NO_DISC + 1)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());

    // A menu shows them by resource; destroying it leaves them to the program.
    HMENU menu = ResourceMenu();
    MENUITEMINFOW marks = InfoW(MIIM_CHECKMARKS);
    marks.hbmpChecked = first;
    marks.hbmpUnchecked = second;
    ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &marks));
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_FALSE(DeleteObject(second));
    std::vector<sim::MenuItemView> items = sim::MenuItems(menu);
    const sim::MenuItemView* exitItem = sim::FindMenuItem(items, IDM_EXIT);
    EXPECT_EQ(IDB_INFO, exitItem->checkedBitmap);
    EXPECT_EQ(-1, exitItem->uncheckedBitmap);
    DestroyMenu(menu);
    EXPECT_EQ(1, sim::LiveBitmaps());
    EXPECT_EQ(IDB_INFO, sim::BitmapResourceId(first));
}

TEST_F(WinsimMenusTest, TheOpenMenuIsSeenLiveAndMustNotShowADeletedBitmap)
{
    HWND window = TestWindow();
    HMENU menu = ResourceMenu();
    HBITMAP picture = LoadBitmapA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDB_EXIT));
    MENUITEMINFOW info = InfoW(MIIM_CHECKMARKS | MIIM_STATE);
    info.fState = MFS_CHECKED;
    info.hbmpChecked = picture;
    ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &info));

    std::string seen;
    user.Do("rename Exit while the menu is open", [menu] {
            MENUITEMINFOW rename = InfoW(MIIM_STRING, u" Выход");
            SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &rename);
        })
        .WhenMenuShows("the new name", [](const std::vector<sim::MenuItemView>& items) {
            return sim::FindMenuItem(items, IDM_EXIT)->text == " Выход";
        })
        .Do("look", [&seen] {
            std::vector<sim::MenuItemView> items = sim::OpenMenu().value();
            seen = sim::FindMenuItem(items, IDM_EXIT)->text;
        })
        .ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(static_cast<BOOL>(IDM_EXIT), TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, window, NULL));
    EXPECT_EQ(" Выход", seen);
    EXPECT_EQ(IDB_EXIT, sim::MenusShown().back().items[17].checkedBitmap);
    EXPECT_FALSE(sim::OpenMenu().has_value());

    // Freeing the picture while the menu shows it is caught at the next moment the menu is drawn.
    user.Do("free the picture", [picture] { DeleteObject(picture); }).DismissMenu();
    try {
        TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, window, NULL);
        ADD_FAILURE() << "the menu went on showing a deleted bitmap";
    } catch (const sim::Failure& failure) {
        EXPECT_NE(std::string::npos, std::string(failure.what()).find("deleted bitmap 136")) << failure.what();
    }
}

TEST_F(WinsimMenusTest, WideTrayRecordsHaveTheirOwnSizesAndTip)
{
    HWND window = TestWindow();
    NOTIFYICONDATAW data = {};
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_TIP;
    for (DWORD size : {DWORD(NOTIFYICONDATAW_V1_SIZE), DWORD(NOTIFYICONDATAW_V2_SIZE), DWORD(NOTIFYICONDATAW_V3_SIZE),
                       DWORD(sizeof data)}) {
        data.cbSize = size;
        std::u16string tip = u"Закрыть CD";
        tip.copy(data.szTip, tip.size());
        EXPECT_TRUE(Shell_NotifyIconW(NIM_ADD, &data));
        EXPECT_EQ("Закрыть CD", sim::TrayIcons().at(0).tip);
        EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    }
    EXPECT_EQ(128u, sim::TrayCalls()[0].tipBytes.size()) << "the first form's 64 WCHARs";
    EXPECT_TRUE(sim::TrayCalls()[0].wide);

    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    EXPECT_THROW(Shell_NotifyIconW(NIM_ADD, &data), sim::Failure) << "the narrow record's size";
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    for (WCHAR& unit : data.szTip) unit = u'x';
    EXPECT_THROW(Shell_NotifyIconW(NIM_ADD, &data), sim::Failure) << "no NUL within the first form's 64 characters";
}

TEST_F(WinsimMenusTest, DrawMenuBarWantsOnlyAWindow)
{
    // NtUserDrawMenuBar (dlls/win32u/menu.c): a window without a menu bar is
    // redrawn all the same; a handle that is no window fails.
    HWND window = TestWindow();
    EXPECT_TRUE(DrawMenuBar(window));
    DestroyWindow(window);
    EXPECT_FALSE(DrawMenuBar(window));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
}
