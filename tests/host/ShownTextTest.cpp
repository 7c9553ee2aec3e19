// Shown texts: the program's code page 1251 bytes reach the wide calls
// converted, so message boxes and the tooltip read right on a system whose
// ANSI code page is not 1251.
#include <string>

#include "Scenario.h"
#include "app/TrayIcon.h"
#include "settings/Settings.h"
#include "ui/MessageBoxes.h"
#include "ui/ShownText.h"
#include "ui/StringTable.h"

namespace {

class ShownTextTest : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        InitStringTable();
        SettingsRecord.Language = LANGUAGE_RUSSIAN;
    }
};

}  // namespace

TEST_F(ShownTextTest, ConversionCutsAtACharacterAndSaysSo)
{
    const std::string close = Cp1251("Закрыть CD");
    WCHAR wide[16];
    EXPECT_EQ(1, WideFromCp1251(close.c_str(), wide, 16));
    EXPECT_EQ(std::u16string(u"Закрыть CD"), wide);
    EXPECT_EQ(1, WideFromCp1251(close.c_str(), wide, 11)) << "ten characters and the NUL fit exactly";
    EXPECT_EQ(std::u16string(u"Закрыть CD"), wide);
    EXPECT_EQ(0, WideFromCp1251(close.c_str(), wide, 4));
    EXPECT_EQ(std::u16string(u"Зак"), wide);
    EXPECT_EQ(0, WideFromCp1251(close.c_str(), wide, 1));
    EXPECT_EQ(std::u16string(), wide);
    EXPECT_EQ(1, WideFromCp1251("", wide, 1));
    // Every byte converts, the ones 1251 leaves undefined included.
    EXPECT_EQ(1, WideFromCp1251("\x98\xFF", wide, 16));
    EXPECT_EQ(std::u16string(u"\u0098я"), wide);
}

TEST_F(ShownTextTest, RussianTextsReadRightOnAnEnglishSystem)
{
    sim::SetAnsiCodePage(1252);
    HWND window = TestWindow();
    ASSERT_TRUE(AddTrayIcon(window));
    SetTrayTip(window, UiText(IDS_CLOSE_CD));
    EXPECT_EQ("Закрыть CD", sim::TrayIcons().at(0).tip);
    // At most 63 characters, cut between two of them.
    SetTrayTip(window, std::string(100, '\xDF').c_str());
    std::string sixtyThree;
    for (int i = 0; i < 63; ++i) sixtyThree += "Я";
    EXPECT_EQ(sixtyThree, sim::TrayIcons().at(0).tip);

    user.AnswerMessageBox(IDOK);
    MessageBoxById(window, IDS_MCI_ERROR, MB_ICONHAND);
    ASSERT_EQ(1u, sim::MessageBoxes().size());
    const sim::MessageBoxRecord& box = sim::MessageBoxes()[0];
    EXPECT_EQ("Ошибка устройства MCI.", box.text);
    EXPECT_EQ("Dorvane", box.caption);
    EXPECT_EQ(window, box.owner);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND | MB_SETFOREGROUND), box.type);
}

TEST_F(ShownTextTest, TextBoxesTakeTheProgramsNameUnlessGivenACaption)
{
    HWND window = TestWindow();
    user.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
    // MCI's own text: up to 200 characters, shown whole.
    std::string long200 = Cp1251("Ж") + std::string(199, 'm');
    EXPECT_EQ(IDOK, MessageBoxText(window, long200.c_str(), MB_OK, NULL));
    EXPECT_EQ(IDOK, MessageBoxText(NULL, Cp1251("Привод").c_str(), MB_ICONHAND, Cp1251("Ошибка").c_str()));
    ASSERT_EQ(2u, sim::MessageBoxes().size());
    EXPECT_EQ("Ж" + std::string(199, 'm'), sim::MessageBoxes()[0].text);
    EXPECT_EQ("Dorvane", sim::MessageBoxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_SETFOREGROUND), sim::MessageBoxes()[0].type);
    EXPECT_EQ("Привод", sim::MessageBoxes()[1].text);
    EXPECT_EQ("Ошибка", sim::MessageBoxes()[1].caption);
}

TEST_F(ShownTextTest, AskYesNoIsOneOnlyForYes)
{
    user.AnswerMessageBox(IDYES).AnswerMessageBox(IDNO);
    EXPECT_EQ(1, AskYesNo(UiText(IDS_NO_CD_DRIVE)));
    EXPECT_EQ(0, AskYesNo(UiText(IDS_NO_CD_DRIVE)));
    for (const sim::MessageBoxRecord& box : sim::MessageBoxes()) {
        EXPECT_EQ("Не найдена информация о CD-приводе.\nЗавершить работу программы?", box.text);
        EXPECT_EQ("Dorvane", box.caption);
        EXPECT_EQ(NULL, box.owner);
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), box.type);
    }
}
