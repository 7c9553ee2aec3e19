# The resources that the resource compiler put into Dorvane.exe, read the way the system reads
# them (the file loaded as data, the menu through LoadMenu, each icon image through
# CreateIconFromResourceEx, each bitmap through LoadBitmap): the hidden main window's dialog, the
# tray menu's tree, the three icons with all their sizes, the 24 menu pictures, the manifest and the
# version.
source "$E2E_DRIVER/lib.sh"
e2e_begin resources

DIR='C:\Program Files\Dorvane'
install_dorvane "$DIR"
DUMP=$(inspect resources "$DIR\\Dorvane.exe" | tr -d '\r')
echo "$DUMP" >"$ARTIFACTS/resources.txt"
[ -n "$DUMP" ] || fail "wininspect printed no resources"

# section FIRST-LINE-PATTERN: the dump from the line matching the pattern up to the next
# line that is not indented.
section() { awk -v start="$1" 'found && !/^ / { exit } found || $0 ~ start { found = 1; print }' <<<"$DUMP"; }

check_eq "dialog 103" \
    'dialog 103 format=DIALOGEX style=0x800009C5 exstyle=0x00030004 items=0 x=0 y=0 cx=114 cy=62 menu=none class=none caption="" font=8 weight=0 italic=0 charset=1 face="MS Sans Serif"' \
    "$(section '^dialog 103 ')"

# The dialogs: size, style and font of each, and every control's id, style, place, class and
# template text (blank but for the kept "OK" and "&e-mail", and the About box's icon).
check_eq "dialog 105, About" 'dialog 105 format=DIALOGEX style=0x90C80BC5 exstyle=0x00030004 items=9 x=0 y=0 cx=133 cy=146 menu=none class=none caption="" font=8 weight=0 italic=0 charset=1 face="MS Sans Serif"
  item id=-1 style=0x58000009 exstyle=0x00000000 x=5 y=5 cx=123 cy=116 class="STATIC" text=none
  item id=-1 style=0x50000803 exstyle=0x00000000 x=13 y=13 cx=20 cy=20 class="STATIC" text=#151
  item id=1011 style=0x50000081 exstyle=0x00000000 x=37 y=19 cx=86 cy=8 class="STATIC" text=none
  item id=1012 style=0x50000001 exstyle=0x00000000 x=8 y=38 cx=117 cy=8 class="STATIC" text=none
  item id=-1 style=0x50000010 exstyle=0x00000000 x=15 y=55 cx=105 cy=1 class="STATIC" text=none
  item id=1 style=0x50010001 exstyle=0x00000000 x=41 y=127 cx=50 cy=14 class=#128 text="OK"
  item id=1003 style=0x50018000 exstyle=0x00000000 x=17 y=63 cx=99 cy=14 class="BUTTON" text=none
  item id=1002 style=0x50018000 exstyle=0x00000000 x=17 y=81 cx=99 cy=14 class="BUTTON" text=none
  item id=1001 style=0x50018000 exstyle=0x00000000 x=17 y=99 cx=99 cy=14 class="BUTTON" text="&e-mail"' \
    "$(section '^dialog 105 ')"
check_eq "dialog 106, Options" 'dialog 106 format=DIALOGEX style=0x90C80BC5 exstyle=0x00030004 items=20 x=0 y=0 cx=192 cy=207 menu=none class=none caption="" font=8 weight=0 italic=0 charset=1 face="MS Sans Serif"
  item id=-1 style=0x58000009 exstyle=0x00000000 x=5 y=5 cx=182 cy=178 class="STATIC" text=none
  item id=1029 style=0x50000007 exstyle=0x00000000 x=12 y=11 cx=169 cy=27 class=#128 text=none
  item id=1025 style=0x50010003 exstyle=0x00000000 x=19 y=23 cx=151 cy=10 class=#128 text=none
  item id=1026 style=0x50000007 exstyle=0x00000000 x=12 y=40 cx=169 cy=94 class=#128 text=none
  item id=1013 style=0x50000080 exstyle=0x00000000 x=19 y=52 cx=151 cy=8 class="STATIC" text=none
  item id=1019 style=0x50010000 exstyle=0x00000000 x=33 y=63 cx=40 cy=13 class=#128 text=none
  item id=1018 style=0x50810000 exstyle=0x00000000 x=78 y=63 cx=95 cy=13 class="MSCTLS_HOTKEY32" text=none
  item id=1022 style=0x50010003 exstyle=0x00000000 x=19 y=86 cx=151 cy=10 class=#128 text=none
  item id=1015 style=0x50000080 exstyle=0x00000000 x=33 y=99 cx=89 cy=13 class="STATIC" text=none
  item id=1023 style=0x50812001 exstyle=0x00000000 x=133 y=97 cx=27 cy=13 class=#129 text=none
  item id=1024 style=0x50000036 exstyle=0x00000000 x=122 y=97 cx=11 cy=14 class="MSCTLS_UPDOWN32" text=none
  item id=1017 style=0x50000082 exstyle=0x00000000 x=165 y=99 cx=8 cy=13 class="STATIC" text=none
  item id=1028 style=0x50010003 exstyle=0x00000000 x=19 y=118 cx=108 cy=10 class=#128 text=none
  item id=1030 style=0x50010000 exstyle=0x00000000 x=133 y=116 cx=40 cy=13 class=#128 text=none
  item id=1027 style=0x50000007 exstyle=0x00000000 x=12 y=136 cx=169 cy=40 class=#128 text=none
  item id=1014 style=0x50000080 exstyle=0x00000000 x=19 y=147 cx=151 cy=8 class="STATIC" text=none
  item id=1021 style=0x50010000 exstyle=0x00000000 x=33 y=158 cx=40 cy=13 class=#128 text=none
  item id=1020 style=0x50810080 exstyle=0x00000000 x=78 y=158 cx=95 cy=13 class=#129 text=none
  item id=1 style=0x50010001 exstyle=0x00000000 x=41 y=188 cx=50 cy=14 class=#128 text="OK"
  item id=2 style=0x50010000 exstyle=0x00000000 x=100 y=188 cx=50 cy=14 class=#128 text=none' \
    "$(section '^dialog 106 ')"
check_eq "dialog 107, the auto-close countdown" 'dialog 107 format=DIALOGEX style=0x90C80BC5 exstyle=0x00030004 items=9 x=0 y=0 cx=132 cy=66 menu=none class=none caption="" font=8 weight=0 italic=0 charset=1 face="MS Sans Serif"
  item id=-1 style=0x58000009 exstyle=0x00000000 x=5 y=5 cx=122 cy=28 class="STATIC" text=none
  item id=1013 style=0x50000081 exstyle=0x00000000 x=12 y=9 cx=106 cy=8 class="STATIC" text=none
  item id=1014 style=0x50000081 exstyle=0x00000000 x=56 y=20 cx=18 cy=8 class="STATIC" text=none
  item id=1 style=0x50010001 exstyle=0x00000000 x=5 y=39 cx=37 cy=14 class=#128 text=none
  item id=3 style=0x50010000 exstyle=0x00000000 x=47 y=39 cx=37 cy=14 class=#128 text=none
  item id=2 style=0x50010000 exstyle=0x00000000 x=89 y=39 cx=37 cy=14 class=#128 text=none
  item id=1015 style=0x50000081 exstyle=0x00000000 x=5 y=54 cx=37 cy=8 class="STATIC" text=none
  item id=1017 style=0x50000081 exstyle=0x00000000 x=47 y=54 cx=37 cy=8 class="STATIC" text=none
  item id=1018 style=0x50000081 exstyle=0x00000000 x=89 y=54 cx=37 cy=8 class="STATIC" text=none' \
    "$(section '^dialog 107 ')"
check_eq "dialog 108, the password change" 'dialog 108 format=DIALOGEX style=0x90C80BC5 exstyle=0x00030004 items=11 x=0 y=0 cx=172 cy=172 menu=none class=none caption="" font=8 weight=0 italic=0 charset=1 face="MS Sans Serif"
  item id=-1 style=0x58000009 exstyle=0x00000000 x=5 y=5 cx=162 cy=143 class="STATIC" text=none
  item id=1029 style=0x50000007 exstyle=0x00000000 x=12 y=11 cx=148 cy=44 class=#128 text=none
  item id=1027 style=0x50000080 exstyle=0x00000000 x=19 y=22 cx=129 cy=8 class="STATIC" text=none
  item id=1031 style=0x508100A0 exstyle=0x00000000 x=35 y=35 cx=114 cy=14 class=#129 text=none
  item id=1026 style=0x50000007 exstyle=0x00000000 x=12 y=60 cx=148 cy=80 class=#128 text=none
  item id=1028 style=0x50000080 exstyle=0x00000000 x=19 y=75 cx=129 cy=8 class="STATIC" text=none
  item id=1032 style=0x508100A0 exstyle=0x00000000 x=35 y=86 cx=114 cy=14 class=#129 text=none
  item id=1030 style=0x50000080 exstyle=0x00000000 x=19 y=109 cx=129 cy=8 class="STATIC" text=none
  item id=1033 style=0x508100A0 exstyle=0x00000000 x=35 y=120 cx=114 cy=14 class=#129 text=none
  item id=1 style=0x50010001 exstyle=0x00000000 x=31 y=153 cx=50 cy=14 class=#128 text="OK"
  item id=2 style=0x50010000 exstyle=0x00000000 x=90 y=153 cx=50 cy=14 class=#128 text=none' \
    "$(section '^dialog 108 ')"
check_eq "dialog 109, the password prompt" 'dialog 109 format=DIALOGEX style=0x90C80BC5 exstyle=0x00030004 items=5 x=0 y=0 cx=172 cy=76 menu=none class=none caption="" font=8 weight=0 italic=0 charset=1 face="MS Sans Serif"
  item id=-1 style=0x58000009 exstyle=0x00000000 x=5 y=5 cx=162 cy=44 class="STATIC" text=none
  item id=1027 style=0x50000080 exstyle=0x00000000 x=19 y=14 cx=129 cy=8 class="STATIC" text=none
  item id=1031 style=0x508100A0 exstyle=0x00000000 x=35 y=27 cx=114 cy=14 class=#129 text=none
  item id=1 style=0x50010001 exstyle=0x00000000 x=31 y=57 cx=50 cy=14 class=#128 text="OK"
  item id=2 style=0x50010000 exstyle=0x00000000 x=90 y=57 cx=50 cy=14 class=#128 text=none' \
    "$(section '^dialog 109 ')"

EXPECTED_MENU='menu 101 format=MENU
  popup "PopUp Menu"
    separator
    item 40001 " "
    item 40005 " "
    item 40009 " "
    separator
    item 40010 " "
    item 40011 " "
    separator
    item 40012 " "
    popup " "
      item 40019 " "
      item 40020 " "
      item 40021 " "
      separator
      item 40014 " "
      item 40015 " "
      item 40016 " "
      item 40017 " "
      item 40018 " "
    separator
    popup " "
      item 40028 " "
      separator
      item 40024 " "
      item 40026 " "
      item 40027 " "
    separator
    popup " "
      item 40032 " "
      separator
      item 40030 " "
      item 40031 " "
    item 40033 " "
    item 40003 " "
    separator
    item 40002 " "'
MENU=$(section '^menu 101 ')
if [ "$MENU" != "$EXPECTED_MENU" ]; then
    diff <(echo "$EXPECTED_MENU") <(echo "$MENU") | sed 's/^/    /' | tee -a "$ARTIFACTS/log.txt" >&2
    fail "menu 101 differs from the tray menu's tree (diff: < expected, > seen)"
fi
log "ok: menu 101"

# Each icon: the 32x32 image of 16 colours (4 bits a pixel) with its AND mask first, then one image
# in 32-bit colour (with alpha, and its mask) for each size the notification area and the large
# icons take at 100 to 200 %; every one loadable as an icon.
for id in 151 158 190; do
    expected="icon $id images=7
  image 32x32 colours=16 planes=1 bits=4 dib=32x32 bits=4 compression=0 palette=16 mask=yes loads=yes"
    for size in 16 20 24 32 40 48; do
        expected+="
  image ${size}x$size colours=0 planes=1 bits=32 dib=${size}x$size bits=32 compression=0 palette=0 mask=yes loads=yes"
    done
    check_eq "icon $id" "$expected" "$(section "^icon $id ")"
done

# The application manifest, as the loader finds it (RT_MANIFEST 1), is the one in the sources.
MANIFEST=$(inspect manifest "$DIR\\Dorvane.exe" | tr -d '\r')
echo "$MANIFEST" >"$ARTIFACTS/manifest.txt"
check_eq "the embedded manifest" "$(tr -d '\r' <"$E2E_DRIVER/../../src/res/Dorvane.manifest")" \
    "$(sed -e '1{/^manifest size=[0-9]*$/d}' -e '${/^end$/d}' <<<"$MANIFEST")"

# Each menu picture: a 4-bit bottom-up DIB with its 16-colour palette and every pixel row, which
# LoadBitmap turns into a bitmap of that size. All are 13x13 but the track lines' disc, 20x16. No
# other bitmap is there.
EXPECTED_BITMAPS=$(for id in 136 138 139 140 141 142 143 147 162 163 166 171 172 173 174 175 176 182 183 185 186 \
    188 189 190; do
    size=13x13
    [ "$id" = 163 ] && size=20x16
    echo "bitmap $id dib=$size planes=1 bits=4 compression=0 palette=16 data=complete loads=$size"
done)
BITMAPS=$(grep '^bitmap ' <<<"$DUMP")
if [ "$BITMAPS" != "$EXPECTED_BITMAPS" ]; then
    diff <(echo "$EXPECTED_BITMAPS") <(echo "$BITMAPS") | sed 's/^/    /' | tee -a "$ARTIFACTS/log.txt" >&2
    fail "the menu bitmaps differ (diff: < expected, > seen)"
fi
log "ok: the 24 menu bitmaps"

check_has_line "the fixed version" "$DUMP" "version file=2.4.1.0 product=2.4.1.0 flags=0x0 os=0x40004 type=1"
# The version texts that Explorer shows agree with the fixed version.
check_has_line "the file version text" "$DUMP" 'version-string "040904E4" "FileVersion" "2.4.1"'
check_has_line "the product version text" "$DUMP" 'version-string "040904E4" "ProductVersion" "2.4.1"'
e2e_pass
