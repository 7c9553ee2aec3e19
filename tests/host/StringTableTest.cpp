// The string table, entry by entry and byte for byte, in both languages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Scenario.h"
#include "settings/Settings.h"
#include "ui/StringTable.h"

namespace {

struct Expected {
    int id;
    const char* english;   // UTF-8 here; the table holds code page 1251
    const char* russian;
};

// Every entry the menus and the dialogs do not show (tests/expect holds those, in
// both languages, as the user reads them), nor the tooltip, the track lines and
// the question about a missing CD drive (held by the tests that show them in
// both languages), but the credits line (4) and the home page (43), which are
// the program's own wording.
const Expected kTexts[] = {
    {1, "The program is already running!", "Программа уже запущена!"},
    {11, "Auto insert notification", "Автораспознавание CD"},
    {21, "NO DISC LOADED ", "НЕТ CD В УСТРОЙСТВЕ "},
    {22, "DATA OR NO DISC LOADED ", "НЕТ АУДИО CD В УСТРОЙСТВЕ "},
    {29, "The settings will take effect after restart.\n\nDo you want to restart now?", "Изменения вступят в силу после перезагрузки.\nПроизвести ее сейчас?"},
    {32, "Failed to create the Main Window!\nTerminating.", "Не удалось создать основное окно!\nВыгружаемся."},
    {33, "Failed to create an icon!\nTerminating.", "Не получается создать значок!\nВыгружаемся."},
    {34, "Failed to create a menu!\nTerminating.", "Не получается создать меню!\nВыгружаемся."},
    {35, "Failed to reboot!\nCanceled.", "Не хочет перезагружаться!\nОтменяется."},
    {36, "Unrecognized MCI device error.", "Неопознанная ошибка устройства MCI."},
    {37, "MCI device error.", "Ошибка устройства MCI."},
    {38, "Failed to read information.", "Ошибка чтения информации."},
    {39, "Failed to write information.", "Ошибка записи информации."},
    {40, "Failed to create a timer!\nTerminating.", "Не получается создать таймер!\nВыгружаемся."},
    {41, "Welcome to Dorvane 2.4.1", nullptr},  // Russian: version line, blank line, home page
    {45, "New Device", "Новое устройство"},
    {53, "File \"Ambergate.exe\" not found!\n\nTerminating.", "Файл \"Ambergate.exe\" не найден!\n\nВыгружаемся."},
    {62, "File not found!", "Файл не найден!"},
    {84, "Password is incorrect!", "Неверный пароль!"},
    {85, "Please type a password!", "Нужно ввести пароль!"},
    {86, "Please retype the password!", "Нужно повторить пароль!"},
    {87, "Password retyped incorrectly!", "Неверный повтор пароля!"},
    {88, "Password is not valid!\n\nPlease try again.", "Неверный пароль!\n\nПопробуйте еще раз."},
    {91, "The password holds characters that cannot be stored.\nPlease use others.",
     "Пароль содержит символы, которые нельзя сохранить.\nВыберите другие."},
};

// A slot holds its text, the terminator, and zeros to the end.
std::string Slot(int language, int id)
{
    return std::string(StringTable[language][id], STRING_SLOT);
}

std::string Padded(const std::string& text)
{
    return text + std::string(STRING_SLOT - text.size(), '\0');
}

using StringTableTest = Scenario;

}  // namespace

TEST_F(StringTableTest, EveryEntryHoldsItsTextInCodePage1251)
{
    InitStringTable();
    ASSERT_EQ(24u, sizeof kTexts / sizeof kTexts[0]);
    for (const Expected& entry : kTexts) {
        SCOPED_TRACE("string " + std::to_string(entry.id));
        EXPECT_EQ(Padded(Cp1251(entry.english)), Slot(LANGUAGE_ENGLISH, entry.id));
        if (entry.russian) {
            EXPECT_EQ(Padded(Cp1251(entry.russian)), Slot(LANGUAGE_RUSSIAN, entry.id));
        }
    }
    // The program's own wording: a credits line, the home pages, the Russian welcome ending with its page.
    for (int language : {LANGUAGE_RUSSIAN, LANGUAGE_ENGLISH}) {
        EXPECT_STRNE("", StringTable[language][IDS_CREDITS]);
        EXPECT_EQ(Padded(StringTable[language][IDS_CREDITS]), Slot(language, IDS_CREDITS));
        EXPECT_EQ(0, std::strncmp(StringTable[language][IDS_HOMEPAGE_URL], "https://", 8));
    }
    EXPECT_EQ(Cp1251("Dorvane версия 2.4.1\n\n") + StringTable[LANGUAGE_RUSSIAN][IDS_HOMEPAGE_URL],
              StringTable[LANGUAGE_RUSSIAN][IDS_WELCOME]);
}

TEST_F(StringTableTest, IdsOutsideTheTableGiveAnEmptyText)
{
    InitStringTable();
    SettingsRecord.Language = LANGUAGE_RUSSIAN;
    EXPECT_EQ(Cp1251("Пароль содержит символы, которые нельзя сохранить.\nВыберите другие."),
              UiText(STRING_COUNT - 1));
    EXPECT_STREQ("", UiText(STRING_COUNT));
    EXPECT_STREQ("", UiText(-1));
}
