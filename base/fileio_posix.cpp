#ifndef _WIN32
#include "base/fileio.h"

#include <atomic>
#include <new>
#include <thread>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fileio_os.h"

namespace {
std::atomic<unsigned> g_tempSerial{0};

uint64_t ToFiletime(const struct timespec& ts)
{
    // 1601-01-01 to 1970-01-01 in 100 ns units.
    const uint64_t epochDiff = 116444736000000000ULL;
    return epochDiff + (uint64_t)ts.tv_sec * 10000000ULL + (uint64_t)ts.tv_nsec / 100;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash ? slash : 1);
}
}

namespace fileio_os {
intptr_t OpenRead(const char* path, uint64_t* size)
{
    // Not blocking on a pipe's open; anything but a regular file is refused.
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (uint64_t)st.st_size >= SIZE_MAX / 2) {
        close(fd);
        return -1;
    }
    *size = (uint64_t)st.st_size;
    return fd;
}

size_t ReadSome(intptr_t handle, char* p, size_t size)
{
    for (;;) {
        ssize_t n = read((int)handle, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0 ? (size_t)n : 0;
    }
}

intptr_t CreateTemp(const std::string& target, std::string& temp)
{
    struct stat st;
    if (stat(target.c_str(), &st) == 0 && !(st.st_mode & 0200))
        return -1;
    char suffix[64];
    snprintf(suffix, sizeof suffix, ".~%d.%u.tmp", (int)getpid(), ++g_tempSerial);
    temp = target + suffix;
    return open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
}

bool WriteAll(intptr_t handle, const char* p, size_t left)
{
    while (left) {
        ssize_t n = write((int)handle, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= (size_t)n;
    }
    return true;
}

void StartWriteback(intptr_t handle, uint64_t offset, uint64_t size)
{
#if defined(__linux__)
    sync_file_range((int)handle, (off64_t)offset, (off64_t)size, SYNC_FILE_RANGE_WRITE);
#else
    (void)handle;
    (void)offset;
    (void)size;
#endif
}

bool Sync(intptr_t handle)
{
    return fsync((int)handle) == 0;
}

void Close(intptr_t handle)
{
    close((int)handle);
}

bool Replace(const std::string& temp, const std::string& target)
{
    // The old file's blocks are freed when its last name and handle go; for
    // a large file that takes a while (and a discard on some disks), so a
    // handle kept open across the rename moves the freeing to a thread
    // that closes it, and the caller goes on.
    int old = open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st;
    if (old >= 0 && (fstat(old, &st) != 0 || st.st_size < (8 << 20))) {
        close(old);
        old = -1;
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        if (old >= 0)
            close(old);
        return false;
    }
    if (old >= 0) {
        try {
            std::thread([old] { close(old); }).detach();
        } catch (...) {
            close(old);
        }
    }
    try {
        int dfd = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY);
        if (dfd >= 0) {
            fsync(dfd);
            close(dfd);
        }
    } catch (const std::bad_alloc&) {
        // The file is in place; only the folder entry's flush is left out.
    }
    return true;
}

void Remove(const std::string& path)
{
    unlink(path.c_str());
}

unsigned long ProcessId()
{
    return (unsigned long)getpid();
}

bool ProcessRunning(unsigned long id)
{
    if (id == 0 || id > (unsigned long)INT32_MAX)
        return false;
    return kill((pid_t)id, 0) == 0 || errno == EPERM;
}
}

int File_Exists(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0;
}

int File_IsDir(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

int File_Delete(const char* path)
{
    return unlink(path) == 0;
}

int File_Move(const char* from, const char* to)
{
    if (File_Exists(to))
        return 0;
    return rename(from, to) == 0;
}

int File_SetReadOnly(const char* path, int readOnly)
{
    struct stat st;
    if (stat(path, &st) != 0)
        return 0;
    mode_t m = st.st_mode & 07777;
    m = readOnly ? (m & ~(mode_t)0222) : (m | 0200);
    return chmod(path, m) == 0;
}

int File_LastWriteTime(const char* path, uint64_t* filetime)
{
    struct stat st;
    if (stat(path, &st) != 0)
        return 0;
    *filetime = ToFiletime(st.st_mtim);
    return 1;
}

int File_Size(const char* path, uint64_t* size)
{
    struct stat st;
    if (stat(path, &st) != 0)
        return 0;
    *size = (uint64_t)st.st_size;
    return 1;
}

int Dir_Create(const char* path)
{
    return mkdir(path, 0755) == 0 || (errno == EEXIST && File_IsDir(path));
}

int Dir_List(const char* folder, std::vector<DirEntry>& out)
{
    out.clear();
    DIR* d = opendir(folder);
    if (!d)
        return 0;
    std::string base = folder;
    if (!base.empty() && base.back() != '/')
        base += '/';
    while (struct dirent* e = readdir(d)) {
        if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, ".."))
            continue;
        DirEntry de;
        de.name = e->d_name;
        struct stat st;
        if (stat((base + e->d_name).c_str(), &st) != 0)
            continue;
        de.isDir = S_ISDIR(st.st_mode);
        de.size = (uint64_t)st.st_size;
        de.writeTime = ToFiletime(st.st_mtim);
        out.push_back(std::move(de));
    }
    closedir(d);
    return 1;
}
#endif
