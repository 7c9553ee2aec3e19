// The simulated system's messages, windows and dialogs, where the program
// relies on Windows' behaviour and its own tests would agree with a mistake
// of the simulation. Each check is what Windows does, as Wine's conformance
// tests (dlls/user32/tests, dlls/comctl32/tests, dlls/comdlg32/tests) record it.
#include <commctrl.h>
#include <commdlg.h>

#include "Scenario.h"
#include "res/resource.h"

namespace {

using WinsimTest = Scenario;

int ticks;
std::vector<int> commands;   // control identifiers of WM_COMMAND, and WM_HOTKEY and WM_USER + 1 as themselves
char typed[8];

VOID CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++ticks;
}

INT_PTR CALLBACK Recorder(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_HOTKEY || message == WM_USER + 1) commands.push_back(static_cast<int>(message));
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    commands.push_back(LOWORD(wParam));
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        GetDlgItemTextA(dialog, IDC_OLD_PASSWORD, typed, sizeof typed);
        EndDialog(dialog, LOWORD(wParam));
    }
    if (LOWORD(wParam) == IDC_CHANGE_PASSWORD)   // a modal prompt over this dialog
        commands.push_back(static_cast<int>(
            DialogBoxParamA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDD_PASSWORD_PROMPT), dialog, Recorder, 0)));
    return TRUE;
}

HWND Create(int templateId)
{
    return CreateDialogParamA(sim::ProgramInstance(), MAKEINTRESOURCEA(templateId), NULL, Recorder, 0);
}

INT_PTR RunModal(int templateId, HWND owner = NULL)
{
    return DialogBoxParamA(sim::ProgramInstance(), MAKEINTRESOURCEA(templateId), owner, Recorder, 0);
}

}  // namespace

TEST_F(WinsimTest, AMessageBoxDispatchesTimersHotKeysAndPostsAndEndsOnAQuitRequest)
{
    commands.clear();
    ticks = 0;
    HWND window = TestWindow(Recorder);
    SetTimer(window, 7, 100, CountTick);
    ASSERT_TRUE(RegisterHotKey(window, 5, MOD_CONTROL, 'K'));
    user.PressKeys(MOD_CONTROL, 'K').PressKeys(MOD_ALT, 'K');
    Step([window] { PostMessageA(window, WM_USER + 1, 0, 0); });
    user.Wait(1000).AnswerMessageBox(IDOK);
    EXPECT_EQ(IDOK, MessageBoxA(window, "first", "t", MB_OK));
    EXPECT_EQ(10, ticks);
    EXPECT_EQ((std::vector<int>{WM_HOTKEY, WM_USER + 1}), commands);
    // A pending quit request ends the box at once, with no answer, and stays pending.
    PostQuitMessage(3);
    EXPECT_EQ(0, MessageBoxA(NULL, "second", "t", MB_OK));
    MSG message;
    EXPECT_FALSE(GetMessageA(&message, NULL, 0, 0));
    EXPECT_EQ(3u, message.wParam);
    // GetMessage filtered on a window leaves the others' messages queued; a window that is gone is an error.
    HWND other = TestWindow();
    PostMessageA(other, WM_USER, 1, 0);
    PostMessageA(window, WM_USER, 2, 0);
    ASSERT_TRUE(GetMessageA(&message, window, 0, 0));
    EXPECT_EQ(2u, message.wParam);
    DestroyWindow(window);
    EXPECT_EQ(-1, GetMessageA(&message, window, 0, 0));
    // Hot keys belong to one window and go with it.
    EXPECT_TRUE(RegisterHotKey(other, 5, MOD_CONTROL, 'K')) << "destroying a window frees its hot keys";
    EXPECT_FALSE(RegisterHotKey(TestWindow(), 5, MOD_CONTROL | MOD_NOREPEAT, 'K'));
    EXPECT_EQ(static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED), GetLastError());
}

TEST_F(WinsimTest, DialogsFocusClickAndTypeAsWindowsDoes)
{
    // test_SaveRestoreFocus: TRUE from WM_INITDIALOG focuses the first tab stop; a
    // disabled control loses the focus, which does not come back on activation.
    HWND options = Create(IDD_OPTIONS);
    sim::DialogView view = *sim::DialogInfo(options);
    EXPECT_EQ(IDC_LOAD_AT_STARTUP, view.focusId);
    EXPECT_EQ(IDC_TIME, view.Control(IDC_TIME_UPDOWN).buddyId) << "UDS_AUTOBUDDY takes the control made before";
    EnableWindow(GetFocus(), FALSE);
    EXPECT_EQ(NULL, GetFocus());
    HWND about = Create(IDD_ABOUT);
    EXPECT_EQ(about, GetActiveWindow());
    // BM_CLICK (MSDN): lost on a dialog that is not active; an automatic check box ticks before it notifies.
    commands.clear();
    SendDlgItemMessageA(options, IDC_AUTOCLOSE, BM_CLICK, 0, 0);
    EXPECT_TRUE(commands.empty());
    SetActiveWindow(options);
    EXPECT_EQ(NULL, GetFocus());
    SendDlgItemMessageA(options, IDC_AUTOCLOSE, BM_CLICK, 0, 0);
    EXPECT_EQ(std::vector<int>{IDC_AUTOCLOSE}, commands);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(options, IDC_AUTOCLOSE));
    EnableWindow(GetDlgItem(options, IDC_BROWSE), FALSE);
    SendDlgItemMessageA(options, IDC_BROWSE, BM_CLICK, 0, 0);
    EXPECT_EQ(1u, commands.size()) << "a disabled button does not click";

    // edit.c: typing keeps to the limit and replaces the selection (the whole text of the edit
    // the dialog focuses); WM_SETTEXT does not keep to it; a digits-only edit refuses other keys, not a paste.
    commands.clear();
    user.WhenDialogShows(IDD_PASSWORD_PROMPT);
    Step([] {
        HWND prompt = sim::OpenDialog(IDD_PASSWORD_PROMPT)->handle;
        SendDlgItemMessageA(prompt, IDC_OLD_PASSWORD, EM_LIMITTEXT, 5, 0);
        SetDlgItemTextA(prompt, IDC_OLD_PASSWORD, "ab");
        SendDlgItemMessageA(prompt, IDC_OLD_PASSWORD, EM_SETSEL, 0, -1);
    });
    user.Type("xyzwvu");
    Step([] {
        sim::ControlView edit = sim::OpenDialog(IDD_PASSWORD_PROMPT)->Control(IDC_OLD_PASSWORD);
        EXPECT_EQ("xyzwv *****", edit.text + " " + edit.shown);
        HWND prompt = sim::OpenDialog(IDD_PASSWORD_PROMPT)->handle;
        SetDlgItemTextA(prompt, IDC_OLD_PASSWORD, "0123456789");
        SendDlgItemMessageA(prompt, IDC_OLD_PASSWORD, EM_SETSEL, 2, 4);
    });
    user.Paste("AB\r\nCD").PressKey(VK_RETURN);
    EXPECT_EQ(IDOK, RunModal(IDD_PASSWORD_PROMPT));
    EXPECT_STREQ("0145678", typed) << "the paste did not fit, the selection went; a read fits its buffer";
    EXPECT_EQ(std::vector<int>{IDOK}, commands) << "Enter presses the default push button";
    std::string time;
    user.WhenDialogShows(IDD_OPTIONS);
    Step([] { SetFocus(GetDlgItem(sim::OpenDialog(IDD_OPTIONS)->handle, IDC_TIME)); });
    user.Type("1a2").Paste("x9");
    Step([&time] { time = sim::OpenDialog(IDD_OPTIONS)->Control(IDC_TIME).text; });
    user.PressKey(VK_ESCAPE);
    RunModal(IDD_OPTIONS);
    EXPECT_EQ("12x9", time);
}

TEST_F(WinsimTest, NestedModalDialogsAndOneDestroyedFromAnInnerLoop)
{
    // test_DialogBoxParam: an owner that is no window gives 0, a dialog
    // destroyed from a loop 0; only EndDialog enables the owner again.
    EXPECT_EQ(0, RunModal(IDD_PASSWORD_PROMPT, reinterpret_cast<HWND>(0x4444)));
    commands.clear();
    HWND nested = NULL;
    user.ClickButton(IDD_OPTIONS, IDC_CHANGE_PASSWORD).WhenDialogShows(IDD_PASSWORD_PROMPT);
    Step([&nested] {
        EXPECT_FALSE(sim::OpenDialog(IDD_OPTIONS)->enabled) << "the owner of a modal dialog is disabled";
        nested = sim::OpenDialog(IDD_PASSWORD_PROMPT)->handle;
        DestroyWindow(nested);
    });
    Step([] {
        EXPECT_FALSE(sim::OpenDialog(IDD_OPTIONS)->enabled) << "DestroyWindow leaves the owner disabled";
        EnableWindow(sim::OpenDialog(IDD_OPTIONS)->handle, TRUE);
    });
    user.ClickButton(IDC_CHANGE_PASSWORD).ClickButton(IDCANCEL);
    Step([] {
        EXPECT_TRUE(sim::OpenDialog(IDD_OPTIONS)->active && sim::OpenDialog(IDD_OPTIONS)->enabled)
            << "after EndDialog the owner is enabled and active again";
    });
    user.PressKey(VK_ESCAPE);
    EXPECT_EQ(IDCANCEL, RunModal(IDD_OPTIONS));
    EXPECT_EQ((std::vector<int>{IDC_CHANGE_PASSWORD, 0, IDC_CHANGE_PASSWORD, IDCANCEL, IDCANCEL, IDCANCEL}), commands);
}

TEST_F(WinsimTest, CommonControlsAndTheFileDialogAsComctl32AndComdlg32Do)
{
    // hotkey.c: HKM_SETHOTKEY takes the value as it is; a pressed combination the
    // rules refuse gets their modifiers; Space clears. updown.c: UDM_SETPOS clamps.
    HWND dialog = Create(IDD_OPTIONS);
    HWND hotKey = GetDlgItem(dialog, IDC_HOTKEY);
    SendMessageA(hotKey, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendMessageA(hotKey, HKM_SETHOTKEY, 'Q', 0);
    EXPECT_EQ('Q', SendMessageA(hotKey, HKM_GETHOTKEY, 0, 0));
    std::vector<LRESULT> pressed;
    auto read = [&pressed, hotKey] { pressed.push_back(SendMessageA(hotKey, HKM_GETHOTKEY, 0, 0)); };
    user.SetHotKey(IDC_HOTKEY, 'K').Do("read", read).SetHotKey(IDC_HOTKEY, MAKEWORD('K', HOTKEYF_SHIFT));
    user.Do("read", read).SetHotKey(IDC_HOTKEY, VK_SPACE).Do("read", read).AnswerMessageBox(IDOK);
    MessageBoxA(NULL, "wait", "t", MB_OK);
    EXPECT_EQ((std::vector<LRESULT>{MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT), MAKEWORD('K', HOTKEYF_SHIFT), 0}),
              pressed);
    HWND upDown = GetDlgItem(dialog, IDC_TIME_UPDOWN);
    SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(300, 5));
    SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(400, 0));
    EXPECT_EQ("300", sim::DialogInfo(dialog)->Control(IDC_TIME).text);

    // The file dialog: the chosen path, the current directory moved to its folder
    // unless OFN_NOCHANGEDIR; Cancel gives FALSE with no extended error.
    sim::AddFile("C:\\Players\\Музыка\\play.exe");
    WCHAR file[64] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = 64;
    user.ChooseFile("C:\\Players\\Музыка\\play.exe").CancelFileDialog();
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(std::u16string(u"C:\\Players\\Музыка\\play.exe"), std::u16string(file));
    EXPECT_EQ("C:\\Players\\Музыка", sim::CurrentDirectory());
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(0u, CommDlgExtendedError());
}
