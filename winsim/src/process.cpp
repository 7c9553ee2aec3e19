// Processes: running the program, starting other programs, the shared image
// section, the last error, time and sleeping.
#include "world.h"

// The program's "Shared" image section. One copy for all its processes; it is
// dropped (back to -1) when the last of them ends.
volatile LONG InstanceCount = -1;

namespace sim {

namespace {

const uintptr_t kProgramInstance = 0x400000;

// The executable a command line names when no application name is given:
// a quoted first token, or else the shortest run of blank-separated words
// that names an existing file (so "C:\Program Files\x.exe a" works unquoted).
bool FindImage(const std::string& commandLine, std::string* image)
{
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        return ResolveExecutable(commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1),
                                 image);
    }
    for (size_t end = 0;; ++end) {
        end = commandLine.find(' ', end);
        std::string candidate = commandLine.substr(0, end);
        if (!candidate.empty() && ResolveExecutable(candidate, image)) return true;
        if (end == std::string::npos) return false;
    }
}

HANDLE NewKernelHandle()
{
    HANDLE handle = reinterpret_cast<HANDLE>(NewHandleValue());
    W().kernelHandles.insert(handle);
    return handle;
}

}  // namespace

HINSTANCE ProgramInstance()
{
    return reinterpret_cast<HINSTANCE>(kProgramInstance);
}

void SetOtherInstanceRunning()
{
    ::InstanceCount = 0;
    W().otherInstanceRunning = true;
}

LONG SharedInstanceCount()
{
    return ::InstanceCount;
}

const std::vector<ProcessStart>& ProcessStarts()
{
    return W().processStarts;
}

int OpenKernelHandles()
{
    return static_cast<int>(W().kernelHandles.size());
}

int RunProcess(int(WINAPI* entry)(HINSTANCE, HINSTANCE, LPSTR, int), const std::string& commandLine,
               const std::string& imagePath)
{
    World& w = W();
    if (w.processRunning) throw Failure("the simulation runs one process of the program at a time");
    if (!w.resourcesLoaded) throw Failure("LoadResourceScript was not called: the program has no resources");
    w.processRunning = true;
    w.imagePath = imagePath;
    w.processStart = w.now;
    w.dispatched = 0;
    Log("process start " + Describe(commandLine.c_str()));

    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    int result = 0;
    struct Ending {
        ~Ending()
        {
            // Whatever ended the process: its windows, timers and hot keys go
            // with it; icons it left behind stay until the shell notices.
            EndProcessWindows();
            EndProcessSystemState();
            World& w = W();
            w.processRunning = false;
            w.queue.clear();
            w.quitPosted = false;
            // The section outlives this process only while another one runs.
            if (!w.otherInstanceRunning) ::InstanceCount = -1;
            Log("process end");
        }
    } ending;
    try {
        result = entry(ProgramInstance(), NULL, line.data(), SW_SHOWDEFAULT);
    } catch (const EndTaskRequest&) {
        result = 1;
        Log("process ended by the user");
    }
    Log("process result " + std::to_string(result));
    return result;
}

}  // namespace sim

using namespace sim;

DWORD WINAPI GetLastError(void)
{
    return W().lastError;
}

void WINAPI SetLastError(DWORD error)
{
    W().lastError = error;
}

void WINAPI Sleep(DWORD milliseconds)
{
    // The thread blocks: nothing is dispatched, time just passes.
    Log("Sleep " + std::to_string(milliseconds));
    BlockFor(milliseconds);
}

DWORD WINAPI GetTickCount(void)
{
    return W().now;
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    if (W().kernelHandles.erase(handle) == 0) {
        W().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return TRUE;
}

LONG WINAPI InterlockedIncrement(volatile LONG* addend)
{
    return __atomic_add_fetch(addend, 1, __ATOMIC_SEQ_CST);
}

LONG WINAPI InterlockedDecrement(volatile LONG* addend)
{
    return __atomic_sub_fetch(addend, 1, __ATOMIC_SEQ_CST);
}

BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                           LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                           LPPROCESS_INFORMATION processInformation)
{
    ProcessStart start;
    start.applicationName = applicationName ? applicationName : "";
    start.commandLine = commandLine ? commandLine : "";
    start.inheritHandles = inheritHandles;
    start.creationFlags = creationFlags;
    start.environmentGiven = environment != NULL;
    start.directoryGiven = currentDirectory != NULL;
    start.securityGiven = processAttributes != NULL || threadAttributes != NULL;
    if (startupInfo) start.startup = *startupInfo;
    Log("CreateProcessA " + Describe(start.commandLine.c_str()));

    bool faulted = Faulted("CreateProcessA", start.commandLine);
    bool found = !faulted && (applicationName ? ResolveExecutable(start.applicationName, &start.image)
                                              : FindImage(start.commandLine, &start.image));
    if (!found) {
        start.image.clear();
        if (!faulted) W().lastError = ERROR_FILE_NOT_FOUND;
        W().processStarts.push_back(start);
        return FALSE;
    }
    start.succeeded = true;
    W().processStarts.push_back(start);
    processInformation->hProcess = NewKernelHandle();
    processInformation->hThread = NewKernelHandle();
    processInformation->dwProcessId = static_cast<DWORD>(W().processStarts.size() * 4 + 100);
    processInformation->dwThreadId = processInformation->dwProcessId + 2;
    return TRUE;
}
