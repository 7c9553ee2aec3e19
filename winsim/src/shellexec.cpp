// ShellExecuteA: what the shell starts for a verb and a file, and the record
// of every call. Like the real call it shows no error box of its own.
#include "world.h"

namespace sim {

namespace {

const INT_PTR kStarted = 42;   // what Windows gives for a successful start
const char kExplorer[] = "C:\\Windows\\explorer.exe";
const char kAppPaths[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

bool HasFolderPart(const std::string& file)
{
    return file.find_first_of("\\/:") != std::string::npos;
}

bool HasExtension(const std::string& file)
{
    size_t slash = file.find_last_of("\\/");
    return file.find('.', slash == std::string::npos ? 0 : slash) != std::string::npos;
}

// The disc of a CD drive is read only while it is loaded and readable; the
// shell asks no questions.
bool Reachable(const std::string& normalized)
{
    return !FindCdDrive(normalized[0]) || RootListable(normalized[0]);
}

bool IsFolder(const std::string& path)
{
    std::string key = NormalizePath(path);
    if (key.size() == 3) return RootListable(key[0]);
    const FileEntry* entry = FindFile(key);
    return Reachable(key) && entry && entry->directory;
}

bool IsFile(const std::string& path, std::string* found)
{
    std::string candidate = HasExtension(path) ? path : path + ".exe";
    std::string key = NormalizePath(candidate);
    if (!Reachable(key) || !FileExists(key)) return false;
    *found = candidate;
    return true;
}

// A path as given (from `directory` when relative); a bare name in
// `directory`, along the search order, then as the App Paths key names it.
bool FindProgram(const std::string& file, const std::string& directory, std::string* found)
{
    bool relative = !(file.size() >= 2 && file[1] == ':');
    if (relative && !directory.empty() && IsFile(directory + "\\" + file, found)) return true;
    if (HasFolderPart(file)) return IsFile(file, found);
    if (ResolveExecutable(file, found) && Reachable(NormalizePath(*found))) return true;
    std::optional<RegValue> registered = GetRegValue(kAppPaths + (HasExtension(file) ? file : file + ".exe"), "");
    if (!registered) return false;
    return IsFile(registered->data.substr(0, registered->data.find('\0')), found);
}

bool OpensFolders(const std::optional<std::string>& verb)
{
    return !verb || verb->empty() || SameText(*verb, "open") || SameText(*verb, "explore");
}

bool StartsPrograms(const std::optional<std::string>& verb)
{
    return !verb || verb->empty() || SameText(*verb, "open");
}

std::optional<std::string> Given(const char* text)
{
    return text ? std::optional<std::string>(text) : std::nullopt;
}

}  // namespace

const std::vector<ShellLaunch>& ShellLaunches()
{
    return W().shellLaunches;
}

}  // namespace sim

using namespace sim;

HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               INT showCommand)
{
    ShellLaunch launch;
    launch.owner = window;
    launch.verb = Given(verb);
    launch.file = file ? file : "";
    launch.parameters = Given(parameters);
    launch.directory = Given(directory);
    launch.show = showCommand;
    launch.at = W().now;
    Log("ShellExecuteA " + (verb ? std::string(verb) : "(default)") + " " + Describe(file));

    if (Faulted("ShellExecuteA", launch.file)) {
        launch.result = W().lastError <= 32 ? static_cast<INT_PTR>(W().lastError) : SE_ERR_FNF;
    } else if (launch.file.empty()) {
        launch.result = SE_ERR_FNF;
    } else if (IsFolder(launch.file)) {
        launch.result = OpensFolders(launch.verb) ? kStarted : SE_ERR_NOASSOC;
        if (launch.result == kStarted) launch.image = kExplorer;
    } else if (!FindProgram(launch.file, directory ? directory : "", &launch.image)) {
        launch.result = SE_ERR_FNF;
    } else if (!StartsPrograms(launch.verb)) {
        // A program has no "explore" or other verbs of a folder.
        launch.image.clear();
        launch.result = SE_ERR_NOASSOC;
    } else {
        launch.result = kStarted;
    }
    W().shellLaunches.push_back(launch);
    return reinterpret_cast<HINSTANCE>(launch.result);
}
