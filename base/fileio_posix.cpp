#ifndef _WIN32
#include "base/fileio.h"

#include <atomic>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

bool FileFault_Step();

namespace {
const size_t kBufSize = 1 << 20;
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

int File_ReadAll(const char* path, std::vector<char>& out, size_t padBefore, size_t padAfter)
{
    out.clear();
    int fd = open(path, O_RDONLY);
    if (fd < 0)
        return 0;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return 0;
    }
    size_t size = (size_t)st.st_size;
    try {
        out.assign(padBefore + size + padAfter, 0);
    } catch (...) {
        close(fd);
        out.clear();
        return 0;
    }
    size_t got = 0;
    while (got < size) {
        ssize_t n = read(fd, out.data() + padBefore + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += (size_t)n;
    }
    close(fd);
    if (got < size)   // the file shrank meanwhile: keep what was there
        out.resize(padBefore + got + padAfter);
    return 1;
}

long File_ReadHead(const char* path, char* buf, size_t n)
{
    int fd = open(path, O_RDONLY);
    if (fd < 0)
        return -1;
    size_t got = 0;
    while (got < n) {
        ssize_t r = read(fd, buf + got, n - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got += (size_t)r;
    }
    close(fd);
    return (long)got;
}

CAtomicFile::CAtomicFile() : m_handle(-1), m_failed(false) {}

CAtomicFile::~CAtomicFile()
{
    Abort();
}

int CAtomicFile::Open(const char* path)
{
    Abort();
    m_failed = false;
    m_path = path;
    char suffix[64];
    snprintf(suffix, sizeof suffix, ".~%d.%u.tmp", (int)getpid(), ++g_tempSerial);
    m_temp = m_path + suffix;
    // A read-only file stays as it is, as an in-place rewrite would.
    struct stat st;
    bool readOnly = stat(path, &st) == 0 && !(st.st_mode & 0200);
    if (FileFault_Step() || readOnly) {
        m_failed = true;
        m_temp.clear();
        return 0;
    }
    int fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        m_failed = true;
        return 0;
    }
    m_handle = fd;
    m_buf.reserve(kBufSize);
    return 1;
}

int CAtomicFile::FlushBuffer()
{
    if (m_buf.empty())
        return 1;
    if (FileFault_Step()) {
        m_failed = true;
        return 0;
    }
    const char* p = m_buf.data();
    size_t left = m_buf.size();
    while (left) {
        ssize_t n = write((int)m_handle, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_failed = true;
            return 0;
        }
        p += n;
        left -= (size_t)n;
    }
    m_buf.clear();
    return 1;
}

int CAtomicFile::Write(const void* data, size_t size)
{
    // A failed write gives up the temporary file at once.
    if (!WriteBuffered(data, size)) {
        Abort();
        m_failed = true;
        return 0;
    }
    return 1;
}

int CAtomicFile::WriteBuffered(const void* data, size_t size)
{
    if (m_handle < 0 || m_failed)
        return 0;
    const char* p = (const char*)data;
    if (size >= kBufSize) {
        if (!FlushBuffer())
            return 0;
        m_buf.assign(p, p + size);
        return FlushBuffer();
    }
    if (m_buf.size() + size > kBufSize && !FlushBuffer())
        return 0;
    m_buf.insert(m_buf.end(), p, p + size);
    return 1;
}

int CAtomicFile::Commit()
{
    if (m_handle < 0 || m_failed) {
        Abort();
        return 0;
    }
    if (!FlushBuffer()) {
        Abort();
        return 0;
    }
    if (FileFault_Step() || fsync((int)m_handle) != 0) {
        Abort();
        return 0;
    }
    close((int)m_handle);
    m_handle = -1;
    if (FileFault_Step() || rename(m_temp.c_str(), m_path.c_str()) != 0) {
        unlink(m_temp.c_str());
        m_temp.clear();
        return 0;
    }
    m_temp.clear();
    int dfd = open(FolderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return 1;
}

void CAtomicFile::Abort()
{
    if (m_handle >= 0) {
        close((int)m_handle);
        m_handle = -1;
    }
    if (!m_temp.empty()) {
        unlink(m_temp.c_str());
        m_temp.clear();
    }
    m_buf.clear();
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
