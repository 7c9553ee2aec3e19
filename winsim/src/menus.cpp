// Menus from the program's resources, what they show, and the modal tracking
// of a pop-up. The item calls (insert, change, query, remove) are in
// menu_items.cpp.
#include "world.h"

namespace sim {

namespace {

// As LoadMenu builds a standard MENU resource: an item with an empty text is a
// separator, and a separator is greyed and disabled; a pop-up item's
// identifier is its sub-menu's handle.
HMENU BuildMenu(const std::vector<MenuTemplateItem>& items)
{
    HMENU handle = reinterpret_cast<HMENU>(NewHandleValue());
    Menu menu;
    for (const MenuTemplateItem& source : items) {
        MenuItem item;
        item.id = source.id;
        item.type = source.type;
        item.state = source.state;
        item.text = FromUtf8(source.text);
        item.hasText = source.popup || !source.text.empty();
        if (source.popup) {
            item.popup = BuildMenu(source.items);
            item.id = static_cast<UINT>(reinterpret_cast<uintptr_t>(item.popup));
        }
        if (!item.hasText) {
            item.type |= MFT_SEPARATOR;
            item.state |= MF_GRAYED | MF_DISABLED;
        }
        menu.items.push_back(item);
    }
    W().menus[handle] = menu;
    return handle;
}

void Destroy(HMENU handle)
{
    auto found = W().menus.find(handle);
    if (found == W().menus.end() || found->second.destroyed) return;
    found->second.destroyed = true;
    for (const MenuItem& item : found->second.items)
        if (item.popup) Destroy(item.popup);
}

std::string DeletedBitmap(HBITMAP bitmap)
{
    auto deleted = W().deletedBitmaps.find(bitmap);
    return deleted == W().deletedBitmaps.end() ? "an unknown bitmap handle"
                                               : "the deleted bitmap " + std::to_string(deleted->second);
}

}  // namespace

Menu* FindMenu(HMENU handle)
{
    auto found = W().menus.find(handle);
    return found == W().menus.end() || found->second.destroyed ? NULL : &found->second;
}

MenuItem* FindMenuCommand(HMENU handle, UINT id)
{
    Menu* menu = FindMenu(handle);
    if (!menu) return NULL;
    for (MenuItem& item : menu->items) {
        if (item.popup) {
            if (MenuItem* inner = FindMenuCommand(item.popup, id)) return inner;
        } else if (item.id == id && !(item.type & MFT_SEPARATOR)) {
            return &item;
        }
    }
    return NULL;
}

std::vector<MenuItemView> MenuView(HMENU handle)
{
    std::vector<MenuItemView> views;
    Menu* menu = FindMenu(handle);
    if (!menu) return views;
    for (const MenuItem& item : menu->items) {
        MenuItemView view;
        view.id = item.id;
        view.type = item.type;
        view.state = item.state;
        view.text = Utf8(item.text);
        view.isPopup = item.popup != NULL;
        if (item.popup) view.popup = MenuView(item.popup);
        view.checkedBitmap = BitmapView(item.checked);
        view.uncheckedBitmap = BitmapView(item.unchecked);
        views.push_back(view);
    }
    return views;
}

void CheckShownBitmaps(HMENU handle)
{
    Menu* menu = FindMenu(handle);
    if (!menu) return;
    for (const MenuItem& item : menu->items) {
        for (HBITMAP mark : {item.checked, item.unchecked})
            if (BitmapView(mark) < 0)
                throw Failure("the open menu's item " + std::to_string(item.id) + " \"" + Utf8(item.text) +
                              "\" shows " + DeletedBitmap(mark) + " as its check mark");
        if (item.popup) CheckShownBitmaps(item.popup);
    }
}

std::vector<MenuItemView> MenuItems(HMENU menu)
{
    return MenuView(menu);
}

bool MenuDestroyed(HMENU handle)
{
    auto found = W().menus.find(handle);
    return found != W().menus.end() && found->second.destroyed;
}

const std::vector<MenuShowing>& MenusShown()
{
    return W().menusShown;
}

std::optional<std::vector<MenuItemView>> OpenMenu()
{
    if (W().tracking.empty() || W().tracking.back()->done) return std::nullopt;
    return MenuView(W().tracking.back()->menu);
}

const MenuItemView* FindMenuItem(const std::vector<MenuItemView>& items, UINT id)
{
    for (const MenuItemView& item : items) {
        if (item.isPopup) {
            if (const MenuItemView* inner = FindMenuItem(item.popup, id)) return inner;
        } else if (item.id == id && !(item.type & MFT_SEPARATOR)) {
            return &item;
        }
    }
    return NULL;
}

}  // namespace sim

using namespace sim;

HMENU WINAPI LoadMenuA(HINSTANCE instance, LPCSTR menuName)
{
    std::string name = IS_INTRESOURCE(menuName) ? std::to_string(reinterpret_cast<ULONG_PTR>(menuName)) : menuName;
    Log("LoadMenuA " + name);
    if (Faulted("LoadMenuA", name)) return NULL;
    auto found = IS_INTRESOURCE(menuName) && instance == ProgramInstance()
                     ? W().resources.menus.find(static_cast<int>(reinterpret_cast<ULONG_PTR>(menuName)))
                     : W().resources.menus.end();
    if (found == W().resources.menus.end()) {
        W().lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
        return NULL;
    }
    return BuildMenu(found->second);
}

HMENU WINAPI GetSubMenu(HMENU handle, int position)
{
    if (Faulted("GetSubMenu", std::to_string(position))) return NULL;
    Menu* menu = FindMenu(handle);
    if (!menu || position < 0 || position >= static_cast<int>(menu->items.size())) return NULL;
    return menu->items[static_cast<size_t>(position)].popup;
}

BOOL WINAPI DestroyMenu(HMENU handle)
{
    if (!FindMenu(handle)) {
        W().lastError = ERROR_INVALID_MENU_HANDLE;
        return FALSE;
    }
    Log("DestroyMenu");
    // Its pop-ups go with it; the bitmaps its items show stay the program's.
    Destroy(handle);
    return TRUE;
}

BOOL WINAPI SetMenuDefaultItem(HMENU handle, UINT item, UINT byPosition)
{
    Menu* menu = FindMenu(handle);
    if (!menu) {
        W().lastError = ERROR_INVALID_MENU_HANDLE;
        return FALSE;
    }
    MenuItem* target = NULL;
    if (item != static_cast<UINT>(-1)) {
        if (byPosition) {
            if (item < menu->items.size()) target = &menu->items[item];
        } else {
            for (MenuItem& candidate : menu->items)
                if (candidate.id == item && !candidate.popup) target = &candidate;
        }
        if (!target) return FALSE;
    }
    for (MenuItem& candidate : menu->items) candidate.state &= ~static_cast<UINT>(MFS_DEFAULT);
    if (target) target->state |= MFS_DEFAULT;
    return TRUE;
}

UINT WINAPI GetMenuDefaultItem(HMENU handle, UINT byPosition, UINT)
{
    Menu* menu = FindMenu(handle);
    if (!menu) return static_cast<UINT>(-1);
    for (size_t i = 0; i < menu->items.size(); ++i)
        if (menu->items[i].state & MFS_DEFAULT) return byPosition ? static_cast<UINT>(i) : menu->items[i].id;
    return static_cast<UINT>(-1);
}

BOOL WINAPI TrackPopupMenu(HMENU handle, UINT flags, int x, int y, int, HWND owner, const RECT*)
{
    if (!FindMenu(handle)) {
        W().lastError = ERROR_INVALID_MENU_HANDLE;
        return FALSE;
    }
    if (!FindWindow(owner)) {
        W().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    MenuShowing showing;
    showing.items = MenuView(handle);
    showing.flags = flags;
    showing.at = POINT{x, y};
    showing.owner = owner;
    showing.foreground = W().foreground;
    showing.shownAt = W().now;
    W().menusShown.push_back(showing);
    Log("TrackPopupMenu " + Hex(flags));

    Tracking tracking;
    tracking.menu = handle;
    W().tracking.push_back(&tracking);
    struct Pop {
        ~Pop() { W().tracking.pop_back(); }
    } pop;
    // The open menu is drawn again whenever the program has handled a
    // message, so every such moment must find its pictures alive.
    ModalLoop(NULL, [&tracking, handle] {
        CheckShownBitmaps(handle);
        return tracking.done;
    }, "the pop-up menu");
    Log("menu closed, command " + std::to_string(tracking.chosen));

    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(tracking.chosen);
    if (tracking.chosen) PostMessageA(owner, WM_COMMAND, tracking.chosen, 0);
    return tracking.chosen != 0;
}
