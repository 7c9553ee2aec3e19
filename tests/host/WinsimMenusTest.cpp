// The simulated system's menus, bitmaps, code pages and wide calls, where the
// program relies on Windows' behaviour and its own tests would agree with a
// mistake of the simulation. Each check names the Wine conformance test that
// records what Windows does.
#include <shellapi.h>

#include <string>

#include "Scenario.h"
#include "res/resource.h"

namespace {

class WinsimMenusTest : public Scenario {
protected:
    // The tray menu as the resource builds it: pop-ups at 9, 11 and 13.
    static HMENU ResourceMenu() { return GetSubMenu(LoadMenuA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU)), 0); }

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

TEST_F(WinsimMenusTest, TextsShowThroughTheSystemCodePageAndConvertAsWindowsDoes)
{
    // As measured under Wine with code page 1252: 1251 bytes through an A call are mojibake.
    HMENU menu = ResourceMenu();
    MENUITEMINFOA ansi = {};
    ansi.cbSize = sizeof ansi;
    ansi.fMask = MIIM_STRING;
    ansi.dwTypeData = const_cast<char*>("\xCF\xF0\xEE\xE2\xEE\xE4\xED\xE8\xEA");   // "Проводник" in 1251
    ASSERT_TRUE(SetMenuItemInfoA(menu, IDM_EXPLORE, FALSE, &ansi));
    EXPECT_EQ("Ïðîâîäíèê", Text(menu, IDM_EXPLORE));
    MENUITEMINFOW wide = InfoW(MIIM_STRING, u"Я&x");
    ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXPLORE, FALSE, &wide));
    EXPECT_EQ("Я&x", Text(menu, IDM_EXPLORE));

    // codepage.c: -1 counts the NUL, 0 asks for the size, a short buffer fails.
    WCHAR out[16];
    EXPECT_EQ(4, MultiByteToWideChar(1251, 0, "\xC0\xE1\xE2", -1, out, 16));
    EXPECT_EQ(std::u16string(u"Абв"), out);
    EXPECT_EQ(3, MultiByteToWideChar(1251, 0, "\xC0\xE1\xE2", 3, NULL, 0));
    EXPECT_EQ(0, MultiByteToWideChar(1251, 0, "\xC0\xE1\xE2", -1, out, 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    ASSERT_EQ(3, MultiByteToWideChar(CP_ACP, 0, "\xC9\x81", -1, out, 16)) << "1252 until set";
    EXPECT_EQ(std::u16string(u"É\u0081"), out);
    // Without a best-fit flag, a letter the code page lacks becomes its plain letter without a word.
    char bytes[16];
    BOOL usedDefault = FALSE;
    EXPECT_EQ(3, WideCharToMultiByte(1251, 0, u"\u00E4\u0101", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_EQ("aa 0", std::string(bytes) + " " + std::to_string(usedDefault));
    EXPECT_EQ(2, WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, u"\u0101", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_EQ("? 1", std::string(bytes) + " " + std::to_string(usedDefault));
    // UTF-8 (also as the system's code page) takes neither the question nor the flag.
    sim::SetAnsiCodePage(CP_UTF8);
    EXPECT_EQ(0, WideCharToMultiByte(CP_ACP, 0, u"x", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, u"x", -1, bytes, 16, NULL, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FLAGS), GetLastError());
    EXPECT_EQ(3, WideCharToMultiByte(CP_ACP, 0, u"Я", -1, bytes, 16, NULL, NULL));
}

TEST_F(WinsimMenusTest, ItemsAreReadWrittenFoundAndRemovedAsUser32Does)
{
    HMENU menu = ResourceMenu();
    HMENU audio = GetSubMenu(menu, 9);
    // test_menu_iteminfo: "wine" read with cch 5 and 4 gives 4 and 3 characters; a separator has no text.
    MENUITEMINFOW set = InfoW(MIIM_TYPE, u"wine");
    ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &set));
    for (auto [cch, after, text] : {std::tuple{5u, 4u, u"wine"}, std::tuple{4u, 3u, u"win"}}) {
        WCHAR buffer[8] = {0};
        MENUITEMINFOW get = InfoW(MIIM_TYPE, reinterpret_cast<const char16_t*>(buffer));
        get.cch = cch;
        ASSERT_TRUE(GetMenuItemInfoW(menu, IDM_EXIT, FALSE, &get));
        EXPECT_EQ(after, get.cch);
        EXPECT_EQ(std::u16string(text), buffer);
    }
    MENUITEMINFOW separator = InfoW(MIIM_TYPE, u"x");
    ASSERT_TRUE(GetMenuItemInfoW(menu, 0, TRUE, &separator));
    EXPECT_EQ(static_cast<UINT>(MFT_SEPARATOR), separator.fType);
    EXPECT_EQ(nullptr, separator.dwTypeData);
    // MIIM_TYPE does not combine with MIIM_STRING; a state is replaced as given.
    MENUITEMINFOW both = InfoW(MIIM_TYPE | MIIM_STRING, u"x");
    EXPECT_FALSE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &both));
    MENUITEMINFOW state = InfoW(MIIM_STATE);
    for (UINT value : {UINT(MFS_CHECKED | MFS_GRAYED), UINT(MFS_CHECKED)}) {
        state.fState = value;
        ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &state));
    }
    std::vector<sim::MenuItemView> items = sim::MenuItems(menu);
    EXPECT_EQ(static_cast<UINT>(MFS_CHECKED), sim::FindMenuItem(items, IDM_EXIT)->state);
    // A pop-up keeps its sub-menu when its text changes; GetMenuItemID gives -1 for it.
    MENUITEMINFOW text = InfoW(MIIM_TYPE | MIIM_STATE, u" CD &Audio");
    ASSERT_TRUE(SetMenuItemInfoW(menu, 9, TRUE, &text));
    EXPECT_EQ(audio, GetSubMenu(menu, 9));
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuItemID(menu, 9));
    // test_menu_search_bycommand: by command, an insertion goes in front of the item, inside its pop-up,
    // and a removal reaches into the pop-up too.
    MENUITEMINFOW line = InfoW(MIIM_ID | MIIM_STRING, u" Track 1");
    line.wID = 50000;
    ASSERT_TRUE(InsertMenuItemW(menu, IDM_PLAY, FALSE, &line));
    EXPECT_EQ(50000u, GetMenuItemID(audio, 4));
    ASSERT_TRUE(RemoveMenu(menu, 50000, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<UINT>(IDM_PLAY), GetMenuItemID(audio, 4));
    EXPECT_FALSE(RemoveMenu(menu, 50000, MF_BYCOMMAND));
    // A record must have one of its real sizes: anything else is the caller's fault, not hidden.
    MENUITEMINFOW wrong = InfoW(MIIM_STRING, u"old");
    wrong.cbSize = sizeof wrong + 4;
    EXPECT_THROW(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &wrong), sim::Failure);
}

TEST_F(WinsimMenusTest, EachBitmapLoadIsNewAndAMenuMustNotShowOneDeleted)
{
    HBITMAP first = LoadBitmapA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDB_EXIT));
    HBITMAP second = LoadBitmapA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDB_EXIT));
    EXPECT_NE(first, second) << "unlike LoadIcon, LoadBitmap does not share";
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_FALSE(DeleteObject(second));
    EXPECT_EQ(1, sim::LiveBitmaps());
    HWND window = TestWindow();
    HMENU menu = ResourceMenu();
    MENUITEMINFOW info = InfoW(MIIM_CHECKMARKS | MIIM_STATE);
    info.fState = MFS_CHECKED;
    info.hbmpChecked = first;
    ASSERT_TRUE(SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &info));
    // The open menu is seen live.
    std::string seen;
    Step([menu] {
        MENUITEMINFOW rename = InfoW(MIIM_STRING, u" Выход");
        SetMenuItemInfoW(menu, IDM_EXIT, FALSE, &rename);
    });
    Step([&seen] {
        std::vector<sim::MenuItemView> items = sim::OpenMenu().value();
        seen = sim::FindMenuItem(items, IDM_EXIT)->text;
    });
    user.ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(static_cast<BOOL>(IDM_EXIT), TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, window, NULL));
    EXPECT_EQ(" Выход", seen);
    // Freeing the picture while the menu shows it is caught at the next moment the menu is drawn.
    Step([first] { DeleteObject(first); });
    user.DismissMenu();
    EXPECT_THROW(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, window, NULL), sim::Failure);
}

TEST_F(WinsimMenusTest, WideTrayRecordsHaveTheirOwnSizesAndTip)
{
    NOTIFYICONDATAW data = {};
    data.hWnd = TestWindow();
    data.uFlags = NIF_TIP;
    std::u16string(u"Закрыть CD").copy(data.szTip, 10);
    for (DWORD size : {DWORD(NOTIFYICONDATAW_V1_SIZE), DWORD(NOTIFYICONDATAW_V2_SIZE), DWORD(sizeof data)}) {
        data.cbSize = size;
        EXPECT_TRUE(Shell_NotifyIconW(NIM_ADD, &data));
        EXPECT_EQ("Закрыть CD", sim::TrayIcons().at(0).tip);
        EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    }
    EXPECT_EQ(128u, sim::TrayCalls()[0].tipBytes.size()) << "the first form's 64 WCHARs";
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    EXPECT_THROW(Shell_NotifyIconW(NIM_ADD, &data), sim::Failure) << "the narrow record's size";
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    for (WCHAR& unit : data.szTip) unit = u'x';
    EXPECT_THROW(Shell_NotifyIconW(NIM_ADD, &data), sim::Failure) << "no NUL within the first form's 64 characters";
}
