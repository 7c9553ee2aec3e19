# The resources that the resource compiler put into Dorvane.exe, read the way the system reads them
# (the file loaded as data, the menu through LoadMenu, each icon image through
# CreateIconFromResourceEx, each bitmap through LoadBitmap): the dialogs' forms, styles, control
# counts and font; the tray menu's tree, as tests/expect/menu_english.txt has it (the host suite
# builds the menu from Dorvane.rc and holds it to the same file); the three icons with every size; the
# 24 menu pictures; the manifest of the sources; the project's version.
source "$E2E_DRIVER/lib.sh"
e2e_begin resources

install_dorvane
DUMP=$(inspect resources "$INSTALL_DIR\\Dorvane.exe")
echo "$DUMP" >"$ARTIFACTS/resources.txt"
[ -n "$DUMP" ] || fail "wininspect printed no resources"
SOURCES=$E2E_DRIVER/../..
VERSION=$(sed -nE 's/^project.Dorvane VERSION ([0-9.]+).*/\1/p' "$SOURCES/CMakeLists.txt")

# Each dialog: its number, form, style, extended style, controls, font size and face.
check_lines "the dialogs" "103 DIALOGEX 0x800009C5 0x00030004 0 8 MS Sans Serif
105 DIALOGEX 0x90C80BC5 0x00030004 9 8 MS Sans Serif
106 DIALOGEX 0x90C80BC5 0x00030004 20 8 MS Sans Serif
107 DIALOGEX 0x90C80BC5 0x00030004 9 8 MS Sans Serif
108 DIALOGEX 0x90C80BC5 0x00030004 11 8 MS Sans Serif
109 DIALOGEX 0x90C80BC5 0x00030004 5 8 MS Sans Serif" "$(sed -nE \
    's/^dialog ([0-9]+) format=(\S+) style=(\S+) exstyle=(\S+) items=([0-9]+) .* font=([0-9]+) .* face="(.*)"$/\1 \2 \3 \4 \5 \6 \7/p' <<<"$DUMP")"

# The menu's tree: the expected items with the blank texts that the program replaces; the two
# headings of the popup's first line and the drive items are the program's own.
check_lines "menu 101, the tray menu's tree" "menu 101 format=MENU
  popup \"PopUp Menu\"
$(expected menu_english.txt | sed -E 's/^( *)([0-9]+) .*/\1item \2 " "/; s/^( *)popup .*/\1popup " "/; s/^( *)-$/\1separator/; s/^/    /')" \
    "$(sed -n '/^menu 101 /,/^[^ ]/{/^menu 101 \|^ /p}' <<<"$DUMP")"

# Each icon: the 32x32 image of 16 colours (4 bits a pixel) with its AND mask first, then one image in
# 32-bit colour (with alpha, and its mask) for each size the notification area and the large icons
# take at 100 to 200 %; every one loadable as an icon.
for id in 151 158 190; do
    expected="icon $id images=7
  image 32x32 colours=16 planes=1 bits=4 dib=32x32 bits=4 compression=0 palette=16 mask=yes loads=yes"
    for size in 16 20 24 32 40 48; do
        expected+=$'\n'"  image ${size}x$size colours=0 planes=1 bits=32 dib=${size}x$size bits=32 compression=0 palette=0 mask=yes loads=yes"
    done
    check_lines "icon $id" "$expected" "$(sed -n "/^icon $id /,/^[^ ]/{/^icon $id \\|^ /p}" <<<"$DUMP")"
done

# Each menu picture: a 4-bit bottom-up DIB with its 16-colour palette and every pixel row, which
# LoadBitmap turns into a bitmap of that size. All are 13x13 but the track lines' disc, 20x16. No other
# bitmap is there.
check_lines "the 24 menu bitmaps" "$(for id in 136 138 139 140 141 142 143 147 162 163 166 171 172 173 174 175 176 \
    182 183 185 186 188 189 190; do
    size=13x13
    [ "$id" = 163 ] && size=20x16
    echo "bitmap $id dib=$size planes=1 bits=4 compression=0 palette=16 data=complete loads=$size"
done)" "$(grep '^bitmap ' <<<"$DUMP")"

# The application manifest, as the loader finds it (RT_MANIFEST 1), is the one in the sources.
check_eq "the embedded manifest" "$(tr -d '\r' <"$SOURCES/src/res/Dorvane.manifest")" \
    "$(inspect manifest "$INSTALL_DIR\\Dorvane.exe" | sed -e '1{/^manifest size=[0-9]*$/d}' -e '${/^end$/d}')"
# The fixed version and the texts that Explorer shows agree with the project's.
check_lines "the version" "version file=$VERSION.0 product=$VERSION.0 flags=0x0 os=0x40004 type=1
version-string \"040904E4\" \"FileVersion\" \"$VERSION\"
version-string \"040904E4\" \"ProductVersion\" \"$VERSION\"" \
    "$(grep -E '^version |^version-string "040904E4" "(File|Product)Version"' <<<"$DUMP")"
e2e_pass
