// The string table, entry by entry and byte for byte, in both languages.
#include <gtest/gtest.h>

#include <iterator>
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

// Every entry the program shows or opens that the menus and the dialogs do not (tests/expect
// holds those, in both languages, as the user reads them), nor the tooltip, the track
// lines and the question about a missing CD drive (held by the tests that show them in
// both languages). Entries the program never shows are not pinned.
const Expected kTexts[] = {
    {1, "The program is already running!", "Программа уже запущена!"},
    {21, "NO DISC LOADED ", "НЕТ CD В УСТРОЙСТВЕ "},
    {22, "DATA OR NO DISC LOADED ", "НЕТ АУДИО CD В УСТРОЙСТВЕ "},
    {32, "Failed to create the Main Window!\nTerminating.", "Не удалось создать основное окно!\nВыгружаемся."},
    {33, "Failed to create an icon!\nTerminating.", "Не получается создать значок!\nВыгружаемся."},
    {34, "Failed to create a menu!\nTerminating.", "Не получается создать меню!\nВыгружаемся."},
    {36, "Unrecognized MCI device error.", "Неопознанная ошибка устройства MCI."},
    {37, "MCI device error.", "Ошибка устройства MCI."},
    {38, "Failed to read information.", "Ошибка чтения информации."},
    {39, "Failed to write information.", "Ошибка записи информации."},
    {40, "Failed to create a timer!\nTerminating.", "Не получается создать таймер!\nВыгружаемся."},
    {43, "https://dorvane.example/", "https://dorvane.example/ru/"},
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

using StringTableTest = Scenario;

}  // namespace

TEST_F(StringTableTest, EveryEntryHoldsItsTextInCodePage1251AndIdsOutsideItGiveAnEmptyText)
{
    InitStringTable();
    for (const Expected& entry : kTexts) {
        SCOPED_TRACE("string " + std::to_string(entry.id));
        EXPECT_EQ(Cp1251(entry.english), StringTable[LANGUAGE_ENGLISH][entry.id]);
        EXPECT_EQ(Cp1251(entry.russian), StringTable[LANGUAGE_RUSSIAN][entry.id]);
    }
    SettingsRecord.Language = LANGUAGE_RUSSIAN;
    EXPECT_EQ(Cp1251(kTexts[std::size(kTexts) - 1].russian), UiText(STRING_COUNT - 1)) << "the last id";
    EXPECT_STREQ("", UiText(STRING_COUNT));
    EXPECT_STREQ("", UiText(-1));
}
