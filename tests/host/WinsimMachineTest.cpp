// The simulated machine's registry, files, processes, CD drives and MCI,
// where the program relies on Windows' behaviour and its own tests would
// agree with a mistake of the simulation: as Wine's conformance tests
// (dlls/advapi32, dlls/kernel32/tests/volume.c, dlls/winmm/tests/mci.c and
// mcicda.c) record Windows, and as Wine's winmm and mcicda answer.
#include <mmsystem.h>

#include "Scenario.h"

namespace {

using WinsimMachineTest = Scenario;

std::string Mci(const char* command)
{
    char buffer[64] = "junk";
    MCIERROR error = mciSendStringA(command, buffer, sizeof buffer, NULL);
    return error ? "error " + std::to_string(error) : buffer;
}

}  // namespace

TEST_F(WinsimMachineTest, TheRegistryKeepsToBuffersAndRights)
{
    sim::SetRegText("HKCU\\Software\\T", "v", "old");
    HKEY reading, writing, below;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\T", 0, KEY_READ, &reading));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\T", 0, KEY_SET_VALUE, &writing));
    char buffer[3];
    DWORD size = sizeof buffer;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(reading, "v", NULL, NULL, reinterpret_cast<BYTE*>(buffer), &size));
    EXPECT_EQ(4u, size) << "the size the value needs";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(reading, "w", NULL, NULL, NULL, &size));
    const BYTE text[] = "new";
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(reading, "v", 0, REG_SZ, text, sizeof text));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(writing, "v", NULL, NULL, NULL, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(writing, "v", 0, REG_SZ, text, 3));
    EXPECT_EQ("new", sim::GetRegValue("HKCU\\Software\\T", "v")->data) << "the bytes given, no terminator added";
    // A new key below needs the right to make subkeys through the handle; the reserved value must be 0.
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExA(reading, "B", 1, NULL, 0, KEY_ALL_ACCESS, NULL, &below, NULL));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegCreateKeyExA(reading, "B", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &below, NULL));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\T\\B", 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                             &below, NULL));
    for (HKEY key : {reading, writing, below}) EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(below));
}

// A standard user reads HKEY_LOCAL_MACHINE but may write nothing there, nor
// add or remove files in the system's folders (Wine's advapi32 tests: opening
// or creating a key with rights its security does not grant is refused).
TEST_F(WinsimMachineTest, AStandardUserOnlyReadsWhatIsTheMachines)
{
    for (bool elevated : {false, true}) {
        SCOPED_TRACE(elevated ? "elevated" : "a standard user");
        SetUp();
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
        EXPECT_EQ(writing,
                  opened(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "System\\L", 0, NULL, 0, KEY_READ, NULL, &key, NULL)));
        EXPECT_EQ(writing, RegSetValueExA(HKEY_LOCAL_MACHINE, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("y"), 1));
        EXPECT_EQ(elevated, sim::RegKeyExists("HKLM\\System\\L"));
        EXPECT_EQ(0, sim::OpenRegistryHandles());
        // The user's own folders are theirs; what lies under Program Files may only be read.
        EXPECT_TRUE(CopyFileA("C:\\Program Files\\P\\a.lnk", "C:\\Users\\Ann\\b.lnk", TRUE));
        EXPECT_TRUE(DeleteFileA("C:\\Users\\Ann\\b.lnk"));
        for (const char* file : {"C:\\Program Files\\P\\b.lnk", "C:\\Windows\\b.lnk"})
            EXPECT_EQ(elevated, CopyFileA("C:\\Users\\Ann\\a.lnk", file, TRUE)) << file;
        EXPECT_EQ(elevated, DeleteFileA("C:\\Program Files\\P\\a.lnk"));
        if (!elevated) {
            EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
        }
    }
}

TEST_F(WinsimMachineTest, FilesAreFoundAndCopiedAsWindowsDoes)
{
    // SearchPath: a bare name along the search order, a name with a path of its own only there.
    char found[MAX_PATH];
    const std::pair<const char*, DWORD> searches[] = {{"tool.exe", 0}, {"rundll32.exe", 32},
                                                      {"\\rundll32.exe", 0}, {"C:rundll32.exe", 0}};
    for (auto [name, length] : searches) EXPECT_EQ(length, SearchPathA(NULL, name, NULL, MAX_PATH, found, NULL)) << name;
    // CopyFile with fail-if-exists, from a file that is not there, into a folder that is not there.
    sim::AddFile("C:\\A\\Dorvane.lnk", "link");
    EXPECT_TRUE(CopyFileA("C:\\A\\Dorvane.lnk", "C:\\A\\B.lnk", TRUE));
    const std::tuple<const char*, const char*, DWORD> copies[] = {
        {"C:\\A\\Dorvane.lnk", "C:\\A\\B.lnk", ERROR_FILE_EXISTS}, {"C:\\A\\none.lnk", "C:\\A\\C.lnk", ERROR_FILE_NOT_FOUND},
        {"C:\\A\\Dorvane.lnk", "C:\\Nowhere\\x.lnk", ERROR_PATH_NOT_FOUND}};
    for (auto [from, to, error] : copies) {
        EXPECT_FALSE(CopyFileA(from, to, TRUE));
        EXPECT_EQ(error, GetLastError()) << to;
    }
}

TEST_F(WinsimMachineTest, DrivesAreListedAndProbedAsWindowsDoes)
{
    sim::AddCdDrive('E');
    sim::AddCdDrive('a');
    // volume.c: the roots in letter order and their length without the final NUL, when they fit.
    char roots[32] = "x";
    EXPECT_EQ(12u, GetLogicalDriveStringsA(13, roots));
    EXPECT_EQ(std::string("A:\\\0C:\\\0E:\\\0\0", 13), std::string(roots, 13));
    EXPECT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("e:\\"));

    // An empty drive asks for a disk unless the error mode says not to; the thread waits in the call.
    WIN32_FIND_DATAA entry;
    SetErrorMode(SEM_FAILCRITICALERRORS);
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("E:\\*.*", &entry));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_READY), GetLastError());
    EXPECT_TRUE(sim::MessageBoxes().empty());
    SetErrorMode(0);
    user.Wait(2000).AnswerMessageBox(IDCANCEL);
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA("E:\\autorun.inf", GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
    ASSERT_EQ(1u, sim::MessageBoxes().size());
    EXPECT_EQ("Windows - No Disk", sim::MessageBoxes()[0].caption);
    EXPECT_EQ(2000u, sim::Now());

    // A loaded disc's file is read through a handle: at most what was asked for, the file names in any case.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    sim::InsertDisc('E', sim::DataDisc("SETUP", {{"autorun.inf", "[autorun]\r\nopen=setup.exe\r\n"}}));
    HANDLE file = CreateFileA("e:\\AUTORUN.INF", GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    char text[64] = "";
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, text, 9, &read, NULL));
    EXPECT_EQ("[autorun]", std::string(text, read));
    EXPECT_TRUE(CloseHandle(file));
    sim::PressDriveButton('E');
    // An audio CD lists its tracks; an unreadable disc lists nothing, yet MCI sees it.
    sim::InsertDisc('E', sim::AudioDisc({sim::Frames(3, 0)}));
    sim::PushTrayIn('E');
    EXPECT_TRUE(GetVolumeInformationA("E:\\", text, sizeof text, NULL, NULL, NULL, NULL, 0));
    EXPECT_STREQ("Audio CD", text);
    HANDLE search = FindFirstFileA("E:\\*.*", &entry);
    EXPECT_STREQ("Track01.cda", entry.cFileName);
    FindClose(search);
    sim::Disc scratched = sim::DataDisc("OLD", {{"a.txt", "a"}});
    scratched.readable = false;
    sim::InsertDisc('E', scratched);
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("E:\\*.*", &entry));
    EXPECT_EQ(static_cast<DWORD>(ERROR_UNRECOGNIZED_VOLUME), GetLastError());
    EXPECT_FALSE(GetVolumeInformationA("E:\\", text, sizeof text, NULL, NULL, NULL, NULL, 0));
}

TEST_F(WinsimMachineTest, MciAnswersInWindowsTextFormsAndDevicesFollowWinmmsRules)
{
    EXPECT_EQ("error " + std::to_string(MCIERR_CANNOT_LOAD_DRIVER), Mci("open cdaudio")) << "no CD drive at all";
    sim::AddCdDrive('D');
    // Auto-open: a command to the device type opens it for that command alone; close is never auto-opened.
    EXPECT_EQ("false", Mci("status cdaudio media present"));
    EXPECT_EQ("error " + std::to_string(MCIERR_DEVICE_NOT_READY), Mci("status cdaudio number of tracks"));
    EXPECT_EQ("error " + std::to_string(MCIERR_INVALID_DEVICE_NAME), Mci("close cdaudio"));
    EXPECT_EQ("1", Mci("open cdaudio alias cd4open shareable"));
    EXPECT_EQ("error " + std::to_string(MCIERR_DUPLICATE_ALIAS), Mci("open cdaudio alias cd4open shareable"));
    EXPECT_EQ("error " + std::to_string(MCIERR_MUST_USE_SHAREABLE), Mci("status cdaudio media present"));
    EXPECT_EQ("2", Mci("open cdaudio shareable"));
    EXPECT_EQ("error " + std::to_string(MCIERR_DEVICE_OPEN), Mci("open cdaudio shareable"));
    EXPECT_EQ("", Mci("close cd4open"));
    EXPECT_EQ("", Mci("close cdaudio"));
    EXPECT_THROW(Mci("status cdaudio mode"), sim::Failure) << "the program never sends it: a typo";

    // mcicda.c: a fresh device counts in msf from the first track, two seconds in; lengths are one frame
    // short of the disc's and its last track's, and stay msf under tmsf.
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(2, 0), sim::Frames(4, 12, 33), sim::Frames(1, 30)}));
    Mci("open cdaudio shareable");
    EXPECT_EQ("00:02:00 07:42:32 01:29:74", Mci("status cdaudio position") + " " + Mci("status cdaudio length") +
                                                 " " + Mci("status cdaudio length track 3"));
    Mci("set cdaudio time format tmsf");
    EXPECT_EQ("01:00:00:00 04:12:33", Mci("status cdaudio position") + " " + Mci("status cdaudio length track 2"));
    EXPECT_EQ("", Mci("seek cdaudio to 02:01:22:45"));
    EXPECT_EQ("02:01:22:45 2 3", Mci("status cdaudio position") + " " + Mci("status cdaudio current track") + " " +
                                     Mci("status cdaudio number of tracks"));
    EXPECT_EQ("error " + std::to_string(MCIERR_OUTOFRANGE), Mci("seek cdaudio to 4"));
    char small[4];
    EXPECT_EQ(0u, mciSendStringA("status cdaudio position", small, sizeof small, NULL));
    EXPECT_STREQ("02:", small) << "an answer is cut to the buffer";
    // Playback runs in the drive, on without the device, until a door movement.
    EXPECT_EQ("", Mci("play cdaudio"));
    Sleep(3000);
    EXPECT_EQ("02:01:25:45", Mci("status cdaudio position"));
    EXPECT_EQ("", Mci("close cdaudio"));
    EXPECT_EQ("playing", sim::DrivePlayState('D'));
    sim::PressDriveButton('D');
    EXPECT_EQ("stopped", sim::DrivePlayState('D'));
    // winmm's own error texts, cut to the buffer; none for a code it does not know.
    char text[MAXERRORLENGTH] = "";
    EXPECT_TRUE(mciGetErrorStringA(MCIERR_HARDWARE, text, 10));
    EXPECT_STREQ("There is ", text);
    EXPECT_FALSE(mciGetErrorStringA(MCIERR_BASE + 27, text, sizeof text));
}

TEST_F(WinsimMachineTest, CdaudioAddressesTheDefaultDriveAsItWasWhenOpened)
{
    sim::AddCdDrive('D');
    sim::AddCdDrive('E');
    sim::SetDoorTime('E', 2500);
    const char* key = "HKLM\\System\\CurrentControlSet\\Control\\MediaResources\\mci\\cdaudio";
    sim::SetRegValue(key, "Default Drive", REG_BINARY, std::string("\x01\0\0\0", 4));
    ASSERT_EQ("1", Mci("open cdaudio alias cd4open shareable"));
    sim::SetRegValue(key, "Default Drive", REG_BINARY, std::string(4, '\0'));
    EXPECT_EQ("", Mci("set cd4open door open wait"));
    EXPECT_EQ("E 2500", std::string(sim::TrayOpen('E') ? "E" : "") + (sim::TrayOpen('D') ? "D" : "") + " " +
                            std::to_string(sim::Now()))
        << "the call returns once the tray has moved";
    EXPECT_EQ("", Mci("set cd4open door open wait"));
    EXPECT_EQ(2500u, sim::Now()) << "an open tray does not move";
    // Named by its letter, the device addresses that drive whatever "Default Drive" says.
    EXPECT_EQ("", Mci("close cd4open"));
    sim::SetRegValue(key, "Default Drive", REG_BINARY, std::string("\x01\0\0\0", 4));
    EXPECT_EQ("error " + std::to_string(MCIERR_INVALID_FILE), Mci("open C: type cdaudio alias cd4open shareable"));
    ASSERT_EQ("1", Mci("open D: type cdaudio alias cd4open shareable"));
    EXPECT_EQ("", Mci("set cd4open door open wait"));
    EXPECT_TRUE(sim::TrayOpen('D'));
}
