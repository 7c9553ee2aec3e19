// Switching between Russian and English from the menu.
#include "DriveScenario.h"
#include "res/resource.h"

namespace {

class LanguageTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        sim::SetAnsiCodePage(1252);
        AddDrives("d");
    }
};

size_t Count(const std::string& prefix)
{
    size_t count = 0;
    for (const std::string& line : sim::Trace())
        if (line.rfind(prefix, 0) == 0) ++count;
    return count;
}

}  // namespace

TEST_F(LanguageTest, RussianRewritesTheMenuSavesTheChoiceAndRetitlesTheTooltip)
{
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(4, 12, 33), sim::Frames(3, 0)}));
    std::string tipClosed, tipOpen;
    std::vector<sim::MenuItemView> russian;
    user.RightClickTray().ChooseMenuItem(IDM_RUSSIAN).Do("read the tip", [&] { tipClosed = TrayTip(); });
    user.RightClickTray().ChooseMenuItem(IDM_PLAY);
    user.RightClickTray().WhenMenuShows("the track lines", [](const std::vector<sim::MenuItemView>& items) {
        return items[10].popup[1].text.rfind(" Дорожка", 0) == 0 && items[0].text != " [D:]";
    });
    user.Do("look", [&] { russian = *sim::OpenMenu(); }).DismissMenu();
    user.LeftClickTray().Do("read the tip", [&] { tipOpen = TrayTip(); });
    user.AcceptMessageBoxes().RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());

    EXPECT_EQ("Открыть CD", tipClosed);
    EXPECT_EQ("Закрыть CD", tipOpen);
    auto saved = sim::GetRegValue(SETTINGS_PATH, "Language");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), saved->type);
    EXPECT_EQ("0", saved->data);
    ASSERT_EQ(19u, russian.size());
    EXPECT_EQ(" [D:] Audio CD", russian[0].text) << "the drive item holds no table text";
    EXPECT_EQ(" &Проводник", sim::FindMenuItem(russian, IDM_EXPLORE)->text);
    EXPECT_EQ(" Language", russian[14].text);
    EXPECT_EQ(IDB_RUSSIAN, russian[14].checkedBitmap);
    const std::vector<sim::MenuItemView>& audio = russian[10].popup;
    EXPECT_EQ(" Всего: 07 мин. 12 с.     ", audio[0].text);
    EXPECT_EQ(" Дорожка  1 из 2     ", audio[1].text);
    EXPECT_EQ(" Длина: 04 мин. 12 с.     ", audio[2].text);
}

TEST_F(LanguageTest, TheCurrentLanguageDoesNothingAtAll)
{
    size_t menuCalls = 0, tipCalls = 0;
    user.RightClickTray().Do("count", [&] {
        menuCalls = Count("SetMenuItemInfoW");
        tipCalls = sim::TrayCalls().size();
    });
    user.ChooseMenuItem(IDM_ENGLISH).Do("count again", [&] {
        menuCalls = Count("SetMenuItemInfoW") - menuCalls;
        tipCalls = sim::TrayCalls().size() - tipCalls;
    });
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(0u, menuCalls);
    EXPECT_EQ(0u, tipCalls);
    EXPECT_EQ(-1, sim::TraceIndex("RegSetValueExA"));
}

TEST_F(LanguageTest, TheChoiceHoldsForTheNextMessage)
{
    // No drive: the start asks, and after the switch the next box is Russian.
    Scenario::SetUp();
    Install();
    sim::SetAnsiCodePage(1252);
    user.AnswerMessageBox(IDNO).AnswerMessageBox(IDOK);
    user.RightClickTray().ChooseMenuItem(IDM_RUSSIAN);
    user.Do("break the save", [] { sim::FailCall("RegSetValueExA", "Language"); });
    user.RightClickTray().ChooseMenuItem(IDM_ENGLISH).AnswerMessageBox(IDOK);
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    std::vector<std::string> texts = MessageTexts();
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ("Failed to write information.", texts[2]) << "English is in effect although it was not saved";
    EXPECT_EQ("0", sim::GetRegValue(SETTINGS_PATH, "Language")->data);
}
