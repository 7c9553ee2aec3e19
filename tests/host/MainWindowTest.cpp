// The hidden main window: its initialisation, its tray icon, the tray menu
// and the Exit command, as the user and the registry see them.
#include <shellapi.h>

#include <string>

#include "Scenario.h"
#include "app/MainWindow.h"
#include "app/TrayIcon.h"
#include "app/WinMain.h"
#include "res/resource.h"
#include "settings/Settings.h"

namespace {

class MainWindowTest : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        Install();
        // A machine with one CD drive: the program asks nothing at start.
        sim::AddCdDrive('D');
    }

    // Runs the program to its end through the Exit command.
    int RunAndExit()
    {
        user.RightClickTray().ChooseMenuItem(IDM_EXIT);
        return Run();
    }

    // A start that fails during initialisation: its messages are answered.
    int RunFailingStart()
    {
        user.AcceptMessageBoxes();
        return Run();
    }

    static int Position(const std::string& prefix)
    {
        int index = sim::TraceIndex(prefix);
        EXPECT_GE(index, 0) << prefix;
        return index;
    }

    static const sim::TrayCall& Call(size_t index)
    {
        EXPECT_GT(sim::TrayCalls().size(), index);
        return sim::TrayCalls()[index];
    }
};

bool HasDefault(const std::vector<sim::MenuItemView>& items)
{
    for (const sim::MenuItemView& item : items)
        if ((item.state & MFS_DEFAULT) || HasDefault(item.popup)) return true;
    return false;
}

}  // namespace

TEST_F(MainWindowTest, InitialisationRunsInItsOrder)
{
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run(DEFAULT_INSTALL_DIR));
    int steps[] = {
        Position("InitCommonControls"),
        Position("LoadMenuA 101"),
        Position("Shell_NotifyIconW NIM_ADD"),
        Position("RegOpenKeyExA HKCU\\Software\\Ostrelle\\Dorvane"),
        Position("Shell_NotifyIconW NIM_MODIFY"),
        Position("SetTimer 1001 500"),
        Position("RegisterHotKey 2001"),
        Position("SetForegroundWindow desktop"),
    };
    for (size_t i = 1; i < sizeof steps / sizeof steps[0]; ++i) EXPECT_LT(steps[i - 1], steps[i]) << "step " << i;
    EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(MainWindowTest, TheHiddenWindowComesFromItsTemplate)
{
    HWND seen = NULL;
    user.Do("note the main window", [&seen] { seen = MainWindow; });
    EXPECT_EQ(0, RunAndExit());
    auto window = sim::WindowInfo(seen);
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(IDD_MAIN, window->templateId);
    EXPECT_EQ(0x800009C5u, window->style);
    EXPECT_EQ(0x00030004u, window->exStyle);
    EXPECT_EQ(114, window->cx);
    EXPECT_EQ(62, window->cy);
    EXPECT_EQ("MS Sans Serif", window->font);
    EXPECT_EQ(8, window->fontSize);
    EXPECT_EQ("", window->text);
    EXPECT_EQ(0, window->controlCount);
    EXPECT_FALSE(window->visible);
    EXPECT_TRUE(window->destroyed);
}

TEST_F(MainWindowTest, TrayIconIsAddedThenGivenItsPictureAndTooltip)
{
    HICON windowIcon = NULL;
    std::vector<sim::TrayIconRecord> icons;
    user.Do("look at the tray", [&] {
        icons = sim::TrayIcons();
        windowIcon = sim::WindowInfo(MainWindow)->bigIcon;
    });
    EXPECT_EQ(0, RunAndExit());

    const sim::TrayCall& add = Call(0);
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.message);
    // The first form of the wide record: the pointer-sized fields make it 168
    // bytes here and on x64, 152 on x86.
    EXPECT_TRUE(add.wide);
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE), add.size);
    EXPECT_EQ(offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(WCHAR), add.size);
    EXPECT_EQ(151u, add.id);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE), add.flags);
    EXPECT_EQ(0x464u, add.callbackMessage);
    EXPECT_EQ(NULL, add.icon);

    const sim::TrayCall& picture = Call(1);
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), picture.message);
    EXPECT_EQ(add.size, picture.size);
    EXPECT_EQ(static_cast<UINT>(NIF_ICON | NIF_TIP), picture.flags);
    EXPECT_EQ(0u, picture.callbackMessage);
    EXPECT_EQ(IDI_DORVANE, sim::IconResourceId(picture.icon));
    // UTF-16: each character of "Eject CD" and a zero byte, then zeros to 64 characters.
    std::string tipBytes;
    for (char c : std::string("Eject CD")) tipBytes += std::string(1, c) + '\0';
    EXPECT_EQ(tipBytes + std::string(128 - tipBytes.size(), '\0'), picture.tipBytes);

    ASSERT_EQ(1u, icons.size());
    EXPECT_EQ(IDI_DORVANE, sim::IconResourceId(icons[0].icon));
    EXPECT_EQ("Eject CD", icons[0].tip);
    EXPECT_EQ(icons[0].icon, windowIcon) << "the window's large icon follows the tray picture";
}

TEST_F(MainWindowTest, TooltipIsInTheLoadedLanguage)
{
    sim::SetRegText(SETTINGS_PATH, "Language", "0");
    std::string tip;
    user.Do("read the tooltip", [&tip] { tip = sim::TrayIcons().at(0).tip; });
    EXPECT_EQ(0, RunAndExit());
    EXPECT_EQ("Открыть CD", tip);
}

TEST_F(MainWindowTest, TooltipTakesAtMost63Characters)
{
    std::string tip;
    std::string longText(100, 't');
    user.Do("set a long tooltip", [&] {
        SetTrayTip(MainWindow, longText.c_str());
        tip = sim::TrayIcons().at(0).tip;
    });
    EXPECT_EQ(0, RunAndExit());
    EXPECT_EQ(std::string(63, 't'), tip);
    EXPECT_EQ(static_cast<UINT>(NIF_TIP), sim::TrayCalls()[2].flags) << "the picture is left alone";
}

TEST_F(MainWindowTest, AnIconThatCannotBeLoadedChangesNothing)
{
    std::vector<sim::TrayCall> before;
    size_t callsAfter = 0;
    HICON windowIcon = NULL;
    user.Do("show a missing picture", [&] {
        size_t calls = sim::TrayCalls().size();
        sim::FailCall("LoadImageA", "158");
        UpdateTrayIcon(MainWindow, IDI_DOOR_MOVING, 0);
        callsAfter = sim::TrayCalls().size() - calls;
        windowIcon = sim::WindowInfo(MainWindow)->bigIcon;
    });
    EXPECT_EQ(0, RunAndExit());
    EXPECT_EQ(0u, callsAfter);
    EXPECT_EQ(IDI_DORVANE, sim::IconResourceId(windowIcon));
}

TEST_F(MainWindowTest, HotKeySettingBecomesTheDoorHotKey)
{
    struct Case {
        const char* stored;   // null: the value is missing
        UINT modifiers;
        UINT key;
    };
    const Case cases[] = {
        {nullptr, MOD_CONTROL | MOD_ALT, VK_SPACE},   // the default 0x0620
        {"2369", MOD_SHIFT, 'A'},                     // 0x0941: Shift and the extended-key flag, which is dropped
        {"1860", MOD_ALT | MOD_CONTROL | MOD_SHIFT, 'D'},   // 0x0744
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "default");
        SetUp();
        if (c.stored) sim::SetRegValue(SETTINGS_PATH, "HotKey", REG_SZ, c.stored);
        std::vector<sim::HotKeyView> keys;
        user.Do("list the hot keys", [&keys] { keys = sim::HotKeys(); });
        EXPECT_EQ(0, RunAndExit());
        ASSERT_EQ(1u, keys.size());
        EXPECT_EQ(2001, keys[0].id);
        EXPECT_EQ(c.modifiers, keys[0].modifiers);
        EXPECT_EQ(c.key, keys[0].virtualKey);
    }
}

TEST_F(MainWindowTest, AHotKeyHeldElsewhereLeavesTheProgramWithoutOne)
{
    sim::TakeHotKey(MOD_CONTROL | MOD_ALT, VK_SPACE);
    size_t keys = 99;
    user.Do("list the hot keys", [&keys] { keys = sim::HotKeys().size(); });
    EXPECT_EQ(0, RunAndExit());
    EXPECT_EQ(0u, keys);
    EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(MainWindowTest, FailedInitialisationStepsEndTheProgramAfterTheirMessage)
{
    struct Case {
        const char* api;
        const char* subject;
        std::string message;
    };
    const Case cases[] = {
        {"LoadMenuA", "101", "Failed to create a menu!\nTerminating."},
        {"GetSubMenu", "0", "Failed to create a menu!\nTerminating."},
        {"Shell_NotifyIconW", "NIM_ADD", "Failed to create an icon!\nTerminating."},
        // After the settings are read: in the stored language.
        {"SetTimer", "1001", "Не получается создать таймер!\nВыгружаемся."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.api);
        SetUp();
        sim::SetRegText(SETTINGS_PATH, "Language", "0");
        sim::FailCall(c.api, c.subject);
        EXPECT_EQ(0, RunFailingStart());
        EXPECT_EQ(std::vector<std::string>{c.message}, MessageTexts());
        EXPECT_EQ(NULL, sim::MessageBoxes()[0].owner);
        // Initialisation went on to its end, and the usual teardown ran.
        EXPECT_GE(sim::TraceIndex("SetForegroundWindow desktop"), 0);
        EXPECT_GE(sim::TraceIndex("UnregisterHotKey 2001"), 0);
        EXPECT_TRUE(sim::TrayIcons().empty());
        EXPECT_TRUE(sim::MenusShown().empty());
    }
}

TEST_F(MainWindowTest, AfterAFailedStepTheNextFailureMessageClosesByItself)
{
    // The first failure has posted the quit request, and a message box's own
    // loop ends on a pending quit request, as every modal loop does.
    sim::FailCall("LoadMenuA", "101");
    sim::FailCall("Shell_NotifyIconW", "NIM_ADD");
    user.AnswerMessageBox(IDOK);
    EXPECT_EQ(0, Run());
    ASSERT_EQ(2u, sim::MessageBoxes().size());
    EXPECT_EQ(IDOK, sim::MessageBoxes()[0].answer);
    EXPECT_EQ("Failed to create an icon!\nTerminating.", sim::MessageBoxes()[1].text);
    EXPECT_EQ(0, sim::MessageBoxes()[1].answer);
}

TEST_F(MainWindowTest, RightClickShowsTheMenuWithoutDefaultItem)
{
    LONG openWhileTracked = 0;
    user.RightClickTray()
        .Do("make Exit the default", [&] {
            openWhileTracked = TrayMenuOpen;
            SetMenuDefaultItem(TrayMenu, IDM_EXIT, FALSE);
        })
        .DismissMenu()
        .RightClickTray()
        .ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());

    ASSERT_EQ(2u, sim::MenusShown().size());
    EXPECT_EQ(1, openWhileTracked);
    EXPECT_EQ(0, TrayMenuOpen);
    for (const sim::MenuShowing& menu : sim::MenusShown()) {
        EXPECT_EQ(0x12Au, menu.flags);
        EXPECT_FALSE(HasDefault(menu.items)) << "any default is cleared before the menu shows";
        EXPECT_EQ(menu.owner, menu.foreground) << "the main window is brought to the front first";
        EXPECT_EQ(1000, menu.at.x);
        EXPECT_EQ(740, menu.at.y);
    }
    // Each showing is followed by a posted WM_NULL to the main window.
    EXPECT_GE(sim::TraceIndex("PostMessageA 0x0"), sim::TraceIndex("menu closed"));
}

TEST_F(MainWindowTest, NoCursorPositionNoMenu)
{
    sim::FailCall("GetCursorPos");
    user.RightClickTray().Wait(1000).RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(1u, sim::MenusShown().size());
}

TEST_F(MainWindowTest, HeadingsAndInformationLinesDoNothing)
{
    std::string registry = sim::DumpRegistry();
    for (UINT command : {IDM_DISC_SUMMARY, IDM_SETTINGS_HEADING, IDM_LANGUAGE_HEADING})
        user.RightClickTray().ChooseMenuItem(command);
    EXPECT_EQ(0, RunAndExit());
    EXPECT_EQ(4u, sim::MenusShown().size()) << "the program ran on to the Exit command";
    EXPECT_TRUE(sim::MessageBoxes().empty());
    EXPECT_EQ(registry, sim::DumpRegistry());
}

TEST_F(MainWindowTest, DiscStatusTimerTicksInsideTheMenuAndMessageBoxes)
{
    int beforeMenu = 0, afterMenu = 0;
    user.At(1000)
        .Do("count", [&] { beforeMenu = sim::TimerFirings(1001); })
        .RightClickTray()
        .Wait(2000)
        .Do("count", [&] { afterMenu = sim::TimerFirings(1001); })
        .ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(2, beforeMenu);
    EXPECT_EQ(beforeMenu + 4, afterMenu) << "twice a second while the menu is open";
}

TEST_F(MainWindowTest, ExitTearsEverythingDownAndWritesNoSetting)
{
    std::string registry = sim::DumpRegistry();
    HMENU menu = NULL;
    user.Do("note the menu", [&menu] { menu = TrayMenu; });
    EXPECT_EQ(0, RunAndExit()) << "the quit request's code 1 is not the result";

    int steps[] = {Position("PostQuitMessage 1"), Position("DestroyWindow dialog 103"),
                   Position("UnregisterHotKey 2001"), Position("Shell_NotifyIconW NIM_DELETE"),
                   Position("DestroyMenu"), Position("KillTimer 1001")};
    for (size_t i = 1; i < sizeof steps / sizeof steps[0]; ++i) EXPECT_LT(steps[i - 1], steps[i]) << "step " << i;
    EXPECT_TRUE(sim::TrayIcons().empty()) << "no icon is left behind";
    EXPECT_TRUE(sim::MenuDestroyed(menu));
    EXPECT_EQ(NULL, TrayMenu);
    EXPECT_EQ(registry, sim::DumpRegistry());
    EXPECT_EQ(0, sim::OpenRegistryHandles());
    EXPECT_EQ(0, sim::OpenKernelHandles());
}

TEST_F(MainWindowTest, ExitWhileLockedNeedsThePasswordPrompt)
{
    // A cancelled prompt keeps the program running until the user ends it
    // from outside.
    sim::SetRegValue(SETTINGS_PATH, "Locked", REG_SZ, "1");
    user.RightClickTray().ChooseMenuItem(IDM_EXIT).WhenDialogShows(IDD_PASSWORD_PROMPT).ClickButton(IDCANCEL);
    user.Wait(1000).EndTask();
    EXPECT_EQ(1, Run());
    EXPECT_EQ(-1, sim::TraceIndex("PostQuitMessage"));
}
