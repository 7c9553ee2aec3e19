// Menu items: insertion, change, query and removal, with user32's rules for
// MENUITEMINFO (as Wine's dlls/user32/menu.c implements them and its
// tests/menu.c records Windows doing them). The A calls read and write text
// in the machine's ANSI code page, the W calls in UTF-16.
#include "world.h"

#include <cstring>

namespace sim {

namespace {

const UINT kTypeMask = MFT_STRING | MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR | MFT_MENUBARBREAK | MFT_MENUBREAK |
                       MFT_RADIOCHECK | MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;
// fState keeps everything but the type bits and user32's own markers.
const UINT kStateMask = ~(kTypeMask | MF_POPUP | MF_SYSMENU | MF_BYPOSITION | MF_MOUSESELECT);

// The record's two sizes: today's, and the one before hbmpItem was added.
const UINT kInfoSize = sizeof(MENUITEMINFOW);
const UINT kOldInfoSize = offsetof(MENUITEMINFOW, hbmpItem);
static_assert(sizeof(MENUITEMINFOA) == sizeof(MENUITEMINFOW), "the A and W records differ only in the text's type");

bool IsStringType(UINT type)
{
    return (type & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR)) == 0;
}

// By position: the item there. By command: depth first through the pop-ups;
// a pop-up item whose identifier matches (the last such) counts only if
// nothing else does.
// `handle` and `position` become the menu holding the item and its place.
MenuItem* FindItem(HMENU* handle, UINT* position, UINT flags)
{
    Menu* menu = FindMenu(*handle);
    if (!menu) return NULL;
    if (flags & MF_BYPOSITION) return *position < menu->items.size() ? &menu->items[*position] : NULL;
    MenuItem* fallback = NULL;
    UINT fallbackPosition = 0;
    for (UINT i = 0; i < menu->items.size(); ++i) {
        MenuItem& item = menu->items[i];
        if (item.popup) {
            HMENU inner = item.popup;
            UINT innerPosition = *position;
            if (MenuItem* found = FindItem(&inner, &innerPosition, flags)) {
                *handle = inner;
                *position = innerPosition;
                return found;
            }
            if (item.id == *position) {
                fallback = &item;
                fallbackPosition = i;
            }
        } else if (item.id == *position) {
            *position = i;
            return &item;
        }
    }
    if (fallback) *position = fallbackPosition;
    return fallback;
}

void CheckSize(const char* api, UINT size)
{
    if (size != kInfoSize && size != kOldInfoSize)
        throw Failure(std::string(api) + ": cbSize " + std::to_string(size) + " is neither of the record's sizes (" +
                      std::to_string(kInfoSize) + ", or " + std::to_string(kOldInfoSize) + " without hbmpItem)");
}

// The caller's record as user32 reads it: MIIM_TYPE cannot be combined with
// the masks that replaced it, and stands for MIIM_FTYPE with MIIM_STRING (or
// MIIM_BITMAP for a bitmap item).
bool Normalize(const char* api, const void* given, MENUITEMINFOW* info)
{
    UINT size = static_cast<const MENUITEMINFOW*>(given)->cbSize;
    CheckSize(api, size);
    *info = MENUITEMINFOW();
    memcpy(info, given, size);
    if (((info->fMask & MIIM_TYPE) && (info->fMask & (MIIM_STRING | MIIM_FTYPE | MIIM_BITMAP))) ||
        ((info->fMask & MIIM_FTYPE) && (info->fType & MFT_BITMAP))) {
        Log(std::string(api) + " refused: MIIM_TYPE with MIIM_STRING, MIIM_FTYPE or MIIM_BITMAP");
        W().lastError = ERROR_INVALID_PARAMETER;
        return false;
    }
    if (info->fMask & MIIM_TYPE) {
        info->fMask |= MIIM_FTYPE;
        if (IsStringType(info->fType)) {
            info->fMask |= MIIM_STRING;
        } else if (info->fType & MFT_BITMAP) {
            info->fMask |= MIIM_BITMAP;
            info->hbmpItem = reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(LOWORD(info->dwTypeData)));
        }
    }
    return true;
}

bool Apply(MenuItem* item, const MENUITEMINFOW& info, bool unicode)
{
    if ((info.fMask & MIIM_SUBMENU) && info.hSubMenu && !FindMenu(info.hSubMenu)) {
        W().lastError = ERROR_INVALID_PARAMETER;
        return false;
    }
    if (info.fMask & MIIM_FTYPE) item->type = (item->type & ~kTypeMask) | (info.fType & kTypeMask);
    if (info.fMask & MIIM_STRING) {
        item->hasText = info.dwTypeData != NULL;
        item->text = !info.dwTypeData ? std::u16string()
                     : unicode        ? WideText(info.dwTypeData)
                                      : Decode(CP_ACP, reinterpret_cast<const char*>(info.dwTypeData));
    }
    // The state is replaced as given, not merged.
    if (info.fMask & MIIM_STATE) item->state = info.fState & kStateMask;
    if (info.fMask & MIIM_ID) item->id = info.wID;
    if (info.fMask & MIIM_SUBMENU) item->popup = info.hSubMenu;
    if (info.fMask & MIIM_CHECKMARKS) {
        item->checked = info.hbmpChecked;
        item->unchecked = info.hbmpUnchecked;
    }
    if (info.fMask & MIIM_DATA) item->data = info.dwItemData;
    if (info.fMask & MIIM_BITMAP) item->picture = info.hbmpItem;
    // Nothing to show makes an item a separator.
    if (!item->hasText && !(item->type & MFT_OWNERDRAW) && !item->picture) item->type |= MFT_SEPARATOR;
    return true;
}

// The text into the caller's buffer: at most cch - 1 characters and a NUL;
// cch comes back as the characters copied, or the text's length when no
// buffer was given.
void GetText(const MenuItem& item, MENUITEMINFOW* info, bool unicode)
{
    if (!item.hasText) {
        if (info->dwTypeData && info->cch) {
            info->cch = 0;
            if (unicode) info->dwTypeData[0] = 0;
            else reinterpret_cast<char*>(info->dwTypeData)[0] = '\0';
        }
        return;
    }
    std::string bytes = unicode ? std::string() : Encode(CP_ACP, item.text);
    UINT length = static_cast<UINT>(unicode ? item.text.size() : bytes.size());
    if (!info->dwTypeData || !info->cch) {
        info->cch = length;
        return;
    }
    UINT copied = info->cch <= length ? info->cch - 1 : length;
    if (unicode) {
        std::memcpy(info->dwTypeData, item.text.data(), copied * sizeof(WCHAR));
        info->dwTypeData[copied] = 0;
    } else {
        char* target = reinterpret_cast<char*>(info->dwTypeData);
        std::memcpy(target, bytes.data(), copied);
        target[copied] = '\0';
    }
    info->cch = copied;
}

bool Query(const MenuItem& item, MENUITEMINFOW* info, bool unicode)
{
    if (info->fMask & MIIM_TYPE) {
        if (info->fMask & (MIIM_STRING | MIIM_FTYPE | MIIM_BITMAP)) {
            W().lastError = ERROR_INVALID_PARAMETER;
            return false;
        }
        info->fType = item.type & kTypeMask;
        if (item.picture) info->fType |= MFT_BITMAP;
        info->hbmpItem = item.picture;
        if (info->fType & MFT_BITMAP) {
            info->dwTypeData = reinterpret_cast<LPWSTR>(item.picture);
            info->cch = 0;
        } else if (info->fType & (MFT_OWNERDRAW | MFT_SEPARATOR)) {
            info->dwTypeData = NULL;
            info->cch = 0;
        }
    }
    if (info->fMask & (MIIM_TYPE | MIIM_STRING)) GetText(item, info, unicode);
    if (info->fMask & MIIM_FTYPE) info->fType = item.type & kTypeMask;
    if (info->fMask & MIIM_BITMAP) info->hbmpItem = item.picture;
    if (info->fMask & MIIM_STATE) info->fState = item.state;
    if (info->fMask & MIIM_ID) info->wID = item.id;
    // hSubMenu is cleared unless asked for.
    info->hSubMenu = (info->fMask & MIIM_SUBMENU) ? item.popup : NULL;
    if (info->fMask & MIIM_CHECKMARKS) {
        info->hbmpChecked = item.checked;
        info->hbmpUnchecked = item.unchecked;
    }
    if (info->fMask & MIIM_DATA) info->dwItemData = item.data;
    return true;
}

void NotFound(HMENU handle)
{
    W().lastError = FindMenu(handle) ? ERROR_MENU_ITEM_NOT_FOUND : ERROR_INVALID_MENU_HANDLE;
}

std::string Addressed(const char* api, UINT item, BOOL byPosition)
{
    return std::string(api) + " " + std::to_string(item) + (byPosition ? " by position" : "");
}

BOOL Insert(const char* api, HMENU handle, UINT position, BOOL byPosition, const void* given, bool unicode)
{
    MENUITEMINFOW info;
    if (!Normalize(api, given, &info)) return FALSE;
    Log(Addressed(api, position, byPosition));
    if (Faulted(api, std::to_string(position))) return FALSE;
    Menu* menu = FindMenu(handle);
    if (!menu) {
        W().lastError = ERROR_INVALID_MENU_HANDLE;
        return FALSE;
    }
    // In front of the item named; past the end, or a command that is not
    // there, appends to the menu itself.
    HMENU target = handle;
    UINT at = position;
    if (byPosition) {
        if (at > menu->items.size()) at = static_cast<UINT>(menu->items.size());
    } else if (!FindItem(&target, &at, MF_BYCOMMAND)) {
        target = handle;
        at = static_cast<UINT>(menu->items.size());
    }
    MenuItem item;
    if (!Apply(&item, info, unicode)) return FALSE;
    std::vector<MenuItem>& items = FindMenu(target)->items;
    items.insert(items.begin() + at, item);
    return TRUE;
}

BOOL Change(const char* api, HMENU handle, UINT item, BOOL byPosition, const void* given, bool unicode)
{
    MENUITEMINFOW info;
    if (!Normalize(api, given, &info)) return FALSE;
    Log(Addressed(api, item, byPosition));
    if (Faulted(api, std::to_string(item))) return FALSE;
    HMENU holder = handle;
    UINT position = item;
    MenuItem* found = FindItem(&holder, &position, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!found) {
        NotFound(handle);
        return FALSE;
    }
    return Apply(found, info, unicode);
}

BOOL Read(const char* api, HMENU handle, UINT item, BOOL byPosition, void* given, bool unicode)
{
    UINT size = static_cast<MENUITEMINFOW*>(given)->cbSize;
    CheckSize(api, size);
    if (Faulted(api, std::to_string(item))) return FALSE;
    HMENU holder = handle;
    UINT position = item;
    MenuItem* found = FindItem(&holder, &position, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!found) {
        NotFound(handle);
        return FALSE;
    }
    MENUITEMINFOW info = MENUITEMINFOW();
    memcpy(&info, given, size);
    bool done = Query(*found, &info, unicode);
    memcpy(given, &info, size);
    return done;
}

}  // namespace

}  // namespace sim

using namespace sim;

BOOL WINAPI InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    return Insert("InsertMenuItemA", menu, item, byPosition, info, false);
}

BOOL WINAPI InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info)
{
    return Insert("InsertMenuItemW", menu, item, byPosition, info, true);
}

BOOL WINAPI SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    return Change("SetMenuItemInfoA", menu, item, byPosition, info, false);
}

BOOL WINAPI SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info)
{
    return Change("SetMenuItemInfoW", menu, item, byPosition, info, true);
}

BOOL WINAPI GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info)
{
    return Read("GetMenuItemInfoA", menu, item, byPosition, info, false);
}

BOOL WINAPI GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOW info)
{
    return Read("GetMenuItemInfoW", menu, item, byPosition, info, true);
}

BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags)
{
    Log(Addressed("RemoveMenu", position, flags & MF_BYPOSITION));
    HMENU holder = menu;
    UINT at = position;
    if (!FindItem(&holder, &at, flags)) {
        NotFound(menu);
        return FALSE;
    }
    std::vector<MenuItem>& items = FindMenu(holder)->items;
    items.erase(items.begin() + at);
    return TRUE;
}

BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    Log(Addressed("DeleteMenu", position, flags & MF_BYPOSITION));
    HMENU holder = menu;
    UINT at = position;
    MenuItem* item = FindItem(&holder, &at, flags);
    if (!item) {
        NotFound(menu);
        return FALSE;
    }
    // Unlike RemoveMenu, the item's pop-up is destroyed with it.
    if (item->popup) DestroyMenu(item->popup);
    std::vector<MenuItem>& items = FindMenu(holder)->items;
    items.erase(items.begin() + at);
    return TRUE;
}

UINT WINAPI GetMenuItemID(HMENU menu, int position)
{
    HMENU holder = menu;
    UINT at = static_cast<UINT>(position);
    MenuItem* item = FindItem(&holder, &at, MF_BYPOSITION);
    if (!item || item->popup) return static_cast<UINT>(-1);
    return item->id;
}

int WINAPI GetMenuItemCount(HMENU handle)
{
    Menu* menu = FindMenu(handle);
    if (!menu) {
        W().lastError = ERROR_INVALID_MENU_HANDLE;
        return -1;
    }
    return static_cast<int>(menu->items.size());
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check)
{
    HMENU holder = menu;
    UINT at = item;
    MenuItem* found = FindItem(&holder, &at, check);
    if (!found) return static_cast<DWORD>(-1);
    DWORD previous = found->state & MF_CHECKED;
    if (check & MF_CHECKED) found->state |= MF_CHECKED;
    else found->state &= ~static_cast<UINT>(MF_CHECKED);
    return previous;
}

BOOL WINAPI DrawMenuBar(HWND window)
{
    // A window without a menu bar still succeeds (it is redrawn all the same).
    if (!FindWindow(window)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    Log("DrawMenuBar");
    return TRUE;
}
