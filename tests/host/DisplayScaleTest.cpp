// The tray picture at the display scale: loaded at the notification area's
// size for its monitor's DPI, on every Windows the program runs on,
// and again when the user changes the scale while the program runs.

#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

// The small-icon size of the scale the user signed in with: 16 pixels at
// 100 %, in proportion above. Windows 10 says it for the monitor's DPI, 8.1
// only tells the DPI, Vista and 7 know the system's metric alone. With two
// monitors, the one whose taskbar holds the notification area counts.
// The user may change the scale while the program runs: the hidden main
// window gets no WM_DPICHANGED, but Explorer builds its taskbar anew and says
// so; the picture follows at the new size, its tooltip and everything else as
// they were. The metric of the system stays at the sign-in scale all the
// while, so it cannot be the guide.
struct ScaleRow {
    const char* what;
    sim::WindowsRelease release;
    std::vector<UINT> scales;   // the sign-in one, then each change
    std::vector<int> sizes;
    UINT second = 0;   // a second monitor's DPI
    int taskbar = 0;   // its monitor; -1: no taskbar window
};
const ScaleRow kScales[] = {
    {"10, the taskbar on a second monitor at 144", sim::WindowsRelease::Windows10, {96}, {24}, 144, 1},
    {"10, the taskbar on a second monitor at 96", sim::WindowsRelease::Windows10, {144}, {16}, 96, 1},
    {"10, no taskbar window", sim::WindowsRelease::Windows10, {144}, {24}, 96, -1},
    {"8.1, the taskbar on a second monitor at 99: 16.5 rounds up", sim::WindowsRelease::Windows8_1, {96}, {17}, 99, 1},
    {"7 knows the system's metric alone", sim::WindowsRelease::Windows7, {144}, {24}, 96, 1},
    {"10, changed while running", sim::WindowsRelease::Windows10, {96, 144, 192, 96, 120}, {16, 24, 32, 16, 20}},
};
using DisplayScale = Rows<DriveScenario>;

TEST_P(DisplayScale, TheTrayPictureHasTheNotificationAreasSize)
{
    const ScaleRow& c = kScales[GetParam()];
    AddDrives("d");
    sim::InsertDisc('D', sim::DataDisc("DATA", {{"README.TXT", "A data disc"}}));
    sim::SetWindowsRelease(c.release);
    sim::SetDisplayDpi(c.scales[0]);
    if (c.second) sim::AddMonitor(c.second);
    sim::PlaceTaskbar(c.taskbar);
    std::vector<TrayView> seen(c.scales.size());
    user.LeftClickTray().Wait(1500);   // the door open: another tooltip, another picture
    LookAtTray(&seen[0]);
    for (size_t i = 1; i < c.scales.size(); ++i) {
        user.ChangeDisplayDpi(c.scales[i]).Wait(100);
        LookAtTray(&seen[i]);
    }
    user.LeftClickTray().Wait(1500);
    TrayView closed;
    LookAtTray(&closed);
    EXPECT_EQ(0, RunToExit());

    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(c.scales[i]);
        EXPECT_EQ(1u, seen[i].icons);
        EXPECT_EQ(c.sizes[i], seen[i].size);
        EXPECT_EQ(IDI_NO_DISC, seen[i].picture) << "the disc lies on the open tray";
        EXPECT_EQ("Close CD", seen[i].tip);
        EXPECT_EQ(c.sizes[i], seen[i].windowIconSize) << "the window's large icon is a tray picture";
    }
    EXPECT_EQ(IDI_DORVANE, closed.picture) << "the door closed on the disc";
    EXPECT_EQ(c.sizes.back(), closed.size);
    EXPECT_EQ("Eject CD", closed.tip);
    EXPECT_TRUE(MessageTexts().empty());
}
ROWS(DisplayScale, kScales);

}  // namespace
