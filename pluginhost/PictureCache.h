// Small pictures of the title view: a cache of 128 decoded pictures keyed by
// the caller, the check of a decoded picture before it may be drawn, and
// where a picture stands in its cell. The decoding itself is behind
// IPictureSource (image decoder plug-ins in the Windows build).
#pragma once
#include <stddef.h>
#include <stdint.h>

// A decoded picture: a bitmap information block (header and colour table,
// as a device-independent bitmap has them) and its pixel rows. Both blocks
// are malloc'd; whoever holds them frees them with free().
struct PictureBlocks {
    unsigned char* info = nullptr;
    size_t infoSize = 0;
    unsigned char* bits = nullptr;
    size_t bitsSize = 0;
};

class IPictureSource {
public:
    virtual ~IPictureSource() {}
    // Decodes the file at path; 1 and the blocks, or 0 and nothing.
    virtual int Decode(const char* path, PictureBlocks* out) = 0;
};

// Width and height of a decoded picture when it can be drawn safely: a
// header of at least 40 bytes with one plane, uncompressed (or with
// bit-field masks) at 1, 4, 8, 16, 24 or 32 bits, sides of 1 to
// PICTURE_MAX_SIDE pixels, its colour table inside the information block and
// every row inside the pixel block. 0 otherwise (zero-sized, enormous or
// short pictures are not drawn).
enum : int { PICTURE_MAX_SIDE = 16384 };
int Picture_Check(const unsigned char* info, size_t infoSize, size_t bitsSize, int* width, int* height);

struct PictureRect {
    int left, top, width, height;
};
// Where a w x h picture is drawn in the cell at left, top of cellW x cellH:
// at its own size when it is smaller than the cell both ways, else scaled by
// the larger of w/cellW and h/cellH; centred either way.
PictureRect Picture_Place(int w, int h, int left, int top, int cellW, int cellH);

struct PictureEntry {
    int32_t key;            // -1: empty
    char name[260];         // the file name it was decoded from
    PictureBlocks picture;  // no info block: no picture
    int width, height;
};

class CPictureCache {
public:
    enum : int { ENTRIES = 128 };
    explicit CPictureCache(IPictureSource* source);
    ~CPictureCache();
    CPictureCache(const CPictureCache&) = delete;
    CPictureCache& operator=(const CPictureCache&) = delete;

    // Stores the folder (prefixed to every file name) and clears the cache.
    void SetBaseFolder(const char* folder);
    const char* BaseFolder() const { return m_base; }
    // Clears the cache when either side differs from the stored size.
    void SetCellSize(int width, int height);
    int CellWidth() const { return m_cellW; }
    int CellHeight() const { return m_cellH; }

    // The entry of key: an entry with that key, or the first empty entry,
    // decoded from base folder + file and given the key (also when decoding
    // failed, so that the file is not tried again). nullptr for an empty
    // file name or when all entries hold other keys. A key found with
    // another file name than it was decoded from is decoded again in place.
    const PictureEntry* Find(int32_t key, const char* file);
    // Frees every picture and marks every entry empty.
    void Clear();
    int Used() const;

private:
    void Fill(PictureEntry& e, int32_t key, const char* file);
    static void Release(PictureEntry& e);

    IPictureSource* m_source;
    char m_base[260];
    int m_cellW, m_cellH;
    PictureEntry m_entries[ENTRIES];
};
