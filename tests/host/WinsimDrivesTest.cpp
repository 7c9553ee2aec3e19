// The simulated CD drives, discs and MCI, checked against what Windows does
// as Wine's conformance tests record it (dlls/kernel32/tests/volume.c,
// dlls/winmm/tests/mci.c and mcicda.c) and as Wine's winmm and mcicda answer.
#include <mmsystem.h>

#include "Scenario.h"

namespace {

using WinsimDrivesTest = Scenario;

// Sends a command with a roomy answer buffer.
MCIERROR Mci(const char* command, std::string* answer = NULL)
{
    char buffer[64] = "junk";
    MCIERROR error = mciSendStringA(command, buffer, sizeof buffer, NULL);
    if (answer) *answer = buffer;
    return error;
}

std::string Answer(const char* command)
{
    std::string answer;
    MCIERROR error = Mci(command, &answer);
    return error ? "error " + std::to_string(error) : answer;
}

int ticks;
VOID CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++ticks;
}

int WINAPI OpensCdAudioAndLeaves(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return static_cast<int>(mciSendStringA("open cdaudio shareable", NULL, 0, NULL));
}

}  // namespace

TEST_F(WinsimDrivesTest, DrivesAreListedInLetterOrderWithTheirTypes)
{
    sim::AddCdDrive('E');
    sim::AddCdDrive('d');
    // As volume.c shows: the size with the final NUL when the buffer is too small (which stays untouched), the
    // length without it when the roots fit.
    char roots[32] = "x";
    EXPECT_EQ(13u, GetLogicalDriveStringsA(2, roots));
    EXPECT_STREQ("x", roots);
    EXPECT_EQ(12u, GetLogicalDriveStringsA(sizeof roots, roots));
    EXPECT_EQ(std::string("C:\\\0D:\\\0E:\\\0\0", 13), std::string(roots, 13));
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA("C:\\"));
    EXPECT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("e:\\"));
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("F:\\"));
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("D:")) << "a root needs its backslash";
}

TEST_F(WinsimDrivesTest, AnEmptyDriveAsksForADiskUnlessTheErrorModeSaysNot)
{
    sim::AddCdDrive('D');
    WIN32_FIND_DATAA found;
    SetErrorMode(SEM_FAILCRITICALERRORS);
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("D:\\*.*", &found));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_READY), GetLastError());
    EXPECT_TRUE(sim::MessageBoxes().empty());

    // The box belongs to the system: the thread waits in the call, so the program's timers do not run.
    SetErrorMode(0);
    ticks = 0;
    SetTimer(TestWindow(), 3, 100, CountTick);
    user.Wait(2000).AnswerMessageBox(IDCANCEL);
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA("D:\\autorun.inf", GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_READY), GetLastError());
    ASSERT_EQ(1u, sim::MessageBoxes().size());
    EXPECT_EQ("Windows - No Disk", sim::MessageBoxes()[0].caption);
    EXPECT_EQ("There is no disk in the drive. Please insert a disk into drive D:.", sim::MessageBoxes()[0].text);
    EXPECT_EQ(0, ticks);
    EXPECT_EQ(2000u, sim::Now());
    char path[MAX_PATH];
    user.AnswerMessageBox(IDCONTINUE);
    EXPECT_EQ(0u, SearchPathA("D:\\", "setup.exe", NULL, MAX_PATH, path, NULL)) << "a search walks the drive too";
    EXPECT_EQ(2u, sim::MessageBoxes().size());

    // Try Again looks at the drive once more.
    char label[32] = "";
    user.InsertDisc('D', sim::DataDisc("GAMES")).AnswerMessageBox(IDTRYAGAIN);
    EXPECT_TRUE(GetVolumeInformationA("D:\\", label, sizeof label, NULL, NULL, NULL, NULL, 0));
    EXPECT_STREQ("GAMES", label);
    EXPECT_FALSE(GetVolumeInformationA("D:", label, sizeof label, NULL, NULL, NULL, NULL, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), GetLastError()) << "as volume.c shows";

    // A box nobody answers ends the test with an account.
    sim::TakeOutDisc('D');
    try {
        GetVolumeInformationA("D:\\", label, sizeof label, NULL, NULL, NULL, NULL, 0);
        FAIL() << "the box was not shown";
    } catch (const sim::Failure& failure) {
        EXPECT_NE(std::string::npos, std::string(failure.what()).find("\"No Disk\" box for drive D:"));
    }
}

TEST_F(WinsimDrivesTest, DiscFilesAreReadThroughHandlesWhileTheDiscIsLoaded)
{
    sim::AddCdDrive('D');
    SetErrorMode(SEM_FAILCRITICALERRORS);
    sim::InsertDisc('D', sim::DataDisc("SETUP", {{"autorun.inf", "[autorun]\r\nopen=setup.exe\r\n"}}));
    HANDLE file = CreateFileA("d:\\AUTORUN.INF", GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA("D:\\autorun.inf", GENERIC_READ, FILE_SHARE_READ, NULL,
                                                OPEN_EXISTING, 0, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA("D:\\setup.exe", GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    char text[64] = "";
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, text, 9, &read, NULL));
    EXPECT_EQ("[autorun]", std::string(text, read));
    EXPECT_TRUE(ReadFile(file, text, sizeof text, &read, NULL));
    EXPECT_EQ("\r\nopen=setup.exe\r\n", std::string(text, read));
    EXPECT_TRUE(ReadFile(file, text, sizeof text, &read, NULL));
    EXPECT_EQ(0u, read) << "the end of the file is a read of nothing";
    EXPECT_EQ(1, sim::OpenKernelHandles());

    // The tray opens: the file is gone with the disc, and the root lists nothing.
    user.PressDriveButton('D').AnswerMessageBox(IDOK);
    MessageBoxA(NULL, "wait", "t", MB_OK);
    EXPECT_TRUE(sim::TrayOpen('D'));
    EXPECT_FALSE(ReadFile(file, text, sizeof text, &read, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_READY), GetLastError());
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(ReadFile(file, text, sizeof text, &read, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(0, sim::OpenKernelHandles());

    // An audio CD shows its tracks as files; an unreadable disc shows nothing, yet MCI sees it.
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0), sim::Frames(4, 0)}));
    sim::PushTrayIn('D');
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("D:\\*.*", &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    EXPECT_STREQ("Track01.cda", found.cFileName);
    EXPECT_TRUE(FindNextFileA(search, &found));
    EXPECT_STREQ("Track02.cda", found.cFileName);
    FindClose(search);
    EXPECT_TRUE(GetVolumeInformationA("D:\\", text, sizeof text, NULL, NULL, NULL, NULL, 0));
    EXPECT_STREQ("Audio CD", text);
    sim::Disc scratched = sim::DataDisc("OLD", {{"a.txt", "a"}});
    scratched.readable = false;
    sim::InsertDisc('D', scratched);
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("D:\\*.*", &found));
    EXPECT_EQ(static_cast<DWORD>(ERROR_UNRECOGNIZED_VOLUME), GetLastError());
    EXPECT_EQ("true", Answer("status cdaudio media present"));
    EXPECT_EQ(1u, sim::MessageBoxes().size()) << "only the script's own box";
}

TEST_F(WinsimDrivesTest, MciAnswersInWindowsTextForms)
{
    sim::AddCdDrive('D');
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(2, 0), sim::Frames(4, 12, 33), sim::Frames(1, 30)}));
    ASSERT_EQ(0u, Mci("open cdaudio shareable"));
    EXPECT_EQ("true", Answer("status cdaudio media present"));
    EXPECT_EQ("3", Answer("status cdaudio number of tracks"));
    // A fresh device counts in msf from the first track, two seconds in (mcicda.c); lengths are one frame short
    // of the disc and of its last track, as Windows reports them (Wine's mcicda).
    EXPECT_EQ("00:02:00", Answer("status cdaudio position"));
    EXPECT_EQ("07:42:32", Answer("status cdaudio length"));
    EXPECT_EQ("01:29:74", Answer("status cdaudio length track 3"));
    ASSERT_EQ(0u, Mci("set cdaudio time format tmsf"));
    EXPECT_EQ("01:00:00:00", Answer("status cdaudio position"));
    EXPECT_EQ("04:12:33", Answer("status cdaudio length track 2")) << "lengths stay msf under tmsf (mcicda.c)";
    EXPECT_EQ(0u, Mci("seek cdaudio to 3"));
    EXPECT_EQ("03:00:00:00", Answer("status cdaudio position"));
    EXPECT_EQ(0u, Mci("seek cdaudio to 02:01:22:45"));
    EXPECT_EQ("02:01:22:45", Answer("status cdaudio position"));
    EXPECT_EQ("2", Answer("status cdaudio current track"));

    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_OUTOFRANGE), Mci("status cdaudio length track 4"));
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_OUTOFRANGE), Mci("seek cdaudio to 4"));
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_BAD_INTEGER), Mci("seek cdaudio to 0:256")) << "as mci.c shows";
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_BAD_INTEGER), Mci("status cdaudio length track "));
    std::string answer;
    EXPECT_NE(0u, Mci("seek cdaudio to ", &answer));
    EXPECT_EQ("", answer) << "a failed command leaves an empty answer (mci.c)";
    char small[4];
    EXPECT_EQ(0u, mciSendStringA("status cdaudio position", small, sizeof small, NULL));
    EXPECT_STREQ("02:", small) << "an answer is cut to the buffer";
    EXPECT_EQ("02:01:22:45", sim::MciLog().back().answer);
}

TEST_F(WinsimDrivesTest, DevicesFollowWinmmsRulesForNamesAliasesAndSharing)
{
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_CANNOT_LOAD_DRIVER), Mci("open cdaudio")) << "no CD drive at all";
    sim::AddCdDrive('D');
    // Auto-open: a command to the device type opens it for that command alone; close is never auto-opened.
    EXPECT_EQ("false", Answer("status cdaudio media present"));
    EXPECT_TRUE(sim::OpenMciDevices().empty());
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_DEVICE_NOT_READY), Mci("status cdaudio number of tracks"));
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME), Mci("close cdaudio"));
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME), Mci("set cd4open door open wait"));

    std::string id;
    EXPECT_EQ(0u, Mci("open cdaudio alias cd4open shareable", &id));
    EXPECT_EQ("1", id);
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_DUPLICATE_ALIAS), Mci("open cdaudio alias cd4open shareable"));
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_MUST_USE_SHAREABLE), Mci("open cdaudio"));
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_MUST_USE_SHAREABLE), Mci("status cdaudio media present"))
        << "the auto-open is not shareable";
    EXPECT_EQ(0u, Mci("open cdaudio shareable", &id));
    EXPECT_EQ("2", id);
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_DEVICE_OPEN), Mci("open cdaudio shareable"));
    EXPECT_EQ((std::vector<std::string>{"cd4open", "cdaudio"}), sim::OpenMciDevices());
    EXPECT_EQ(0u, Mci("close cd4open"));
    EXPECT_EQ(0u, Mci("close cdaudio"));

    // A process's devices close when it ends; they are seen until then.
    EXPECT_EQ(0, sim::RunProcess(OpensCdAudioAndLeaves, ""));
    EXPECT_EQ(std::vector<std::string>{"cdaudio"}, sim::OpenMciDevices());
    EXPECT_EQ(0, sim::RunProcess(OpensCdAudioAndLeaves, ""));

    EXPECT_THROW(Mci("status cdaudio mode"), sim::Failure) << "the program never sends it: a typo";
}

TEST_F(WinsimDrivesTest, CdaudioAddressesTheDefaultDriveAsItWasWhenOpened)
{
    sim::AddCdDrive('D');
    sim::AddCdDrive('E');
    sim::SetDoorTime('E', 2500);
    const char* key = "HKLM\\System\\CurrentControlSet\\Control\\MediaResources\\mci\\cdaudio";
    sim::SetRegValue(key, "Default Drive", REG_BINARY, std::string("\x01\0\0\0", 4));
    ASSERT_EQ(0u, Mci("open cdaudio alias cd4open shareable"));
    sim::SetRegValue(key, "Default Drive", REG_BINARY, std::string(4, '\0'));
    EXPECT_EQ(0u, Mci("set cd4open door open wait"));
    EXPECT_TRUE(sim::TrayOpen('E'));
    EXPECT_FALSE(sim::TrayOpen('D'));
    EXPECT_EQ(2500u, sim::Now()) << "the call returns once the tray has moved";
    EXPECT_EQ(0u, Mci("set cd4open door open wait"));
    EXPECT_EQ(2500u, sim::Now()) << "an open tray does not move";
    sim::FailMci("set cd4open door closed wait", MCIERR_HARDWARE);
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_HARDWARE), Mci("set cd4open door closed wait"));
    EXPECT_TRUE(sim::TrayOpen('E'));
    EXPECT_EQ(0u, Mci("set cd4open door closed wait"));
    EXPECT_FALSE(sim::TrayOpen('E'));
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_HARDWARE), sim::MciLog()[3].result);
    EXPECT_EQ("set cd4open door closed wait", sim::MciLog()[3].command);
}

TEST_F(WinsimDrivesTest, PlaybackRunsInTheDriveWithTimeUntilTheDiscEnds)
{
    sim::AddCdDrive('D');
    sim::Disc mixed = sim::DataDisc("MIXED");
    mixed.tracks.push_back(sim::AudioTrack(sim::Frames(0, 20)));
    mixed.tracks.push_back(sim::AudioTrack(sim::Frames(0, 10)));
    sim::InsertDisc('D', mixed);
    ASSERT_EQ(0u, Mci("open cdaudio shareable"));
    ASSERT_EQ(0u, Mci("set cdaudio time format tmsf"));
    EXPECT_EQ(0u, Mci("play cdaudio"));
    EXPECT_EQ("02:00:00:00", sim::DrivePosition('D')) << "play skips the data track";
    Sleep(3000);
    EXPECT_EQ("02:00:03:00", Answer("status cdaudio position"));
    EXPECT_EQ(0u, Mci("close cdaudio"));
    EXPECT_EQ("playing", sim::DrivePlayState('D')) << "the drive plays on without the device";
    EXPECT_EQ(0u, Mci("pause cdaudio")) << "auto-opened: the command reaches the drive";
    EXPECT_EQ(0u, Mci("pause cdaudio"));
    Sleep(5000);
    EXPECT_EQ("paused", sim::DrivePlayState('D'));
    EXPECT_EQ("02:00:03:00", sim::DrivePosition('D'));
    ASSERT_EQ(0u, Mci("open cdaudio shareable"));
    EXPECT_EQ("10:05:00", Answer("status cdaudio position")) << "a new device counts in msf again";

    EXPECT_EQ(0u, Mci("play cdaudio"));
    Sleep(10000);
    EXPECT_EQ("02:00:13:00", sim::DrivePosition('D')) << "play goes on from the pause";
    Sleep(30000);
    EXPECT_EQ("stopped", sim::DrivePlayState('D'));
    EXPECT_EQ("03:00:09:74", sim::DrivePosition('D')) << "the end of the disc, before its lead-out";
    EXPECT_EQ(0u, Mci("play cdaudio"));
    EXPECT_EQ("stopped", sim::DrivePlayState('D')) << "nothing is left to play";
    EXPECT_EQ(0u, Mci("seek cdaudio to 3")) << "3 minutes in msf: inside the data track";
    EXPECT_EQ("02:00:00:00", sim::DrivePosition('D'));
    EXPECT_EQ(0u, Mci("play cdaudio"));
    sim::PressDriveButton('D');
    EXPECT_EQ("stopped", sim::DrivePlayState('D')) << "ejecting stops the music";
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_DEVICE_NOT_READY), Mci("play cdaudio"));
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_HARDWARE), Mci("stop cdaudio"));

    sim::InsertDisc('D', sim::DataDisc("DATA"));
    sim::PushTrayIn('D');
    EXPECT_EQ(0u, Mci("play cdaudio"));
    EXPECT_EQ("stopped", sim::DrivePlayState('D')) << "a data disc has nothing to play";
    sim::InsertDisc('D', sim::Disc());
    EXPECT_EQ(static_cast<MCIERROR>(MCIERR_HARDWARE), Mci("status cdaudio number of tracks")) << "a blank disc";
}

TEST_F(WinsimDrivesTest, ErrorTextsAreWinmmsOwn)
{
    char text[MAXERRORLENGTH] = "";
    EXPECT_TRUE(mciGetErrorStringA(MCIERR_INVALID_DEVICE_NAME, text, sizeof text));
    EXPECT_STREQ("The specified device is not open or is not recognized by MCI.", text);
    EXPECT_TRUE(mciGetErrorStringA(MCIERR_HARDWARE, text, 10));
    EXPECT_STREQ("There is ", text);
    EXPECT_FALSE(mciGetErrorStringA(MCIERR_BASE + 27, text, sizeof text));
    EXPECT_STREQ("", text) << "an MCI code without a text";
    strcpy(text, "kept");
    EXPECT_FALSE(mciGetErrorStringA(5, text, sizeof text));
    EXPECT_STREQ("kept", text) << "not an MCI code";
}
