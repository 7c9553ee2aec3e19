// The simulated system's dialogs where the program relies on Windows'
// behaviour: controls from the templates, focus, typing into edits, button
// clicks, nested modal loops, the common controls and the file-open dialog.
// Each check names the Wine conformance test or source that records it.
#include <commctrl.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "Scenario.h"
#include "res/resource.h"

namespace {

using WinsimDialogsTest = Scenario;

std::vector<int> commands;   // control identifiers of WM_COMMAND, in order
char typed[8];
HWND nested;

INT_PTR CALLBACK Recorder(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    commands.push_back(LOWORD(wParam));
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        GetDlgItemTextA(dialog, IDC_OLD_PASSWORD, typed, sizeof typed);
        EndDialog(dialog, LOWORD(wParam));
    }
    return TRUE;
}

INT_PTR CALLBACK LimitedPrompt(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SendDlgItemMessageA(dialog, IDC_OLD_PASSWORD, EM_LIMITTEXT, 5, 0);
        SetDlgItemTextW(dialog, IDC_OLD_PASSWORD, u"ab");
    }
    return Recorder(dialog, message, wParam, lParam);
}

// Opens a prompt over itself when its OK button is clicked.
INT_PTR CALLBACK Nesting(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_CHANGE_PASSWORD) {
        commands.push_back(IDC_CHANGE_PASSWORD);
        commands.push_back(static_cast<int>(
            DialogBoxParamA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDD_PASSWORD_PROMPT), dialog, Recorder, 0)));
        return TRUE;
    }
    return Recorder(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK DestroyedInInit(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) DestroyWindow(dialog);
    return TRUE;
}

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

HWND Create(int templateId, DLGPROC procedure = Quiet)
{
    return CreateDialogParamA(sim::ProgramInstance(), MAKEINTRESOURCEA(templateId), NULL, procedure, 0);
}

INT_PTR RunModal(int templateId, DLGPROC procedure, HWND owner = NULL)
{
    return DialogBoxParamA(sim::ProgramInstance(), MAKEINTRESOURCEA(templateId), owner, procedure, 0);
}

}  // namespace

TEST_F(WinsimDialogsTest, ControlsComeFromTheTemplateAndTrueFromInitFocusesTheFirstTabStop)
{
    // test_SaveRestoreFocus: the first edit has the focus after creation.
    HWND dialog = Create(IDD_OPTIONS);
    std::optional<sim::DialogView> view = sim::DialogInfo(dialog);
    ASSERT_TRUE(view);
    EXPECT_EQ(20u, view->controls.size());
    EXPECT_EQ("msctls_hotkey32", view->Control(IDC_HOTKEY).className);
    EXPECT_EQ(static_cast<DWORD>(ES_NUMBER), view->Control(IDC_TIME).style & ES_NUMBER);
    EXPECT_EQ(IDC_TIME, view->Control(IDC_TIME_UPDOWN).buddyId) << "UDS_AUTOBUDDY takes the control made before";
    EXPECT_FALSE(view->Control(-1).enabled);
    EXPECT_TRUE(view->visible && view->active);
    EXPECT_EQ(IDC_LOAD_AT_STARTUP, view->focusId);

    // Disabling the control with the focus leaves no focus; it does not come
    // back when the dialog is activated again (test_SaveRestoreFocus).
    EXPECT_FALSE(EnableWindow(GetFocus(), FALSE));
    EXPECT_EQ(NULL, GetFocus());
    HWND other = Create(IDD_ABOUT);
    EXPECT_EQ(other, GetActiveWindow());
    SetActiveWindow(dialog);
    EXPECT_EQ(NULL, GetFocus());
    EXPECT_EQ(NULL, SetFocus(GetDlgItem(dialog, -1))) << "a disabled window takes no focus";
}

TEST_F(WinsimDialogsTest, TypingKeepsToTheLimitAndReplacesTheSelectionButSettingTextDoesNot)
{
    // edit.c: WM_CHAR goes through EM_REPLACESEL with the limit honoured,
    // WM_SETTEXT without it; the dialog selects the whole text it focuses.
    commands.clear();
    user.WhenDialogShows(IDD_PASSWORD_PROMPT).Type("xyzwvu").Do("look", [] {
        sim::ControlView edit = sim::OpenDialog(IDD_PASSWORD_PROMPT)->Control(IDC_OLD_PASSWORD);
        EXPECT_EQ("xyzwv", edit.text) << "the selected \"ab\" gave way; the 6th key was refused";
        EXPECT_EQ("*****", edit.shown);
        EXPECT_EQ(1, edit.refusedKeys);
    }).Do("set", [] {
        HWND prompt = sim::OpenDialog(IDD_PASSWORD_PROMPT)->handle;
        SetDlgItemTextA(prompt, IDC_OLD_PASSWORD, "0123456789");
        SendDlgItemMessageA(prompt, IDC_OLD_PASSWORD, EM_SETSEL, 2, 4);
    }).Paste("AB\r\nCD").PressKey(VK_RETURN);
    EXPECT_EQ(IDOK, RunModal(IDD_PASSWORD_PROMPT, LimitedPrompt));
    EXPECT_STREQ("0145678", typed) << "the paste did not fit, the selection went; a read fits its buffer";
    EXPECT_EQ(std::vector<int>{IDOK}, commands) << "Enter presses the default push button";
}

TEST_F(WinsimDialogsTest, DigitsOnlyEditsRefuseOtherKeysButNotAPaste)
{
    // MSDN (ES_NUMBER): typing is limited to digits; a paste is not checked.
    HWND dialog = NULL;
    user.WhenDialogShows(IDD_OPTIONS).Do("focus", [&dialog] {
        dialog = sim::OpenDialog(IDD_OPTIONS)->handle;
        SetFocus(GetDlgItem(dialog, IDC_TIME));
    }).Type("1a2").Paste("x9").Do("look", [&dialog] {
        EXPECT_EQ("12x9", sim::DialogInfo(dialog)->Control(IDC_TIME).text);
        EXPECT_EQ(1, sim::DialogInfo(dialog)->Control(IDC_TIME).refusedKeys);
        // GetDlgItemInt skips leading blanks and stops at the first other character.
        BOOL translated = FALSE;
        EXPECT_EQ(12u, GetDlgItemInt(dialog, IDC_TIME, &translated, FALSE));
        EXPECT_TRUE(translated);
        SetDlgItemTextA(dialog, IDC_TIME, " x1");
        EXPECT_EQ(0u, GetDlgItemInt(dialog, IDC_TIME, &translated, FALSE));
        EXPECT_FALSE(translated);
    }).PressKey(VK_ESCAPE);
    EXPECT_EQ(IDCANCEL, RunModal(IDD_OPTIONS, Recorder));
}

TEST_F(WinsimDialogsTest, ButtonClicksNeedAnActiveDialogAndTickAutomaticCheckBoxesFirst)
{
    // MSDN (BM_CLICK): the click may fail on a dialog that is not active.
    commands.clear();
    HWND options = Create(IDD_OPTIONS, Recorder);
    HWND about = Create(IDD_ABOUT, Recorder);
    ASSERT_EQ(about, GetActiveWindow());
    SendDlgItemMessageA(options, IDC_AUTOCLOSE, BM_CLICK, 0, 0);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(options, IDC_AUTOCLOSE));
    SetActiveWindow(options);
    SendDlgItemMessageA(options, IDC_AUTOCLOSE, BM_CLICK, 0, 0);
    EXPECT_EQ(std::vector<int>{IDC_AUTOCLOSE}, commands);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(options, IDC_AUTOCLOSE));
    EnableWindow(GetDlgItem(options, IDC_BROWSE), FALSE);
    SendDlgItemMessageA(options, IDC_BROWSE, BM_CLICK, 0, 0);
    EXPECT_EQ(1u, commands.size()) << "a disabled button does not click";
    CheckDlgButton(options, IDC_BROWSE, BST_CHECKED);
    EXPECT_EQ(0u, IsDlgButtonChecked(options, IDC_BROWSE)) << "a push button has no check state";
}

TEST_F(WinsimDialogsTest, NestedModalDialogsAndOneDestroyedFromAnInnerLoop)
{
    // test_DialogBoxParam: an owner that is no window gives 0, a dialog
    // destroyed in WM_INITDIALOG -1, one destroyed later from a loop 0.
    EXPECT_EQ(0, RunModal(IDD_PASSWORD_PROMPT, Recorder, reinterpret_cast<HWND>(0x4444)));
    EXPECT_EQ(-1, RunModal(IDD_PASSWORD_PROMPT, DestroyedInInit));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());

    commands.clear();
    user.ClickButton(IDD_OPTIONS, IDC_CHANGE_PASSWORD).WhenDialogShows(IDD_PASSWORD_PROMPT).Do("check", [] {
        std::optional<sim::DialogView> options = sim::OpenDialog(IDD_OPTIONS);
        EXPECT_FALSE(options->enabled) << "the owner of a modal dialog is disabled";
        EXPECT_TRUE(sim::OpenDialog(IDD_PASSWORD_PROMPT)->active);
        nested = sim::OpenDialog(IDD_PASSWORD_PROMPT)->handle;
    }).Do("destroy", [] { DestroyWindow(nested); }).Do("check", [] {
        EXPECT_FALSE(sim::OpenDialog(IDD_OPTIONS)->enabled) << "only EndDialog enables the owner again";
        EnableWindow(sim::OpenDialog(IDD_OPTIONS)->handle, TRUE);
    }).ClickButton(IDC_CHANGE_PASSWORD).ClickButton(IDCANCEL).Do("check", [] {
        EXPECT_TRUE(sim::OpenDialog(IDD_OPTIONS)->active) << "the owner is active again";
        EXPECT_TRUE(sim::OpenDialog(IDD_OPTIONS)->enabled);
    }).PressKey(VK_ESCAPE);
    EXPECT_EQ(IDCANCEL, RunModal(IDD_OPTIONS, Nesting));
    EXPECT_EQ((std::vector<int>{IDC_CHANGE_PASSWORD, 0, IDC_CHANGE_PASSWORD, IDCANCEL, IDCANCEL, IDCANCEL}), commands);
}

TEST_F(WinsimDialogsTest, EnterSkipsADisabledDefaultButtonAndTheTopmostFlagIsKept)
{
    // test_DisabledDialogTest: Enter does not press a disabled default button.
    commands.clear();
    HWND dialog = Create(IDD_AUTOCLOSE, Recorder);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    EXPECT_TRUE(SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_TRUE(sim::DialogInfo(dialog)->topmost);
    MSG enter = {dialog, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(dialog, &enter));
    EXPECT_TRUE(commands.empty());
    EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
    EXPECT_TRUE(IsDialogMessageA(dialog, &enter));
    EXPECT_EQ(std::vector<int>{IDOK}, commands);
}

TEST_F(WinsimDialogsTest, HotKeyRulesApplyToKeysPressedAndUpDownClampsAndReadsItsBuddy)
{
    // comctl32 hotkey.c: HKM_SETHOTKEY takes the value as it is; a pressed
    // combination the rules refuse gets their modifiers. updown.c: UDM_SETPOS
    // clamps to the range; UDM_GETPOS reads the buddy back and flags a bad one.
    HWND dialog = Create(IDD_OPTIONS);
    HWND hotKey = GetDlgItem(dialog, IDC_HOTKEY);
    SendMessageA(hotKey, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendMessageA(hotKey, HKM_SETHOTKEY, 'Q', 0);
    EXPECT_EQ('Q', SendMessageA(hotKey, HKM_GETHOTKEY, 0, 0));
    user.SetHotKey(IDC_HOTKEY, 'K').Do("look", [hotKey] {
        EXPECT_EQ(MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT), SendMessageA(hotKey, HKM_GETHOTKEY, 0, 0));
    }).SetHotKey(IDC_HOTKEY, MAKEWORD('K', HOTKEYF_SHIFT)).SetHotKey(IDC_HOTKEY, VK_SPACE).AnswerMessageBox(IDOK);
    MessageBoxA(NULL, "wait", "t", MB_OK);
    EXPECT_EQ(0, SendMessageA(hotKey, HKM_GETHOTKEY, 0, 0)) << "Space clears the control";

    HWND upDown = GetDlgItem(dialog, IDC_TIME_UPDOWN);
    EXPECT_EQ(MAKELONG(0, 100), SendMessageA(upDown, UDM_GETRANGE, 0, 0)) << "the default range";
    SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(300, 5));
    SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(400, 0));
    EXPECT_EQ("300", sim::DialogInfo(dialog)->Control(IDC_TIME).text);
    SetDlgItemTextA(dialog, IDC_TIME, "42");
    EXPECT_EQ(MAKELONG(42, 0), SendMessageA(upDown, UDM_GETPOS, 0, 0));
    SetDlgItemTextA(dialog, IDC_TIME, "3");
    EXPECT_EQ(MAKELONG(42, 1), SendMessageA(upDown, UDM_GETPOS, 0, 0));
    SendMessageA(upDown, UDM_SETRANGE32, 0, 5000);
    SendMessageA(upDown, UDM_SETPOS32, 0, 1234);
    EXPECT_EQ("1,234", sim::DialogInfo(dialog)->Control(IDC_TIME).text) << "thousands separated";
}

TEST_F(WinsimDialogsTest, FileOpenDialogIsRecordedAndMovesTheCurrentDirectory)
{
    sim::AddFile("C:\\Players\\Музыка\\play.exe");
    sim::AddFile("C:\\Players\\cd.exe");
    char file[20] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = "Programs\0*.exe\0All\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    user.ChooseFile("C:\\Players\\cd.exe").ChooseFile("C:\\Players\\Музыка\\play.exe").CancelFileDialog();
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_STREQ("C:\\Players\\cd.exe", file);
    EXPECT_EQ(11, ofn.nFileOffset);
    EXPECT_EQ("C:\\Players", sim::CurrentDirectory());
    ASSERT_FALSE(GetOpenFileNameA(&ofn)) << "the path does not fit";
    EXPECT_EQ(static_cast<DWORD>(FNERR_BUFFERTOOSMALL), CommDlgExtendedError());
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(0u, CommDlgExtendedError()) << "Cancel";
    ASSERT_EQ(3u, sim::FileDialogs().size());
    EXPECT_EQ("All", sim::FileDialogs()[0].filter[1].first);

    // The A call gives what the ANSI code page can hold; the W call all of it.
    WCHAR wide[64] = {};
    OPENFILENAMEW ofnW = {};
    ofnW.lStructSize = sizeof ofnW;
    ofnW.lpstrFile = wide;
    ofnW.nMaxFile = 64;
    ofnW.Flags = OFN_NOCHANGEDIR;
    char ansi[64] = "";
    ofn.lpstrFile = ansi;
    ofn.nMaxFile = sizeof ansi;
    user.ChooseFile("C:\\Players\\Музыка\\play.exe").ChooseFile("C:\\Players\\Музыка\\play.exe");
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_STREQ("C:\\Players\\??????\\play.exe", ansi);
    ASSERT_TRUE(GetOpenFileNameW(&ofnW));
    EXPECT_EQ(std::u16string(u"C:\\Players\\Музыка\\play.exe"), std::u16string(wide));
    EXPECT_EQ("C:\\Players\\Музыка", sim::CurrentDirectory()) << "OFN_NOCHANGEDIR keeps it";
}

TEST_F(WinsimDialogsTest, CopyAndDeleteFilesFailAsWindowsDoes)
{
    sim::AddFile("C:\\A\\Dorvane.lnk", "link");
    sim::AddDirectory("C:\\Startup");
    EXPECT_TRUE(CopyFileA("C:\\A\\Dorvane.lnk", "C:\\Startup\\Dorvane.lnk", TRUE));
    EXPECT_FALSE(CopyFileA("C:\\A\\Dorvane.lnk", "C:\\Startup\\Dorvane.lnk", TRUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());
    EXPECT_FALSE(CopyFileA("C:\\A\\none.lnk", "C:\\Startup\\x.lnk", FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(CopyFileA("C:\\A\\Dorvane.lnk", "C:\\Nowhere\\x.lnk", FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    sim::FailCall("DeleteFileA", "C:\\Startup\\Dorvane.lnk");
    EXPECT_FALSE(DeleteFileA("C:\\Startup\\Dorvane.lnk"));
    EXPECT_TRUE(DeleteFileA("C:\\Startup\\Dorvane.lnk"));
    EXPECT_FALSE(sim::FileExists("C:\\Startup\\Dorvane.lnk"));
    EXPECT_FALSE(DeleteFileA("C:\\Startup\\Dorvane.lnk"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}
