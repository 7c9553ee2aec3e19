// The texts of both languages. This file is compiled with its execution
// character set set to code page 1251 (-fexec-charset=CP1251), so the UTF-8
// literals below become the single-byte texts that the ANSI calls expect.
// A literal too long for its 75-byte slot does not compile.
#include "ui/StringTable.h"

#include <string.h>

#include "settings/Settings.h"

char StringTable[2][STRING_COUNT][STRING_SLOT];

namespace {

// Entry i: the Russian text, then the English text.
const char kTexts[STRING_COUNT][2][STRING_SLOT] = {
    /*  0 */ {"Dorvane", "Dorvane"},
    /*  1 */ {"Программа уже запущена!", "The program is already running!"},
    /*  2 */ {"О программе", "About Dorvane"},
    /*  3 */ {"Dorvane версия 2.4.1", "Dorvane version 2.4.1"},
    /*  4 */ {"Написана командой Ostrelle, 2026", "Written by the Ostrelle team, 2026"},
    /*  5 */ {"&Выход", "E&xit"},
    /*  6 */ {"О про&грамме...", "A&bout..."},
    /*  7 */ {"А&удио CD", "CD &Audio"},
    /*  8 */ {"П&роигрыватель CD", "CD &Player"},
    /*  9 */ {"За&крыть CD-привод     ", "Close C&D drive     "},
    /* 10 */ {"О&ткрыть CD-привод", "Open &CD drive"},
    /* 11 */ {"Автораспознавание CD", "Auto insert notification"},
    /* 12 */ {"Авто&запуск", "A&utoplay"},
    /* 13 */ {"&Открыть папку", "&Open"},
    /* 14 */ {"&Проводник", "&Explore"},
    /* 15 */ {"&Воспроизвести", "&Play"},
    /* 16 */ {"&Пауза", "P&ause"},
    /* 17 */ {"&Остановить", "&Stop"},
    /* 18 */ {"П&редыдущая", "P&revious Track"},
    /* 19 */ {"&Следующая", "&Next Track"},
    /* 20 */ {"Всего: ", "Total: "},
    /* 21 */ {"НЕТ CD В УСТРОЙСТВЕ ", "NO DISC LOADED "},
    /* 22 */ {"НЕТ АУДИО CD В УСТРОЙСТВЕ ", "DATA OR NO DISC LOADED "},
    /* 23 */ {" мин. ", " m "},
    /* 24 */ {" с.     ", " s     "},
    /* 25 */ {"Дорожка  ", "Track "},
    /* 26 */ {" из ", " from "},
    /* 27 */ {"Длина: ", "Length: "},
    /* 28 */ {"Не найдена информация о CD-приводе.\nЗавершить работу программы?", "CD drive information not found.\nTerminate the program?"},
    /* 29 */ {"Изменения вступят в силу после перезагрузки.\nПроизвести ее сейчас?", "The settings will take effect after restart.\n\nDo you want to restart now?"},
    /* 30 */ {"Открыть CD", "Eject CD"},
    /* 31 */ {"Закрыть CD", "Close CD"},
    /* 32 */ {"Не удалось создать основное окно!\nВыгружаемся.", "Failed to create the Main Window!\nTerminating."},
    /* 33 */ {"Не получается создать значок!\nВыгружаемся.", "Failed to create an icon!\nTerminating."},
    /* 34 */ {"Не получается создать меню!\nВыгружаемся.", "Failed to create a menu!\nTerminating."},
    /* 35 */ {"Не хочет перезагружаться!\nОтменяется.", "Failed to reboot!\nCanceled."},
    /* 36 */ {"Неопознанная ошибка устройства MCI.", "Unrecognized MCI device error."},
    /* 37 */ {"Ошибка устройства MCI.", "MCI device error."},
    /* 38 */ {"Ошибка чтения информации.", "Failed to read information."},
    /* 39 */ {"Ошибка записи информации.", "Failed to write information."},
    /* 40 */ {"Не получается создать таймер!\nВыгружаемся.", "Failed to create a timer!\nTerminating."},
    /* 41 */ {"Dorvane версия 2.4.1\n\nhttps://dorvane.example/ru/", "Welcome to Dorvane 2.4.1"},
    /* 42 */ {"&Страничка программы", "Dorvane home&page"},
    /* 43 */ {"https://dorvane.example/ru/", "https://dorvane.example/"},
    /* 44 */ {"&Сведения о системе", "&System Properties"},
    /* 45 */ {"Новое устройство", "New Device"},
    /* 46 */ {"&Мультимедиа", "&Multimedia"},
    /* 47 */ {"&Громкость", "&Volume Control"},
    /* 48 */ {"НАСТРОЙКИ", "SETTINGS"},
    /* 49 */ {"&Настройки", "&Settings"},
    /* 50 */ {"Language", "&Language"},
    /* 51 */ {"English", "&English"},
    /* 52 */ {"&Русский", "Русский"},
    /* 53 */ {"Файл \"Ambergate.exe\" не найден!\n\nВыгружаемся.", "File \"Ambergate.exe\" not found!\n\nTerminating."},
    /* 54 */ {"LANGUAGE", "LANGUAGE"},
    /* 55 */ {"&Свойства...", "Op&tions..."},
    /* 56 */ {"Свойства", "Options"},
    /* 57 */ {"&Стандарт", "&Default"},
    /* 58 */ {"Клавиша открытия/закрытия привода:", "Hot key to open/close the drive:"},
    /* 59 */ {"Отмена", "Cancel"},
    /* 60 */ {"Проигрыватель CD:", "CD Player's location:"},
    /* 61 */ {"&Обзор...", "&Browse..."},
    /* 62 */ {"Файл не найден!", "File not found!"},
    /* 63 */ {"Закрывать &автоматически", "&Auto-close the drive"},
    /* 64 */ {"Время до закрытия:", "Time to close the drive:"},
    /* 65 */ {"с.", "s"},
    /* 66 */ {"привод будет закрыт через", "the drive will be closed in"},
    /* 67 */ {"Закрыть", "Close!"},
    /* 68 */ {"Автозакрытие", "Auto-closure"},
    /* 69 */ {"Пауза", "Pause"},
    /* 70 */ {"<Enter>", "<Enter>"},
    /* 71 */ {"<Пробел>", "<Space>"},
    /* 72 */ {"<Esc>", "<Esc>"},
    /* 73 */ {" Общие ", " General "},
    /* 74 */ {" Привод CD ", " CD drive "},
    /* 75 */ {" Дополнительно ", " Advanced "},
    /* 76 */ {"&Запускать при старте Windows", "&Load at Windows startup"},
    /* 77 */ {"Защитить привод &паролем", "&Password protect the drive"},
    /* 78 */ {"Пароль", "Password"},
    /* 79 */ {" Старый ", " Old "},
    /* 80 */ {" Новый ", " New "},
    /* 81 */ {"Введите пароль:", "Type your password:"},
    /* 82 */ {"Введите пароль:", "Type a password:"},
    /* 83 */ {"Повторите пароль:", "Retype the password:"},
    /* 84 */ {"Неверный пароль!", "Password is incorrect!"},
    /* 85 */ {"Нужно ввести пароль!", "Please type a password!"},
    /* 86 */ {"Нужно повторить пароль!", "Please retype the password!"},
    /* 87 */ {"Неверный повтор пароля!", "Password retyped incorrectly!"},
    /* 88 */ {"Неверный пароль!\n\nПопробуйте еще раз.", "Password is not valid!\n\nPlease try again."},
    /* 89 */ {"С&мена...", "&Change..."},
    /* 90 */ {"&Помощь", "&Help"},
    /* 91 */ {"Пароль содержит символы, которые нельзя сохранить.\nВыберите другие.", "The password holds characters that cannot be stored.\nPlease use others."},
};

}  // namespace

void InitStringTable()
{
    for (int language = LANGUAGE_RUSSIAN; language <= LANGUAGE_ENGLISH; ++language)
        for (int id = 0; id < STRING_COUNT; ++id)
            strcpy(StringTable[language][id], kTexts[id][language]);
}

const char* UiText(int id)
{
    // Every caller names a fixed id; an id or language out of range must
    // still never index past the table.
    if (id < 0 || id >= STRING_COUNT) return "";
    unsigned language = SettingsRecord.Language == LANGUAGE_RUSSIAN ? LANGUAGE_RUSSIAN : LANGUAGE_ENGLISH;
    return StringTable[language][id];
}
