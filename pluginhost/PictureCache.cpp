// The picture cache of the title view and the arithmetic of drawing a
// picture into a cell. No window API here: the Windows build decodes
// through image decoder plug-ins (ImagePlugins_win.cpp) and draws there.
#include "pluginhost/PictureCache.h"

#include "base/sjis.h"

#include <stdlib.h>
#include <string.h>

namespace {

uint32_t Le32(const unsigned char* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

uint16_t Le16(const unsigned char* p)
{
    return (uint16_t)(p[0] | p[1] << 8);
}

}  // namespace

int Picture_Check(const unsigned char* info, size_t infoSize, size_t bitsSize, int* width, int* height)
{
    if (!info || infoSize < 40)
        return 0;
    uint32_t headerSize = Le32(info);
    int32_t w = (int32_t)Le32(info + 4), h = (int32_t)Le32(info + 8);
    unsigned planes = Le16(info + 12), bits = Le16(info + 14);
    uint32_t compression = Le32(info + 16), used = Le32(info + 32);
    if (headerSize < 40 || headerSize > infoSize || planes != 1)
        return 0;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return 0;
    uint64_t tableEnd = headerSize;
    if (compression == 3) {   // bit-field masks
        if (bits != 16 && bits != 32)
            return 0;
        // The three masks follow a 40-byte header; GDI reads 52 bytes at
        // least whatever smaller size the header gives.
        if (headerSize == 40)
            tableEnd += 12;
        else if (tableEnd < 52)
            tableEnd = 52;
    } else if (compression != 0) {
        return 0;
    }
    if (bits <= 8) {
        uint32_t most = 1u << bits;
        if (used > most)
            return 0;
        tableEnd += 4ull * (used ? used : most);
    } else {
        tableEnd += 4ull * used;   // a colour table beside true colours is read too
    }
    if (tableEnd > infoSize)
        return 0;
    if (w < 1 || w > PICTURE_MAX_SIDE || h == 0 || h < -PICTURE_MAX_SIDE || h > PICTURE_MAX_SIDE)
        return 0;
    int rows = h < 0 ? -h : h;
    uint64_t stride = ((uint64_t)w * bits + 31) / 32 * 4;
    if (stride * (uint64_t)rows > bitsSize)
        return 0;
    *width = w;
    *height = rows;
    return 1;
}

PictureRect Picture_Place(int w, int h, int left, int top, int cellW, int cellH)
{
    PictureRect r = {left, top, 0, 0};
    if (w <= 0 || h <= 0 || cellW <= 0 || cellH <= 0)
        return r;
    if (w < cellW && h < cellH) {
        r.width = w;
        r.height = h;
    } else if ((int64_t)w * cellH > (int64_t)h * cellW) {
        // The width ratio is the larger: the width fills the cell.
        r.width = cellW;
        r.height = (int)((int64_t)h * cellW / w);
    } else {
        r.height = cellH;
        r.width = (int)((int64_t)w * cellH / h);
    }
    if (r.width < 1)
        r.width = 1;
    if (r.height < 1)
        r.height = 1;
    r.left = left + (cellW - r.width) / 2;
    r.top = top + (cellH - r.height) / 2;
    return r;
}

CPictureCache::CPictureCache(IPictureSource* source) : m_source(source), m_cellW(0), m_cellH(0)
{
    m_base[0] = 0;
    for (PictureEntry& e : m_entries) {
        e = PictureEntry();
        e.key = -1;
        e.name[0] = 0;
    }
}

CPictureCache::~CPictureCache()
{
    Clear();
}

void CPictureCache::SetBaseFolder(const char* folder)
{
    Str_Copy(m_base, sizeof m_base, folder ? folder : "");
    Clear();
}

void CPictureCache::SetCellSize(int width, int height)
{
    if (width != m_cellW || height != m_cellH)
        Clear();
    m_cellW = width;
    m_cellH = height;
}

const PictureEntry* CPictureCache::Find(int32_t key, const char* file)
{
    if (!file || !file[0])
        return nullptr;
    for (PictureEntry& e : m_entries) {
        if (e.key == key) {
            if (strcmp(e.name, file) != 0) {
                // The caller's key now stands for another file.
                Release(e);
                Fill(e, key, file);
            }
            return &e;
        }
        if (e.key == -1) {
            Fill(e, key, file);
            return &e;
        }
    }
    return nullptr;
}

void CPictureCache::Fill(PictureEntry& e, int32_t key, const char* file)
{
    e.key = key;
    Str_Copy(e.name, sizeof e.name, file);
    e.picture = PictureBlocks();
    e.width = e.height = 0;
    char path[520];
    Str_Format(path, sizeof path, "%s%s", m_base, file);
    PictureBlocks got;
    if (!m_source || !m_source->Decode(path, &got))
        return;
    int w = 0, h = 0;
    if (!Picture_Check(got.info, got.infoSize, got.bitsSize, &w, &h)) {
        free(got.info);
        free(got.bits);
        return;
    }
    e.picture = got;
    e.width = w;
    e.height = h;
}

void CPictureCache::Release(PictureEntry& e)
{
    free(e.picture.info);
    free(e.picture.bits);
    e.picture = PictureBlocks();
    e.width = e.height = 0;
}

void CPictureCache::Clear()
{
    for (PictureEntry& e : m_entries) {
        Release(e);
        e.key = -1;
        e.name[0] = 0;
    }
}

int CPictureCache::Used() const
{
    int n = 0;
    for (const PictureEntry& e : m_entries)
        n += e.key != -1;
    return n;
}
