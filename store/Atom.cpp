#include "store/Atom.h"

#include "base/debug.h"

#include <limits.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>
#include <vector>

namespace {
CAtomFatalHandler g_fatal = nullptr;
int g_indexThreshold = 512;

// Texts of free atoms that never held one.
const char kNoText[1] = {0};

const uint32_t kKeyStart = 2166136261u;   // the key of the empty text

// A copy of the text cut at 255 bytes, in memory of its own; nullptr when
// the memory can't be had.
char* CopyText(const char* src)
{
    size_t n = 0;
    while (n < CAtom::kTextMax && src[n])
        ++n;
    char* p = (char*)malloc(n + 1);
    if (p) {
        memcpy(p, src, n);
        p[n] = 0;
    }
    return p;
}

// The entry takes the copy; a text it held before is released (after the
// copy was made: the new text may have been read from the old one).
void SetText(CAtom::Entry& e, char* copy)
{
    if (e.text != kNoText)
        free((void*)e.text);
    e.text = copy;
    e.key = CAtom::TextKey(copy);
}

void ClearText(CAtom::Entry& e)
{
    if (e.text != kNoText)
        free((void*)e.text);
    e.text = kNoText;
    e.key = kKeyStart;
}

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

// ---------------------------------------------------------------- index
//
// A large table keeps, beside its entries, an index that gives the same
// answers as the positions without moving them on every add and delete:
//
// - free positions top, top+1, ... list the atoms of the stack `freed` from
//   its back, then the atoms fresh .. capacity-1, each at its own position
//   (fresh = top + freed.size() always);
// - lookup mode: the run of every hash value as its own list in position
//   order, a Fenwick tree of the run sizes (how many positions lie before a
//   run) and a table from the full text to its atoms, so that an add costs
//   one probe instead of a walk through the run;
// - plain mode: the atoms in use as a list in position order.
//
// The positions themselves are written out again only when asked for
// (PositionAtom, PositionHash); everything else reads the index.

struct CAtom::Index {
    std::vector<int32_t> freed;
    int32_t fresh = 0;

    // lookup mode
    std::vector<std::vector<int32_t>> runs;   // by hash
    std::vector<int32_t> tree;                 // Fenwick tree over the 65536 hashes
    struct Slot {
        uint32_t key;
        int32_t atom;   // 0 empty, -1 removed
    };
    std::vector<Slot> slots;   // open addressing, size a power of two
    size_t slotsUsed = 0;      // occupied or removed
    size_t slotsLive = 0;

    // plain mode: a ring through atom 0
    std::vector<int32_t> prev, next;

    int32_t NextFree() const { return freed.empty() ? fresh : freed.back(); }
    void PopFree()
    {
        if (freed.empty())
            ++fresh;
        else
            freed.pop_back();
    }

    void TreeAdd(uint16_t h, int32_t d)
    {
        for (size_t i = (size_t)h + 1; i < tree.size(); i += i & (~i + 1))
            tree[i] += d;
    }
    // Atoms in use whose hash is below h.
    int32_t Below(uint16_t h) const
    {
        int32_t n = 0;
        for (size_t i = h; i > 0; i -= i & (~i + 1))
            n += tree[i];
        return n;
    }

    void SlotsInsert(uint32_t key, int32_t atom)
    {
        if ((slotsUsed + 1) * 10 > slots.size() * 7)
            Rehash();
        size_t mask = slots.size() - 1;
        size_t i = key & mask;
        while (slots[i].atom > 0)
            i = (i + 1) & mask;
        if (slots[i].atom == 0)
            ++slotsUsed;
        slots[i].key = key;
        slots[i].atom = atom;
        ++slotsLive;
    }
    void SlotsErase(uint32_t key, int32_t atom)
    {
        size_t mask = slots.size() - 1;
        for (size_t i = key & mask; slots[i].atom != 0; i = (i + 1) & mask)
            if (slots[i].atom == atom) {
                slots[i].atom = -1;
                --slotsLive;
                return;
            }
    }
    void Rehash();
};

void CAtom::Index::Rehash()
{
    size_t size = 1024;
    while (size < (slotsLive + 1) * 2)
        size *= 2;
    std::vector<Slot> old;
    old.swap(slots);
    slots.assign(size, Slot{0, 0});
    slotsUsed = slotsLive = 0;
    for (const Slot& s : old)
        if (s.atom > 0) {
            size_t mask = size - 1;
            size_t i = s.key & mask;
            while (slots[i].atom != 0)
                i = (i + 1) & mask;
            slots[i] = s;
            ++slotsUsed;
            ++slotsLive;
        }
}

CAtom::CAtom() : m_capacity(0), m_allocated(0), m_top(1), m_mode(1), m_positionsStale(false)
{
    Entry* first = (Entry*)malloc(sizeof(Entry) * kInitial);
    try {
        if (first)
            m_chunks.push_back(first);
    } catch (...) {
        free(first);
        first = nullptr;
    }
    if (!first)
        Fatal("メモリが足りません", "ZEVA:CAtom");
    for (int k = 0; k < kInitial; ++k)
        first[k].text = kNoText;   // Reset releases nothing of these
    m_capacity = kInitial;
    m_allocated = kInitial;
    Reset();
}

CAtom::~CAtom()
{
    for (int k = 0; k < m_capacity; ++k)
        ClearText(E(k));
    for (Entry* c : m_chunks)
        free(c);
}

void CAtom::SetMode(int lookup)
{
    if (m_index) {
        MaterializePositions();
        m_index.reset();
    }
    m_mode = lookup ? 1 : 0;
}

int CAtom::SetIndexThreshold(int positions)
{
    int before = g_indexThreshold;
    g_indexThreshold = positions;
    return before;
}

void CAtom::Reset()
{
    m_index.reset();
    m_positionsStale = false;
    m_top = 1;
    for (int k = 0; k < m_capacity; ++k) {
        Entry& e = E(k);
        e.pos = k;
        e.count = 0;
        e.hash = 0;
        ClearText(e);
    }
}

int CAtom::Check()
{
    if (m_top == 1)
        return 1;
    Debug_Out("CAtom::Check() ... FALSE\n");
    return 0;
}

uint32_t CAtom::TextKey(const char* text)
{
    uint32_t k = kKeyStart;
    for (; *text; ++text)
        k = (k ^ (unsigned char)*text) * 16777619u;
    return k;
}

uint32_t CAtom::KeyAt(int index) const
{
    return index >= 0 && index < m_capacity ? E(index).key : kKeyStart;
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

// The table grows by kGrowth entries at a time. The first chunk of entries
// is reallocated as it grows up to kChunk entries; beyond it, chunks of
// kChunk entries are added, so that a large table is never copied.
bool CAtom::Grow()
{
    if (m_capacity > INT_MAX - kGrowth - kChunk)
        return false;
    int cap = m_capacity + kGrowth;
    while (cap > m_allocated) {
        if (m_allocated < kChunk) {
            int want = cap < kChunk ? cap : kChunk;
            Entry* e = (Entry*)realloc(m_chunks[0], sizeof(Entry) * (size_t)want);
            if (!e)
                return false;
            m_chunks[0] = e;
            m_allocated = want;
        } else {
            Entry* e = (Entry*)malloc(sizeof(Entry) * kChunk);
            if (!e)
                return false;
            try {
                m_chunks.push_back(e);
            } catch (...) {
                free(e);
                return false;
            }
            m_allocated += kChunk;
        }
    }
    for (int k = m_capacity; k < cap; ++k) {
        Entry& e = E(k);
        e.pos = k;
        e.count = 0;
        e.hash = 0;
        e.text = kNoText;
        e.key = kKeyStart;
    }
    m_capacity = cap;
    if (m_index && !m_mode) {
        m_index->prev.resize((size_t)cap, 0);
        m_index->next.resize((size_t)cap, 0);
    }
    return true;
}

// Hands out the free atom listed at position top (lookup mode: listed at the
// position its hash belongs to).
int CAtom::TakeFree(const char* text, uint16_t h)
{
    char* copy = CopyText(text);
    if (!copy) {
        Debug_Out("CAtom::Add() - メモリが足りません\n");
        return 0;
    }
    int atom = E(m_top).pos;
    if (m_mode) {
        int p = FindPos(h);
        for (int k = m_top; k > p; --k)
            E(k).pos = E(k - 1).pos;
        E(p).pos = atom;
    }
    Entry& e = E(atom);
    e.hash = h;
    e.count = 1;
    SetText(e, copy);
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
    if (!m_index && m_top >= g_indexThreshold)
        BuildIndex();
    if (m_index)
        return IndexedAdd(text, h);
    if (m_mode) {
        int p = FindPos(h);
        if (p < m_top && HashAt(p) == h) {
            while (p > 1 && HashAt(p - 1) == h)
                --p;
            // Stop mark: the free atom at top never matches the run's hash.
            E(E(m_top).pos).hash = (uint16_t)(h ^ 1);
            for (; p < m_top && HashAt(p) == h; ++p) {
                Entry& e = E(E(p).pos);
                if (strcmp(e.text, text) == 0) {
                    ++e.count;
                    return E(p).pos;
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
    return E(index).text;
}

int CAtom::Count(int index) const
{
    if (index < 0 || index >= m_capacity)
        return 0;
    return E(index).count;
}

void CAtom::Delete(int index)
{
    if (index == 0)
        return;
    if (index < 0 || index >= m_capacity) {
        Debug_Out("CAtom::Delete() インデックスの不整合が発生\n");
        return;
    }
    Entry& e = E(index);
    --e.count;
    if (e.count < 0)
        Debug_Out("CAtom::Delete() 未使用のアトムに対するDelete\n");
    if (e.count != 0)
        return;
    if (!m_index && m_top >= g_indexThreshold)
        BuildIndex();
    if (m_index) {
        IndexedDelete(index);
        return;
    }
    int k = 1;
    while (k < m_top && E(k).pos != index)
        ++k;
    if (k >= m_top) {
        Debug_Out("CAtom::Delete() インデックスの不整合が発生\n");
        return;
    }
    for (; k < m_top - 1; ++k)
        E(k).pos = E(k + 1).pos;
    E(m_top - 1).pos = index;
    --m_top;
}

void CAtom::BuildIndex()
{
    std::unique_ptr<Index> ix(new (std::nothrow) Index);
    if (!ix)
        return;
    try {
        if (m_mode) {
            ix->runs.resize(65536);
            ix->tree.assign(65537, 0);
            ix->slots.assign(1024, Index::Slot{0, 0});
            for (int k = 1; k < m_top; ++k) {
                int32_t atom = E(k).pos;
                const Entry& e = E(atom);
                ix->runs[e.hash].push_back(atom);
                ix->TreeAdd(e.hash, 1);
                ix->SlotsInsert(e.key, atom);
            }
        } else {
            ix->prev.assign((size_t)m_capacity, 0);
            ix->next.assign((size_t)m_capacity, 0);
            int32_t last = 0;
            for (int k = 1; k < m_top; ++k) {
                int32_t atom = E(k).pos;
                ix->next[last] = atom;
                ix->prev[atom] = last;
                last = atom;
            }
            ix->next[last] = 0;
            ix->prev[0] = last;
        }
        // The free positions: a stack over the atoms that still stand at
        // their own positions.
        int fresh = m_capacity;
        while (fresh > m_top && E(fresh - 1).pos == fresh - 1)
            --fresh;
        for (int k = fresh - 1; k >= m_top; --k)
            ix->freed.push_back(E(k).pos);
        ix->fresh = fresh;
    } catch (...) {
        return;   // no memory for the index: the table goes on without it
    }
    m_index = std::move(ix);
    m_positionsStale = false;
}

// FindPos for hash h, answered from the counts alone: the hashes at the
// positions in use are sorted, so position k holds a smaller hash when
// k <= below, h itself when k <= below + run, else a larger one.
namespace {
int FindPosFromCounts(int below, int run, int used)
{
    auto cmp = [&](int k) { return k <= below ? -1 : (k <= below + run ? 0 : 1); };
    if (used <= 0 || cmp(1) >= 0)
        return 1;
    int c = cmp(used);
    if (c < 0)
        return used + 1;
    if (c == 0)
        return used;
    int low = 1, high = used;
    while (high - low > 1) {
        int mid = low + (high - low) / 2;
        c = cmp(mid);
        if (c == 0)
            return mid;
        if (c < 0)
            low = mid;
        else
            high = mid;
    }
    return high;
}
}

int CAtom::IndexedAdd(const char* text, uint16_t h)
{
    Index& ix = *m_index;
    int32_t atom;
    if (m_mode) {
        std::vector<int32_t>& run = ix.runs[h];
        bool whole = strlen(text) <= kTextMax;   // else entered cut, matching nothing
        bool lookup = !run.empty() && whole;
        uint32_t key = CAtom::TextKey(text);
        size_t mask = ix.slots.size() - 1;
#if defined(__GNUC__)
        if (lookup)
            __builtin_prefetch(&ix.slots[key & mask]);
#endif
        // Where a new atom would go; worked out while the text table's
        // memory arrives.
        int below = ix.Below(h);
        if (!run.empty()) {
            // The walk through the run finds the first atom in position
            // order whose text equals; the text table names the candidates.
            E(ix.NextFree()).hash = (uint16_t)(h ^ 1);   // stop mark, as the walk sets it
            if (lookup) {
                int32_t found = 0;
                size_t foundAt = 0;
                for (size_t i = key & mask; ix.slots[i].atom != 0; i = (i + 1) & mask) {
                    int32_t a = ix.slots[i].atom;
                    if (a < 0 || ix.slots[i].key != key || strcmp(E(a).text, text) != 0)
                        continue;
                    if (!found) {
                        found = a;
                        continue;
                    }
                    // Two atoms of one text (a long text cut to the same
                    // bytes): the one listed first wins.
                    if (!foundAt)
                        foundAt = (size_t)(std::find(run.begin(), run.end(), found) - run.begin()) + 1;
                    size_t at = (size_t)(std::find(run.begin(), run.end(), a) - run.begin()) + 1;
                    if (at < foundAt) {
                        found = a;
                        foundAt = at;
                    }
                }
                if (found) {
                    ++E(found).count;
                    return found;
                }
            }
        }
        char* copy = CopyText(text);
        if (!copy) {
            Debug_Out("CAtom::Add() - メモリが足りません\n");
            return 0;
        }
        atom = ix.NextFree();
        int p = FindPosFromCounts(below, (int)run.size(), m_top - 1);
        run.insert(run.begin() + (p - (below + 1)), atom);
        ix.TreeAdd(h, 1);
        ix.PopFree();
        Entry& e = E(atom);
        e.hash = h;
        e.count = 1;
        SetText(e, copy);
        ix.SlotsInsert(e.key, atom);
    } else {
        char* copy = CopyText(text);
        if (!copy) {
            Debug_Out("CAtom::Add() - メモリが足りません\n");
            return 0;
        }
        atom = ix.NextFree();
        ix.PopFree();
        int32_t last = ix.prev[0];
        ix.next[last] = atom;
        ix.prev[atom] = last;
        ix.next[atom] = 0;
        ix.prev[0] = atom;
        Entry& e = E(atom);
        e.hash = h;
        e.count = 1;
        SetText(e, copy);
    }
    ++m_top;
    m_positionsStale = true;
    if (m_top >= m_capacity && !Grow())
        Debug_Out("CAtom::Add() - メモリが足りません\n");
    return atom;
}

// The count of index has come to 0: it leaves the positions in use and
// becomes the next free atom.
void CAtom::IndexedDelete(int index)
{
    Index& ix = *m_index;
    Entry& e = E(index);
    if (m_mode) {
        std::vector<int32_t>& run = ix.runs[e.hash];
        auto it = std::find(run.begin(), run.end(), index);
        if (it == run.end()) {
            Debug_Out("CAtom::Delete() インデックスの不整合が発生\n");
            return;
        }
        run.erase(it);
        ix.TreeAdd(e.hash, -1);
        ix.SlotsErase(e.key, index);
    } else {
        int32_t p = ix.prev[index], n = ix.next[index];
        if (ix.next[p] != index || ix.prev[n] != index) {
            Debug_Out("CAtom::Delete() インデックスの不整合が発生\n");
            return;
        }
        ix.next[p] = n;
        ix.prev[n] = p;
    }
    ix.freed.push_back(index);
    --m_top;
    m_positionsStale = true;
}

void CAtom::MaterializePositions() const
{
    if (!m_index || !m_positionsStale)
        return;
    const Index& ix = *m_index;
    int k = 1;
    if (m_mode) {
        for (const std::vector<int32_t>& run : ix.runs)
            for (int32_t atom : run)
                E(k++).pos = atom;
    } else {
        for (int32_t atom = ix.next[0]; atom != 0; atom = ix.next[atom])
            E(k++).pos = atom;
    }
    for (size_t i = ix.freed.size(); i-- > 0;)
        E(k++).pos = ix.freed[i];
    for (int32_t atom = ix.fresh; atom < m_capacity; ++atom)
        E(k++).pos = atom;
    m_positionsStale = false;
}

int CAtom::PositionAtom(int pos) const
{
    MaterializePositions();
    return E(pos).pos;
}

uint16_t CAtom::PositionHash(int pos) const
{
    MaterializePositions();
    return E(E(pos).pos).hash;
}
