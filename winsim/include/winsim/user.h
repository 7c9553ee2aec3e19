// Windows, dialogs, messages, menus, message boxes, timers, hot keys, icons.
#ifndef WINSIM_USER_H
#define WINSIM_USER_H

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef VOID(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

// ---- Messages ----
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_SHOWWINDOW 0x0018
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_NCDESTROY 0x0082
#define WM_SETICON 0x0080
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_DEVICECHANGE 0x0219
#define WM_HOTKEY 0x0312
#define WM_USER 0x0400

#define WM_PASTE 0x0302
#define WM_VSCROLL 0x0115

// ---- Buttons ----
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#define BN_CLICKED 0
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_RADIOBUTTON 0x00000004L
#define BS_3STATE 0x00000005L
#define BS_AUTO3STATE 0x00000006L
#define BS_GROUPBOX 0x00000007L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_TYPEMASK 0x0000000FL
#define BS_LEFTTEXT 0x00000020L
#define BS_ICON 0x00000040L
#define BS_BITMAP 0x00000080L
#define BS_LEFT 0x00000100L
#define BS_RIGHT 0x00000200L
#define BS_CENTER 0x00000300L
#define BS_MULTILINE 0x00002000L
#define BS_NOTIFY 0x00004000L
#define BS_FLAT 0x00008000L

// ---- Edit controls ----
#define ES_LEFT 0x0000L
#define ES_CENTER 0x0001L
#define ES_RIGHT 0x0002L
#define ES_MULTILINE 0x0004L
#define ES_UPPERCASE 0x0008L
#define ES_LOWERCASE 0x0010L
#define ES_PASSWORD 0x0020L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NOHIDESEL 0x0100L
#define ES_OEMCONVERT 0x0400L
#define ES_READONLY 0x0800L
#define ES_WANTRETURN 0x1000L
#define ES_NUMBER 0x2000L
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_REPLACESEL 0x00C2
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_GETLIMITTEXT 0x00D5
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define EN_MAXTEXT 0x0501

// ---- Static controls ----
#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_ICON 0x00000003L
#define SS_BLACKRECT 0x00000004L
#define SS_GRAYRECT 0x00000005L
#define SS_WHITERECT 0x00000006L
#define SS_BLACKFRAME 0x00000007L
#define SS_GRAYFRAME 0x00000008L
#define SS_WHITEFRAME 0x00000009L
#define SS_ETCHEDHORZ 0x00000010L
#define SS_ETCHEDVERT 0x00000011L
#define SS_ETCHEDFRAME 0x00000012L
#define SS_TYPEMASK 0x0000001FL
#define SS_NOPREFIX 0x00000080L
#define SS_NOTIFY 0x00000100L
#define SS_CENTERIMAGE 0x00000200L
#define SS_REALSIZEIMAGE 0x00000800L
#define SS_SUNKEN 0x00001000L

// ---- Dialog manager ----
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

#define ICON_SMALL 0
#define ICON_BIG 1

// ---- Window and dialog styles ----
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_NOPARENTNOTIFY 0x00000004L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TRANSPARENT 0x00000020L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_CONTROLPARENT 0x00010000L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_APPWINDOW 0x00040000L

#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_3DLOOK 0x04L
#define DS_FIXEDSYS 0x08L
#define DS_NOFAILCREATE 0x10L
#define DS_LOCALEDIT 0x20L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

// ---- Window data ----
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_USERDATA (-21)
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC (DWLP_MSGRESULT + sizeof(LRESULT))
#define DWLP_USER (DWLP_DLGPROC + sizeof(DLGPROC))

// ---- Show commands ----
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOW 5
#define SW_SHOWNOACTIVATE 4
#define SW_SHOWNA 8
#define SW_SHOWDEFAULT 10

// ---- Window positions ----
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

// ---- Message boxes ----
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_CANCELTRYCONTINUE 0x00000006L
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_DEFBUTTON2 0x00000100L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L
#define MB_TYPEMASK 0x0000000FL

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDTRYAGAIN 10
#define IDCONTINUE 11

// ---- Menus ----
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_POPUP 0x00000010L
#define MF_STRING 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_ENABLED 0x00000000L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_USECHECKBITMAPS 0x00000200L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L
#define MF_SYSMENU 0x00002000L
#define MF_HELP 0x00004000L
#define MF_MOUSESELECT 0x00008000L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L

#define MFT_STRING MF_STRING
#define MFT_BITMAP 0x00000004L
#define MFT_MENUBARBREAK MF_MENUBARBREAK
#define MFT_MENUBREAK MF_MENUBREAK
#define MFT_OWNERDRAW MF_OWNERDRAW
#define MFT_RADIOCHECK 0x00000200L
#define MFT_SEPARATOR MF_SEPARATOR
#define MFT_RIGHTORDER 0x00002000L
#define MFT_RIGHTJUSTIFY MF_HELP
#define MFS_GRAYED 0x00000003L
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED MF_CHECKED
#define MFS_HILITE 0x00000080L
#define MFS_ENABLED 0x00000000L
#define MFS_UNCHECKED 0x00000000L
#define MFS_DEFAULT 0x00001000L

#define MIIM_STATE 0x00000001
#define MIIM_ID 0x00000002
#define MIIM_SUBMENU 0x00000004
#define MIIM_CHECKMARKS 0x00000008
#define MIIM_TYPE 0x00000010
#define MIIM_DATA 0x00000020
#define MIIM_STRING 0x00000040
#define MIIM_BITMAP 0x00000080
#define MIIM_FTYPE 0x00000100

#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

#define GMDI_USEDISABLED 0x0001L

typedef struct tagMENUITEMINFOA {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
} MENUITEMINFOA, *LPMENUITEMINFOA;
typedef const MENUITEMINFOA* LPCMENUITEMINFOA;

typedef struct tagMENUITEMINFOW {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPWSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
} MENUITEMINFOW, *LPMENUITEMINFOW;
typedef const MENUITEMINFOW* LPCMENUITEMINFOW;

// ---- Hot keys ----
#define MOD_ALT 0x0001
#define MOD_CONTROL 0x0002
#define MOD_SHIFT 0x0004
#define MOD_WIN 0x0008
#define MOD_NOREPEAT 0x4000

#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_TAB 0x09
#define VK_BACK 0x08
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_DELETE 0x2E

#define USER_TIMER_MINIMUM 0x0000000A

// ---- Windows and dialogs ----
WINSIM_EXTERN_C HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                                               DLGPROC dialogProc, LPARAM initParam);
WINSIM_EXTERN_C INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner,
                                               DLGPROC dialogProc, LPARAM initParam);
WINSIM_EXTERN_C INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                                               DLGPROC dialogProc, LPARAM initParam);
WINSIM_EXTERN_C BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
WINSIM_EXTERN_C BOOL WINAPI DestroyWindow(HWND window);
WINSIM_EXTERN_C BOOL WINAPI IsWindow(HWND window);
WINSIM_EXTERN_C HWND WINAPI GetDlgItem(HWND dialog, int id);
WINSIM_EXTERN_C LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
WINSIM_EXTERN_C LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index);
WINSIM_EXTERN_C BOOL WINAPI SetForegroundWindow(HWND window);
WINSIM_EXTERN_C HWND WINAPI GetForegroundWindow(void);
WINSIM_EXTERN_C HWND WINAPI SetActiveWindow(HWND window);
WINSIM_EXTERN_C HWND WINAPI GetDesktopWindow(void);
WINSIM_EXTERN_C BOOL WINAPI GetCursorPos(LPPOINT point);
WINSIM_EXTERN_C HWND WINAPI GetActiveWindow(void);
WINSIM_EXTERN_C HWND WINAPI SetFocus(HWND window);
WINSIM_EXTERN_C HWND WINAPI GetFocus(void);
WINSIM_EXTERN_C BOOL WINAPI EnableWindow(HWND window, BOOL enable);
WINSIM_EXTERN_C BOOL WINAPI IsWindowEnabled(HWND window);
WINSIM_EXTERN_C BOOL WINAPI ShowWindow(HWND window, int command);
WINSIM_EXTERN_C BOOL WINAPI IsWindowVisible(HWND window);
WINSIM_EXTERN_C BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
WINSIM_EXTERN_C int WINAPI GetDlgCtrlID(HWND window);
WINSIM_EXTERN_C HWND WINAPI GetParent(HWND window);

// ---- Window and control texts ----
WINSIM_EXTERN_C BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
WINSIM_EXTERN_C BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text);
WINSIM_EXTERN_C int WINAPI GetWindowTextA(HWND window, LPSTR text, int count);
WINSIM_EXTERN_C int WINAPI GetWindowTextW(HWND window, LPWSTR text, int count);
WINSIM_EXTERN_C int WINAPI GetWindowTextLengthA(HWND window);
WINSIM_EXTERN_C BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
WINSIM_EXTERN_C BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
WINSIM_EXTERN_C UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int count);
WINSIM_EXTERN_C UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int count);
WINSIM_EXTERN_C BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
WINSIM_EXTERN_C UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
WINSIM_EXTERN_C LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
WINSIM_EXTERN_C BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
WINSIM_EXTERN_C UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);

// ---- Messages ----
WINSIM_EXTERN_C BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
WINSIM_EXTERN_C BOOL WINAPI TranslateMessage(const MSG* message);
WINSIM_EXTERN_C LRESULT WINAPI DispatchMessageA(const MSG* message);
WINSIM_EXTERN_C BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message);
WINSIM_EXTERN_C LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINSIM_EXTERN_C BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINSIM_EXTERN_C void WINAPI PostQuitMessage(int exitCode);

// ---- Message boxes ----
WINSIM_EXTERN_C int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
WINSIM_EXTERN_C int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---- Menus ----
WINSIM_EXTERN_C HMENU WINAPI LoadMenuA(HINSTANCE instance, LPCSTR menuName);
WINSIM_EXTERN_C HMENU WINAPI GetSubMenu(HMENU menu, int position);
WINSIM_EXTERN_C BOOL WINAPI DestroyMenu(HMENU menu);
WINSIM_EXTERN_C BOOL WINAPI SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
WINSIM_EXTERN_C UINT WINAPI GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
WINSIM_EXTERN_C BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                                           const RECT* rect);
WINSIM_EXTERN_C BOOL WINAPI InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
WINSIM_EXTERN_C BOOL WINAPI InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info);
WINSIM_EXTERN_C BOOL WINAPI SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
WINSIM_EXTERN_C BOOL WINAPI SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info);
WINSIM_EXTERN_C BOOL WINAPI GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info);
WINSIM_EXTERN_C BOOL WINAPI GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOW info);
WINSIM_EXTERN_C BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags);
WINSIM_EXTERN_C BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags);
WINSIM_EXTERN_C UINT WINAPI GetMenuItemID(HMENU menu, int position);
WINSIM_EXTERN_C int WINAPI GetMenuItemCount(HMENU menu);
WINSIM_EXTERN_C DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check);
WINSIM_EXTERN_C BOOL WINAPI DrawMenuBar(HWND window);

// ---- Timers and hot keys ----
WINSIM_EXTERN_C UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC timerProc);
WINSIM_EXTERN_C BOOL WINAPI KillTimer(HWND window, UINT_PTR id);
WINSIM_EXTERN_C BOOL WINAPI RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey);
WINSIM_EXTERN_C BOOL WINAPI UnregisterHotKey(HWND window, int id);

// ---- Icons ----
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define LR_DEFAULTCOLOR 0x00000000
#define LR_DEFAULTSIZE 0x00000040
#define LR_SHARED 0x00008000

WINSIM_EXTERN_C HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName);
WINSIM_EXTERN_C HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
WINSIM_EXTERN_C BOOL WINAPI DestroyIcon(HICON icon);

// ---- Metrics, monitors and display scale ----
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define USER_DEFAULT_SCREEN_DPI 96
#define MONITOR_DEFAULTTONULL 0x00000000
#define MONITOR_DEFAULTTOPRIMARY 0x00000001
#define MONITOR_DEFAULTTONEAREST 0x00000002

WINSIM_EXTERN_C int WINAPI GetSystemMetrics(int index);
// Windows 10 (1607) and later.
WINSIM_EXTERN_C int WINAPI GetSystemMetricsForDpi(int index, UINT dpi);
WINSIM_EXTERN_C HMONITOR WINAPI MonitorFromPoint(POINT point, DWORD flags);
WINSIM_EXTERN_C HMONITOR WINAPI MonitorFromWindow(HWND window, DWORD flags);
// Only the shell's taskbar ("Shell_TrayWnd") is there to be found.
WINSIM_EXTERN_C HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName);

// ---- Registered messages and the message filter of an elevated program ----
#define MSGFLT_ADD 1
#define MSGFLT_REMOVE 2
#define MSGFLT_RESET 0
#define MSGFLT_ALLOW 1
#define MSGFLT_DISALLOW 2

typedef struct tagCHANGEFILTERSTRUCT {
    DWORD cbSize;
    DWORD ExtStatus;
} CHANGEFILTERSTRUCT, *PCHANGEFILTERSTRUCT;

WINSIM_EXTERN_C UINT WINAPI RegisterWindowMessageA(LPCSTR name);
// Windows Vista and later: for the whole process.
WINSIM_EXTERN_C BOOL WINAPI ChangeWindowMessageFilter(UINT message, DWORD flag);
// Windows 7 and later: for one window.
WINSIM_EXTERN_C BOOL WINAPI ChangeWindowMessageFilterEx(HWND window, UINT message, DWORD action,
                                                        PCHANGEFILTERSTRUCT changeFilter);

// ---- Bitmaps ----
WINSIM_EXTERN_C HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR bitmapName);
WINSIM_EXTERN_C BOOL WINAPI DeleteObject(HGDIOBJ object);

// ---- Code pages ----
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400

WINSIM_EXTERN_C UINT WINAPI GetACP(void);
WINSIM_EXTERN_C int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteCount,
                                               LPWSTR wide, int wideCount);
WINSIM_EXTERN_C int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount,
                                               LPSTR multiByte, int multiByteCount, LPCSTR defaultChar,
                                               LPBOOL usedDefaultChar);

#endif
