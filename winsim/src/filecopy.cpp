// Copying and deleting files of the simulated disk, with Windows' errors.
#include "world.h"

namespace sim {

namespace {

bool FolderOf(const std::string& normalized)
{
    size_t slash = normalized.rfind('\\');
    std::string folder = slash <= 2 ? normalized.substr(0, 3) : normalized.substr(0, slash);
    if (folder.size() == 3) return RootListable(folder[0]);
    const FileEntry* entry = FindFile(folder);
    return entry && entry->directory;
}

// A standard user may not add or remove files in the system's own folders
// and the programs installed for everyone; the user's profile is theirs.
bool SystemFolder(const std::string& normalized)
{
    for (const char* folder : {"C:\\PROGRAM FILES\\", "C:\\PROGRAM FILES (X86)\\", "C:\\WINDOWS\\"})
        if (normalized.compare(0, strlen(folder), folder) == 0) return !W().elevated;
    return false;
}

}  // namespace

}  // namespace sim

using namespace sim;

BOOL WINAPI CopyFileA(LPCSTR existingFile, LPCSTR newFile, BOOL failIfExists)
{
    Log(std::string("CopyFileA ") + (existingFile ? existingFile : "") + " -> " + (newFile ? newFile : ""));
    if (!existingFile || !newFile) {
        W().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (Faulted("CopyFileA", newFile)) return FALSE;
    const FileEntry* source = FindFile(existingFile);
    if (!source || source->directory) {
        W().lastError = source ? ERROR_ACCESS_DENIED : FolderOf(NormalizePath(existingFile)) ? ERROR_FILE_NOT_FOUND
                                                                                             : ERROR_PATH_NOT_FOUND;
        return FALSE;
    }
    std::string target = NormalizePath(newFile);
    if (!FolderOf(target)) {
        W().lastError = ERROR_PATH_NOT_FOUND;
        return FALSE;
    }
    const FileEntry* existing = FindFile(newFile);
    if (existing && existing->directory) {
        W().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (existing && failIfExists) {
        W().lastError = ERROR_FILE_EXISTS;
        return FALSE;
    }
    if ((target.size() > 1 && FindCdDrive(target[0])) || SystemFolder(target)) {
        W().lastError = ERROR_ACCESS_DENIED;   // a CD is read-only, a system folder the system's
        return FALSE;
    }
    std::string contents = source->contents;
    AddFile(newFile, contents);
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR fileName)
{
    Log(std::string("DeleteFileA ") + (fileName ? fileName : ""));
    if (!fileName) {
        W().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (Faulted("DeleteFileA", fileName)) return FALSE;
    std::string key = NormalizePath(fileName);
    auto found = W().files.find(key);
    if (found == W().files.end()) {
        W().lastError = FolderOf(key) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        return FALSE;
    }
    if (found->second.directory || FindCdDrive(key[0]) || SystemFolder(key)) {
        W().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    W().files.erase(found);
    return TRUE;
}
