// Locking the drive with a password: the prompt before the door opens and
// before the program ends, the change dialog, their refusals, and a newer
// prompt replacing an older one.
#include <algorithm>

#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

const std::string kTwenty = "Twenty characters!!!";
const char kMaster[] = "Zebra walks at noon";
const char kUnstorable[] = "The password holds characters that cannot be stored.\nPlease use others.";

class PasswordTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
        Store("Locked", "1");
        Store("Password", "Secret pass");
    }

    // The refused edit as the user sees it: "dialog's owner, id, text, selection", the edit focused.
    void ReadRefused(int dialog, std::string* seen)
    {
        Step([dialog, seen] {
            sim::DialogView view = *sim::OpenDialog(dialog);
            const sim::ControlView& edit = view.Control(view.focusId);
            *seen = OwnerOf(view.owner) + " " + std::to_string(edit.id) + " " + edit.shown + " " + std::to_string(edit.selStart) + "-" +
                    std::to_string(edit.selEnd);
        });
    }
};

const char kNotValid[] = "Password is not valid!\n\nPlease try again.";
struct PromptRow {
    const char* what;
    std::string stored, typed;
    const char* refusal;   // null: the door opens
    UINT codePage = 1252;  // the system's; the stored password is in it
};
const PromptRow kPrompts[] = {
    {"another case", "Secret pass", "secret pass", kNotValid},
    {"a blank more", "Secret pass", "Secret pass ", kNotValid},
    {"the master password", "Secret pass", kMaster, nullptr},
    {"nothing typed where none is stored", "", "", "Please type a password!"},
    {"twenty characters", kTwenty, kTwenty, nullptr},
    // A 21st character cannot be typed, so a longer stored password is never matched.
    {"twenty one characters", kTwenty + "?", kTwenty + "?", kNotValid},
    // What the system's code page cannot hold matches nothing, not even its question marks.
    {"letters the code page lacks", "??????", "пароль", kNotValid},
    {"letters of the code page", "пароль", "пароль", nullptr, 1251},
};
using PasswordPrompt = Rows<PasswordTest>;

TEST_P(PasswordPrompt, TakesTheStoredOrTheMasterPasswordExactly)
{
    const PromptRow& c = kPrompts[GetParam()];
    sim::SetAnsiCodePage(c.codePage);
    Store("Password", c.codePage == 1251 ? Cp1251(c.stored) : c.stored);
    std::string refused;
    user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type(c.typed).ClickButton(IDOK);
    if (c.refusal) {
        user.AnswerMessageBox(IDOK);
        ReadRefused(IDD_PASSWORD_PROMPT, &refused);
        // Cancelled, the prompt leaves the lock on: the door opened by hand is shut again.
        user.PressKey(VK_ESCAPE).PressDriveButton('D').Wait(600);
    }
    const Seen& seen = Look();
    user.EndTask();
    Run();
    EXPECT_EQ(c.refusal ? "" : "D", seen.open);
    EXPECT_EQ(c.refusal ? std::vector<std::string>{c.refusal} : std::vector<std::string>{}, seen.boxes);
    EXPECT_EQ(std::vector<std::string>(seen.boxes.size(), "prompt"), BoxOwners()) << "the refusal waits on the prompt";
    // What the edit shows as stars: the characters of the UTF-8 text, at most twenty.
    const size_t characters = std::count_if(c.typed.begin(), c.typed.end(), [](char b) { return (b & 0xC0) != 0x80; });
    const size_t typed = std::min<size_t>(characters, 20);
    if (c.refusal) {
        EXPECT_EQ("main 1031 " + std::string(typed, '*') + " 0-" + std::to_string(typed), refused);
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND | MB_SETFOREGROUND), sim::MessageBoxes().at(0).type);
    }
}
ROWS(PasswordPrompt, kPrompts);

struct ChangeRow {
    const char* what;
    std::string stored, old, fresh, again;
    const char* refusal;   // null: the new password is stored
    int focus;             // the field refused, focused afterwards
    UINT codePage = 1252;  // the system's; passwords are kept in it
    std::string saved = "";   // when it is not the new password as typed
};
const ChangeRow kChanges[] = {
    {"no old password typed", "door", "", "new", "new", "Please type a password!", 1031},
    {"no new one", "door", "door", "", "new", "Please type a password!", 1032},
    {"no retyped one", "door", "door", "new", "", "Please retype the password!", 1033},
    {"the same again", "door", "door", "door", "door", nullptr, 0},
    {"the master password for the old", "door", kMaster, kTwenty, kTwenty, nullptr, 0},
    // Typed outside the system's code page: kept with "?", which any letter it lacks would then match.
    {"a new one the code page cannot hold", "", "", "Жpass", "Жpass", kUnstorable, 1032},
    {"an old one the code page cannot hold", "??????", "пароль", "new", "new", "Password is incorrect!", 1031},
    {"retyped as question marks", "", "", "??????", "пароль", "Password retyped incorrectly!", 1033},
    {"Cyrillic in code page 1251", "", "", "пароль", "пароль", nullptr, 0, 1251, Cp1251("пароль")},
    // Twenty characters in any code page: 21 bytes in UTF-8.
    {"twenty characters in UTF-8", "", "", "я" + std::string(20, 'x'), "я" + std::string(20, 'x'), nullptr, 0,
     CP_UTF8, "я" + std::string(19, 'x')},
};
using PasswordChange = Rows<PasswordTest>;

TEST_P(PasswordChange, TheDialogChecksEachFieldInTurn)
{
    const ChangeRow& c = kChanges[GetParam()];
    sim::SetAnsiCodePage(c.codePage);
    Store("Password", c.stored);
    std::string atOpen, refused;
    Choose(IDM_OPTIONS);
    user.WhenDialogShows(IDD_OPTIONS).ClickButton(IDC_CHANGE_PASSWORD).WhenDialogShows(IDD_PASSWORD_CHANGE);
    Step([&] {
        sim::DialogView change = *sim::OpenDialog(IDD_PASSWORD_CHANGE);
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
    bool changeEnabled = false;
    Step([&] { changeEnabled = sim::OpenDialog(IDD_OPTIONS)->Control(IDC_CHANGE_PASSWORD).enabled; });
    user.ClickButton(IDD_OPTIONS, IDCANCEL);
    user.EndTask();
    Run();
    EXPECT_EQ(c.stored.empty() ? "off off off 20 20 20 " : "on on on 20 20 20 ", atOpen);
    EXPECT_TRUE(changeEnabled);
    EXPECT_EQ(c.refusal ? std::vector<std::string>{c.refusal} : std::vector<std::string>{}, MessageTexts());
    EXPECT_EQ(std::vector<std::string>(c.refusal ? 1 : 0, "change"), BoxOwners()) << "the refusal waits on its dialog";
    EXPECT_EQ(c.refusal ? c.stored : !c.saved.empty() ? c.saved : c.fresh.substr(0, 20), Saved("Password"))
        << "a new password holds although Options is cancelled";
    if (c.refusal) {
        EXPECT_EQ("Options " + std::to_string(c.focus), refused.substr(0, 12)) << "the dialog's owner, the field";
    }
}
ROWS(PasswordChange, kChanges);

// A newer request for the password ends what waits before it: an older prompt, which opens nothing,
// or Options waiting in a password dialog of its own, which is cancelled, nothing left on screen
// disabled. Only the newest prompt is on screen, empty, and its password does what it asked for.
TEST_F(PasswordTest, ExitAsksForThePasswordAndCancelsAnOpenOptionsDialog)
{
    // The door's prompt waits, and Options beside it: it has no owner. Options' lock box asks in a
    // prompt of its own, which ends the door's; Exit's prompt then ends that one and Options.
    user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type("half");
    Choose(IDM_OPTIONS);
    user.WhenDialogShows(IDD_OPTIONS).ClickButton(IDD_OPTIONS, IDC_PASSWORD_PROTECT);
    user.Wait(100).WhenDialogShows(IDD_PASSWORD_PROMPT);
    const Seen& boxPrompt = Look();
    std::string typed = "?";
    Step([&] { typed = sim::OpenDialog(IDD_PASSWORD_PROMPT)->Control(IDC_OLD_PASSWORD).text; });
    Choose(IDM_EXIT);
    user.Wait(100).WhenDialogShows(IDD_PASSWORD_PROMPT);
    const Seen& atPrompt = Look();
    // Cancel keeps the program running, and the lock on; the password ends it.
    user.ClickButton(IDCANCEL).PressDriveButton('D').Wait(600);
    const Seen& cancelled = Look();
    Choose(IDM_EXIT);
    user.WhenDialogShows(IDD_PASSWORD_PROMPT).Type("Secret pass").ClickButton(IDOK);
    EXPECT_EQ(0, Run());
    EXPECT_EQ((std::vector<int>{IDD_OPTIONS, IDD_PASSWORD_PROMPT}), boxPrompt.dialogs);
    EXPECT_EQ("none Options", Joined(boxPrompt.owners));
    EXPECT_EQ("", typed) << "the newer prompt starts empty";
    EXPECT_EQ(std::vector<int>{IDD_PASSWORD_PROMPT}, atPrompt.dialogs) << "the older prompt and Options end first";
    EXPECT_EQ("main", Joined(atPrompt.owners));
    EXPECT_EQ("", cancelled.open) << "the older prompts opened nothing; the lock shut the door opened by hand";
    EXPECT_TRUE(MessageTexts().empty());
}

struct NewerRow {
    const char* what;
    int older;   // the Options button whose password dialog waits, then the icon is clicked
};
const NewerRow kNewer[] = {
    {"a click while Options' box asks", IDC_PASSWORD_PROTECT},
    {"a click while Options changes it", IDC_CHANGE_PASSWORD},
};
using PasswordNewer = Rows<PasswordTest>;

TEST_P(PasswordNewer, PromptReplacesWhatWaitsBeforeIt)
{
    const int older = kNewer[GetParam()].older;
    Choose(IDM_OPTIONS);
    user.WhenDialogShows(IDD_OPTIONS).ClickButton(older);
    user.WhenDialogShows(older == IDC_PASSWORD_PROTECT ? IDD_PASSWORD_PROMPT : IDD_PASSWORD_CHANGE);
    user.LeftClickTray().Wait(100).WhenDialogShows(IDD_PASSWORD_PROMPT);
    const Seen& fresh = Look();
    user.Type("Secret pass").ClickButton(IDOK);
    const Seen& after = Look();
    Choose(IDM_OPTIONS);   // Options opens afresh
    user.WhenDialogShows(IDD_OPTIONS).ClickButton(IDCANCEL).Wait(100).EndTask();
    Run();
    EXPECT_EQ(std::vector<int>{IDD_PASSWORD_PROMPT}, fresh.dialogs);
    EXPECT_EQ("main", Joined(fresh.owners));
    EXPECT_EQ("D", OpenTrays()) << "the click's password opens the door";
    EXPECT_TRUE(after.dialogs.empty());
}
ROWS(PasswordNewer, kNewer);

}  // namespace
