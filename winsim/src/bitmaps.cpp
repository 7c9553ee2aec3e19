// Bitmaps from the program's BITMAP resources. Unlike icons, every
// LoadBitmapA makes a new object, which lives until DeleteObject frees it;
// freed handles are remembered, so a menu that still shows one is caught.
#include "world.h"

namespace sim {

int BitmapView(HBITMAP bitmap)
{
    if (bitmap == NULL) return 0;
    auto live = W().bitmaps.find(bitmap);
    return live == W().bitmaps.end() ? -1 : live->second;
}

int LiveBitmaps()
{
    return static_cast<int>(W().bitmaps.size());
}

int BitmapResourceId(HBITMAP bitmap)
{
    return BitmapView(bitmap);
}

}  // namespace sim

using namespace sim;

HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR bitmapName)
{
    std::string name =
        IS_INTRESOURCE(bitmapName) ? std::to_string(reinterpret_cast<ULONG_PTR>(bitmapName)) : bitmapName;
    Log("LoadBitmapA " + name);
    if (Faulted("LoadBitmapA", name)) return NULL;
    // The system's own bitmaps (no instance) and named resources are not part of the simulation.
    int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(bitmapName));
    if (instance != ProgramInstance() || !IS_INTRESOURCE(bitmapName) || W().resources.bitmaps.count(id) == 0) {
        W().lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
        return NULL;
    }
    HBITMAP handle = reinterpret_cast<HBITMAP>(NewHandleValue());
    W().bitmaps[handle] = id;
    return handle;
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    HBITMAP bitmap = static_cast<HBITMAP>(object);
    auto live = W().bitmaps.find(bitmap);
    if (live == W().bitmaps.end()) {
        Log("DeleteObject of no live object");
        return FALSE;
    }
    Log("DeleteObject bitmap " + std::to_string(live->second));
    W().deletedBitmaps[bitmap] = live->second;
    W().bitmaps.erase(live);
    return TRUE;
}
