// Explorer restarts while the program runs: the notification area forgets the
// icon and the new taskbar broadcasts "TaskbarCreated"; the program adds its
// icon again as it was, and the icon answers clicks, also when the program
// runs elevated and the shell does not.
#include <shellapi.h>

#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

// The icon comes back with the picture and the tooltip of the moment, in the
// language of the moment; a click on it then works as before. A shell that is
// still starting may refuse it, and a picture may not load: the program tries
// again every two seconds until the icon and its picture are in. Elevated, the
// program hears the shell's broadcast only through its message filter: per
// window from Windows 7 on, for the process on Vista, looked up where the
// system has it.
struct ComeBackRow {
    const char* what;
    bool disc;
    const char* language;   // null: the default, English
    bool openFirst;         // the program opens the door before the restart
    int picture;
    const char* tip;
    std::function<void()> refuse = nullptr;   // at the restart
    const char* soon = nullptr;   // 100 ms after the restart, "picture tip"; null: as at last
    const char* filterCall = nullptr;   // elevated: the call that lets the broadcast through
    sim::WindowsRelease release = sim::WindowsRelease::Windows10;
};
const ComeBackRow kComeBacks[] = {
    // The disc lies on the open tray: nothing readable.
    {"door opened, Russian", true, "0", true, IDI_NO_DISC, "Закрыть CD"},
    {"the shell refuses the first two adds", true, nullptr, false, IDI_DORVANE, "Eject CD",
     [] { sim::FailCall("Shell_NotifyIconW", "NIM_ADD", ERROR_TIMEOUT, 2); }, "(no icon)"},
    {"the picture does not load", false, nullptr, false, IDI_NO_DISC, "Eject CD",
     [] { sim::FailCall("LoadImageA", "190"); }, "0 Eject CD"},
    {"elevated on Vista", true, nullptr, false, IDI_DORVANE, "Eject CD", nullptr, nullptr,
     "ChangeWindowMessageFilter ", sim::WindowsRelease::Vista},
    {"elevated on Windows 7", true, nullptr, false, IDI_DORVANE, "Eject CD", nullptr, nullptr,
     "ChangeWindowMessageFilterEx ", sim::WindowsRelease::Windows7},
};
using ShellRestartComeBack = Rows<DriveScenario>;

TEST_P(ShellRestartComeBack, TheIconComesBackAsItWasAndAnswersClicks)
{
    const ComeBackRow& c = kComeBacks[GetParam()];
    sim::SetWindowsRelease(c.release);
    sim::RunElevated(c.filterCall != nullptr);
    AddDrives("d");
    if (c.disc) sim::InsertDisc('D', sim::DataDisc("DATA", {{"README.TXT", "A data disc"}}));
    if (c.language) sim::SetRegText(SETTINGS_PATH, "Language", c.language);
    if (c.openFirst) user.LeftClickTray();
    size_t callsBefore = 0;
    TrayView soon, back;
    user.Wait(1500).Do("note", [&] { callsBefore = sim::TrayCalls().size(); });
    const Seen& before = Look();
    if (c.refuse) Step(c.refuse);
    user.RestartShell();
    user.Wait(100);
    LookAtTray(&soon);
    user.Wait(4500);
    LookAtTray(&back);
    size_t timers = 9;
    Step([&] { timers = sim::Timers().size(); });
    user.LeftClickTray().Wait(1500);
    const Seen& after = Look();
    EXPECT_EQ(0, RunToExit());

    EXPECT_EQ(c.soon ? c.soon : std::to_string(c.picture) + " " + c.tip,
              soon.icons ? std::to_string(soon.picture) + " " + soon.tip : "(no icon)")
        << "the tooltip comes with the icon, the picture may follow";
    EXPECT_EQ(1u, back.icons);
    EXPECT_EQ(c.picture, back.picture);
    EXPECT_EQ(16, back.size);
    EXPECT_EQ(c.tip, back.tip);
    EXPECT_TRUE(back.answers);
    EXPECT_EQ(0u, timers) << "no retry is left once the icon is in, and nothing ticks while idle";
    EXPECT_NE(before.open, after.open) << "a click on the icon moved the door";
    EXPECT_NE("(no icon)", after.tip);
    EXPECT_NE(c.tip, after.tip) << "the tooltip names the next action again";

    // One add, with everything at once, once the shell takes it; nothing else was changed.
    const std::vector<sim::TrayCall>& calls = sim::TrayCalls();
    size_t first = callsBefore;
    while (first < calls.size() && !calls[first].result) ++first;
    ASSERT_LT(first, calls.size()) << "the shell never took the icon";
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), calls[first].message);
    UINT flags = NIF_MESSAGE | NIF_TIP | (c.soon && c.soon[0] == '0' ? 0 : NIF_ICON);
    EXPECT_EQ(flags, calls[first].flags);
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE), calls[first].size);
    EXPECT_EQ(std::vector<std::string>{}, MessageTexts());
    if (c.filterCall) {
        EXPECT_GE(sim::TraceIndex(c.filterCall), 0);
        EXPECT_LT(sim::TraceIndex(c.filterCall), sim::TraceIndex("Shell_NotifyIconW NIM_ADD"))
            << "the filter is open before the icon is first added";
    }
}
ROWS(ShellRestartComeBack, kComeBacks);

}  // namespace
