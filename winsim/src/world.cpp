// The machine as a whole: reset, shared helpers, faults and the trace.
#include "world.h"

#include <cctype>
#include <cstdio>

// The program's "Shared" image section (see process.cpp).
extern volatile LONG InstanceCount;

namespace sim {

namespace {
std::unique_ptr<World> TheWorld;
}

World& W()
{
    if (!TheWorld) ResetWorld();
    return *TheWorld;
}

void AddSystemFiles();
void AddSystemRegistry();

void ResetWorld()
{
    Resources kept;
    bool hadResources = TheWorld && TheWorld->resourcesLoaded;
    if (hadResources) kept = TheWorld->resources;

    TheWorld.reset(new World);
    World& w = *TheWorld;
    w.currentUser.path = "HKCU";
    w.localMachine.path = "HKLM";
    w.desktop = reinterpret_cast<HWND>(NewHandleValue());
    w.systemSearchPath = {"C:\\Windows\\System32", "C:\\Windows\\System", "C:\\Windows"};
    if (hadResources) {
        w.resources = kept;
        w.resourcesLoaded = true;
    }
    AddSystemFiles();
    AddSystemRegistry();
    ::InstanceCount = -1;
}

void LoadResourceScript(const std::string& rcPath)
{
    W().resources = ParseResourceScript(rcPath);
    W().resourcesLoaded = true;
}

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool SameText(const std::string& a, const std::string& b)
{
    return Upper(a) == Upper(b);
}

std::string Hex(unsigned long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lX", value);
    return text;
}

std::string Describe(const char* text)
{
    if (text == NULL) return "(null)";
    std::string shown = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') shown += "\\n";
        else shown += *p;
    }
    return shown + "\"";
}

uintptr_t NewHandleValue()
{
    World& w = W();
    w.nextHandle += 4;
    return w.nextHandle;
}

void Log(const std::string& line)
{
    W().trace.push_back(line);
}

bool Faulted(const char* api, const std::string& subject)
{
    World& w = W();
    for (size_t i = 0; i < w.faults.size(); ++i) {
        Fault& fault = w.faults[i];
        if (fault.api != api) continue;
        if (!fault.subject.empty() && !SameText(fault.subject, subject)) continue;
        w.lastError = fault.error;
        Log(std::string(api) + " failed on request (" + subject + ")");
        if (--fault.times <= 0) w.faults.erase(w.faults.begin() + static_cast<long>(i));
        return true;
    }
    DWORD error = ERROR_ACCESS_DENIED;
    if (!w.decideFailures || !w.decideFailures(api, subject, &error)) return false;
    w.lastError = error;
    Log(std::string(api) + " failed by decision (" + subject + ")");
    return true;
}

void DecideFailures(FailureDecision decide)
{
    W().decideFailures = decide;
}

void WatchIdle(std::function<void()> watch)
{
    W().idleWatch = watch;
}

void FailCall(const std::string& api, const std::string& subject, DWORD error, int times)
{
    W().faults.push_back(Fault{api, subject, error, times});
}

const std::vector<std::string>& Trace()
{
    return W().trace;
}

int TraceIndex(const std::string& prefix)
{
    const std::vector<std::string>& trace = W().trace;
    for (size_t i = 0; i < trace.size(); ++i)
        if (trace[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
    return -1;
}

DWORD Now()
{
    return W().now;
}

void SetTimeLimit(DWORD milliseconds)
{
    W().timeLimit = milliseconds;
}

}  // namespace sim
