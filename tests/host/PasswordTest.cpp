// Locking the drive with a password: the prompt before the door opens and
// before the program ends, the change dialog, their refusals, and a newer
// prompt replacing an older one.
#include "DriveScenario.h"
#include "res/resource.h"

namespace {

const std::string kTwenty = "Twenty characters!!!";
const char kMaster[] = "Zebra walks at noon";
const char kUnstorable[] = "The password holds characters that cannot be stored.\nPlease use others.";

// Characters in a UTF-8 text: what an edit shows as stars.
size_t Characters(const std::string& text)
{
    size_t count = 0;
    for (unsigned char byte : text) count += (byte & 0xC0) != 0x80;
    return count;
}

class PasswordTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
        Store("Locked", "1");
        Store("Password", "Secret pass");
    }

    // The refused edit as the user sees it: "id text selection", the edit focused.
    void ReadRefused(int dialog, std::string* seen)
    {
        Step([dialog, seen] {
            sim::DialogView view = *sim::OpenDialog(dialog);
            const sim::ControlView& edit = view.Control(view.focusId);
            *seen = std::to_string(edit.id) + " " + edit.shown + " " + std::to_string(edit.selStart) + "-" +
                    std::to_string(edit.selEnd);
        });
    }
};

}  // namespace

TEST_F(PasswordTest, ThePromptTakesTheStoredOrTheMasterPasswordExactly)
{
    struct Case {
        std::string stored, typed;
        const char* refusal;   // null: the door opens
        UINT codePage = 1252;  // the system's; the stored password is in it
    };
    const Case cases[] = {
        {"Secret pass", "Secret pass", nullptr},
        {"Secret pass", "secret pass", "Password is not valid!\n\nPlease try again."},
        {"Secret pass", "Secret pass ", "Password is not valid!\n\nPlease try again."},
        {"Secret pass", kMaster, nullptr},
        {"", "", "Please type a password!"},
        {"", kMaster, nullptr},
        {kTwenty, kTwenty, nullptr},
        // A 21st character cannot be typed, so a longer stored password is never matched.
        {kTwenty + "?", kTwenty + "?", "Password is not valid!\n\nPlease try again."},
        // What the system's code page cannot hold matches nothing, not even its question marks.
        {"??????", "пароль", "Password is not valid!\n\nPlease try again."},
        {"пароль", "пароль", nullptr, 1251},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored + " / " + c.typed);
        SetUp();
        sim::SetAnsiCodePage(c.codePage);
        Store("Password", c.codePage == 1251 ? Cp1251(c.stored) : c.stored);
        std::string refused;
        user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type(c.typed).ClickButton(IDOK);
        if (c.refusal) {
            user.AnswerMessageBox(IDOK);
            ReadRefused(IDD_PASSWORD_PROMPT, &refused);
            user.PressKey(VK_ESCAPE);
        }
        const Seen& seen = Look();
        user.EndTask();
        Run();
        EXPECT_EQ(c.refusal ? "" : "D", seen.open);
        EXPECT_TRUE(seen.dialogs.empty()) << "OK or Esc ends the prompt";
        EXPECT_EQ(c.refusal ? std::vector<std::string>{c.refusal} : std::vector<std::string>{}, seen.boxes);
        size_t typed = std::min<size_t>(Characters(c.typed), 20);
        if (c.refusal) {
            EXPECT_EQ("1031 " + std::string(typed, '*') + " 0-" + std::to_string(typed), refused);
            EXPECT_EQ(static_cast<UINT>(MB_ICONHAND | MB_SETFOREGROUND), sim::MessageBoxes()[0].type);
        }
    }
}

TEST_F(PasswordTest, TheChangeDialogChecksEachFieldInTurn)
{
    struct Case {
        std::string stored, old, fresh, again;
        const char* refusal;   // null: the new password is stored
        UINT codePage = 1252;  // the system's; passwords are kept in it
        std::string saved = "";   // when it is not the new password as typed
    };
    const Case cases[] = {
        {"door", "", "new", "new", "Please type a password!"},
        {"door", "Door", "new", "new", "Password is incorrect!"},
        {"x", "y", "new", "new", "Password is incorrect!"},
        {"door", "door", "", "new", "Please type a password!"},
        {"door", "door", "new", "", "Please retype the password!"},
        {"door", "door", "new", "now", "Password retyped incorrectly!"},
        {"door", "door", "door", "door", nullptr},
        {"door", kMaster, kTwenty, kTwenty, nullptr},
        {"", "", kTwenty + "?", kTwenty, nullptr},   // no old password: only the New section
        // Typed outside the system's code page: kept with "?", which any letter it lacks would then match.
        {"", "", "Жpass", "Жpass", kUnstorable},
        {"??????", "пароль", "new", "new", "Password is incorrect!"},
        {"", "", "??????", "пароль", "Password retyped incorrectly!"},
        {"", "", "пароль", "пароль", nullptr, 1251, Cp1251("пароль")},
        // Twenty characters in any code page: 21 bytes in UTF-8.
        {"", "", "я" + std::string(20, 'x'), "я" + std::string(20, 'x'), nullptr, CP_UTF8,
         "я" + std::string(19, 'x')},
    };
    const int focus[] = {1031, 1031, 1031, 1032, 1033, 1033, 0, 0, 0, 1032, 1031, 1033};
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.stored + " / " + c.old + " / " + c.fresh + " / " + c.again);
        SetUp();
        sim::SetAnsiCodePage(c.codePage);
        Store("Password", c.stored);
        std::string atOpen, refused;
        Choose(IDM_OPTIONS);
        user.WhenDialogShows(IDD_OPTIONS).ClickButton(IDC_CHANGE_PASSWORD).WhenDialogShows(IDD_PASSWORD_CHANGE);
        Step([&] {
            sim::DialogView change = *sim::OpenDialog(IDD_PASSWORD_CHANGE);
            atOpen = std::to_string(change.focusId) + " ";
            for (int id : {IDC_OLD_LABEL, IDC_OLD_GROUP, IDC_OLD_PASSWORD})
                atOpen += change.Control(id).enabled ? "on " : "off ";
            for (int id : {IDC_OLD_PASSWORD, IDC_NEW_PASSWORD, IDC_RETYPE_PASSWORD})
                atOpen += std::to_string(change.Control(id).limit) + " ";
        });
        if (!c.stored.empty()) user.ClickButton(IDC_OLD_PASSWORD).Type(c.old);
        user.ClickButton(IDC_NEW_PASSWORD).Type(c.fresh).ClickButton(IDC_RETYPE_PASSWORD).Type(c.again);
        user.ClickButton(IDOK);
        if (c.refusal) {
            user.AnswerMessageBox(IDOK);
            ReadRefused(IDD_PASSWORD_CHANGE, &refused);
            user.ClickButton(IDCANCEL);
        }
        const Seen& after = Look();
        bool changeEnabled = false;
        Step([&] { changeEnabled = sim::OpenDialog(IDD_OPTIONS)->Control(IDC_CHANGE_PASSWORD).enabled; });
        user.ClickButton(IDD_OPTIONS, IDCANCEL);
        user.EndTask();
        Run();
        EXPECT_EQ(c.stored.empty() ? "1032 off off off 20 20 20 " : "1031 on on on 20 20 20 ", atOpen);
        EXPECT_EQ(std::vector<int>{IDD_OPTIONS}, after.dialogs) << "OK or Cancel ends the change dialog";
        EXPECT_TRUE(changeEnabled);
        EXPECT_EQ(c.refusal ? std::vector<std::string>{c.refusal} : std::vector<std::string>{}, MessageTexts());
        EXPECT_EQ(c.refusal ? c.stored : !c.saved.empty() ? c.saved : c.fresh.substr(0, 20), Saved("Password"))
            << "a new password holds although Options is cancelled";
        if (c.refusal) {
            EXPECT_EQ(std::to_string(focus[i]), refused.substr(0, 4));
        }
    }
}

TEST_F(PasswordTest, ExitAsksForThePasswordAndCancelsAnOpenOptionsDialog)
{
    Choose(IDM_OPTIONS);
    user.WhenDialogShows(IDD_OPTIONS);
    Choose(IDM_EXIT);
    user.WhenDialogShows(IDD_PASSWORD_PROMPT);
    const Seen& atPrompt = Look();
    // Cancel keeps the program running; the password ends it.
    user.ClickButton(IDCANCEL);
    Choose(IDM_EXIT);
    user.WhenDialogShows(IDD_PASSWORD_PROMPT).Type("Secret pass").ClickButton(IDOK);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(std::vector<int>{IDD_PASSWORD_PROMPT}, atPrompt.dialogs) << "Options is cancelled before the prompt shows";
    EXPECT_TRUE(MessageTexts().empty());
}

// A newer request for the password ends the prompt shown before it, which
// opens nothing; only the newest prompt is on screen.
TEST_F(PasswordTest, ANewerPromptReplacesAnOlderOne)
{
    for (int newer : {0, IDM_EXIT, IDC_PASSWORD_PROTECT}) {
        SCOPED_TRACE(newer);
        SetUp();
        user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type("half");
        if (newer == 0) user.PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE);
        if (newer == IDM_EXIT) Choose(IDM_EXIT);
        if (newer == IDC_PASSWORD_PROTECT) {
            // Options has no owner: it can be used while the door's prompt waits.
            Choose(IDM_OPTIONS);
            user.WhenDialogShows(IDD_OPTIONS).ClickButton(IDD_OPTIONS, IDC_PASSWORD_PROTECT);
        }
        user.Wait(100).WhenDialogShows(IDD_PASSWORD_PROMPT);
        const Seen& fresh = Look();
        std::string typed = "?";
        Step([&] { typed = sim::OpenDialog(IDD_PASSWORD_PROMPT)->Control(IDC_OLD_PASSWORD).text; });
        user.Type("Secret pass").ClickButton(IDOK);   // the Exit's prompt then ends the program
        if (newer != IDM_EXIT) user.Wait(100).EndTask();
        Run();
        std::vector<int> expected = {IDD_PASSWORD_PROMPT};
        if (newer == IDC_PASSWORD_PROTECT) expected.insert(expected.begin(), IDD_OPTIONS);
        EXPECT_EQ(expected, fresh.dialogs);
        EXPECT_EQ("", typed) << "the newer prompt starts empty";
        EXPECT_EQ(newer == 0 ? "D" : "", OpenTrays()) << "the older prompt ended without opening the door";
    }
}

// A click on the icon while Options waits in a password dialog of its own
// cancels Options: nothing is left on screen, disabled, until Exit.
TEST_F(PasswordTest, ADoorPromptCancelsOptionsWaitingInAPasswordDialog)
{
    for (int inOptions : {IDC_PASSWORD_PROTECT, IDC_CHANGE_PASSWORD}) {
        SCOPED_TRACE(inOptions);
        SetUp();
        Choose(IDM_OPTIONS);
        user.WhenDialogShows(IDD_OPTIONS).ClickButton(inOptions);
        user.WhenDialogShows(inOptions == IDC_PASSWORD_PROTECT ? IDD_PASSWORD_PROMPT : IDD_PASSWORD_CHANGE);
        user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type("Secret pass").ClickButton(IDOK);
        const Seen& seen = Look();
        // Options opens afresh.
        Choose(IDM_OPTIONS);
        user.WhenDialogShows(IDD_OPTIONS).ClickButton(IDCANCEL).EndTask();
        Run();
        EXPECT_TRUE(seen.dialogs.empty()) << "dialog " << (seen.dialogs.empty() ? 0 : seen.dialogs[0]) << " is left";
        EXPECT_EQ("D", seen.open);
    }
}
