#include "base/fileio.h"
#include "base/fileio_os.h"
#include "base/sjis.h"

#include <atomic>
#include <new>
#include <stdlib.h>
#include <string.h>

namespace {
std::atomic<int> g_faultAt{0};
std::atomic<int> g_steps{0};
}

void FileFault_Set(int k)
{
    g_steps = 0;
    g_faultAt = k;
}

int FileFault_Steps()
{
    return g_steps;
}

// Called by the platform code before each step; true means: fail it.
bool FileFault_Step()
{
    int n = ++g_steps;
    int at = g_faultAt;
    return at > 0 && n == at;
}

namespace {
// Reads up to size bytes: the count read, less when the file ended early
// (it shrank meanwhile: what was there is kept).
size_t ReadFull(intptr_t h, char* p, size_t size)
{
    size_t got = 0;
    while (got < size) {
        size_t n = fileio_os::ReadSome(h, p + got, size - got);
        if (!n)
            break;
        got += n;
    }
    return got;
}
}

int File_ReadAll(const char* path, std::vector<char>& out, size_t padBefore, size_t padAfter)
{
    out.clear();
    uint64_t size = 0;
    intptr_t h = fileio_os::OpenRead(path, &size);
    if (h == -1)
        return 0;
    try {
        out.assign(padBefore + (size_t)size + padAfter, 0);
    } catch (...) {
        fileio_os::Close(h);
        out.clear();
        return 0;
    }
    size_t got = ReadFull(h, out.data() + padBefore, (size_t)size);
    fileio_os::Close(h);
    if (got < size)
        out.resize(padBefore + got + padAfter);
    return 1;
}

char* File_ReadBlock(const char* path, size_t* size, size_t padBefore, size_t padAfter)
{
    *size = 0;
    uint64_t want = 0;
    intptr_t h = fileio_os::OpenRead(path, &want);
    if (h == -1)
        return nullptr;
    char* block = (char*)malloc(padBefore + (size_t)want + padAfter + 1);   // never malloc(0)
    if (!block) {
        fileio_os::Close(h);
        return nullptr;
    }
    size_t got = ReadFull(h, block + padBefore, (size_t)want);
    fileio_os::Close(h);
    memset(block, 0, padBefore);
    memset(block + padBefore + got, 0, padAfter);
    *size = got;
    return block;
}

long File_ReadHead(const char* path, char* buf, size_t n)
{
    uint64_t size = 0;
    intptr_t h = fileio_os::OpenRead(path, &size);
    if (h == -1)
        return -1;
    size_t got = ReadFull(h, buf, n);
    fileio_os::Close(h);
    return (long)got;
}

int File_Replace(const char* path, const void* data, size_t size)
{
    CAtomicFile f;
    if (!f.Open(path))
        return 0;
    if (!f.Write(data, size))
        return 0;
    return f.Commit();
}

namespace {
const size_t kBufSize = 1 << 20;
// Pieces this large go to the file as they are, without a copy.
const size_t kDirect = 64 * 1024;
// The disk is asked to start on what was written every this many bytes, so
// that the flush at the end waits only for the last of it.
const uint64_t kWritebackStep = 8u << 20;
}

CAtomicFile::CAtomicFile() : m_handle(-1), m_failed(false), m_written(0), m_pushed(0) {}

CAtomicFile::~CAtomicFile()
{
    Abort();
}

int CAtomicFile::Open(const char* path)
{
    Abort();
    m_failed = false;
    try {
        m_path = path;
        if (FileFault_Step()) {
            m_failed = true;
            return 0;
        }
        m_handle = fileio_os::CreateTemp(m_path, m_temp);
        if (m_handle == -1) {
            m_failed = true;
            m_temp.clear();
            return 0;
        }
        m_written = m_pushed = 0;
        m_buf.reserve(kBufSize);
    } catch (const std::bad_alloc&) {
        // No memory for the names or the buffer: no file either.
        Abort();
        m_failed = true;
        return 0;
    }
    return 1;
}

int CAtomicFile::WriteOut(const char* p, size_t size)
{
    if (FileFault_Step() || !fileio_os::WriteAll(m_handle, p, size)) {
        m_failed = true;
        return 0;
    }
    m_written += size;
    if (m_written - m_pushed >= kWritebackStep) {
        fileio_os::StartWriteback(m_handle, m_pushed, m_written - m_pushed);
        m_pushed = m_written;
    }
    return 1;
}

int CAtomicFile::FlushBuffer()
{
    if (m_buf.empty())
        return 1;
    if (!WriteOut(m_buf.data(), m_buf.size()))
        return 0;
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
    if (m_handle == -1 || m_failed)
        return 0;
    const char* p = (const char*)data;
    if (size >= kDirect) {
        if (!FlushBuffer())
            return 0;
        return WriteOut(p, size);
    }
    if (m_buf.size() + size > kBufSize && !FlushBuffer())
        return 0;
    try {
        m_buf.insert(m_buf.end(), p, p + size);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int CAtomicFile::Commit()
{
    if (m_handle == -1 || m_failed || !FlushBuffer() || FileFault_Step() || !fileio_os::Sync(m_handle)) {
        Abort();
        return 0;
    }
    fileio_os::Close(m_handle);
    m_handle = -1;
    bool moved = !FileFault_Step() && fileio_os::Replace(m_temp, m_path);
    if (!moved)
        fileio_os::Remove(m_temp);
    m_temp.clear();
    return moved ? 1 : 0;
}

void CAtomicFile::Abort()
{
    if (m_handle != -1) {
        fileio_os::Close(m_handle);
        m_handle = -1;
    }
    if (!m_temp.empty()) {
        fileio_os::Remove(m_temp);
        m_temp.clear();
    }
    m_buf.clear();
}

namespace {
// The process id in a temporary file name of ours, or 0 when the name is
// not one: "<file>.~<id>.<n>.tmp" with a file name before it.
unsigned long TempOwner(const std::string& name)
{
    const char kTail[] = ".tmp";
    size_t len = name.size();
    if (len < sizeof kTail - 1 || name.compare(len - 4, 4, kTail) != 0)
        return 0;
    size_t end = len - 4;   // after the serial number
    size_t p = end;
    while (p > 0 && name[p - 1] >= '0' && name[p - 1] <= '9')
        --p;
    if (p == end || p == 0 || name[p - 1] != '.')
        return 0;
    size_t idEnd = p - 1;
    p = idEnd;
    while (p > 0 && name[p - 1] >= '0' && name[p - 1] <= '9')
        --p;
    if (p == idEnd || idEnd - p > 10 || p < 3 || name[p - 1] != '~' || name[p - 2] != '.')
        return 0;
    unsigned long long id = strtoull(name.c_str() + p, nullptr, 10);
    return id > 0 && id <= 0xFFFFFFFFull ? (unsigned long)id : 0;
}
}

int File_RemoveStaleTemps(const char* folder)
{
    std::vector<DirEntry> entries;
    if (!folder || !Dir_List(folder, entries))
        return 0;
    std::string base = folder;
    if (!base.empty() && *Path_FileName(folder))   // no separator at its end
#ifdef _WIN32
        base += '\\';
#else
        base += '/';
#endif
    unsigned long self = fileio_os::ProcessId();
    int removed = 0;
    for (const DirEntry& e : entries) {
        unsigned long owner = e.isDir ? 0 : TempOwner(e.name);
        if (!owner || owner == self || fileio_os::ProcessRunning(owner))
            continue;
        if (File_Delete((base + e.name).c_str()))
            ++removed;
    }
    return removed;
}
