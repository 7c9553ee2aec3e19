# At 150 % (144 DPI): the notification area draws 24-pixel icons, and the program gives it the
# 24-pixel picture: the tray shows it pixel for pixel, which neither the 16-pixel picture stretched
# nor the 32-pixel one shrunk would. The tray, the menu and every dialog are kept as screenshots;
# each dialog lays out as its template says in the larger base units of the scale.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
source "$E2E_DRIVER/desktop_lib.sh"
english_locale

PASSWORD=open-sesame
begin_at_scale display_scale_144 144 "$PASSWORD"

slot_shot tray-slot-144
check_eq "the tray's icon slot at 150 %" 28 "$SLOT_SIDE"
slot_match tray-slot-144 dorvane_24.xpm
check "the tray shows the 24-pixel picture pixel for pixel ($MATCH_DIFF pixels differ, at $MATCH_AT)" [ "$MATCH_DIFF" -eq 0 ]
slot_match tray-slot-144 dorvane_16.xpm 24x24
log "the 16-pixel picture stretched to 24 pixels differs in $MATCH_DIFF pixels at best"
check "a stretched 16-pixel picture would look otherwise" [ "$MATCH_DIFF" -ge 20 ]
slot_match tray-slot-144 dorvane.xpm 24x24
log "the 32-pixel picture shrunk to 24 pixels differs in $MATCH_DIFF pixels at best"
check "a shrunk 32-pixel picture would look otherwise" [ "$MATCH_DIFF" -ge 20 ]

photograph_program 144 "$PASSWORD"
check_eq "every dialog has the same base units" 1 "$(awk '{ print $2 }' <<<"${BASE_UNITS_ALL%$'\n'}" | sort -u | wc -l)"
e2e_pass
