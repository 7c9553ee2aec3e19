// The disc's "autorun.inf", as the poller and Autoplay read it.
#ifndef DORVANE_AUTORUN_H
#define DORVANE_AUTORUN_H

#include <windows.h>

enum { AUTORUN_READ_SIZE = 4096 };   // only the file's first 4096 bytes count

// Reads the first bytes of "autorun.inf" in `root` ("D:\") into `text`,
// upper-cased (ASCII letters only), and gives their number; `original`, when
// given, receives the same bytes as read. 0 when the file cannot be opened or read.
int ReadAutorunText(const char* root, char text[AUTORUN_READ_SIZE], DWORD* length, char* original = NULL);

// Where "OPEN" first occurs in the `length` bytes of `text`, or -1.
int FindOpenKey(const char* text, DWORD length);

#endif
