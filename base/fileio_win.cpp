#ifdef _WIN32
#include "base/fileio.h"

#include <atomic>
#include <stdio.h>
#include <new>
#include <string>
#include <windows.h>

#include "base/fileio_os.h"

namespace {
std::atomic<unsigned> g_tempSerial{0};

inline HANDLE H(intptr_t h)
{
    return (HANDLE)h;
}

uint64_t ToU64(const FILETIME& ft)
{
    return ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

bool IsSharingError(DWORD e)
{
    return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION || e == ERROR_ACCESS_DENIED;
}

// A path for the wide-character functions. One that the ANSI functions can
// not take (MAX_PATH bytes or more: the temporary name beside a store path of
// up to 259 bytes) is made absolute with the "\\?\" prefix, which lifts the
// limit. Empty when the path can't be converted.
std::wstring WidePathOf(const std::string& path)
{
    int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring w((size_t)n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &w[0], n);
    w.resize((size_t)n - 1);
    if (path.size() < MAX_PATH || w.compare(0, 4, L"\\\\?\\") == 0)
        return w;
    DWORD need = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
    if (!need)
        return std::wstring();
    std::wstring full((size_t)need, L'\0');
    DWORD got = GetFullPathNameW(w.c_str(), need, &full[0], nullptr);
    if (!got || got >= need)
        return std::wstring();
    full.resize(got);
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring WidePath(const std::string& path)
{
    try {
        return WidePathOf(path);
    } catch (const std::bad_alloc&) {
        return std::wstring();
    }
}
}

namespace fileio_os {
intptr_t OpenRead(const char* path, uint64_t* size)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    LARGE_INTEGER li;
    if (!GetFileSizeEx(h, &li) || li.QuadPart > 0x7FFFFFFF - 16) {
        CloseHandle(h);
        return -1;
    }
    *size = (uint64_t)li.QuadPart;
    return (intptr_t)h;
}

size_t ReadSome(intptr_t handle, char* p, size_t size)
{
    DWORD n = 0;
    DWORD want = (DWORD)(size > (1u << 24) ? (1u << 24) : size);
    if (!ReadFile(H(handle), p, want, &n, nullptr))
        return 0;
    return n;
}

intptr_t CreateTemp(const std::string& target, std::string& temp)
{
    DWORD attr = GetFileAttributesA(target.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY))
        return -1;
    char suffix[64];
    snprintf(suffix, sizeof suffix, ".~%lu.%u.tmp", (unsigned long)GetCurrentProcessId(), ++g_tempSerial);
    temp = target + suffix;
    std::wstring w = WidePath(temp);
    if (w.empty())
        return -1;
    HANDLE h = CreateFileW(w.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? -1 : (intptr_t)h;
}

bool WriteAll(intptr_t handle, const char* p, size_t left)
{
    while (left) {
        DWORD n = 0;
        DWORD want = left > (1u << 24) ? (1u << 24) : (DWORD)left;
        if (!WriteFile(H(handle), p, want, &n, nullptr) || n == 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

void StartWriteback(intptr_t, uint64_t, uint64_t)
{
    // The lazy writer already writes dirty pages out within about a second.
}

bool Sync(intptr_t handle)
{
    return FlushFileBuffers(H(handle)) != 0;
}

void Close(intptr_t handle)
{
    CloseHandle(H(handle));
}

bool Replace(const std::string& temp, const std::string& target)
{
    std::wstring from = WidePath(temp), to = WidePath(target);
    if (from.empty() || to.empty())
        return false;
    // Another reader may hold the old file open for a moment.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD attr = GetFileAttributesA(target.c_str());
        if (!IsSharingError(GetLastError()) ||
            (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)))
            return false;
        Sleep(50);
    }
    return false;
}

void Remove(const std::string& path)
{
    std::wstring w = WidePath(path);
    if (!w.empty())
        DeleteFileW(w.c_str());
}

unsigned long ProcessId()
{
    return (unsigned long)GetCurrentProcessId();
}

bool ProcessRunning(unsigned long id)
{
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, (DWORD)id);
    if (!h)
        return GetLastError() == ERROR_ACCESS_DENIED;
    bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return running;
}
}

int File_Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int File_IsDir(const char* path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

int File_Delete(const char* path)
{
    std::wstring w = WidePath(path);
    return !w.empty() && DeleteFileW(w.c_str()) ? 1 : 0;
}

int File_Move(const char* from, const char* to)
{
    return MoveFileA(from, to) ? 1 : 0;
}

int File_SetReadOnly(const char* path, int readOnly)
{
    DWORD a = GetFileAttributesA(path);
    if (a == INVALID_FILE_ATTRIBUTES)
        return 0;
    a = readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~FILE_ATTRIBUTE_READONLY);
    if (!(a & ~FILE_ATTRIBUTE_NORMAL))
        a = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesA(path, a) ? 1 : 0;
}

int File_LastWriteTime(const char* path, uint64_t* filetime)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &d))
        return 0;
    *filetime = ToU64(d.ftLastWriteTime);
    return 1;
}

int File_Size(const char* path, uint64_t* size)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &d))
        return 0;
    *size = ((uint64_t)d.nFileSizeHigh << 32) | d.nFileSizeLow;
    return 1;
}

int Dir_Create(const char* path)
{
    return CreateDirectoryA(path, nullptr) || File_IsDir(path);
}

int Dir_List(const char* folder, std::vector<DirEntry>& out)
{
    out.clear();
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += "*.*";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 1 : 0;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, ".."))
            continue;
        DirEntry de;
        de.name = fd.cFileName;
        de.isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        de.size = ((uint64_t)fd.nFileSizeHigh << 32) | fd.nFileSizeLow;
        de.writeTime = ToU64(fd.ftLastWriteTime);
        out.push_back(std::move(de));
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return 1;
}
#endif
