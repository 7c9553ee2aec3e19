// Locking the drive with a password: the prompt before the door opens and
// before the program ends, its refusals, and a newer prompt replacing an
// older one.
#include "DriveScenario.h"
#include "res/resource.h"

namespace {

class PasswordTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
        sim::SetRegText(SETTINGS_PATH, "Locked", "1");
        sim::SetRegText(SETTINGS_PATH, "Password", "Secret pass");
    }

    // Types into the prompt and presses OK.
    void Answer(const std::string& text) { user.WhenDialogShows(IDD_PASSWORD_PROMPT).Type(text).ClickButton(IDOK); }

    void Note(std::string* into, std::function<std::string()> what)
    {
        user.Do("note", [into, what] { *into = what(); });
    }
};

std::string PromptText()
{
    auto prompt = sim::OpenDialog(IDD_PASSWORD_PROMPT);
    return prompt ? prompt->Control(IDC_OLD_PASSWORD).text : "(no prompt)";
}

}  // namespace

TEST_F(PasswordTest, TheDoorOpensOnlyForTheRightPasswordAndStaysOpen)
{
    std::string titles, afterRefusal, selection, masked;
    bool openAfter = false, openLater = false;
    user.LeftClickTray();
    user.WhenDialogShows(IDD_PASSWORD_PROMPT).Do("look", [&] {
        sim::DialogView prompt = *sim::OpenDialog(IDD_PASSWORD_PROMPT);
        titles = prompt.title + "|" + prompt.Control(IDC_OLD_LABEL).text + "|" + prompt.Control(IDCANCEL).text;
        EXPECT_EQ(0x90C80BC5u, static_cast<DWORD>(GetWindowLongPtrA(prompt.handle, GWL_STYLE)) | WS_VISIBLE);
        EXPECT_EQ(IDC_OLD_PASSWORD, prompt.focusId);
    });
    // Letter case and blanks count.
    user.Type("secret pass").ClickButton(IDOK).AnswerMessageBox(IDOK);
    user.Do("look", [&] {
        sim::ControlView edit = sim::OpenDialog(IDD_PASSWORD_PROMPT)->Control(IDC_OLD_PASSWORD);
        afterRefusal = edit.text;
        selection = std::to_string(edit.selStart) + "-" + std::to_string(edit.selEnd);
        masked = edit.shown;
    });
    user.Type("Secret pass").ClickButton(IDOK).Do("look", [&] { openAfter = sim::TrayOpen('D'); });
    user.Wait(1500).Do("look", [&] { openLater = sim::TrayOpen('D'); });
    user.EndTask();
    Run();

    EXPECT_EQ("Password|Type your password:|Cancel", titles);
    EXPECT_EQ(std::vector<std::string>{"Password is not valid!\n\nPlease try again."}, MessageTexts());
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND | MB_SETFOREGROUND), sim::MessageBoxes()[0].type);
    EXPECT_EQ("secret pass", afterRefusal);
    EXPECT_EQ("0-11", selection) << "the refused text is selected, so typing replaces it";
    EXPECT_EQ(std::string(11, '*'), masked);
    EXPECT_TRUE(openAfter);
    EXPECT_TRUE(openLater) << "the poller leaves a door opened with the password alone";
}

TEST_F(PasswordTest, EmptyInputIsRefusedAndTheMasterPasswordAlwaysWorks)
{
    sim::SetRegText(SETTINGS_PATH, "Password", "");
    std::string typed;
    bool open = false;
    user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).ClickButton(IDOK).AnswerMessageBox(IDOK);
    // A 21st character cannot be typed.
    user.Type("Zebra walks at noon!!!");
    Note(&typed, PromptText);
    user.PressKey(VK_ESCAPE);
    user.LeftClickTray();
    Answer("Zebra walks at noon");
    user.Do("look", [&] { open = sim::TrayOpen('D'); }).EndTask();
    Run();
    EXPECT_EQ(std::vector<std::string>{"Please type a password!"}, MessageTexts());
    EXPECT_EQ("Zebra walks at noon!", typed);
    EXPECT_TRUE(open);
}

TEST_F(PasswordTest, ExitAsksForThePasswordAndCancelsAnOpenOptionsDialog)
{
    bool optionsGone = false;
    int result = -1;
    user.RightClickTray().ChooseMenuItem(IDM_OPTIONS).WhenDialogShows(IDD_OPTIONS);
    user.RightClickTray().ChooseMenuItem(IDM_EXIT).WhenDialogShows(IDD_PASSWORD_PROMPT).Do("look", [&] {
        // Ended, it is hidden at once; its window goes when its own loop returns.
        auto options = sim::OpenDialog(IDD_OPTIONS);
        optionsGone = !options || !options->visible;
    });
    // Cancel keeps the program running; the password ends it.
    user.ClickButton(IDCANCEL).RightClickTray().ChooseMenuItem(IDM_EXIT);
    Answer("Secret pass");
    result = Run();
    EXPECT_EQ(0, result);
    EXPECT_TRUE(optionsGone) << "the Options dialog is cancelled before the prompt shows";
    EXPECT_TRUE(MessageTexts().empty());
}

// A click on the icon while Options waits in a password dialog of its own
// cancels Options: nothing is left on screen, disabled, until Exit.
TEST_F(PasswordTest, ADoorPromptCancelsOptionsWaitingInAPasswordDialog)
{
    for (int inOptions : {IDC_PASSWORD_PROTECT, IDC_CHANGE_PASSWORD}) {
        SCOPED_TRACE(inOptions);
        SetUp();
        user.RightClickTray().ChooseMenuItem(IDM_OPTIONS).WhenDialogShows(IDD_OPTIONS).ClickButton(inOptions);
        user.WhenDialogShows(inOptions == IDC_PASSWORD_PROTECT ? IDD_PASSWORD_PROMPT : IDD_PASSWORD_CHANGE);
        user.LeftClickTray();
        Answer("Secret pass");
        std::vector<int> left;
        user.Do("look", [&] {
            for (const sim::DialogView& dialog : sim::OpenDialogs())
                if (dialog.templateId != IDD_MAIN) left.push_back(dialog.templateId);
        });
        // Options opens afresh.
        user.RightClickTray().ChooseMenuItem(IDM_OPTIONS).WhenDialogShows(IDD_OPTIONS).ClickButton(IDCANCEL);
        user.EndTask();
        Run();
        EXPECT_TRUE(left.empty()) << "dialog " << (left.empty() ? 0 : left[0]) << " is left";
        EXPECT_TRUE(sim::TrayOpen('D'));
    }
}

TEST_F(PasswordTest, ANewerPromptReplacesAnOlderOne)
{
    int opened = 0;
    user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type("half");
    // The hot key during the prompt: the first prompt goes, a fresh one asks.
    user.PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE);
    std::string fresh;
    user.WhenDialogShows(IDD_PASSWORD_PROMPT);
    Note(&fresh, PromptText);
    user.Type("Secret pass").ClickButton(IDOK).Wait(100).Do("count", [&] {
        for (const sim::MciCall& call : sim::MciLog())
            if (call.command == "set cd4open door open wait") ++opened;
    });
    user.EndTask();
    Run();
    EXPECT_EQ("", fresh) << "the newer prompt starts empty";
    EXPECT_EQ(1, opened) << "the older prompt ended without opening the door";
}

TEST_F(PasswordTest, ARussianPromptReadsRightOnAnEnglishWindows)
{
    sim::SetAnsiCodePage(1252);
    sim::SetRegText(SETTINGS_PATH, "Language", "0");
    std::string texts;
    user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Do("look", [&] {
        sim::DialogView prompt = *sim::OpenDialog(IDD_PASSWORD_PROMPT);
        texts = prompt.title + "|" + prompt.Control(IDC_OLD_LABEL).text + "|" + prompt.Control(IDCANCEL).text;
    });
    user.EndTask();
    Run();
    EXPECT_EQ("Пароль|Введите пароль:|Отмена", texts) << "the dialog is a Unicode one, its title no \"??????\"";
}
