; The setup's own English texts (NSIS's English language file gives the rest).

LangString DorvaneRunning ${LANG_ENGLISH} "Dorvane is running. Please close it first: right-click its icon in the notification area and choose Exit. Then press Retry."
LangString DorvaneInUse ${LANG_ENGLISH} "Dorvane's files in $INSTDIR are in use, most likely by Dorvane running for another user of this computer. Ask that user to choose Exit in the menu of its icon (or sign that user out), then press Retry."
LangString DorvaneNotRemoved ${LANG_ENGLISH} "Dorvane could not be removed: another program holds its files in $INSTDIR. Dorvane stays in the list of installed programs; remove it again once they are free (after a restart at the latest)."
LangString DorvaneStillRunning ${LANG_ENGLISH} "Dorvane is still running; nothing was changed."
LangString KeepSettings ${LANG_ENGLISH} "Keep your Dorvane settings (hot key, password, language and the others) for a later installation?"
LangString AdminRequired ${LANG_ENGLISH} "This setup needs administrator rights."
LangString AllUsersNotPossible ${LANG_ENGLISH} "Your account may not install Dorvane for all users of this computer. Run the setup without /AllUsers to install it for yourself."
