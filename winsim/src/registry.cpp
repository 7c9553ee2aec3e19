// The registry: keys with class strings, values with their type and exact
// bytes, handles, and the ANSI calls the program makes.
#include "world.h"

#include <sstream>

namespace sim {

namespace {

// Splits "HKCU\A\B" into its root and the rest.
RegKey* RootOf(const std::string& path, std::string* rest)
{
    size_t slash = path.find('\\');
    std::string root = Upper(path.substr(0, slash));
    *rest = slash == std::string::npos ? "" : path.substr(slash + 1);
    if (root == "HKCU" || root == "HKEY_CURRENT_USER") return &W().currentUser;
    if (root == "HKLM" || root == "HKEY_LOCAL_MACHINE") return &W().localMachine;
    throw Failure("unknown registry root in " + path);
}

std::vector<std::string> Components(const std::string& subKey)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : subKey) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

RegKey* Walk(RegKey* key, const std::string& subKey, bool create, std::string className, bool* created)
{
    for (const std::string& part : Components(subKey)) {
        auto found = key->keys.find(part);
        if (found == key->keys.end()) {
            if (!create) return NULL;
            std::unique_ptr<RegKey> child(new RegKey);
            child->path = key->path + "\\" + part;
            child->className = className;
            if (created) *created = true;
            found = key->keys.emplace(part, std::move(child)).first;
        }
        key = found->second.get();
    }
    return key;
}

RegKey* KeyOfHandle(HKEY handle)
{
    if (handle == HKEY_CURRENT_USER) return &W().currentUser;
    if (handle == HKEY_LOCAL_MACHINE) return &W().localMachine;
    auto found = W().regHandles.find(handle);
    return found == W().regHandles.end() ? NULL : found->second;
}

HKEY NewKeyHandle(RegKey* key, REGSAM access)
{
    HKEY handle = reinterpret_cast<HKEY>(NewHandleValue());
    W().regHandles[handle] = key;
    W().regAccess[handle] = access;
    return handle;
}

// What a standard user may do under HKEY_LOCAL_MACHINE: read. An elevated
// program may do anything there; HKEY_CURRENT_USER is the user's own.
const REGSAM kReadRights = KEY_READ;

bool ReadOnly(const RegKey* key)
{
    return !W().elevated && key->path.compare(0, 4, "HKLM") == 0;
}

// Reading and writing values take the rights the handle was opened with; the
// predefined roots have every right the user has there.
bool Allows(HKEY handle, REGSAM right)
{
    if (handle == HKEY_CURRENT_USER) return true;
    if (handle == HKEY_LOCAL_MACHINE) return !ReadOnly(&W().localMachine) || (right & ~kReadRights) == 0;
    auto found = W().regAccess.find(handle);
    return found != W().regAccess.end() && (found->second & right) == right;
}

// The key's security refuses a right beyond reading to a standard user
// under HKEY_LOCAL_MACHINE, whatever handle it is reached through.
bool Refuses(const RegKey* key, REGSAM access)
{
    return ReadOnly(key) && (access & ~kReadRights) != 0;
}

LSTATUS FaultOr(const char* api, const std::string& subject, LSTATUS otherwise)
{
    return Faulted(api, subject) ? static_cast<LSTATUS>(W().lastError) : otherwise;
}

std::string PathOf(RegKey* key, const char* subKey)
{
    std::string path = key->path;
    for (const std::string& part : Components(subKey ? subKey : "")) path += "\\" + part;
    return path;
}

void DumpKey(const RegKey& key, std::ostringstream& out)
{
    out << "[" << key.path << "] class=" << Describe(key.className.c_str()) << "\n";
    for (const auto& value : key.values) {
        out << "  " << value.first << " type=" << value.second.type << " bytes=";
        for (unsigned char c : value.second.data) out << Hex(c) << " ";
        out << "\n";
    }
    for (const auto& child : key.keys) DumpKey(*child.second, out);
}

}  // namespace

void AddSystemRegistry()
{
    CreateRegKey("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    CreateRegKey("HKLM\\System\\CurrentControlSet\\Control\\MediaResources\\mci\\cdaudio");
}

void CreateRegKey(const std::string& keyPath)
{
    std::string rest;
    RegKey* root = RootOf(keyPath, &rest);
    Walk(root, rest, true, "", NULL);
}

void SetRegValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& bytes)
{
    std::string rest;
    RegKey* key = Walk(RootOf(keyPath, &rest), rest, true, "", NULL);
    key->values[name] = RegValue{type, bytes};
}

void SetRegText(const std::string& keyPath, const std::string& name, const std::string& text)
{
    SetRegValue(keyPath, name, REG_SZ, text + std::string(1, '\0'));
}

std::optional<RegValue> GetRegValue(const std::string& keyPath, const std::string& name)
{
    std::string rest;
    RegKey* key = Walk(RootOf(keyPath, &rest), rest, false, "", NULL);
    if (!key) return std::nullopt;
    auto found = key->values.find(name);
    if (found == key->values.end()) return std::nullopt;
    return found->second;
}

bool RegKeyExists(const std::string& keyPath)
{
    std::string rest;
    return Walk(RootOf(keyPath, &rest), rest, false, "", NULL) != NULL;
}

std::string RegKeyClass(const std::string& keyPath)
{
    std::string rest;
    RegKey* key = Walk(RootOf(keyPath, &rest), rest, false, "", NULL);
    if (!key) throw Failure("no registry key " + keyPath);
    return key->className;
}

std::string DumpRegistry()
{
    std::ostringstream out;
    DumpKey(W().currentUser, out);
    DumpKey(W().localMachine, out);
    return out.str();
}

int OpenRegistryHandles()
{
    return static_cast<int>(W().regHandles.size());
}

}  // namespace sim

using namespace sim;

LSTATUS WINAPI RegOpenKeyExA(HKEY handle, LPCSTR subKey, DWORD, REGSAM access, PHKEY result)
{
    RegKey* parent = KeyOfHandle(handle);
    if (!parent) return ERROR_INVALID_HANDLE;
    std::string path = PathOf(parent, subKey);
    Log("RegOpenKeyExA " + path);
    if (LSTATUS error = FaultOr("RegOpenKeyExA", path, ERROR_SUCCESS)) return error;
    RegKey* key = Walk(parent, subKey ? subKey : "", false, "", NULL);
    if (!key) return ERROR_FILE_NOT_FOUND;
    if (Refuses(key, access)) return ERROR_ACCESS_DENIED;
    *result = NewKeyHandle(key, access);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCreateKeyExA(HKEY handle, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD, REGSAM access,
                               LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition)
{
    if (reserved) return ERROR_INVALID_PARAMETER;
    RegKey* parent = KeyOfHandle(handle);
    if (!parent) return ERROR_INVALID_HANDLE;
    std::string path = PathOf(parent, subKey);
    Log("RegCreateKeyExA " + path);
    if (LSTATUS error = FaultOr("RegCreateKeyExA", path, ERROR_SUCCESS)) return error;
    // An existing key opens with the rights its security grants. A new one
    // needs the right to make subkeys through the handle given, as the
    // documentation asks, and a user who may write there.
    RegKey* existing = Walk(parent, subKey ? subKey : "", false, "", NULL);
    if (existing ? Refuses(existing, access) : ReadOnly(parent) || !Allows(handle, KEY_CREATE_SUB_KEY))
        return ERROR_ACCESS_DENIED;
    bool created = false;
    RegKey* key = Walk(parent, subKey ? subKey : "", true, className ? className : "", &created);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewKeyHandle(key, access);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExA(HKEY handle, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                                LPDWORD dataSize)
{
    RegKey* key = KeyOfHandle(handle);
    if (!key) return ERROR_INVALID_HANDLE;
    if (!Allows(handle, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    std::string name = valueName ? valueName : "";
    if (LSTATUS error = FaultOr("RegQueryValueExA", name, ERROR_SUCCESS)) return error;
    auto found = key->values.find(name);
    if (found == key->values.end()) return ERROR_FILE_NOT_FOUND;
    const RegValue& value = found->second;
    if (type) *type = value.type;
    DWORD size = static_cast<DWORD>(value.data.size());
    if (data == NULL) {
        if (dataSize) *dataSize = size;
        return ERROR_SUCCESS;
    }
    if (dataSize == NULL) return ERROR_INVALID_PARAMETER;
    if (*dataSize < size) {
        // The buffer's contents are undefined then: fill it, as a caller that
        // ignores the error would see some of the data.
        memcpy(data, value.data.data(), *dataSize);
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    memcpy(data, value.data.data(), size);
    *dataSize = size;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegSetValueExA(HKEY handle, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                              DWORD dataSize)
{
    RegKey* key = KeyOfHandle(handle);
    if (!key) return ERROR_INVALID_HANDLE;
    std::string name = valueName ? valueName : "";
    Log("RegSetValueExA " + key->path + " " + name);
    if (!Allows(handle, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (LSTATUS error = FaultOr("RegSetValueExA", name, ERROR_SUCCESS)) return error;
    key->values[name] = RegValue{type, std::string(reinterpret_cast<const char*>(data), dataSize)};
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCloseKey(HKEY handle)
{
    if (handle == HKEY_CURRENT_USER || handle == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    auto found = W().regHandles.find(handle);
    if (found == W().regHandles.end()) return ERROR_INVALID_HANDLE;
    std::string path = found->second->path;
    W().regHandles.erase(found);
    W().regAccess.erase(handle);
    Log("RegCloseKey " + path);
    return FaultOr("RegCloseKey", path, ERROR_SUCCESS);
}
