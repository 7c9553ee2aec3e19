/* wininspect: what its parts share (wininspect.c has the commands and the output's form). */
#ifndef WININSPECT_H
#define WININSPECT_H

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <stdarg.h>
#include <stdlib.h>
#include <stdio.h>
#include <string.h>

/* Output: texts quoted with C escapes. */
void PrintQuoted(const char* text, int length);
void PrintText(const char* text);
void PrintWide(const WCHAR* text, int length);

/* The commands: each prints its facts and returns the exit status. */
int ListWindows(int all);
int ShowMessageBoxes(const char* title);
int ShowDialogs(void);
int ListProcesses(void);
int ListDrives(void);
int ForgetIcons(const char* pid, const char* id);
int Broadcast(const char* name);
int DumpRegistry(const char* path, const char* viewName);
int MakeKeyReadOnly(const char* path);
int DumpResources(const char* file);
int DumpManifest(const char* file);
int ShowOpenMenu(void);

/* In the copy loaded into another process: fills its own imports before anything else is called. */
int ResolveOwnImports(void);

#endif
