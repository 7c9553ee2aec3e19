// Puts the program's global variables back to their values at load time.
#ifndef TESTS_PROGRAMIMAGE_H
#define TESTS_PROGRAMIMAGE_H

void RestoreProgramImage();

#endif
