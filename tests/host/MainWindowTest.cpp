// The hidden main window: its initialisation, its tray icon, the tray menu
// and the Exit command, as the user and the registry see them.
#include <shellapi.h>

#include <string>

#include "DriveScenario.h"
#include "Rows.h"
#include "app/MainWindow.h"
#include "app/WinMain.h"
#include "res/resource.h"

namespace {

using MainWindowTest = DriveScenario;

// The trace lines starting with each prefix come in this order.
void ExpectInOrder(const std::vector<std::string>& prefixes)
{
    int last = -1;
    for (const std::string& prefix : prefixes) {
        int at = sim::TraceIndex(prefix);
        EXPECT_GT(at, last) << prefix;
        last = at;
    }
}

// The start adds the icon, then its picture and tooltip in the stored language; a right click shows
// the menu without a default and its headings do nothing; Exit tears everything down, writing no setting.
TEST_F(MainWindowTest, TheStartTheMenuAndExitAsTheUserAndTheShellSeeThem)
{
    AddDrives("d");
    sim::InsertDisc('D', sim::DataDisc("DATA", {{"readme.txt", "hello"}}));
    Store("Language", "0");
    std::string registry = sim::DumpRegistry();
    // Without the shell's restart message every WM_NULL after a menu must stay just that.
    sim::FailCall("RegisterWindowMessageA", "TaskbarCreated");
    HWND window = NULL;
    HICON windowIcon = NULL;
    HMENU menu = NULL;
    Step([&] {
        window = MainWindow;
        windowIcon = sim::WindowInfo(MainWindow)->bigIcon;
        menu = TrayMenu;
    });
    user.RightClickTray();
    Step([] { SetMenuDefaultItem(TrayMenu, IDM_EXIT, FALSE); });
    user.DismissMenu();
    const Seen& dismissed = Look();
    for (UINT command : {IDM_DISC_SUMMARY, IDM_SETTINGS_HEADING, IDM_LANGUAGE_HEADING}) Choose(command);
    Step([] { sim::FailCall("GetCursorPos"); });
    user.RightClickTray().Wait(1000).DoubleClickTray();
    const Seen& doubled = Look();
    Choose(IDM_EXIT);
    EXPECT_EQ(0, Run(DEFAULT_INSTALL_DIR));
    ExpectInOrder({"LoadMenuA 101", "Shell_NotifyIconW NIM_ADD", "RegOpenKeyExA HKCU\\Software\\Ostrelle\\Dorvane",
                   "Shell_NotifyIconW NIM_MODIFY", "InitCommonControls", "RegisterHotKey 2001",
                   "SetForegroundWindow desktop", "PostQuitMessage 1", "DestroyWindow dialog 103",
                   "UnregisterHotKey 2001", "Shell_NotifyIconW NIM_DELETE", "DestroyMenu"});
    EXPECT_TRUE(sim::MenuDestroyed(menu));
    EXPECT_EQ(NULL, TrayMenu);
    EXPECT_EQ(registry, sim::DumpRegistry());
    auto view = sim::WindowInfo(window);
    ASSERT_TRUE(view.has_value());
    EXPECT_FALSE(view->visible);

    // The first form of the wide record (168 bytes here and on x64, 152 on x86): the icon added
    // with its message alone, then given its picture and tooltip.
    const std::string size = std::to_string(offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(WCHAR));
    auto described = [](const sim::TrayCall& call) {
        return std::to_string(call.message) + " " + std::to_string(call.size) + " " + std::to_string(call.id) + " " +
               std::to_string(call.flags) + " " + std::to_string(call.callbackMessage) + " " +
               std::to_string(sim::IconResourceId(call.icon)) + (call.wide ? " wide" : "");
    };
    EXPECT_EQ("0 " + size + " 151 1 1124 0 wide", described(sim::TrayCalls().at(0)));
    const sim::TrayCall& picture = sim::TrayCalls().at(1);
    EXPECT_EQ("1 " + size + " 151 6 0 151 wide", described(picture));
    // UTF-16, then zeros to 64 characters.
    const std::u16string tip = u"Открыть CD";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(tip.c_str()), 2 * tip.size()) +
                  std::string(128 - 2 * tip.size(), '\0'),
              picture.tipBytes);
    EXPECT_EQ(picture.icon, windowIcon) << "the window's large icon follows the tray picture";

    ASSERT_EQ(5u, sim::MenusShown().size()) << "no menu without the cursor's position";
    EXPECT_FALSE(dismissed.ticking) << "only the open menu is kept up to date";
    for (const sim::MenuShowing& shown : sim::MenusShown()) {
        EXPECT_EQ(0x12Au, shown.flags);
        // (The pop-ups' items come from the resource, which the menus' expectation holds.)
        for (const sim::MenuItemView& item : shown.items)
            EXPECT_FALSE(item.state & MFS_DEFAULT) << "any default is cleared before the menu shows";
        EXPECT_EQ(shown.owner, shown.foreground) << "the main window is brought to the front first";
        EXPECT_EQ(1000, shown.at.x);
        EXPECT_EQ(740, shown.at.y);
    }
    EXPECT_GE(sim::TraceIndex("PostMessageA 0x0"), sim::TraceIndex("menu closed")) << "WM_NULL after the menu";
    int adds = 0;
    for (const sim::TrayCall& call : sim::TrayCalls()) adds += call.message == NIM_ADD;
    EXPECT_EQ(1, adds);
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ("", doubled.open) << "a double click toggles twice";
    EXPECT_EQ(1, Sent("set cd4open door open wait"));
}

struct InitRow {
    const char* what;
    const char* api;   // null: the machine has no CD drive, and the user answers Yes to going without
    const char* subject;
    std::vector<std::string> messages;
    const char* thenApi = nullptr;   // a second step that fails after it
    const char* thenSubject = nullptr;
};
const InitRow kInits[] = {
    {"its pop-up", "GetSubMenu", "0", {"Failed to create a menu!\nTerminating."}},
    {"the icon", "Shell_NotifyIconW", "NIM_ADD", {"Failed to create an icon!\nTerminating."}},
    // After the settings are read: in the stored language.
    {"the timer", "SetTimer", "1001", {"Не получается создать таймер!\nВыгружаемся."}},
    // A message box's own loop ends on a pending quit request: the next failure's box closes by itself.
    {"the menu then the icon", "LoadMenuA", "101",
     {"Failed to create a menu!\nTerminating.", "Failed to create an icon!\nTerminating."}, "Shell_NotifyIconW",
     "NIM_ADD"},
    {"no CD drive", nullptr, nullptr, {"Не найдена информация о CD-приводе.\nЗавершить работу программы?"}},
};
using MainWindowInit = Rows<MainWindowTest>;

TEST_P(MainWindowInit, AFailedStepEndsTheProgramAfterItsMessage)
{
    const InitRow& c = kInits[GetParam()];
    Store("Language", "0");
    // The lock needs its tick from the start.
    Store("Locked", "1");
    if (c.api) {
        AddDrives("d");
        sim::FailCall(c.api, c.subject);
    }
    if (c.thenApi) sim::FailCall(c.thenApi, c.thenSubject);
    const int answer = c.api ? IDOK : IDYES;
    user.AnswerMessageBox(answer);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(c.messages, MessageTexts());
    EXPECT_EQ(NULL, sim::MessageBoxes().at(0).owner);
    EXPECT_EQ(c.messages.size() == 1 ? answer : 0, sim::MessageBoxes().back().answer);
    // Initialisation went on to its end, and the usual teardown ran.
    ExpectInOrder({"PostQuitMessage 1", "SetForegroundWindow desktop", "UnregisterHotKey 2001"});
    EXPECT_TRUE(sim::TrayIcons().empty());
}
ROWS(MainWindowInit, kInits);

}  // namespace
