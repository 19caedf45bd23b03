// CSubj: numbers, dates and times as display text.
#include "store/Subj.h"

#include "base/debug.h"
#include "base/sjis.h"

namespace {
const size_t kDateBuf = 32;   // callers' buffers hold at least this much

void NumberText(CSubj& s, int32_t no, char* out, size_t size)
{
    if (no & SUBJ_NO_ID)
        Str_Copy(out, size, s.GetIdText(no));
    else if (no == SUBJ_NO_UNKNOWN)
        Str_Copy(out, size, "*");
    else
        Str_Format(out, size, "%ld", (long)no);
}

int Year2(uint16_t date)
{
    return (1970 + (date >> 9)) % 100;
}
}

const char* CSubj::NoStr(int index)
{
    m_noStr[0] = 0;
    if (CheckIndex(index))
        NumberText(*this, m_items[index].no, m_noStr, sizeof m_noStr);
    return m_noStr;
}

const char* CSubj::PnoStr(int index)
{
    m_pnoStr[0] = 0;
    if (CheckIndex(index))
        NumberText(*this, m_items[index].pno, m_pnoStr, sizeof m_pnoStr);
    return m_pnoStr;
}

int CSubj::DateTimeStr(int index, char* buffer)
{
    if (!CheckIndex(index)) {
        Debug_Out("CSubj::DateTimeStr() - 不正なインデックスの参照\r\n");
        return 0;
    }
    const SubjItem& it = m_items[index];
    Str_Format(buffer, kDateBuf, "%02d/%02d/%02d %02d:%02d", Year2(it.date), (it.date >> 5) & 15,
               it.date & 31, it.time / 60, it.time % 60);
    return 1;
}

int CSubj::DateStr(int index, char* buffer)
{
    if (!CheckIndex(index)) {
        Debug_Out("CSubj::DateTimeStr() - 不正なインデックスの参照\r\n");
        return 0;
    }
    uint16_t d = m_items[index].date;
    if (d < 512)
        Str_Format(buffer, kDateBuf, "%02d/%02d", (d >> 5) & 15, d & 31);
    else
        Str_Format(buffer, kDateBuf, "%02d/%02d/%02d", Year2(d), (d >> 5) & 15, d & 31);
    return 1;
}

int CSubj::TimeStr(int index, char* buffer)
{
    if (!CheckIndex(index)) {
        Debug_Out("CSubj::TimeStr() - 不正なインデックスの参照\r\n");
        return 0;
    }
    uint16_t t = m_items[index].time;
    Str_Format(buffer, kDateBuf, "%2d:%02d", t / 60, t % 60);
    return 1;
}
