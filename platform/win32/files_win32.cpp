// Host file access on Windows, the same for every backend there: wide-character paths, so that
// a program folder with any name works. Windows matches names without regard to case and takes the
// game's backslashes as they are, so a name resolves to itself.
#include <algorithm>
#include <cstdio>

#include "platform/win32/win32_files.h"

void (*g_fileStepWatch)(FileStep step, const wchar_t* path, DWORD error) = nullptr;

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

void Watch(FileStep step, const std::wstring& path, DWORD error) {
    if (g_fileStepWatch) g_fileStepWatch(step, path.c_str(), error);
}

// Errors that another program holding the file gives, and that end when it lets go.
bool IsHeldByOthers(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_ACCESS_DENIED:
        case ERROR_USER_MAPPED_FILE:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
            return true;
        default:
            return false;
    }
}

// Pauses before the next try of a file others hold, longer each time; false once kFileRetryMs
// have passed since `started`.
bool PauseBeforeRetry(ULONGLONG started, DWORD* pause, const std::wstring& path, DWORD error) {
    ULONGLONG waited = GetTickCount64() - started;
    if (waited >= kFileRetryMs) return false;
    Watch(FileStep::kRetrying, path, error);
    Sleep(static_cast<DWORD>(std::min<ULONGLONG>(*pause, kFileRetryMs - waited)));
    *pause = std::min(*pause * 2, kFileRetryLongestPauseMs);
    return true;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Opens an existing file, waiting while another program holds it without sharing.
HANDLE OpenHeldFile(const std::wstring& path, DWORD access, DWORD sharing) {
    ULONGLONG started = GetTickCount64();
    DWORD pause = kFileRetryFirstPauseMs;
    for (;;) {
        HANDLE handle = CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        // Only a sharing error is waited out: access denied is also what a folder answers.
        DWORD error = GetLastError();
        if (handle != INVALID_HANDLE_VALUE ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) ||
            !PauseBeforeRetry(started, &pause, path, error)) {
            return handle;
        }
    }
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
    return Wrap(
        OpenHeldFile(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
}

PlatformFile PlatformOpenWriteExisting(const char* path) {
    std::wstring wide = Win32Wide(path);
    if (wide.empty() || !IsWritableFile(wide)) return nullptr;
    // Not waited for: this writes in place only after a replacement failed or could not be made.
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

// One try at putting `temp` in the place of `target`; 0 or the error met. The old file is
// moved to `backup` first and put back when the new one could not take its place: Windows may
// stop between the two renames, and without a backup name it then leaves no best.dat at all.
static DWORD PutInPlace(const std::wstring& target, const std::wstring& temp,
                        const std::wstring& backup, bool exists) {
    if (exists && !Exists(target) && Exists(backup)) {
        // An earlier try left the old file under the backup name: the new bytes may take its
        // place directly.
        if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
            return GetLastError();
        DeleteFileW(backup.c_str());
        return 0;
    }
    if (!exists) {
        return MoveFileExW(temp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : GetLastError();
    }
    // ReplaceFileW keeps the old file's attributes and access rights.
    if (ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
        DeleteFileW(backup.c_str());
        return 0;
    }
    DWORD error = GetLastError();
    if (!Exists(target) && Exists(backup))
        MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (IsHeldByOthers(error)) return error;
    // A file system that cannot replace (some network shares): a write-through rename.
    return MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : GetLastError();
}

// Writes `bytes` beside `target` and puts them in its place as one step: flushed to disk first,
// then renamed over it, tried again for about two seconds while another program holds either
// file. The new bytes are deleted only while `target` exists, whatever happened.
static int WriteThroughTemporary(const std::wstring& target, const void* data, size_t bytes,
                                 bool exists) {
    std::wstring temp;
    HANDLE handle = CreateTemporaryBeside(target, &temp);
    if (handle == INVALID_HANDLE_VALUE) {
        PlatformSetLastError("cannot create a file beside %s (error %lu)",
                             Win32Utf8(target.c_str()).c_str(), GetLastError());
        return 0;
    }
    bool written = WriteAll(handle, data, bytes) && FlushFileBuffers(handle);
    DWORD error = GetLastError();
    written = CloseHandle(handle) && written;
    if (written) {
        Watch(FileStep::kTemporaryWritten, temp, 0);
        const std::wstring backup = temp.substr(0, temp.size() - 4) + L".old";
        ULONGLONG started = GetTickCount64();
        DWORD pause = kFileRetryFirstPauseMs;
        while ((error = PutInPlace(target, temp, backup, exists)) != 0 && IsHeldByOthers(error) &&
               PauseBeforeRetry(started, &pause, target, error)) {
        }
        if (error == 0) return 1;
        if (exists && !Exists(target)) {
            PlatformSetLastError("cannot write %s (error %lu); the new bytes are kept in %s",
                                 Win32Utf8(target.c_str()).c_str(), error,
                                 Win32Utf8(temp.c_str()).c_str());
            return 0;
        }
        DeleteFileW(backup.c_str());
    }
    PlatformSetLastError("cannot write %s (error %lu)", Win32Utf8(target.c_str()).c_str(), error);
    DeleteFileW(temp.c_str());
    return 0;
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
