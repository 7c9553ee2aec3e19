// The About dialog: one at a time, its help page in the user's language, the
// home page and the mail link.
#include "DriveScenario.h"
#include "res/resource.h"

using AboutTest = DriveScenario;

TEST_F(AboutTest, EachButtonOpensItsPageAndASecondRequestBringsTheDialogForward)
{
    AddDrives("d");
    sim::AddFile(DEFAULT_INSTALL_DIR "\\help_r.html", "<html></html>");
    Store("Language", "0");
    auto openAbout = [this] {
        Choose(IDM_ABOUT);
        user.WhenDialogShows(IDD_ABOUT);
    };
    openAbout();
    Choose(IDM_ABOUT);
    const Seen& again = Look();
    bool front = false;
    Step([&] { front = sim::OpenDialog(IDD_ABOUT)->foreground; });
    user.ClickButton(IDC_ABOUT_HELP);
    const Seen& afterHelp = Look();
    // In English the shell cannot open the page: the dialog says so and stays.
    Choose(IDM_ENGLISH);
    openAbout();
    // SE_ERR_DLLNOTFOUND, 32: the highest result that is a failure.
    Step([] { sim::FailCall("ShellExecuteA", DEFAULT_INSTALL_DIR "\\help.html", 32); });
    user.ClickButton(IDC_ABOUT_HELP).AnswerMessageBox(IDOK);
    const Seen& missing = Look();
    user.ClickButton(IDC_ABOUT_HOMEPAGE);
    openAbout();
    user.ClickButton(IDC_ABOUT_EMAIL);
    openAbout();
    user.PressKey(VK_ESCAPE);
    const Seen& escaped = Look();
    EXPECT_EQ(0, RunToExit());

    EXPECT_EQ(std::vector<int>{IDD_ABOUT}, again.dialogs);
    EXPECT_TRUE(front);
    EXPECT_TRUE(afterHelp.dialogs.empty());
    EXPECT_EQ(std::vector<int>{IDD_ABOUT}, missing.dialogs);
    EXPECT_TRUE(escaped.dialogs.empty());
    EXPECT_EQ(std::vector<std::string>{"File not found!"}, MessageTexts());
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_SETFOREGROUND), sim::MessageBoxes().at(0).type);
    std::vector<std::string> files;
    for (const sim::ShellLaunch& launch : sim::ShellLaunches()) {
        files.push_back(launch.file);
        EXPECT_EQ("open", launch.verb.value_or("(default)"));
        EXPECT_EQ(SW_SHOWNORMAL, launch.show);
    }
    EXPECT_EQ((std::vector<std::string>{DEFAULT_INSTALL_DIR "\\help_r.html", DEFAULT_INSTALL_DIR "\\help.html",
                                        "https://dorvane.example/",
                                        "mailto:support@dorvane.example?subject=Dorvane 2.4.1"}),
              files);
}
