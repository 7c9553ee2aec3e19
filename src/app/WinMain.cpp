// The program's entry point: start-up checks, the hidden main window and the
// message loop.
#include "app/WinMain.h"

#include "app/MainWindow.h"
#include "app/Text.h"
#include "res/resource.h"
#include "settings/Registry.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"

HINSTANCE AppInstance;
HWND MainWindow;
char InstallDir[PATH_SIZE];

namespace {

// The install directory: the whole command line when there is one, exactly as
// received; otherwise the InstallPath value that the installer wrote, read
// into `registryText`. Null when neither is there.
const char* FindInstallDir(const char* commandLine, char registryText[REG_TEXT_SIZE])
{
    if (commandLine != NULL && commandLine[0] != '\0') return commandLine;

    HKEY key;
    if (!OpenRegKey(HKEY_CURRENT_USER, SETTINGS_KEY, KEY_QUERY_VALUE, &key)) return NULL;
    int found = QueryRegString(key, INSTALL_PATH_VALUE, registryText);
    RegCloseKey(key);
    return found ? registryText : NULL;
}

// Starts "<install dir>\Ambergate.exe 236 "Dorvane_is1"" and leaves it alone.
// A command line that does not fit its buffer is not started at all. The
// program file is named as well, so that an install directory with blanks
// (C:\Program Files\...) cannot make the system run C:\Program.exe instead.
int StartCompanion(const char* installDir)
{
    char program[PATH_SIZE];
    char command[PATH_SIZE];
    if (!CopyText(program, sizeof program, installDir) || !AppendText(program, sizeof program, "\\" COMPANION_NAME) ||
        !CopyText(command, sizeof command, program) || !AppendText(command, sizeof command, COMPANION_ARGUMENTS))
        return 0;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWDEFAULT;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    MainWindow = NULL;
    AppInstance = instance;
    InitStringTable();

    // Everything up to the main window speaks English: the settings are not read yet.
    char registryText[REG_TEXT_SIZE];
    const char* installDir = FindInstallDir(commandLine, registryText);
    if (installDir == NULL) {
        MessageBoxById(NULL, IDS_READ_FAILED, MB_OK);
        return 0;
    }
    // An install directory too long for its buffer cannot name the companion either.
    int fits = CopyText(InstallDir, sizeof InstallDir, installDir);
    if (!fits || !StartCompanion(InstallDir)) {
        MessageBoxById(NULL, IDS_COMPANION_MISSING, MB_OK);
        return 0;
    }

    if (InterlockedIncrement(&InstanceCount) > 0) {
        InterlockedDecrement(&InstanceCount);
        MessageBoxById(NULL, IDS_ALREADY_RUNNING, MB_OK);
        return 0;
    }

    HWND window = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDlgProc, 0);
    if (window == NULL) {
        MessageBoxById(NULL, IDS_MAIN_WINDOW_FAILED, MB_OK);
        return 0;
    }
    MainWindow = window;

    // GetMessageA gives -1 on an error; that ends the loop like a quit request
    // instead of spinning on it.
    MSG message;
    while (GetMessageA(&message, MainWindow, 0, 0) > 0) {
        if (!IsDialogMessageA(MainWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DestroyWindow(MainWindow);
    return 0;
}
