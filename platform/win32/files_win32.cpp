// Host file access on Windows, the same for every backend there: wide-character paths, so that
// a program folder with any name works. Windows matches names without regard to case and takes the
// game's backslashes as they are, so a name resolves to itself.
#include <cstdio>

#include "platform/win32/win32_backend.h"

struct PlatformFileTag {
    HANDLE handle;
};

namespace {

PlatformFile Wrap(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : new PlatformFileTag{handle};
}

bool IsWritableFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
}

bool WriteAll(HANDLE handle, const void* data, size_t bytes) {
    const char* next = static_cast<const char*>(data);
    while (bytes > 0) {
        DWORD chunk = bytes > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes);
        DWORD written = 0;
        if (!WriteFile(handle, next, chunk, &written, nullptr) || written == 0) return false;
        next += written;
        bytes -= written;
    }
    return true;
}

// A new file beside `path` that no one else uses: "<name>.<process>-<n>.tmp".
HANDLE CreateTemporaryBeside(const std::wstring& path, std::wstring* temp) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        wchar_t suffix[40];
        swprintf(suffix, 40, L".%lu-%u.tmp", GetCurrentProcessId(), attempt);
        *temp = path + suffix;
        HANDLE handle = CreateFileW(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return handle;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

std::string PlatformProgramDir() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    return Win32Utf8(path.substr(0, slash + 1).c_str());
}

std::string PlatformResolvePath(const char* path) {
    return path ? path : "";
}

PlatformFile PlatformOpenRead(const char* path) {
    std::wstring wide = Win32Wide(path);
    if (wide.empty()) return nullptr;
    // Others may read and also replace the file meanwhile; this handle keeps what it opened.
    return Wrap(CreateFileW(wide.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

PlatformFile PlatformOpenWriteExisting(const char* path) {
    std::wstring wide = Win32Wide(path);
    if (wide.empty() || !IsWritableFile(wide)) return nullptr;
    return Wrap(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

long PlatformRead(PlatformFile file, void* buffer, size_t maxBytes) {
    if (!file) return -1;
    char* next = static_cast<char*>(buffer);
    size_t total = 0;
    while (total < maxBytes) {
        size_t left = maxBytes - total;
        DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD got = 0;
        if (!ReadFile(file->handle, next + total, chunk, &got, nullptr)) {
            return total > 0 ? static_cast<long>(total) : -1;
        }
        if (got == 0) break;
        total += got;
    }
    return static_cast<long>(total);
}

long PlatformWrite(PlatformFile file, const void* data, size_t bytes) {
    if (!file) return -1;
    return WriteAll(file->handle, data, bytes) ? static_cast<long>(bytes) : -1;
}

int PlatformFlush(PlatformFile file) {
    return file && FlushFileBuffers(file->handle) ? 1 : 0;
}

void PlatformClose(PlatformFile file) {
    if (!file) return;
    CloseHandle(file->handle);
    delete file;
}

// Writes `bytes` beside `target` and puts them in its place as one step: flushed to disk first,
// then ReplaceFileW (which keeps the old file's attributes and access rights) or, for a new file
// or where the file system cannot do that, a write-through rename.
static int WriteThroughTemporary(const std::wstring& target, const void* data, size_t bytes,
                                 bool exists) {
    std::wstring temp;
    HANDLE handle = CreateTemporaryBeside(target, &temp);
    if (handle == INVALID_HANDLE_VALUE) {
        PlatformSetLastError("cannot create a file beside %s (error %lu)",
                             Win32Utf8(target.c_str()).c_str(), GetLastError());
        return 0;
    }
    bool ok = WriteAll(handle, data, bytes) && FlushFileBuffers(handle);
    ok = CloseHandle(handle) && ok;
    if (ok && !(exists && ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))) {
        ok = MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ok) {
        PlatformSetLastError("cannot write %s (error %lu)", Win32Utf8(target.c_str()).c_str(),
                             GetLastError());
        DeleteFileW(temp.c_str());
    }
    return ok ? 1 : 0;
}

int PlatformReplaceFile(const char* path, const void* data, size_t bytes) {
    std::wstring target = Win32Wide(path);
    if (target.empty() || !IsWritableFile(target)) return 0;
    return WriteThroughTemporary(target, data, bytes, true);
}

int PlatformWriteFile(const char* path, const void* data, size_t bytes) {
    std::wstring target = Win32Wide(path);
    if (target.empty()) return 0;
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return PlatformReplaceFile(path, data, bytes);
    }
    return WriteThroughTemporary(target, data, bytes, false);
}
