// The About dialog: one at a time, its help page in the user's language, the
// home page and the mail link.
#include "DriveScenario.h"
#include "res/resource.h"

namespace {

class AboutTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
    }

    void OpenAbout() { user.RightClickTray().ChooseMenuItem(IDM_ABOUT).WhenDialogShows(IDD_ABOUT); }

    int Finish()
    {
        user.RightClickTray().ChooseMenuItem(IDM_EXIT);
        return Run();
    }
};

}  // namespace

TEST_F(AboutTest, ASecondRequestBringsTheShownDialogToTheFront)
{
    size_t dialogs = 0;
    std::string texts;
    OpenAbout();
    user.Do("look", [&] {
        sim::DialogView about = *sim::OpenDialog(IDD_ABOUT);
        texts = about.title + "|" + about.Control(IDC_ABOUT_VERSION).text + "|" + about.Control(IDC_ABOUT_HELP).text +
                "|" + about.Control(IDC_ABOUT_EMAIL).text;
    });
    user.RightClickTray().ChooseMenuItem(IDM_ABOUT).Do("count", [&] {
        for (const sim::DialogView& dialog : sim::OpenDialogs())
            if (dialog.templateId == IDD_ABOUT) ++dialogs;
    });
    user.ClickButton(IDD_ABOUT, IDOK);
    EXPECT_EQ(0, Finish());
    EXPECT_EQ("About Dorvane|Dorvane version 2.4.1|&Help|&e-mail", texts);
    EXPECT_EQ(1u, dialogs);
}

TEST_F(AboutTest, HelpOpensThePageOfTheLanguageOrSaysItIsMissing)
{
    sim::AddFile(DEFAULT_INSTALL_DIR "\\help_r.html", "<html></html>");
    sim::SetRegText(SETTINGS_PATH, "Language", "0");
    OpenAbout();
    user.ClickButton(IDC_ABOUT_HELP);
    // In English the page is missing: the dialog says so and stays.
    user.RightClickTray().ChooseMenuItem(IDM_ENGLISH);
    OpenAbout();
    user.ClickButton(IDC_ABOUT_HELP).AnswerMessageBox(IDOK);
    bool stillOpen = false;
    user.Do("look", [&] { stillOpen = sim::OpenDialog(IDD_ABOUT).has_value(); });
    user.ClickButton(IDC_ABOUT_HOMEPAGE);
    OpenAbout();
    user.ClickButton(IDC_ABOUT_EMAIL);
    EXPECT_EQ(0, Finish());
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(std::vector<std::string>{"File not found!"}, MessageTexts());
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_SETFOREGROUND), sim::MessageBoxes()[0].type);
    std::vector<std::string> files;
    for (const sim::ShellLaunch& launch : sim::ShellLaunches()) files.push_back(launch.file);
    EXPECT_EQ((std::vector<std::string>{DEFAULT_INSTALL_DIR "\\help_r.html", DEFAULT_INSTALL_DIR "\\help.html",
                                        "https://dorvane.example/",
                                        "mailto:support@dorvane.example?subject=Dorvane 2.4.1"}),
              files);
}
