// The common file-open dialog: modal over its owner, recorded as the program
// set it up, answered by the scripted user (ChooseFile, CancelFileDialog).
#include "world.h"

#include <commdlg.h>

namespace sim {

const std::vector<FileDialogRecord>& FileDialogs()
{
    return W().fileDialogs;
}

std::string CurrentDirectory()
{
    return W().currentDirectory;
}

namespace {

// The calls differ only in their character type: the A one converts through
// the ANSI code page, '?' standing for what it lacks.
std::string Shown(const char* text)
{
    return ShownAnsi(text);
}

std::string Shown(const WCHAR* text)
{
    return Utf8(WideText(text));
}

std::string Out(const char*, const std::string& path)
{
    return Encode(CP_ACP, FromUtf8(path));
}

std::u16string Out(const WCHAR*, const std::string& path)
{
    return FromUtf8(path);
}

template <typename Char>
size_t Length(const Char* text)
{
    size_t length = 0;
    while (text[length]) ++length;
    return length;
}

template <typename Char>
std::vector<std::pair<std::string, std::string>> Filter(const Char* filter)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    while (filter && *filter) {
        const Char* patterns = filter + Length(filter) + 1;
        pairs.push_back({Shown(filter), Shown(patterns)});
        filter = patterns + Length(patterns) + 1;
    }
    return pairs;
}

template <typename Record, typename Char>
BOOL Run(const char* api, Record* ofn, size_t fullSize, size_t firstSize)
{
    World& w = W();
    w.commDlgError = 0;
    Log(api);
    if (!ofn || (ofn->lStructSize != fullSize && ofn->lStructSize != firstSize)) {
        w.commDlgError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        w.commDlgError = CDERR_INITIALIZATION;
        return FALSE;
    }
    FileDialogRecord record;
    record.wide = sizeof(Char) == 2;
    record.structSize = ofn->lStructSize;
    record.owner = ofn->hwndOwner;
    record.instance = ofn->hInstance;
    record.filter = Filter(ofn->lpstrFilter);
    record.filterIndex = ofn->nFilterIndex;
    record.initialFile = Shown(ofn->lpstrFile);
    record.fileBufferSize = ofn->nMaxFile;
    record.fileTitleGiven = ofn->lpstrFileTitle != NULL;
    if (ofn->lpstrInitialDir) record.initialDir = Shown(ofn->lpstrInitialDir);
    if (ofn->lpstrTitle) record.title = Shown(ofn->lpstrTitle);
    if (ofn->lpstrDefExt) record.defaultExtension = Shown(ofn->lpstrDefExt);
    record.flags = ofn->Flags;
    record.hookGiven = ofn->lpfnHook != NULL;
    record.open = true;
    size_t index = w.fileDialogs.size();
    w.fileDialogs.push_back(record);

    HWND owner = ofn->hwndOwner;
    bool ownerWasActive = owner && w.active == owner;
    if (owner && FindWindow(owner)) EnableWindow(owner, FALSE);
    ModalLoop(NULL, [index] { return !W().fileDialogs[index].open; }, "the file-open dialog");
    if (owner && FindWindow(owner)) {
        EnableWindow(owner, TRUE);
        if (ownerWasActive) Activate(owner);
    }
    FileDialogRecord& done = W().fileDialogs[index];
    done.open = false;
    BOOL result = FALSE;
    if (done.chosen) {
        const std::string& path = *done.chosen;
        DWORD mustExist = ofn->Flags & (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
        size_t slash = path.find_last_of('\\');
        std::string folder = slash == std::string::npos ? W().currentDirectory : path.substr(0, slash ? slash : 1);
        if (folder.size() == 2 && folder[1] == ':') folder += "\\";
        if ((ofn->Flags & OFN_FILEMUSTEXIST) && !FileExists(path))
            throw Failure("the user chooses " + Describe(path.c_str()) + " in the file-open dialog, but there is no such file");
        if (mustExist && !FileExists(path) && !FindFile(folder))
            throw Failure("the user chooses " + Describe(path.c_str()) + ", but its folder does not exist");
        auto chosen = Out(static_cast<const Char*>(NULL), path);
        if (chosen.size() + 1 > ofn->nMaxFile) {
            // The first two bytes tell the size needed.
            w.commDlgError = FNERR_BUFFERTOOSMALL;
            if (ofn->nMaxFile * sizeof(Char) >= 2) {
                WORD needed = static_cast<WORD>(chosen.size() + 1);
                memcpy(ofn->lpstrFile, &needed, sizeof needed);
            }
        } else {
            for (size_t i = 0; i < chosen.size(); ++i) ofn->lpstrFile[i] = chosen[i];
            ofn->lpstrFile[chosen.size()] = 0;
            size_t nameAt = chosen.find_last_of('\\');
            nameAt = nameAt == decltype(chosen)::npos ? 0 : nameAt + 1;
            size_t dot = chosen.find_last_of('.');
            ofn->nFileOffset = static_cast<WORD>(nameAt);
            ofn->nFileExtension = static_cast<WORD>(dot == decltype(chosen)::npos || dot < nameAt ? 0 : dot + 1);
            if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
                size_t length = chosen.size() - nameAt;
                if (length > ofn->nMaxFileTitle - 1) length = ofn->nMaxFileTitle - 1;
                for (size_t i = 0; i < length; ++i) ofn->lpstrFileTitle[i] = chosen[nameAt + i];
                ofn->lpstrFileTitle[length] = 0;
            }
            if (!(ofn->Flags & OFN_NOCHANGEDIR)) W().currentDirectory = folder;
            result = TRUE;
        }
    }
    FileDialogRecord& ended = W().fileDialogs[index];
    ended.result = result;
    ended.directoryAfter = W().currentDirectory;
    return result;
}

}  // namespace

}  // namespace sim

using namespace sim;

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    if (Faulted("GetOpenFileNameA", "")) return FALSE;
    return Run<OPENFILENAMEA, char>("GetOpenFileNameA", ofn, sizeof(OPENFILENAMEA), OPENFILENAME_SIZE_VERSION_400A);
}

BOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW ofn)
{
    if (Faulted("GetOpenFileNameW", "")) return FALSE;
    return Run<OPENFILENAMEW, WCHAR>("GetOpenFileNameW", ofn, sizeof(OPENFILENAMEW), OPENFILENAME_SIZE_VERSION_400W);
}

DWORD WINAPI CommDlgExtendedError(void)
{
    return W().commDlgError;
}
