; The setup's own English texts (NSIS's English language file gives the rest).

LangString DorvaneRunning ${LANG_ENGLISH} "Dorvane is running. Please close it first: right-click its icon in the notification area and choose Exit. Then press Retry."
LangString DorvaneStillRunning ${LANG_ENGLISH} "Dorvane is still running; nothing was changed."
LangString KeepSettings ${LANG_ENGLISH} "Keep your Dorvane settings (hot key, password, language and the others) for a later installation?"
LangString AdminRequired ${LANG_ENGLISH} "This setup needs administrator rights."
LangString AllUsersNotPossible ${LANG_ENGLISH} "Your account may not install Dorvane for all users of this computer. Run the setup without /AllUsers to install it for yourself."
