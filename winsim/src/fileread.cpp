// Opening existing files for reading: CreateFileA and ReadFile, on the fixed
// disk and on discs. Handles count among the open kernel handles.
#include "cdrom.h"

#include <algorithm>

namespace sim {

namespace {

bool FolderExists(const std::string& key)
{
    size_t slash = key.rfind('\\');
    std::string folder = key.substr(0, slash == 2 ? 3 : slash);
    if (folder.size() == 3) return RootListable(folder[0]);
    const FileEntry* entry = FindFile(folder);
    return entry && entry->directory;
}

// Another open handle of the same file that does not share reading with this one.
bool SharingConflict(const std::string& key, DWORD shareMode)
{
    for (const auto& opened : W().openedFiles) {
        if (opened.second.key != key || !W().kernelHandles.count(opened.first)) continue;
        if (!(opened.second.shareMode & FILE_SHARE_READ) || !(shareMode & FILE_SHARE_READ)) return true;
    }
    return false;
}

}  // namespace

}  // namespace sim

using namespace sim;

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES, DWORD creation,
                          DWORD, HANDLE)
{
    std::string path = fileName ? fileName : "";
    Log("CreateFileA " + path);
    if ((access & ~static_cast<DWORD>(GENERIC_READ)) != 0 || creation != OPEN_EXISTING)
        throw Failure("CreateFileA " + Describe(path.c_str()) +
                      ": the simulation opens existing files for reading only");
    if (Faulted("CreateFileA", path)) return INVALID_HANDLE_VALUE;
    std::string key = NormalizePath(path);
    if (!CdPathReadable(key)) return INVALID_HANDLE_VALUE;
    const FileEntry* entry = FindFile(key);
    if (!entry) {
        W().lastError = FolderExists(key) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    if (entry->directory) {
        W().lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    if (SharingConflict(key, shareMode)) {
        W().lastError = ERROR_SHARING_VIOLATION;
        return INVALID_HANDLE_VALUE;
    }
    OpenedFile opened;
    opened.key = key;
    opened.contents = entry->contents;
    opened.shareMode = shareMode;
    if (CdDrive* drive = FindCdDrive(key[0])) {
        opened.drive = drive->letter;
        opened.media = drive->media;
    }
    HANDLE handle = reinterpret_cast<HANDLE>(NewHandleValue());
    W().kernelHandles.insert(handle);
    W().openedFiles[handle] = opened;
    return handle;
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped)
{
    if (overlapped || !read) throw Failure("ReadFile: the simulation reads synchronously, with a count of bytes read");
    *read = 0;
    auto found = W().openedFiles.find(file);
    if (found == W().openedFiles.end() || !W().kernelHandles.count(file)) {
        W().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    OpenedFile& opened = found->second;
    if (Faulted("ReadFile", opened.key)) return FALSE;
    if (opened.drive) {
        // The disc it was opened on has gone (ejected or changed).
        const CdDrive* drive = FindCdDrive(opened.drive);
        if (!drive || !MediaLoaded(*drive) || drive->media != opened.media) {
            W().lastError = ERROR_NOT_READY;
            return FALSE;
        }
    }
    size_t count = std::min<size_t>(toRead, opened.contents.size() - opened.offset);
    memcpy(buffer, opened.contents.data() + opened.offset, count);
    opened.offset += count;
    *read = static_cast<DWORD>(count);
    return TRUE;
}
