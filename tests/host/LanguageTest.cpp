// Switching between Russian and English from the menu, and the texts that
// follow it: the menu, the tooltip and every dialog, all reading right on an
// English Windows.
#include <map>
#include <set>

#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

using LanguageTest = DriveScenario;

// The menu's pictures are loaded once and freed at the end; one that fails to load is tried
// again when the menu is rebuilt.
TEST_F(LanguageTest, RussianRewritesTheMenuSavesTheChoiceAndRetitlesTheTooltip)
{
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(4, 12, 33), sim::Frames(3, 0)}));
    sim::FailCall("LoadBitmapA", "136");   // Exit's picture
    int liveWhileShown = -1;
    user.RightClickTray();
    Step([&] { liveWhileShown = sim::LiveBitmaps(); });
    user.ChooseMenuItem(IDM_ENGLISH);   // the current language: nothing is rebuilt
    Choose(IDM_RUSSIAN);
    const Seen& closed = Look();
    Choose(IDM_PLAY);
    user.RightClickTray().WhenMenuShows("the track lines", [](const std::vector<sim::MenuItemView>& items) {
        return items[10].popup[1].text.rfind(" Дорожка", 0) == 0 && items[0].text != " [D:]";
    });
    std::vector<sim::MenuItemView> russian;
    Step([&] { russian = *sim::OpenMenu(); });
    user.DismissMenu();
    EXPECT_EQ(0, RunToExit());

    EXPECT_EQ("Открыть CD", closed.tip);
    EXPECT_EQ("0", Saved("Language"));
    ASSERT_EQ(19u, russian.size());
    EXPECT_EQ(" [D:] Audio CD", russian[0].text) << "the drive item holds no table text";
    const std::vector<sim::MenuItemView>& audio = russian[10].popup;
    EXPECT_EQ(" Всего: 07 мин. 12 с.     ", audio[0].text);
    EXPECT_EQ(" Дорожка  1 из 2     ", audio[1].text);
    EXPECT_EQ(" Длина: 04 мин. 12 с.     ", audio[2].text);
    // 22 pictures of the menu, one missing; the track lines' disc is loaded only when shown.
    EXPECT_EQ(21, liveWhileShown);
    EXPECT_EQ(0, sim::MenusShown().at(0).items.back().checkedBitmap);
    EXPECT_EQ(IDB_EXIT, russian.back().checkedBitmap);
    std::set<int> loaded;
    for (const std::string& line : sim::Trace()) {
        if (line.rfind("LoadBitmapA ", 0) == 0 && isdigit(line[12])) {
            EXPECT_TRUE(loaded.insert(std::stoi(line.substr(12))).second || line == "LoadBitmapA 136") << line;
        }
    }
}

// Every dialog, one a line in the order of their templates, in Russian when that is chosen
// first and in English until then, as the run under Wine reads them too.
struct DialogsRow {
    const char* what;
    bool russian;
};
const DialogsRow kDialogs[] = {{"English until Russian is chosen", false}, {"Russian once chosen", true}};
using LanguageDialogs = Rows<LanguageTest>;

TEST_P(LanguageDialogs, EveryDialogOpensInTheLanguageOfTheMoment)
{
    const DialogsRow& c = kDialogs[GetParam()];
    AddDrives("d");
    Store("Locked", "1");
    Store("Password", "p");
    Store("AutoCloseAllowed", "1");
    // A dialog as shown: its template, title and the texts of its labels and buttons, as the run
    // under Wine reads them (the countdown's seconds left out), keyed by the template; its icons.
    std::map<int, std::string> texts;
    std::string icons;
    auto read = [&](int templateId) {
        Step([templateId, &texts, &icons] {
            sim::DialogView dialog = *sim::OpenDialog(templateId);
            std::string& line = texts[templateId] = std::to_string(templateId) + " " + dialog.title;
            for (const sim::ControlView& control : dialog.controls)
                if (control.id > 0 && (control.className == "Static" || control.className == "Button") &&
                    !control.text.empty() && (templateId != IDD_AUTOCLOSE || control.id != IDC_COUNTDOWN_SECONDS))
                    line += "|" + std::to_string(control.id) + "=" + control.text;
            icons += std::to_string(dialog.bigIcon) + "/" + std::to_string(dialog.smallIcon) + " ";
        });
    };
    if (c.russian) Choose(IDM_RUSSIAN);
    Choose(IDM_OPTIONS);
    read(IDD_OPTIONS);
    user.ClickButton(IDC_CHANGE_PASSWORD);
    read(IDD_PASSWORD_CHANGE);
    user.ClickButton(IDCANCEL).Tick(IDC_PASSWORD_PROTECT);
    read(IDD_PASSWORD_PROMPT);
    user.ClickButton(IDCANCEL).ClickButton(IDCANCEL);
    Choose(IDM_ABOUT);
    read(IDD_ABOUT);
    user.ClickButton(IDOK).LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type("p").ClickButton(IDOK);
    user.WhenDialogShows(IDD_AUTOCLOSE);
    read(IDD_AUTOCLOSE);
    user.PressKey(VK_ESCAPE).EndTask();
    Run();
    EXPECT_EQ("151/151 151/151 151/151 151/151 151/151 ", icons);
    std::string all;
    for (const auto& [id, line] : texts) all += line + "\n";
    EXPECT_EQ(ExpectedText(c.russian ? "dialogs_russian.txt" : "dialogs_english.txt"), all);
}
ROWS(LanguageDialogs, kDialogs);

}  // namespace
