// The player's own folder on Windows: %APPDATA%\Tapdash\, whether a folder can be written, and
// its making. A folder made under %APPDATA% inherits its access rights: its owner's alone.
#include <shlobj.h>

#include <cwchar>
#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_backend.h"

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring WithSeparator(std::wstring dir) {
    if (!dir.empty() && !IsSeparator(dir.back())) dir += L'\\';
    return dir;
}

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string PlatformPlayerDataDir() {
    // The environment names the folder a test or a moved profile chose; the shell knows it when
    // the environment does not.
    std::wstring appData;
    if (const wchar_t* value = _wgetenv(L"APPDATA")) appData = value;
    if (appData.empty()) {
        wchar_t folder[MAX_PATH];
        if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
            return {};
        appData = folder;
    }
    return Win32Utf8((WithSeparator(appData) + L"Tapdash\\").c_str());
}

bool PlatformFolderWritable(const std::string& dir) {
    const std::wstring folder = WithSeparator(Win32Wide(dir.c_str()));
    if (folder.empty() || !IsFolder(folder)) return false;
    wchar_t name[64];
    swprintf(name, 64, L".tapdash-write-test.%lu.tmp", GetCurrentProcessId());
    HANDLE probe = CreateFileW(
        (folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return false;
    CloseHandle(probe);
    return true;
}

bool PlatformMakePrivateFolder(const std::string& dir) {
    std::wstring folder = Win32Wide(dir.c_str());
    if (folder.empty()) return false;
    while (IsSeparator(folder.back())) folder.pop_back();
    // Each folder from the top down; the drive and one that is there already are left alone.
    for (size_t i = 1; i < folder.size(); ++i) {
        if (IsSeparator(folder[i]) && folder[i - 1] != L':' && !IsSeparator(folder[i - 1]))
            CreateDirectoryW(folder.substr(0, i).c_str(), nullptr);
    }
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        PlatformSetLastError("cannot make %s (error %lu)", dir.c_str(), GetLastError());
        return false;
    }
    return IsFolder(folder);
}

bool PlatformCreateEmptyFile(const char* path) {
    const std::wstring file = Win32Wide(path);
    if (file.empty()) return false;
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return CloseHandle(handle) != 0;
    const DWORD attributes = GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
