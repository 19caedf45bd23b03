// CAtom written literally: every add bisects and shifts the positions,
// every delete searches them. Large CAtom tables answer from an index
// instead; the tests hold them against this version, which must hand out
// the same atoms, keep the same counts and list the same positions.
#pragma once
#include "base/debug.h"
#include "base/sjis.h"
#include "store/Atom.h"

#include <string.h>

#include <vector>

namespace atomref {

class Table {
public:
    explicit Table(int lookup) : m_top(1), m_mode(lookup)
    {
        m_e.resize(CAtom::kInitial);
        Reset();
    }
    void Reset()
    {
        m_top = 1;
        for (size_t k = 0; k < m_e.size(); ++k)
            m_e[k] = Entry{(int32_t)k, 0, 0, {0}};
    }
    int Capacity() const { return (int)m_e.size(); }
    int Top() const { return m_top; }
    int Count(int i) const { return i >= 0 && i < Capacity() ? m_e[i].count : 0; }
    int PositionAtom(int pos) const { return m_e[pos].pos; }
    uint16_t PositionHash(int pos) const { return m_e[m_e[pos].pos].hash; }
    const char* Get(int i) const { return i >= 0 && i < Capacity() ? m_e[i].text : ""; }

    int Add(const char* text)
    {
        if (!text || !*text)
            return 0;
        uint16_t h = CAtom::Hash(text);
        if (m_mode) {
            int p = FindPos(h);
            if (p < m_top && HashAt(p) == h) {
                while (p > 1 && HashAt(p - 1) == h)
                    --p;
                m_e[m_e[m_top].pos].hash = (uint16_t)(h ^ 1);
                for (; p < m_top && HashAt(p) == h; ++p) {
                    Entry& e = m_e[m_e[p].pos];
                    if (strcmp(e.text, text) == 0) {
                        ++e.count;
                        return m_e[p].pos;
                    }
                }
            }
        }
        int atom = m_e[m_top].pos;
        if (m_mode) {
            int p = FindPos(h);
            for (int k = m_top; k > p; --k)
                m_e[k].pos = m_e[k - 1].pos;
            m_e[p].pos = atom;
        }
        Entry& e = m_e[atom];
        e.hash = h;
        e.count = 1;
        Str_Copy(e.text, sizeof e.text, text);
        ++m_top;
        if (m_top >= Capacity()) {
            size_t old = m_e.size();
            m_e.resize(old + CAtom::kGrowth);
            for (size_t k = old; k < m_e.size(); ++k)
                m_e[k] = Entry{(int32_t)k, 0, 0, {0}};
        }
        return atom;
    }

    void Delete(int index)
    {
        if (index == 0)
            return;
        if (index < 0 || index >= Capacity()) {
            Debug_Out("CAtom::Delete() インデックスの不整合が発生\n");
            return;
        }
        Entry& e = m_e[index];
        --e.count;
        if (e.count < 0)
            Debug_Out("CAtom::Delete() 未使用のアトムに対するDelete\n");
        if (e.count != 0)
            return;
        int k = 1;
        while (k < m_top && m_e[k].pos != index)
            ++k;
        if (k >= m_top) {
            Debug_Out("CAtom::Delete() インデックスの不整合が発生\n");
            return;
        }
        for (; k < m_top - 1; ++k)
            m_e[k].pos = m_e[k + 1].pos;
        m_e[m_top - 1].pos = index;
        --m_top;
    }

private:
    struct Entry {
        int32_t pos;
        int32_t count;
        uint16_t hash;
        char text[CAtom::kTextMax + 1];
    };
    uint16_t HashAt(int pos) const { return m_e[m_e[pos].pos].hash; }
    int FindPos(uint16_t h) const
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

    std::vector<Entry> m_e;
    int m_top;
    int m_mode;
};

}  // namespace atomref
