# The resources that the resource compiler put into Dorvane.exe, read the way the system reads
# them (the file loaded as data, the menu through LoadMenu, each icon image through
# CreateIconFromResourceEx, each bitmap through LoadBitmap): the hidden main window's dialog, the
# tray menu's tree, the three icons, the 24 menu pictures and the version.
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

# Each icon: one 32x32 image of 16 colours (4 bits a pixel) with its AND mask, loadable as an icon.
for id in 151 158 190; do
    check_eq "icon $id" "icon $id images=1
  image 32x32 colours=16 planes=1 bits=4 dib=32x32 bits=4 compression=0 palette=16 mask=yes loads=yes" \
        "$(section "^icon $id ")"
done

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
