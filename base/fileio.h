// File and folder helpers over Win32 or POSIX. Paths are Shift-JIS byte
// strings. Stores and settings are replaced atomically: the new content goes
// to a temporary file in the same folder, is flushed, and is moved over the
// old file; on any failure the old file stays untouched.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

// Whole file into out, with padBefore and padAfter zero bytes around it.
// Returns 1, or 0 when the file can't be opened or read (out is then empty).
int File_ReadAll(const char* path, std::vector<char>& out, size_t padBefore = 0, size_t padAfter = 0);
// The same into a block of its own (malloc; free() releases it) that is not
// cleared first, for large files: padBefore + *size + padAfter bytes, the
// pads zero. nullptr when the file can't be opened or read.
char* File_ReadBlock(const char* path, size_t* size, size_t padBefore = 0, size_t padAfter = 0);
// At most n bytes from the start of the file; the count read, -1 when the
// file can't be opened or is no regular file.
long File_ReadHead(const char* path, char* buf, size_t n);

// Replaces path with the given bytes atomically (see above). Returns 1 or 0.
int File_Replace(const char* path, const void* data, size_t size);

// The same as a stream: Open, any number of Write, then Commit. Destroying an
// uncommitted writer removes its temporary file.
class CAtomicFile {
public:
    CAtomicFile();
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    int Open(const char* path);
    int Write(const void* data, size_t size);
    int Commit();
    void Abort();

private:
    int FlushBuffer();
    int WriteBuffered(const void* data, size_t size);
    int WriteOut(const char* data, size_t size);
    std::string m_path, m_temp;
    std::vector<char> m_buf;
    intptr_t m_handle;
    bool m_failed;
    uint64_t m_written, m_pushed;   // bytes in the file; of them, handed to the disk
};

// Removes from folder the temporary files that atomic writes of processes no
// longer running left behind (a killed plug-in), recognised by their name
// "<file>.~<process id>.<n>.tmp"; files of running processes (this one too)
// and every other file stay. Returns the number removed.
int File_RemoveStaleTemps(const char* folder);

int File_Exists(const char* path);   // a file or a folder
int File_IsDir(const char* path);
int File_Delete(const char* path);
int File_Move(const char* from, const char* to);   // fails if to exists
int File_SetReadOnly(const char* path, int readOnly);
// Last-write time as a Windows FILETIME value (100 ns since 1601).
int File_LastWriteTime(const char* path, uint64_t* filetime);
int File_Size(const char* path, uint64_t* size);
int Dir_Create(const char* path);

struct DirEntry {
    std::string name;
    bool isDir;
    uint64_t size;
    uint64_t writeTime;   // FILETIME units
};
// Entries of a folder except "." and "..", in the order the system gives.
int Dir_List(const char* folder, std::vector<DirEntry>& out);

// Test seam: counts create, write, flush and replace steps of atomic writes;
// with FileFault_Set(k) the k-th step from now fails as the system would.
void FileFault_Set(int k);
int FileFault_Steps();   // steps counted since the last FileFault_Set
