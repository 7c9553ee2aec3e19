// Bounded copies into the program's fixed-size character buffers.
#ifndef DORVANE_TEXT_H
#define DORVANE_TEXT_H

#include <stddef.h>

// Copies `source` into `target` of `size` bytes. Returns 1 when all of it
// fitted; otherwise 0, with as much as fits and always a terminator.
int CopyText(char* target, size_t size, const char* source);

// Appends `source` to the text already in `target`, as CopyText does.
int AppendText(char* target, size_t size, const char* source);

#endif
