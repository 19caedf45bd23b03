#include "store/LockFile.h"

#include "base/clock.h"
#include "base/debug.h"
#include "base/sjis.h"

CLockFile::CLockFile()
{
    for (int i = 0; i < kSlots; ++i)
        m_slot[i][0] = 0;
}

CLockFile::~CLockFile()
{
    Debug_Out("CLockFile::~CLockFile() ... SelfCheck\n");
    for (int i = 0; i < kSlots; ++i)
        if (m_slot[i][0])
            Debug_Printf("%2d. %s\n", i, m_slot[i]);
}

int CLockFile::FindSlot(const char* path) const
{
    if (!path[0])
        return -1;
    for (int i = 0; i < kSlots; ++i)
        if (m_slot[i][0] && Str_ICmp(m_slot[i], path) == 0)
            return i;
    return -1;
}

int CLockFile::Lock(const char* path)
{
    // Compare what a slot can hold, so that an over-long path finds itself.
    char want[kPathMax];
    Str_Copy(want, sizeof want, path);
    m_cs.Enter();
    while (FindSlot(want) >= 0) {
        m_cs.Leave();
        Debug_Out("CLockFile::Lock() ... Waiti for unlock\n");
        Clock_SleepMs(100);
        m_cs.Enter();
    }
    for (int i = 0; i < kSlots; ++i) {
        if (!m_slot[i][0]) {
            Str_Copy(m_slot[i], kPathMax, want);
            m_cs.Leave();
            return 1;
        }
    }
    Debug_Out("CLockFile::Lock() ... Failure!!\n");
    m_cs.Leave();
    return 0;
}

int CLockFile::Unlock(const char* path)
{
    char want[kPathMax];
    Str_Copy(want, sizeof want, path);
    CCritSecHold hold(m_cs);
    int i = FindSlot(want);
    if (i < 0) {
        Debug_Out("CLockFile::Unlock() ... Failure!!\n");
        return 0;
    }
    m_slot[i][0] = 0;
    return 1;
}

int CLockFile::IsLocked(const char* path)
{
    char want[kPathMax];
    Str_Copy(want, sizeof want, path);
    CCritSecHold hold(m_cs);
    return FindSlot(want) >= 0 ? 1 : 0;
}
