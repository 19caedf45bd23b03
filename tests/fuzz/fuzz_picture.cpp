// Decoded picture blocks from a decoder: whatever the check lets through
// must fit its blocks, and placing it in any cell stays inside the cell.
#include "pluginhost/PictureCache.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8)
        return 0;
    uint32_t bitsSize, cell;
    memcpy(&bitsSize, data, 4);
    memcpy(&cell, data + 4, 4);
    std::vector<unsigned char> info(data + 8, data + size);
    int w = 0, h = 0;
    if (!Picture_Check(info.data(), info.size(), bitsSize, &w, &h))
        return 0;
    uint32_t bits = info[14] | info[15] << 8;
    if (w < 1 || h < 1 || (uint64_t)((uint64_t)w * bits + 31) / 32 * 4 * (uint64_t)h > bitsSize)
        abort();
    int cw = (int)(cell & 0x7FF) + 1, ch = (int)(cell >> 11 & 0x7FF) + 1;
    PictureRect r = Picture_Place(w, h, 5, 7, cw, ch);
    if (r.width < 1 || r.height < 1 || r.left < 5 || r.top < 7 || r.left + r.width > 5 + cw ||
        r.top + r.height > 7 + ch)
        abort();
    return 0;
}
