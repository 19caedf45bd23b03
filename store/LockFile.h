// CLockFile: the in-process table of store files that some thread is
// rewriting. Paths are compared without regard to case. A thread that wants
// a path already held waits (polling every 100 ms, outside the table's lock)
// until the holder unlocks it; there is no time-out.
#pragma once
#include "base/lock.h"

class CLockFile {
public:
    enum { kSlots = 30, kPathMax = 260 };

    CLockFile();
    ~CLockFile();   // lists the slots still held to the debug output
    CLockFile(const CLockFile&) = delete;
    CLockFile& operator=(const CLockFile&) = delete;

    // 1 when the path is now held; 0 when every slot is taken (the caller
    // goes on without the lock).
    int Lock(const char* path);
    int Unlock(const char* path);
    int IsLocked(const char* path);

private:
    int FindSlot(const char* path) const;   // under m_cs

    CCritSec m_cs;
    char m_slot[kSlots][kPathMax];
};
