# The tray menu of a machine with two CD-ROM drives, D: and E:, under an English locale (ANSI code
# page 1252): every item's text, state and picture as the program set them, read back from inside
# the running program, first in English, then in Russian after "Русский" is chosen in the Language
# pop-up, and again in Russian after Exit and a new start. The Russian texts come out as Cyrillic
# letters only when the program shows them through the wide calls; code page 1251 bytes handed to
# the ANSI calls would read as "Ïðîâîäíèê" here. Screenshots of the open menu and its pop-ups are
# kept for both languages.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    add_cd_drive d AUDIO_CD
    add_cd_drive e DATA_DISC
    # Windows registers its media player where the shell looks it up; Wine's prefix does not.
    setup_reg 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\App Paths\wmplayer.exe' Path \
        'C:\Program Files\Windows Media Player'
    trace_calls advapi32.RegSetValueExA
}
e2e_begin menu_languages prepare

CODEPAGES=$(inspect codepage | tr -d '\r')
log "Wine's code pages: $CODEPAGES"
check_eq "the ANSI code page is 1252, not Cyrillic" "acp=1252" "${CODEPAGES%% *}"
drive_line d
check_eq "D: is a CD-ROM drive with its label" 'drive D: type=5 label="AUDIO_CD"' "$DRIVE_LINE"
drive_line e
check_eq "E: is a CD-ROM drive with its label" 'drive E: type=5 label="DATA_DISC"' "$DRIVE_LINE"

DIR='C:\Program Files\Dorvane'
install_dorvane "$DIR"
set_install_path "$DIR"

# What the open menu shows here. Drive D: is selected (no LastDrive yet: drive 0) and checked, both
# drive items carry the information and grey-drive marks. The volume labels can be read, so
# Explore and Open are usable; no root holds an autorun.inf (Autoplay greyed); no CD player is set,
# so CD Player stays usable for the system's own player, registered in the program's view. Wine's own cdaudio driver opens a folder drive and reports a disc present
# but cannot count its tracks (error 272): the poller takes that as a disc that is no data disc,
# so CD Audio is usable and its track lines are gone, and the total line keeps its blank.
MENU_ENGLISH='item 40201 " [D:] AUDIO_CD" type=0x200 state=0x8 checked=#166 unchecked=#147
item 40202 " [E:] DATA_DISC" type=0x200 checked=#166 unchecked=#147
separator
item 40001 " &Explore" state=0x8 checked=#140
item 40005 " &Open" state=0x8 checked=#138
item 40009 " A&utoplay" state=0xB checked=#141
separator
item 40010 " Open &CD drive" state=0x8 checked=#142
item 40011 " Close C&D drive     " state=0x8 checked=#143
separator
item 40012 " CD &Player" state=0x8 checked=#162
popup " CD &Audio" state=0x8 checked=#176
  item 40019 " " state=0x8 checked=#166
  separator
  item 40014 " &Play" state=0x8 checked=#171
  item 40015 " P&ause" state=0x8 checked=#172
  item 40016 " &Stop" state=0x8 checked=#173
  item 40017 " P&revious Track" state=0x8 checked=#174
  item 40018 " &Next Track" state=0x8 checked=#175
separator
popup " &Settings" state=0x8 checked=#186
  item 40028 " SETTINGS" state=0x8 checked=#166
  separator
  item 40024 " &System Properties" state=0x8 checked=#185
  item 40026 " &Multimedia" state=0x8 checked=#183
  item 40027 " &Volume Control" state=0x8 checked=#182
separator
popup " &Language" state=0x8 checked=#188
  item 40032 " LANGUAGE" state=0x8 checked=#166
  separator
  item 40030 " &English" state=0x8 checked=#188
  item 40031 " Русский" state=0x8 checked=#189
item 40033 " Op&tions..." state=0x8 checked=#190
item 40003 " A&bout..." state=0x8 checked=#139
separator
item 40002 " E&xit" state=0x8 checked=#136'

# The same menu in Russian: the Language pop-up shows the Ru picture; the drive items keep their texts.
MENU_RUSSIAN='item 40201 " [D:] AUDIO_CD" type=0x200 state=0x8 checked=#166 unchecked=#147
item 40202 " [E:] DATA_DISC" type=0x200 checked=#166 unchecked=#147
separator
item 40001 " &Проводник" state=0x8 checked=#140
item 40005 " &Открыть папку" state=0x8 checked=#138
item 40009 " Авто&запуск" state=0xB checked=#141
separator
item 40010 " О&ткрыть CD-привод" state=0x8 checked=#142
item 40011 " За&крыть CD-привод     " state=0x8 checked=#143
separator
item 40012 " П&роигрыватель CD" state=0x8 checked=#162
popup " А&удио CD" state=0x8 checked=#176
  item 40019 " " state=0x8 checked=#166
  separator
  item 40014 " &Воспроизвести" state=0x8 checked=#171
  item 40015 " &Пауза" state=0x8 checked=#172
  item 40016 " &Остановить" state=0x8 checked=#173
  item 40017 " П&редыдущая" state=0x8 checked=#174
  item 40018 " &Следующая" state=0x8 checked=#175
separator
popup " &Настройки" state=0x8 checked=#186
  item 40028 " НАСТРОЙКИ" state=0x8 checked=#166
  separator
  item 40024 " &Сведения о системе" state=0x8 checked=#185
  item 40026 " &Мультимедиа" state=0x8 checked=#183
  item 40027 " &Громкость" state=0x8 checked=#182
separator
popup " Language" state=0x8 checked=#189
  item 40032 " LANGUAGE" state=0x8 checked=#166
  separator
  item 40030 " English" state=0x8 checked=#188
  item 40031 " &Русский" state=0x8 checked=#189
item 40033 " &Свойства..." state=0x8 checked=#190
item 40003 " О про&грамме..." state=0x8 checked=#139
separator
item 40002 " &Выход" state=0x8 checked=#136'

# open_and_read LABEL LANGUAGE EXPECTED: opens the menu and compares all of it once the poller has
# updated it.
open_and_read() {
    no_msgbox Dorvane || fail "$1: a message box is shown: $SEEN"
    open_tray_menu
    wait_menu "$1" "$1: the menu in $2, as the program set it" "$3"
}

# popup_open TEXT: the menu read last shows the pop-up TEXT open.
popup_open() { grep -F "popup \"$1\" " <<<"$MENU" | grep -q ' open$'; }

# photograph_menu LABEL NAME SETTINGS LANGUAGE: shuts the open menu and opens it again (Wine does
# not repaint an open menu's items when the poller changes them, so only a new showing draws the
# labels and greyed items), then takes screenshots of it alone and with the Settings and Language
# pop-ups open (walked to with the keyboard: with nothing selected Up selects Exit), joined into
# NAME.png; each pop-up's text shows that the one meant is the one open. The CD
# Audio pop-up is left shut: the poller rewrites that item's state twice a second, which makes
# Wine forget that its sub-menu is shown, and Escape or Left there then hangs the program in
# Wine's menu loop. Its items are in the menu read back above.
photograph_menu() {
    menu_keys Escape
    open_tray_menu
    menu_shot "$1" "$2-root"
    menu_keys Up Up Up Up Right
    menu_shot "$1" "$2-language"
    check "$2: the Language pop-up is open" popup_open "$4"
    menu_keys Escape Up Right
    menu_shot "$1" "$2-settings"
    check "$2: the Settings pop-up is open" popup_open "$3"
    menu_keys Escape
    join_menu_shots "$2" "$2-root" "$2-settings" "$2-language"
}

start_dorvane first "$DIR\\Dorvane.exe"
wait_for 30 "the program's icon" icon_shown
open_and_read first English "$MENU_ENGLISH"
photograph_menu first menu-english ' &Settings' ' &Language'

# From Settings: down to Language, into it, past English to "Русский".
menu_keys Down Right Down Down Return
# The program handles the next right click after the command.
open_and_read first Russian "$MENU_RUSSIAN"
registry_writes first
# The program's writes: the MCI default drive that it found missing at start (4 bytes, REG_BINARY),
# then the language, once, as a string of one character counted without a terminator.
check_eq "the program's registry writes" "Default Drive type=3 size=4"$'\n'"Language type=1 size=1" "$REG_WRITES"
reg_dump "$SETTINGS_KEY"
# The system keeps the terminator that it adds to a string counted without one.
check_has_line "Language is 0 (Russian)" "$REG" 'value "Language" REG_SZ size=2 data="0"'
photograph_menu first menu-russian ' &Настройки' ' Language'
menu_keys Escape

tray_menu_keys Up Return
wait_exit first 20
check_eq "Exit ends the program with 0" 0 "$EXIT_STATUS"

start_dorvane second "$DIR\\Dorvane.exe"
wait_for 30 "the new start's icon" icon_shown
open_and_read second "Russian after a new start" "$MENU_RUSSIAN"
menu_keys Escape
registry_writes second
check_eq "a start only reads the language (no registry writes)" "" "$REG_WRITES"
tray_menu_keys Up Return
wait_exit second 20
e2e_pass
