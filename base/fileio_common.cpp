#include "base/fileio.h"

#include <atomic>

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

int File_Replace(const char* path, const void* data, size_t size)
{
    CAtomicFile f;
    if (!f.Open(path))
        return 0;
    if (!f.Write(data, size))
        return 0;
    return f.Commit();
}
