// Puts the program's global variables back to their values at load time.
#ifndef TESTS_PROGRAMIMAGE_H
#define TESTS_PROGRAMIMAGE_H

void RestoreProgramImage();

// Whether `address` lies in what RestoreProgramImage puts back.
bool InProgramImage(const void* address);

#endif
