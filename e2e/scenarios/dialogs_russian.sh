# The dialogs in Russian under an English locale (ANSI code page 1252): their titles and texts, read
# back from the running program with the wide calls, come out in Cyrillic only because the program
# sets them through the wide calls; screenshots of each are kept. The password prompt, the countdown,
# About and Options, then Exit through the prompt.
source "$E2E_DRIVER/lib.sh"
english_locale

PASSWORD=open-sesame
prepare() {
    one_cd_drive
    setup_reg 'HKEY_CURRENT_USER\Software\Ostrelle\Dorvane' Language 0
    setup_reg 'HKEY_CURRENT_USER\Software\Ostrelle\Dorvane' Locked 1
    setup_reg 'HKEY_CURRENT_USER\Software\Ostrelle\Dorvane' Password "$PASSWORD"
    setup_reg 'HKEY_CURRENT_USER\Software\Ostrelle\Dorvane' AutoCloseAllowed 1
    setup_reg 'HKEY_CURRENT_USER\Software\Ostrelle\Dorvane' AutoCloseTime 2
}
E2E_DEADLINE=${E2E_DEADLINE:-120}
e2e_begin dialogs_russian prepare

start_installed

# answer_prompt: the right password into the Russian prompt, then Return.
answer_prompt() {
    focus_dialog Пароль
    xdo type --delay 50 "$PASSWORD"
    xdo key Return
}

click_icon 1
wait_dialog Пароль 10
check_eq "the prompt's label and buttons" "Введите пароль:|OK|Отмена" \
    "$(control_text 1027)|$(control_text 1)|$(control_text 2)"
dialog_shot password-prompt-ru
answer_prompt

wait_dialog Автозакрытие 10
check_eq "the countdown's texts" "привод будет закрыт через|Закрыть|Пауза|Отмена|<Enter>|<Пробел>|<Esc>" \
    "$(control_text 1013)|$(control_text 1)|$(control_text 3)|$(control_text 2)|$(control_text 1015)|$(control_text 1017)|$(control_text 1018)"
dialog_shot countdown-ru
wait_for 6 "the countdown to end by itself" no_dialog Автозакрытие

tray_menu_keys Up Up Return
wait_dialog "О программе" 10
check_eq "About's texts" "Dorvane версия 2.4.1|Написана командой Ostrelle, 2026|&Помощь|&Страничка программы|&e-mail|OK" \
    "$(control_text 1011)|$(control_text 1012)|$(control_text 1003)|$(control_text 1002)|$(control_text 1001)|$(control_text 1)"
dialog_shot about-ru
focus_dialog "О программе"
click_control 1
wait_for 10 "About to close" no_dialog "О программе"

tray_menu_keys Up Up Up Return
wait_dialog Свойства 10
check_eq "Options' texts" \
    " Общие |&Запускать при старте Windows| Привод CD |Клавиша открытия/закрытия привода:|&Стандарт|Закрывать &автоматически|Время до закрытия:|с.|Защитить привод &паролем|С&мена...| Дополнительно |Проигрыватель CD:|&Обзор...|OK|Отмена" \
    "$(control_text 1029)|$(control_text 1025)|$(control_text 1026)|$(control_text 1013)|$(control_text 1019)|$(control_text 1022)|$(control_text 1015)|$(control_text 1017)|$(control_text 1028)|$(control_text 1030)|$(control_text 1027)|$(control_text 1014)|$(control_text 1021)|$(control_text 1)|$(control_text 2)"
dialog_shot options-ru
focus_dialog Свойства
click_control 2
wait_for 10 "Options to close" no_dialog Свойства

tray_menu_keys Up Return
wait_dialog Пароль 10
answer_prompt
wait_exit main 20
check_eq "Exit after the password ends the program with 0" 0 "$EXIT_STATUS"
e2e_pass
