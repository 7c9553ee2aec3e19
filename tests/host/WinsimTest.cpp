// The simulated system where the program leans on a subtle part of Windows'
// behaviour and its own tests would agree with a mistake of the simulation:
// modal loops, code pages, the standard user's rights, MCI's default drive,
// and the failures tests inject. Each check is what Windows does, as Wine's
// conformance tests (dlls/user32, dlls/kernel32, dlls/advapi32, dlls/winmm)
// record it.
#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

using WinsimTest = DriveScenario;

int ticks;
std::vector<int> commands;   // control identifiers of WM_COMMAND, and WM_HOTKEY and WM_USER + 1 as themselves

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
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
    if (LOWORD(wParam) == IDC_CHANGE_PASSWORD)   // a modal prompt over this dialog
        commands.push_back(static_cast<int>(
            DialogBoxParamA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDD_PASSWORD_PROMPT), dialog, Recorder, 0)));
    return TRUE;
}

std::string Mci(const char* command)
{
    char buffer[64] = "junk";
    MCIERROR error = mciSendStringA(command, buffer, sizeof buffer, NULL);
    return error ? "error " + std::to_string(error) : buffer;
}

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
}

TEST_F(WinsimTest, NestedModalDialogsDisableTheirOwnerUntilEndDialog)
{
    // test_DialogBoxParam: the owner of a modal dialog is disabled while it shows; EndDialog
    // enables it again and makes it the active window.
    commands.clear();
    user.ClickButton(IDD_OPTIONS, IDC_CHANGE_PASSWORD).WhenDialogShows(IDD_PASSWORD_PROMPT);
    Step([] { EXPECT_FALSE(sim::OpenDialog(IDD_OPTIONS)->enabled) << "the owner of a modal dialog is disabled"; });
    user.ClickButton(IDCANCEL);
    Step([] {
        EXPECT_TRUE(sim::OpenDialog(IDD_OPTIONS)->active && sim::OpenDialog(IDD_OPTIONS)->enabled)
            << "after EndDialog the owner is enabled and active again";
    });
    user.PressKey(VK_ESCAPE);
    EXPECT_EQ(IDCANCEL, DialogBoxParamA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDD_OPTIONS), NULL, Recorder, 0));
    EXPECT_EQ((std::vector<int>{IDC_CHANGE_PASSWORD, IDCANCEL, IDCANCEL, IDCANCEL}), commands);
}

TEST_F(WinsimTest, TextsShowThroughTheSystemCodePageAndConvertAsWindowsDoes)
{
    // As measured under Wine with code page 1252: 1251 bytes through an A call are mojibake.
    HMENU menu = GetSubMenu(LoadMenuA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU)), 0);
    MENUITEMINFOA ansi = {};
    ansi.cbSize = sizeof ansi;
    ansi.fMask = MIIM_STRING;
    ansi.dwTypeData = const_cast<char*>("\xCF\xF0\xEE\xE2\xEE\xE4\xED\xE8\xEA");   // "Проводник" in 1251
    ASSERT_TRUE(SetMenuItemInfoA(menu, IDM_EXPLORE, FALSE, &ansi));
    std::vector<sim::MenuItemView> items = sim::MenuItems(menu);
    EXPECT_EQ("Ïðîâîäíèê", sim::FindMenuItem(items, IDM_EXPLORE)->text);

    // codepage.c: -1 counts the NUL, a short buffer fails.
    WCHAR out[16];
    EXPECT_EQ(4, MultiByteToWideChar(1251, 0, "\xC0\xE1\xE2", -1, out, 16));
    EXPECT_EQ(std::u16string(u"Абв"), out);
    EXPECT_EQ(0, MultiByteToWideChar(1251, 0, "\xC0\xE1\xE2", -1, out, 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    ASSERT_EQ(3, MultiByteToWideChar(CP_ACP, 0, "\xC9\x81", -1, out, 16)) << "1252 until set";
    EXPECT_EQ(std::u16string(u"É\u0081"), out);
    // Without a best-fit flag, a letter the code page lacks becomes its plain letter without a word.
    char bytes[16];
    BOOL usedDefault = FALSE;
    EXPECT_EQ(3, WideCharToMultiByte(1251, 0, u"\u00E4\u0101", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_EQ("aa 0", std::string(bytes) + " " + std::to_string(usedDefault));
    EXPECT_EQ(2, WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, u"\u0101", -1, bytes, 16, NULL, &usedDefault));
    EXPECT_EQ("? 1", std::string(bytes) + " " + std::to_string(usedDefault));
    // UTF-8 (also as the system's code page) does not take the flag.
    sim::SetAnsiCodePage(CP_UTF8);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, u"x", -1, bytes, 16, NULL, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FLAGS), GetLastError());
    EXPECT_EQ(3, WideCharToMultiByte(CP_ACP, 0, u"Я", -1, bytes, 16, NULL, NULL));
}

// A standard user reads HKEY_LOCAL_MACHINE but may write nothing there, nor
// add or remove files in the system's folders (Wine's advapi32 tests: opening
// or creating a key with rights its security does not grant is refused). A
// handle does only what it was opened for.
struct Rights {
    const char* what;
    bool elevated;
};
const Rights kRights[] = {{"a standard user", false}, {"elevated", true}};
using WinsimRights = Rows<Scenario>;

TEST_P(WinsimRights, OnlyAnElevatedProgramChangesWhatIsTheMachines)
{
    const bool elevated = kRights[GetParam()].elevated;
    sim::RunElevated(elevated);
    sim::SetRegText("HKLM\\System\\K", "v", "x");
    sim::AddFile("C:\\Program Files\\P\\a.lnk");
    sim::AddFile("C:\\Users\\Ann\\a.lnk");
    HKEY key;
    auto opened = [&key](LSTATUS result) { return result == ERROR_SUCCESS ? RegCloseKey(key) : result; };
    const LSTATUS writing = elevated ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    EXPECT_EQ(ERROR_SUCCESS, opened(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\K", 0, KEY_READ, &key)));
    EXPECT_EQ(writing, opened(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\K", 0, KEY_SET_VALUE, &key)));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, opened(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\L", 0, KEY_SET_VALUE, &key)));
    EXPECT_EQ(ERROR_SUCCESS,
              opened(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "System\\K", 0, NULL, 0, KEY_READ, NULL, &key, NULL)));
    EXPECT_EQ(writing,
              opened(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "System\\K", 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL)));
    EXPECT_EQ(writing, opened(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "System\\L", 0, NULL, 0, KEY_READ, NULL, &key, NULL)));
    EXPECT_EQ(elevated, sim::RegKeyExists("HKLM\\System\\L"));
    // Through a reading handle nothing is written, through a writing one nothing read, below one no key made.
    HKEY reading, below;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\K", 0, KEY_READ, &reading));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(reading, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("y"), 1));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegCreateKeyExA(reading, "B", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &below, NULL));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(reading));
    DWORD size = 0;
    if (elevated) {
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\K", 0, KEY_SET_VALUE, &key));
        EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(key, "v", NULL, NULL, NULL, &size));
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    }
    EXPECT_EQ(0, sim::OpenRegistryHandles());
    // The user's own folders are theirs; what lies under Program Files may only be read.
    EXPECT_TRUE(CopyFileA("C:\\Program Files\\P\\a.lnk", "C:\\Users\\Ann\\b.lnk", TRUE));
    EXPECT_TRUE(DeleteFileA("C:\\Users\\Ann\\b.lnk"));
    for (const char* file : {"C:\\Program Files\\P\\b.lnk", "C:\\Windows\\b.lnk"})
        EXPECT_EQ(elevated, CopyFileA("C:\\Users\\Ann\\a.lnk", file, TRUE)) << file;
    EXPECT_EQ(elevated, DeleteFileA("C:\\Program Files\\P\\a.lnk"));
}
ROWS(WinsimRights, kRights);

// mcicda.c and Windows since 2000: "cdaudio" addresses the drive "Default
// Drive" named when the device was opened, or the one its element names; a
// door command returns once the tray has moved.
TEST_F(WinsimTest, CdaudioAddressesTheDefaultDriveAsItWasWhenOpened)
{
    AddDrives("de");
    sim::SetDoorTime('E', 2500);
    SetDefaultDrive(1);
    // Auto-open: a command to the device type opens it for that command alone; close is never auto-opened.
    EXPECT_EQ("false", Mci("status cdaudio media present"));
    EXPECT_EQ("error " + std::to_string(MCIERR_INVALID_DEVICE_NAME), Mci("close cdaudio"));
    ASSERT_EQ("1", Mci("open cdaudio alias cd4open shareable"));
    EXPECT_EQ("error " + std::to_string(MCIERR_MUST_USE_SHAREABLE), Mci("status cdaudio media present"));
    SetDefaultDrive(0);
    EXPECT_EQ("", Mci("set cd4open door open wait"));
    EXPECT_EQ("E 2500", OpenTrays() + " " + std::to_string(sim::Now()));
    EXPECT_EQ("", Mci("close cd4open"));
    SetDefaultDrive(1);
    ASSERT_EQ("1", Mci("open D: type cdaudio alias cd4open shareable"));
    EXPECT_EQ("", Mci("set cd4open door open wait"));
    EXPECT_TRUE(sim::TrayOpen('D'));
}

// An empty drive asks for a disk unless the error mode says not to; the thread waits in the call.
TEST_F(WinsimTest, AnEmptyDriveRaisesTheNoDiskBoxUnlessTheErrorModeSaysNot)
{
    sim::AddCdDrive('E');
    WIN32_FIND_DATAA entry;
    SetErrorMode(SEM_FAILCRITICALERRORS);
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("E:\\*.*", &entry));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_READY), GetLastError());
    EXPECT_TRUE(sim::MessageBoxes().empty());
    SetErrorMode(0);
    user.Wait(2000).AnswerMessageBox(IDCANCEL);
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA("E:\\autorun.inf", GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
    ASSERT_EQ(1u, sim::MessageBoxes().size());
    EXPECT_EQ("Windows - No Disk", sim::MessageBoxes().at(0).caption);
    EXPECT_EQ(2000u, sim::Now());
}

// A failure asked for hits the next calls of its function whose subject is
// the one given (in any case), as often as asked, with the error asked for;
// only the calls it leaves alone are put to the test's decision.
TEST_F(WinsimTest, AFailureAskedForHitsTheCallsItNamesAsOftenAsAsked)
{
    sim::SetRegText("HKCU\\Software\\T", "v", "x");
    std::vector<std::string> decided;
    sim::DecideFailures([&decided](const std::string& api, const std::string& subject, DWORD*) {
        decided.push_back(api + " " + subject);
        return false;
    });
    sim::FailCall("RegOpenKeyExA", "hkcu\\software\\t", ERROR_NOT_ENOUGH_MEMORY, 2);
    HKEY key;
    std::string results;
    for (const char* path : {"Software", "Software\\T", "Software\\T", "Software\\T"}) {
        LSTATUS result = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
        results += std::to_string(result) + " ";
        if (result == ERROR_SUCCESS) RegCloseKey(key);
    }
    EXPECT_EQ("0 8 8 0 ", results);
    EXPECT_EQ((std::vector<std::string>{"RegOpenKeyExA HKCU\\Software", "RegCloseKey HKCU\\Software",
                                        "RegOpenKeyExA HKCU\\Software\\T", "RegCloseKey HKCU\\Software\\T"}),
              decided);
    sim::AddCdDrive('D');
    sim::FailMci("status cdaudio media present", MCIERR_HARDWARE);
    EXPECT_EQ("error " + std::to_string(MCIERR_HARDWARE), Mci("status cdaudio media present"));
    EXPECT_EQ("false", Mci("status cdaudio media present"));
}

}  // namespace
