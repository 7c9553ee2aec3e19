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

using ShownTextTest = Scenario;

TEST_F(ShownTextTest, ConversionCutsAtACharacterAndSaysSo)
{
    const std::string close = Cp1251("Закрыть CD");
    const std::tuple<const char*, int, int, std::u16string> cases[] = {
        {close.c_str(), 16, 1, u"Закрыть CD"}, {close.c_str(), 11, 1, u"Закрыть CD"},   // ten and the NUL fit
        {close.c_str(), 10, 0, u"Закрыть C"},  {close.c_str(), 1, 0, u""},   {"", 1, 1, u""},   {"\xDF", 2, 1, u"Я"},
        // Every byte converts, the ones 1251 leaves undefined included.
        {"\x98\xFF", 16, 1, u"\u0098я"},
    };
    for (const auto& [text, size, whole, shown] : cases) {
        WCHAR wide[16];
        wide[size - 1] = u'#';
        EXPECT_EQ(whole, WideFromCp1251(text, wide, size)) << size;
        EXPECT_EQ(shown, std::u16string(wide)) << size;
    }
}

TEST_F(ShownTextTest, RussianTextsReadRightOnAnEnglishSystem)
{
    sim::SetAnsiCodePage(1252);
    InitStringTable();
    SettingsRecord.Language = LANGUAGE_RUSSIAN;
    HWND window = TestWindow();
    ASSERT_TRUE(AddTrayIcon(window));
    // At most 63 characters, cut between two of them.
    SetTrayTip(window, std::string(100, '\xDF').c_str());
    std::string sixtyThree;
    for (int i = 0; i < 63; ++i) sixtyThree += "Я";
    EXPECT_EQ(sixtyThree, sim::TrayIcons().at(0).tip);

    user.AcceptMessageBoxes();
    // MCI's own texts, up to 200 characters, are shown whole.
    const std::string long200 = Cp1251("Ж") + std::string(199, 'm');
    EXPECT_EQ(IDOK, MessageBoxText(window, long200.c_str(), MB_OK, NULL));
    EXPECT_EQ(1, AskYesNo(UiText(IDS_NO_CD_DRIVE))) << "Yes, the first button";
    ASSERT_EQ(2u, sim::MessageBoxes().size());
    const sim::MessageBoxRecord* box = &sim::MessageBoxes().at(0);
    EXPECT_EQ("Ж" + std::string(199, 'm') + "|Dorvane|" + std::to_string(MB_SETFOREGROUND),
              box[0].text + "|" + box[0].caption + "|" + std::to_string(box[0].type));
    EXPECT_EQ(window, box[0].owner);
    EXPECT_EQ("Не найдена информация о CD-приводе.\nЗавершить работу программы?|Dorvane|" +
                  std::to_string(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND),
              box[1].text + "|" + box[1].caption + "|" + std::to_string(box[1].type));
    EXPECT_EQ(NULL, box[1].owner);
}
