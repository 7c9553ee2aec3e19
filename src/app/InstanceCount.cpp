#include "app/WinMain.h"

// One copy for every running process of the program: the linker gives the
// "Shared" section the read, write and shared attributes. The system drops it
// when the last process ends, so the next start sees -1 again.
#ifdef _WIN32
__attribute__((section("Shared"), shared)) volatile LONG InstanceCount = -1;
#endif
// Elsewhere the simulated system keeps the shared section across program runs.
