#include "store/Atom.h"

#include "base/debug.h"
#include "base/sjis.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

namespace {
CAtomFatalHandler g_fatal = nullptr;

void Fatal(const char* text, const char* caption)
{
    Debug_Printf("%s %s\n", caption, text);
    if (g_fatal)
        g_fatal(text, caption);
    abort();
}
}

void CAtom_SetFatalHandler(CAtomFatalHandler handler)
{
    g_fatal = handler;
}

CAtom::CAtom() : m_capacity(0), m_top(1), m_mode(1), m_entries(nullptr)
{
    m_entries = (Entry*)malloc(sizeof(Entry) * kInitial);
    if (!m_entries)
        Fatal("メモリが足りません", "ZEVA:CAtom");
    m_capacity = kInitial;
    Reset();
}

CAtom::~CAtom()
{
    free(m_entries);
}

void CAtom::SetMode(int lookup)
{
    m_mode = lookup ? 1 : 0;
}

void CAtom::Reset()
{
    m_top = 1;
    for (int k = 0; k < m_capacity; ++k) {
        m_entries[k].pos = k;
        m_entries[k].count = 0;
        m_entries[k].hash = 0;
        m_entries[k].text[0] = 0;
    }
}

int CAtom::Check()
{
    if (m_top == 1)
        return 1;
    Debug_Out("CAtom::Check() ... FALSE\n");
    return 0;
}

uint16_t CAtom::Hash(const char* text)
{
    uint16_t h = 0;
    if (!text)
        return 0;
    for (int i = 0; i < 16 && text[i]; ++i)
        h = (uint16_t)(h + (int)(signed char)text[i]);
    return h;
}

// Position for hash h among 1 .. top-1: the first position when h is not
// above the first hash, top when it is above the last, else a bisection that
// stops on an equal hash or at the upper end of the last step.
int CAtom::FindPos(uint16_t h) const
{
    if (m_top <= 1 || HashAt(1) >= h)
        return 1;
    uint16_t last = HashAt(m_top - 1);
    if (last < h)
        return m_top;
    if (last == h)
        return m_top - 1;
    int low = 1, high = m_top - 1;
    while (high - low > 1) {
        int mid = low + (high - low) / 2;
        uint16_t mh = HashAt(mid);
        if (mh == h)
            return mid;
        if (mh < h)
            low = mid;
        else
            high = mid;
    }
    return high;
}

bool CAtom::Grow()
{
    if (m_capacity > INT_MAX - kGrowth)
        return false;
    int cap = m_capacity + kGrowth;
    Entry* e = (Entry*)realloc(m_entries, sizeof(Entry) * (size_t)cap);
    if (!e)
        return false;
    for (int k = m_capacity; k < cap; ++k) {
        e[k].pos = k;
        e[k].count = 0;
        e[k].hash = 0;
        e[k].text[0] = 0;
    }
    m_entries = e;
    m_capacity = cap;
    return true;
}

// Hands out the free atom listed at position top (lookup mode: listed at the
// position its hash belongs to).
int CAtom::TakeFree(const char* text, uint16_t h)
{
    int atom = m_entries[m_top].pos;
    if (m_mode) {
        int p = FindPos(h);
        for (int k = m_top; k > p; --k)
            m_entries[k].pos = m_entries[k - 1].pos;
        m_entries[p].pos = atom;
    }
    Entry& e = m_entries[atom];
    e.hash = h;
    e.count = 1;
    Str_Copy(e.text, sizeof e.text, text);
    ++m_top;
    if (m_top >= m_capacity && !Grow())
        Debug_Out("CAtom::Add() - メモリが足りません\n");
    return atom;
}

int CAtom::Add(const char* text)
{
    if (!text || !*text)
        return 0;
    if (m_top >= m_capacity && !Grow())
        return 0;   // an earlier growth failed; nothing can be entered
    uint16_t h = Hash(text);
    if (m_mode) {
        int p = FindPos(h);
        if (p < m_top && HashAt(p) == h) {
            while (p > 1 && HashAt(p - 1) == h)
                --p;
            // Stop mark: the free atom at top never matches the run's hash.
            m_entries[m_entries[m_top].pos].hash = (uint16_t)(h ^ 1);
            for (; p < m_top && HashAt(p) == h; ++p) {
                Entry& e = m_entries[m_entries[p].pos];
                if (strcmp(e.text, text) == 0) {
                    ++e.count;
                    return m_entries[p].pos;
                }
            }
        }
    }
    return TakeFree(text, h);
}

const char* CAtom::Get(int index) const
{
    if (index < 0 || index >= m_capacity) {
        Debug_Printf("CAtom::Get() 非常にまずい(TOP:%d INDEX:%d)\n", m_top, index);
        return "";
    }
    return m_entries[index].text;
}

int CAtom::Count(int index) const
{
    if (index < 0 || index >= m_capacity)
        return 0;
    return m_entries[index].count;
}

void CAtom::Delete(int index)
{
    if (index == 0)
        return;
    if (index < 0 || index >= m_capacity) {
        Debug_Out("CAtom::Delete() インデックスの不整合が発生\n");
        return;
    }
    Entry& e = m_entries[index];
    --e.count;
    if (e.count < 0)
        Debug_Out("CAtom::Delete() 未使用のアトムに対するDelete\n");
    if (e.count != 0)
        return;
    int k = 1;
    while (k < m_top && m_entries[k].pos != index)
        ++k;
    if (k >= m_top) {
        Debug_Out("CAtom::Delete() インデックスの不整合が発生\n");
        return;
    }
    for (; k < m_top - 1; ++k)
        m_entries[k].pos = m_entries[k + 1].pos;
    m_entries[m_top - 1].pos = index;
    --m_top;
}
