// The simulated system's own behaviour where the program relies on Windows
// semantics: modal loops, quit requests, the registry's buffer rules, process
// creation and hot keys. Each check is what Windows (and Wine) do.
#include "Scenario.h"

namespace {

using WinsimTest = Scenario;

int ticks;
VOID CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++ticks;
}

std::vector<UINT> received;
INT_PTR CALLBACK Recorder(HWND, UINT message, WPARAM, LPARAM)
{
    if (message >= WM_HOTKEY) received.push_back(message);
    return FALSE;
}

}  // namespace

TEST_F(WinsimTest, MessageBoxKeepsDispatchingTimersAndEndsOnAQuitRequest)
{
    HWND window = TestWindow();
    ticks = 0;
    SetTimer(window, 7, 100, CountTick);
    user.Wait(1000).AnswerMessageBox(IDOK);
    EXPECT_EQ(IDOK, MessageBoxA(NULL, "first", "t", MB_OK));
    EXPECT_EQ(10, ticks);

    // A pending quit request ends the box at once, with no answer, and stays pending.
    PostQuitMessage(3);
    EXPECT_EQ(0, MessageBoxA(NULL, "second", "t", MB_OK));
    MSG message;
    EXPECT_FALSE(GetMessageA(&message, NULL, 0, 0));
    EXPECT_EQ(3u, message.wParam);
}

TEST_F(WinsimTest, HotKeysAndPostedMessagesReachTheirWindowWhileAMessageBoxIsUp)
{
    received.clear();
    HWND window = TestWindow(Recorder);
    ASSERT_TRUE(RegisterHotKey(window, 5, MOD_CONTROL, 'K'));
    user.PressKeys(MOD_CONTROL, 'K').PressKeys(MOD_ALT, 'K').Do("post", [window] { PostMessageA(window, WM_USER + 1, 0, 0); })
        .AnswerMessageBox(IDOK);
    EXPECT_EQ(IDOK, MessageBoxA(window, "busy", "t", MB_OK));
    EXPECT_EQ((std::vector<UINT>{WM_HOTKEY, WM_USER + 1}), received);
}

TEST_F(WinsimTest, GetMessageFilteredOnAWindowLeavesOthersQueued)
{
    HWND first = TestWindow(), second = TestWindow();
    PostMessageA(second, WM_USER, 1, 0);
    PostMessageA(first, WM_USER, 2, 0);
    MSG message;
    ASSERT_TRUE(GetMessageA(&message, first, 0, 0));
    EXPECT_EQ(2u, message.wParam);
    DestroyWindow(first);
    EXPECT_EQ(-1, GetMessageA(&message, first, 0, 0)) << "a window that is gone is an error";
    ASSERT_TRUE(GetMessageA(&message, second, 0, 0));
    EXPECT_EQ(1u, message.wParam);
}

TEST_F(WinsimTest, ScriptThatWaitsForNothingFailsInsteadOfHanging)
{
    user.AnswerMessageBox(IDOK);
    MSG message;
    try {
        GetMessageA(&message, NULL, 0, 0);
        FAIL() << "GetMessageA returned with nothing to give";
    } catch (const sim::Failure& failure) {
        EXPECT_NE(std::string::npos, std::string(failure.what()).find("waits for a message box"));
    }
}

TEST_F(WinsimTest, RegistryReportsTheSizeAValueNeeds)
{
    sim::SetRegValue("HKCU\\Software\\T", "v", REG_SZ, "abcdef");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\T", 0, KEY_ALL_ACCESS, &key));
    char buffer[4];
    DWORD size = sizeof buffer, type = 0;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, "v", NULL, &type, reinterpret_cast<BYTE*>(buffer), &size));
    EXPECT_EQ(6u, size);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "w", NULL, &type, NULL, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
}

TEST_F(WinsimTest, RegistryValuesNeedTheRightsTheKeyWasOpenedWith)
{
    sim::SetRegText("HKCU\\Software\\T", "v", "old");
    HKEY reading, writing, below;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\T", 0, KEY_READ, &reading));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\T", 0, KEY_SET_VALUE, &writing));
    const BYTE text[] = "new";
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(reading, "v", 0, REG_SZ, text, sizeof text));
    DWORD size = 0;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(writing, "v", NULL, NULL, NULL, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(writing, "v", 0, REG_SZ, text, sizeof text));
    EXPECT_EQ(std::string("new", 4), sim::GetRegValue("HKCU\\Software\\T", "v")->data);
    // A key below is made through any handle: the parent's rights are not asked.
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(reading, "Below", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &below, NULL));
    for (HKEY key : {reading, writing, below}) RegCloseKey(key);
}

TEST_F(WinsimTest, CreateProcessFindsUnquotedPathsWithBlanks)
{
    sim::AddFile("C:\\Program Files\\A B\\tool.exe");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    char line[] = "C:\\Program Files\\A B\\tool.exe -x";
    EXPECT_TRUE(CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process));
    EXPECT_EQ("C:\\Program Files\\A B\\tool.exe", sim::ProcessStarts().back().image);
    char quoted[] = "\"C:\\Program Files\\A B\" \\tool.exe";
    EXPECT_FALSE(CreateProcessA(NULL, quoted, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_EQ(0, sim::OpenKernelHandles());
}

TEST_F(WinsimTest, HotKeysBelongToOneWindowAndGoWithIt)
{
    HWND first = TestWindow(), second = TestWindow();
    EXPECT_TRUE(RegisterHotKey(first, 1, MOD_ALT, 'Q'));
    EXPECT_FALSE(RegisterHotKey(second, 1, MOD_ALT | MOD_NOREPEAT, 'Q'));
    EXPECT_EQ(static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED), GetLastError());
    DestroyWindow(first);
    EXPECT_TRUE(RegisterHotKey(second, 1, MOD_ALT, 'Q')) << "destroying a window frees its hot keys";
    EXPECT_FALSE(UnregisterHotKey(first, 1));
}
