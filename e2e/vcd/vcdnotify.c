/*
 * vcdnotify: tells every program in a Wine prefix that a disc arrived in a virtual drive or went out of it, as
 * Windows does when media comes or goes (`vcd` runs it after the drive's button, a tray pushed in, a disc put in).
 *
 *   vcdnotify L arrival|removal
 */
#include <windows.h>

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "vcdstate.h"

int main(int argc, char** argv)
{
    int arrived = argc == 3 && strcmp(argv[2], "arrival") == 0;
    if (argc != 3 || !isalpha((unsigned char)argv[1][0]) || argv[1][1] || (!arrived && strcmp(argv[2], "removal"))) {
        fprintf(stderr, "usage: vcdnotify L arrival|removal\n");
        return 2;
    }
    VcdTellMedia(argv[1][0], arrived);
    return 0;
}
