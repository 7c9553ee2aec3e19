// Drives, folders and files: what FindFirstFileA, SearchPathA and
// CreateProcessA see. A loaded disc's files are entries here too (drives.cpp).
#include "world.h"

namespace sim {

namespace {

bool IsAbsolute(const std::string& path)
{
    return path.size() >= 2 && path[1] == ':';
}

std::string Parent(const std::string& normalized)
{
    size_t slash = normalized.rfind('\\');
    if (slash == std::string::npos) return "";
    if (slash == 2) return normalized.substr(0, 3);   // "C:\"
    return normalized.substr(0, slash);
}

std::string LastComponent(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasExtension(const std::string& name)
{
    return LastComponent(name).find('.') != std::string::npos;
}

bool Matches(const char* pattern, const char* name)
{
    if (*pattern == '\0') return *name == '\0';
    if (*pattern == '*') {
        // "*.*" also matches names without a dot, as on Windows.
        if (pattern[1] == '.' && pattern[2] == '*' && pattern[3] == '\0') return true;
        for (const char* rest = name;; ++rest) {
            if (Matches(pattern + 1, rest)) return true;
            if (*rest == '\0') return false;
        }
    }
    if (*name == '\0') return false;
    if (*pattern == '?' || std::toupper(static_cast<unsigned char>(*pattern)) ==
                               std::toupper(static_cast<unsigned char>(*name)))
        return Matches(pattern + 1, name + 1);
    return false;
}

void AddEntry(const std::string& path, bool directory, const std::string& contents)
{
    std::string key = NormalizePath(path);
    std::string parent = Parent(key);
    if (!parent.empty() && parent != key && parent.size() > 3) AddEntry(parent, true, "");
    FileEntry& entry = W().files[key];
    entry.path = path;
    entry.directory = directory;
    entry.contents = contents;
}

bool DirectoryExists(const std::string& normalized)
{
    if (normalized.size() == 3 && normalized[1] == ':') return RootListable(normalized[0]);
    const FileEntry* entry = FindFile(normalized);
    return entry && entry->directory;
}

}  // namespace

// Upper case, backslashes only, repeated backslashes as one, "." and ".."
// resolved, relative paths taken from the current directory.
std::string NormalizePath(const std::string& path)
{
    std::string text = path;
    for (char& c : text)
        if (c == '/') c = '\\';
    if (!IsAbsolute(text)) {
        std::string base = W().currentDirectory;
        text = (text.size() > 0 && text[0] == '\\') ? base.substr(0, 2) + text : base + "\\" + text;
    }
    std::string drive = Upper(text.substr(0, 2));
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 2; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\\') {
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(Upper(part));
            }
            part.clear();
        } else {
            part += text[i];
        }
    }
    std::string result = drive + "\\";
    for (size_t i = 0; i < parts.size(); ++i) result += (i ? "\\" : "") + parts[i];
    return result;
}

const FileEntry* FindFile(const std::string& path)
{
    auto found = W().files.find(NormalizePath(path));
    return found == W().files.end() ? NULL : &found->second;
}

void AddFile(const std::string& path, const std::string& contents)
{
    AddEntry(path, false, contents);
}

void AddDirectory(const std::string& path)
{
    AddEntry(path, true, "");
}

void RemoveFile(const std::string& path)
{
    W().files.erase(NormalizePath(path));
}

bool FileExists(const std::string& path)
{
    const FileEntry* entry = FindFile(path);
    return entry && !entry->directory;
}

std::optional<std::string> FileContents(const std::string& path)
{
    const FileEntry* entry = FindFile(path);
    if (!entry || entry->directory) return std::nullopt;
    return entry->contents;
}

void SetSystemSearchPath(const std::vector<std::string>& folders)
{
    W().systemSearchPath = folders;
}

UINT CurrentErrorMode()
{
    return W().errorMode;
}

void AddSystemFiles()
{
    AddFile("C:\\Windows\\explorer.exe");
    AddFile("C:\\Windows\\System32\\rundll32.exe");
    AddFile("C:\\Windows\\System32\\sndvol.exe");
    AddDirectory("C:\\Windows\\System");
}

// The standard search order: the program's folder, the current directory,
// then the system folders.
std::vector<std::string> SearchOrder()
{
    std::vector<std::string> order;
    if (!W().imagePath.empty()) order.push_back(Parent(NormalizePath(W().imagePath)));
    order.push_back(W().currentDirectory);
    for (const std::string& folder : W().systemSearchPath) order.push_back(folder);
    return order;
}

bool ResolveExecutable(const std::string& name, std::string* found)
{
    std::string file = HasExtension(name) ? name : name + ".exe";
    if (file.find_first_of("\\/") != std::string::npos || IsAbsolute(file)) {
        if (!FileExists(file)) return false;
        *found = file;
        return true;
    }
    for (const std::string& folder : SearchOrder()) {
        std::string candidate = folder + (folder.back() == '\\' ? "" : "\\") + file;
        if (FileExists(candidate)) {
            *found = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace sim

using namespace sim;

UINT WINAPI SetErrorMode(UINT mode)
{
    UINT previous = W().errorMode;
    W().errorMode = mode;
    Log("SetErrorMode " + Hex(mode));
    return previous;
}

HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData)
{
    std::string pattern = fileName ? fileName : "";
    Log("FindFirstFileA " + pattern);
    if (Faulted("FindFirstFileA", pattern)) return INVALID_HANDLE_VALUE;
    std::string normalized = NormalizePath(pattern);
    if (!CdPathReadable(normalized)) return INVALID_HANDLE_VALUE;
    std::string folder = Parent(normalized);
    std::string namePattern = LastComponent(pattern);
    if (!DirectoryExists(folder)) {
        W().lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    Search search;
    for (const auto& entry : W().files) {
        if (Parent(entry.first) != folder || entry.first == folder) continue;
        std::string name = LastComponent(entry.second.path);
        if (Matches(namePattern.c_str(), name.c_str())) {
            search.names.push_back(name);
            search.directories.push_back(entry.second.directory);
        }
    }
    if (search.names.empty()) {
        W().lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = reinterpret_cast<HANDLE>(NewHandleValue());
    W().searches[handle] = search;
    W().kernelHandles.insert(handle);
    FindNextFileA(handle, findData);
    return handle;
}

BOOL WINAPI FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA findData)
{
    auto found = W().searches.find(handle);
    if (found == W().searches.end()) {
        W().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    Search& search = found->second;
    if (search.next >= search.names.size()) {
        W().lastError = ERROR_NO_MORE_FILES;
        return FALSE;
    }
    *findData = WIN32_FIND_DATAA();
    findData->dwFileAttributes = search.directories[search.next] ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    snprintf(findData->cFileName, MAX_PATH, "%s", search.names[search.next].c_str());
    ++search.next;
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE handle)
{
    if (W().searches.erase(handle) == 0) {
        W().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    W().kernelHandles.erase(handle);
    return TRUE;
}

DWORD WINAPI SearchPathA(LPCSTR path, LPCSTR fileName, LPCSTR extension, DWORD bufferLength, LPSTR buffer,
                         LPSTR* filePart)
{
    std::string name = fileName ? fileName : "";
    if (extension && !HasExtension(name)) name += extension;
    Log("SearchPathA " + name);
    // A name with a path of its own (a drive, a root, "." or "..") is looked
    // for there alone (contains_path in kernelbase's SearchPathW).
    bool ownPath = IsAbsolute(name) || name.rfind('\\', 0) == 0 || name.rfind('/', 0) == 0 ||
                   name.rfind(".\\", 0) == 0 || name.rfind("./", 0) == 0 || name.rfind("..", 0) == 0;
    std::vector<std::string> folders = ownPath ? std::vector<std::string>{""}
                                       : path  ? std::vector<std::string>{path}
                                               : SearchOrder();
    for (const std::string& folder : folders) {
        std::string candidate = ownPath ? name : folder + (folder.back() == '\\' ? "" : "\\") + name;
        // A folder on an empty CD drive is probed like any other: the system may ask for a disc.
        if (!CdPathReadable(Parent(NormalizePath(candidate)))) continue;
        if (!FileExists(candidate)) continue;
        DWORD length = static_cast<DWORD>(candidate.size());
        if (length + 1 > bufferLength) return length + 1;
        memcpy(buffer, candidate.c_str(), length + 1);
        if (filePart) *filePart = buffer + candidate.rfind('\\') + 1;
        return length;
    }
    W().lastError = ERROR_FILE_NOT_FOUND;
    return 0;
}
