// Switching between Russian and English from the menu, and the texts that
// follow it: the menu, the tooltip, every dialog and the next message, all
// reading right on an English Windows.
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

    // A dialog as shown: its title, icons and the texts of its controls.
    void ReadDialog(int templateId, std::string* texts)
    {
        Step([templateId, texts] {
            sim::DialogView dialog = *sim::OpenDialog(templateId);
            *texts = dialog.title + " " + std::to_string(dialog.bigIcon) + "/" + std::to_string(dialog.smallIcon);
            for (const sim::ControlView& control : dialog.controls)
                if (control.id > 0 && (templateId != IDD_AUTOCLOSE || control.id != IDC_COUNTDOWN_SECONDS))
                    *texts += "|" + std::to_string(control.id) + "=" + control.text;
        });
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
    Choose(IDM_RUSSIAN);
    const Seen& closed = Look();
    Choose(IDM_PLAY);
    user.RightClickTray().WhenMenuShows("the track lines", [](const std::vector<sim::MenuItemView>& items) {
        return items[10].popup[1].text.rfind(" Дорожка", 0) == 0 && items[0].text != " [D:]";
    });
    std::vector<sim::MenuItemView> russian;
    Step([&] { russian = *sim::OpenMenu(); });
    user.DismissMenu().LeftClickTray();
    const Seen& open = Look();
    EXPECT_EQ(0, RunToExit());

    EXPECT_EQ("Открыть CD", closed.tip);
    EXPECT_EQ("Закрыть CD", open.tip);
    EXPECT_EQ("0", Saved("Language"));
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
    user.RightClickTray();
    Step([&] {
        menuCalls = Count("SetMenuItemInfoW");
        tipCalls = sim::TrayCalls().size();
    });
    user.ChooseMenuItem(IDM_ENGLISH);
    Step([&] {
        menuCalls = Count("SetMenuItemInfoW") - menuCalls;
        tipCalls = sim::TrayCalls().size() - tipCalls;
    });
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(0u, menuCalls);
    EXPECT_EQ(0u, tipCalls);
    EXPECT_EQ(-1, sim::TraceIndex("RegSetValueExA"));
}

TEST_F(LanguageTest, AChoiceThatCannotBeSavedHoldsAllTheSame)
{
    Choose(IDM_RUSSIAN);
    Step([] { sim::FailCall("RegSetValueExA", "Language"); });
    Choose(IDM_ENGLISH);
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(std::vector<std::string>{"Failed to write information."}, MessageTexts()) << "in the new language";
    EXPECT_EQ("0", Saved("Language"));
}

TEST_F(LanguageTest, EveryDialogOpensInTheLanguageOfTheMoment)
{
    Store("Locked", "1");
    Store("Password", "p");
    Store("AutoCloseAllowed", "1");
    std::string options, change, prompt, about, countdown;
    Choose(IDM_RUSSIAN);
    Choose(IDM_OPTIONS);
    ReadDialog(IDD_OPTIONS, &options);
    user.ClickButton(IDC_CHANGE_PASSWORD);
    ReadDialog(IDD_PASSWORD_CHANGE, &change);
    user.ClickButton(IDCANCEL).Tick(IDC_PASSWORD_PROTECT);
    ReadDialog(IDD_PASSWORD_PROMPT, &prompt);
    user.ClickButton(IDCANCEL).ClickButton(IDCANCEL);
    Choose(IDM_ABOUT);
    ReadDialog(IDD_ABOUT, &about);
    user.ClickButton(IDOK).LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type("p").ClickButton(IDOK);
    user.WhenDialogShows(IDD_AUTOCLOSE);
    ReadDialog(IDD_AUTOCLOSE, &countdown);
    user.PressKey(VK_ESCAPE).EndTask();
    Run();
    EXPECT_EQ("Свойства 151/151|1029= Общие |1025=&Запускать при старте Windows|1026= Привод CD "
              "|1013=Клавиша открытия/закрытия привода:|1019=&Стандарт|1018=|1022=Закрывать &автоматически"
              "|1015=Время до закрытия:|1023=15|1024=|1017=с.|1028=Защитить привод &паролем|1030=С&мена..."
              "|1027= Дополнительно |1014=Проигрыватель CD:|1021=&Обзор...|1020=|1=OK|2=Отмена",
              options);
    EXPECT_EQ("Пароль 151/151|1029= Старый |1027=Введите пароль:|1031=|1026= Новый |1028=Введите пароль:|1032="
              "|1030=Повторите пароль:|1033=|1=OK|2=Отмена",
              change);
    EXPECT_EQ("Пароль 151/151|1027=Введите пароль:|1031=|1=OK|2=Отмена", prompt);
    EXPECT_EQ("О программе 151/151|1011=Dorvane версия 2.4.1|1012=Написана командой Ostrelle, 2026|1=OK"
              "|1003=&Помощь|1002=&Страничка программы|1001=&e-mail",
              about);
    EXPECT_EQ("Автозакрытие 151/151|1013=привод будет закрыт через|1=Закрыть|3=Пауза|2=Отмена|1015=<Enter>"
              "|1017=<Пробел>|1018=<Esc>",
              countdown);
}
