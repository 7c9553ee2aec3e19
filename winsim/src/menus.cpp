// Menus from the program's resources, and the modal tracking of a pop-up.
#include "world.h"

namespace sim {

namespace {

HMENU BuildMenu(const std::vector<MenuTemplateItem>& items)
{
    HMENU handle = reinterpret_cast<HMENU>(NewHandleValue());
    Menu menu;
    for (const MenuTemplateItem& source : items) {
        MenuItem item;
        item.id = source.popup ? 0 : source.id;
        item.type = source.type;
        item.state = source.state;
        item.text = source.text;
        if (source.popup) item.popup = BuildMenu(source.items);
        menu.items.push_back(item);
    }
    W().menus[handle] = menu;
    return handle;
}

std::vector<MenuItemView> View(HMENU handle)
{
    std::vector<MenuItemView> views;
    auto found = W().menus.find(handle);
    if (found == W().menus.end()) return views;
    for (const MenuItem& item : found->second.items) {
        MenuItemView view;
        view.id = item.id;
        view.type = item.type;
        view.state = item.state;
        view.text = item.text;
        view.isPopup = item.popup != NULL;
        if (item.popup) view.popup = View(item.popup);
        views.push_back(view);
    }
    return views;
}

void Destroy(HMENU handle)
{
    auto found = W().menus.find(handle);
    if (found == W().menus.end() || found->second.destroyed) return;
    found->second.destroyed = true;
    for (const MenuItem& item : found->second.items)
        if (item.popup) Destroy(item.popup);
}

}  // namespace

Menu* FindMenu(HMENU handle)
{
    auto found = W().menus.find(handle);
    return found == W().menus.end() || found->second.destroyed ? NULL : &found->second;
}

// The item with command `id` anywhere in the menu and its pop-ups.
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

std::vector<MenuItemView> MenuItems(HMENU menu)
{
    return View(menu);
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
    showing.items = View(handle);
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
    ModalLoop(NULL, [&tracking] { return tracking.done; }, "the pop-up menu");
    Log("menu closed, command " + std::to_string(tracking.chosen));

    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(tracking.chosen);
    if (tracking.chosen) PostMessageA(owner, WM_COMMAND, tracking.chosen, 0);
    return tracking.chosen != 0;
}
