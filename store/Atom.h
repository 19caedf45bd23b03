// CAtom: string-to-index table with reference counts; index 0 is the empty
// string. Lookup mode shares equal strings (found through a 16-bit hash kept
// in sorted order); plain mode gives every entry a fresh atom.
#pragma once
#include <stdint.h>

#include <memory>
#include <vector>

// Called when a table can't get its first memory, with the message and the
// caption of the box the user should see. The process ends after it returns.
typedef void (*CAtomFatalHandler)(const char* text, const char* caption);
// Installs the handler (nullptr restores the default: debug output only).
void CAtom_SetFatalHandler(CAtomFatalHandler handler);

class CAtom {
public:
    enum { kInitial = 200, kGrowth = 1000, kTextMax = 255 };

    struct Entry {
        int32_t pos;        // atom index listed at this position
        int32_t count;      // references to this atom; 0 = free
        uint16_t hash;
        uint32_t key;       // TextKey of the text
        const char* text;   // at most 255 bytes, in memory of its own (or a shared empty text)
    };

    CAtom();   // 200 entries, lookup mode; ends the process when memory is short
    ~CAtom();
    CAtom(const CAtom&) = delete;
    CAtom& operator=(const CAtom&) = delete;

    void SetMode(int lookup);   // 1 = lookup, 0 = plain; before first use
    int GetMode() const { return m_mode; }
    void Reset();
    int Check();                     // 1 when empty, else logs and 0
    int Add(const char* text);       // atom index, 0 for empty/none
    const char* Get(int index) const;
    void Delete(int index);

    static uint16_t Hash(const char* text);
    // A 32-bit key of a whole text (FNV-1a); equal texts have equal keys.
    // KeyAt gives the key of an atom's text without reading the text.
    static uint32_t TextKey(const char* text);
    uint32_t KeyAt(int index) const;

    // Inspection for tests and diagnostics.
    int Capacity() const { return m_capacity; }
    int Top() const { return m_top; }
    int Count(int index) const;
    int PositionAtom(int pos) const;
    uint16_t PositionHash(int pos) const;

    // A table with at least this many positions in use keeps an index beside
    // the positions (default 512); tests lower it to exercise both ways.
    // Returns the threshold before.
    static int SetIndexThreshold(int positions);
    int IsIndexed() const { return m_index != nullptr; }

private:
    struct Index;

    enum { kChunkShift = 12, kChunk = 1 << kChunkShift };
    Entry& E(int i) const { return m_chunks[(size_t)i >> kChunkShift][i & (kChunk - 1)]; }
    uint16_t HashAt(int pos) const { return E(E(pos).pos).hash; }
    int FindPos(uint16_t h) const;
    int TakeFree(const char* text, uint16_t h);
    bool Grow();

    // The indexed way (see Atom.cpp).
    void BuildIndex();
    int IndexedAdd(const char* text, uint16_t h);
    void IndexedDelete(int index);
    void MaterializePositions() const;

    int m_capacity;
    int m_allocated;   // entries the chunks hold (at least m_capacity)
    int m_top;
    int m_mode;
    std::vector<Entry*> m_chunks;   // entry k is at m_chunks[k / kChunk][k % kChunk]
    std::unique_ptr<Index> m_index;
    mutable bool m_positionsStale;
};
