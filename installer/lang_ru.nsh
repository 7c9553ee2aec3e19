; Русские тексты установщика (остальное даёт русский языковой файл NSIS).

LangString DorvaneRunning ${LANG_RUSSIAN} "Программа Dorvane запущена. Сначала закройте её: щёлкните правой кнопкой мыши по её значку в области уведомлений и выберите «Выход». Затем нажмите «Повтор»."
LangString DorvaneStillRunning ${LANG_RUSSIAN} "Программа Dorvane всё ещё запущена; ничего не изменено."
LangString KeepSettings ${LANG_RUSSIAN} "Сохранить настройки Dorvane (горячую клавишу, пароль, язык и другие) для следующей установки?"
LangString AdminRequired ${LANG_RUSSIAN} "Для установки нужны права администратора."
LangString AllUsersNotPossible ${LANG_RUSSIAN} "Ваша учётная запись не может установить Dorvane для всех пользователей компьютера. Запустите установку без /AllUsers, чтобы установить программу для себя."
