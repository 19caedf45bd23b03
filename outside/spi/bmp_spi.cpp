// A decoder library for Windows bitmap files (".bmp"): 1, 4, 8, 16, 24 and
// 32 bits per pixel, uncompressed (16 and 32 bits also with bit-field
// masks), with the information header of any size from the 12-byte core
// header on. The picture goes out as it stands in the file: a 40-byte
// header with the colour table (or masks) and the pixel rows.
#define SPI_BUILDING_DECODER
#include "outside/spi/spi_common.h"

using spi::Le16;
using spi::Le32;

namespace {

struct BmpLayout {
    int32_t width, height;
    unsigned bits;
    uint32_t compression, colours;
    unsigned char extra[1024];   // colour table (RGBQUAD) or three masks
    size_t extraSize;
    size_t pixelOffset, pixelBytes;
};

int HeaderSizeKnown(uint32_t n)
{
    return n == 12 || n == 40 || n == 52 || n == 56 || n == 64 || n == 108 || n == 124;
}

// SPI_OK and the layout, or the reason the bytes are no picture of ours.
int Parse(const unsigned char* p, size_t n, BmpLayout* b)
{
    if (n < 26 || p[0] != 'B' || p[1] != 'M')
        return SPI_UNKNOWN_FORMAT;
    uint32_t hs = Le32(p + 14);
    if (!HeaderSizeKnown(hs))
        return SPI_UNKNOWN_FORMAT;
    if (n < 14 + (size_t)hs)
        return SPI_BROKEN_DATA;
    const unsigned char* h = p + 14;
    unsigned entry = 4;
    if (hs == 12) {   // core header: 16-bit sides, 3-byte colour entries
        b->width = Le16(h + 4);
        b->height = Le16(h + 6);
        b->bits = Le16(h + 10);
        b->compression = 0;
        b->colours = 0;
        entry = 3;
        if (Le16(h + 8) != 1)
            return SPI_BROKEN_DATA;
    } else {
        b->width = (int32_t)Le32(h + 4);
        b->height = (int32_t)Le32(h + 8);
        b->bits = Le16(h + 14);
        b->compression = Le32(h + 16);
        b->colours = Le32(h + 32);
        if (Le16(h + 12) != 1)
            return SPI_BROKEN_DATA;
    }
    unsigned bits = b->bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return SPI_UNKNOWN_FORMAT;
    if (b->compression != 0 && !(b->compression == 3 && (bits == 16 || bits == 32)))
        return SPI_UNKNOWN_FORMAT;   // run-length and embedded formats are not ours
    if (b->width < 1 || (uint32_t)b->width > spi::MAX_SIDE || b->height == 0 ||
        (b->height < 0 ? 0u - (uint32_t)b->height : (uint32_t)b->height) > spi::MAX_SIDE)
        return SPI_BROKEN_DATA;
    if (b->height < 0 && hs == 12)
        return SPI_BROKEN_DATA;
    size_t table = 14 + hs;
    b->extraSize = 0;
    if (bits <= 8) {
        uint32_t most = 1u << bits;
        uint32_t count = b->colours && b->colours < most ? b->colours : most;
        if (table + (size_t)count * entry > n)
            return SPI_BROKEN_DATA;
        for (uint32_t i = 0; i < count; ++i) {
            memcpy(b->extra + i * 4, p + table + i * entry, 3);
            b->extra[i * 4 + 3] = 0;
        }
        b->extraSize = count * 4;
        b->colours = count;
        table += (size_t)count * entry;
    } else if (b->compression == 3) {
        // The masks follow a 40-byte header; larger headers hold them.
        size_t at = hs == 40 ? table : 14 + 40;
        if (at + 12 > n)
            return SPI_BROKEN_DATA;
        memcpy(b->extra, p + at, 12);
        b->extraSize = 12;
        b->colours = 0;
        if (hs == 40)
            table += 12;
    } else {
        b->colours = 0;
    }
    uint32_t rows = b->height < 0 ? 0u - (uint32_t)b->height : (uint32_t)b->height;
    uint64_t stride = ((uint64_t)(uint32_t)b->width * bits + 31) / 32 * 4;
    uint64_t need = stride * rows;
    if (need > spi::MAX_BYTES)
        return SPI_BROKEN_DATA;
    size_t off = Le32(p + 10);
    if (off < table || off > n)
        off = table;   // a missing or wrong offset: the rows follow the table
    if (need > n - off)
        return SPI_BROKEN_DATA;
    b->pixelOffset = off;
    b->pixelBytes = (size_t)need;
    return SPI_OK;
}

int Decode(const unsigned char* p, size_t n, HLOCAL* info, HLOCAL* bits, SpiProgressFunc progress, LONG_PTR data)
{
    BmpLayout b;
    int rc = Parse(p, n, &b);
    if (rc != SPI_OK)
        return rc;
    if (progress && progress(0, 1, data))
        return 1;
    unsigned char* out = nullptr;
    rc = spi::Output(b.width, b.height, b.bits, b.compression, b.colours, b.extra, b.extraSize, b.pixelBytes, info,
                     bits, &out);
    if (rc != SPI_OK)
        return rc;
    memcpy(out, p + b.pixelOffset, b.pixelBytes);
    LocalUnlock(*bits);
    if (progress)
        progress(1, 1, data);
    return SPI_OK;
}

}  // namespace

extern "C" {

int WINAPI GetPluginInfo(int index, LPSTR buf, int size)
{
    static const char* const info[] = {"00IN", "ZEVA BMP decoder 1.0", "*.bmp;*.dib", "Windows bitmap"};
    if (index < 0 || index >= (int)(sizeof info / sizeof info[0]))
        return 0;
    return spi::Text(info[index], buf, size);
}

int WINAPI IsSupported(LPCSTR path, void* head)
{
    const unsigned char* p = (const unsigned char*)head;
    return p && p[0] == 'B' && p[1] == 'M' && HeaderSizeKnown(Le32(p + 14));
}

int WINAPI GetPicture(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* info, HLOCAL* bits,
                      SpiProgressFunc progress, LONG_PTR data)
{
    if (!info || !bits)
        return SPI_BROKEN_DATA;
    unsigned char* hold = nullptr;
    const unsigned char* p = nullptr;
    size_t n = 0;
    if (!spi::Input(buf, len, flag, &hold, &p, &n))
        return SPI_READ_ERROR;
    int rc = Decode(p, n, info, bits, progress, data);
    free(hold);
    return rc;
}

}  // extern "C"
