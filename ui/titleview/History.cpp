#include "ui/titleview/History.h"

#include "base/sjis.h"

#include <string.h>

CHistory::CHistory()
{
    memset(m_slots, 0, sizeof m_slots);
}

void CHistory::Push(const char* path, int row)
{
    m_current = (m_current + 1) % HISTORY_SLOTS;
    if (m_current == m_oldest)
        m_oldest = (m_oldest + 1) % HISTORY_SLOTS;
    Str_Copy(m_slots[m_current].path, sizeof m_slots[m_current].path, path ? path : "");
    m_slots[m_current].row = row;
    int after = (m_current + 1) % HISTORY_SLOTS;
    m_slots[after].path[0] = 0;
    m_slots[after].row = 0;
}

int CHistory::Next(HistorySlot* out)
{
    int after = (m_current + 1) % HISTORY_SLOTS;
    if (after == m_oldest || !m_slots[after].path[0])
        return 0;
    m_current = after;
    *out = m_slots[after];
    return 1;
}

int CHistory::Back(HistorySlot* out)
{
    if (m_current == m_oldest || m_current == (m_oldest + 1) % HISTORY_SLOTS)
        return 0;
    m_current = (m_current + HISTORY_SLOTS - 1) % HISTORY_SLOTS;
    *out = m_slots[m_current];
    return 1;
}
