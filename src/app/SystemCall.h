// Calls that only later Windows have, found at run time: imported, they would
// keep the program from starting on the systems without them.
#ifndef DORVANE_SYSTEMCALL_H
#define DORVANE_SYSTEMCALL_H

#include <windows.h>

// Function `name` of `module` as a `Call`; null where the module or the function is missing.
template <typename Call>
Call FindSystemCall(HMODULE module, const char* name)
{
    return module != NULL ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name))) : NULL;
}

#endif
