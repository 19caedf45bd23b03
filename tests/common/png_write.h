// A small PNG writer for screenshots taken by tests: 8-bit RGB, no filter,
// the image data in stored (uncompressed) deflate blocks. Header only; both
// builds.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace pngwrite {

inline uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    const uint8_t b[4] = {(uint8_t)(v >> 24), (uint8_t)(v >> 16), (uint8_t)(v >> 8), (uint8_t)v};
    out.insert(out.end(), b, b + 4);
}

inline void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    Put32(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc32(out.data() + start, out.size() - start));
}

// The bytes of a PNG of width x height pixels; rgb holds the rows from the
// top, three bytes (R, G, B) a pixel.
inline std::vector<uint8_t> Encode(int width, int height, const uint8_t* rgb)
{
    std::vector<uint8_t> raw;
    const size_t row = (size_t)width * 3;
    raw.reserve((row + 1) * (size_t)height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);   // filter: none
        raw.insert(raw.end(), rgb + row * (size_t)y, rgb + row * (size_t)(y + 1));
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    size_t pos = 0;
    do {
        size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back((uint8_t)n);
        z.push_back((uint8_t)(n >> 8));
        z.push_back((uint8_t)~n);
        z.push_back((uint8_t)(~n >> 8));
        z.insert(z.end(), raw.begin() + (ptrdiff_t)pos, raw.begin() + (ptrdiff_t)(pos + n));
        pos += n;
    } while (pos < raw.size());
    Put32(z, b << 16 | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, (uint32_t)width);
    Put32(ihdr, (uint32_t)height);
    const uint8_t rest[5] = {8, 2, 0, 0, 0};   // 8 bits, RGB, deflate, no filter, no interlace
    ihdr.insert(ihdr.end(), rest, rest + 5);
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

inline bool WriteFile(const std::string& path, int width, int height, const uint8_t* rgb)
{
    std::vector<uint8_t> png = Encode(width, height, rgb);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(png.data(), 1, png.size(), f) == png.size();
    return fclose(f) == 0 && ok;
}

}
