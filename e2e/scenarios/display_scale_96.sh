# At 100 % (96 DPI): the tray shows the 16-pixel picture pixel for pixel, not the 32-pixel one
# shrunk; the tray, the menu and every dialog are kept as screenshots; each dialog lays out exactly
# as its template says, all with the same base units, as before the manifest made the program DPI
# aware and themed.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
source "$E2E_DRIVER/desktop_lib.sh"
english_locale

PASSWORD=open-sesame
begin_at_scale display_scale_96 96 "$PASSWORD"

slot_shot tray-slot-96
check_eq "the tray's icon slot at 100 %" 20 "$SLOT_SIDE"
slot_match tray-slot-96 dorvane_16.xpm
check "the tray shows the 16-pixel picture pixel for pixel ($MATCH_DIFF pixels differ, at $MATCH_AT)" [ "$MATCH_DIFF" -eq 0 ]
slot_match tray-slot-96 dorvane.xpm 16x16
log "the 32-pixel picture shrunk to 16 pixels differs in $MATCH_DIFF pixels at best"
check "the 32-pixel picture shrunk would look otherwise" [ "$MATCH_DIFF" -ge 20 ]

photograph_program 96 "$PASSWORD"
check_eq "every dialog has the same base units" 1 "$(awk '{ print $2 }' <<<"${BASE_UNITS_ALL%$'\n'}" | sort -u | wc -l)"
e2e_pass
