#include "ui/MenuBitmaps.h"

#include "app/WinMain.h"

namespace {

// The menu shows 24 different pictures.
const int kMaxBitmaps = 32;

struct LoadedBitmap {
    int id;
    HBITMAP handle;
};
LoadedBitmap Loaded[kMaxBitmaps];
int LoadedCount;

}  // namespace

HBITMAP MenuBitmap(int id)
{
    for (int i = 0; i < LoadedCount; ++i)
        if (Loaded[i].id == id) return Loaded[i].handle;
    HBITMAP handle = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(id));
    // A picture that fails to load is tried again next time.
    if (handle == NULL || LoadedCount == kMaxBitmaps) return handle;
    Loaded[LoadedCount].id = id;
    Loaded[LoadedCount].handle = handle;
    ++LoadedCount;
    return handle;
}

void FreeMenuBitmaps()
{
    for (int i = 0; i < LoadedCount; ++i) DeleteObject(Loaded[i].handle);
    LoadedCount = 0;
}
