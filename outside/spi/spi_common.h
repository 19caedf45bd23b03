// What both of our decoders share: the input of GetPicture (a file or bytes
// in memory) and the output blocks the caller frees with LocalFree.
//
// The decoders use no C++ library (no containers, no exceptions): a library
// linked with it takes a thread-local slot of the host at every load and
// never gives it back, and the host loads and unloads decoders over and
// over; after about a thousand loads it would end.
#pragma once
#include "outside/spi/spi.h"

#include <stdint.h>
#include <string.h>

#include <stdlib.h>

namespace spi {

// Sides and sizes a decoder hands out at most.
enum : uint32_t { MAX_SIDE = 16384, MAX_BYTES = 256u << 20 };

inline uint32_t Le32(const unsigned char* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
inline uint16_t Le16(const unsigned char* p)
{
    return (uint16_t)(p[0] | p[1] << 8);
}
inline void Put32(unsigned char* p, uint32_t v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    p[2] = (unsigned char)(v >> 16);
    p[3] = (unsigned char)(v >> 24);
}

// The bytes GetPicture is asked to decode: buf itself (memory) or the file
// named by buf from offset len on (read into *hold, which the caller frees
// with free()). 0 when the file cannot be read or held.
inline int Input(LPCSTR buf, LONG_PTR len, unsigned int flag, unsigned char** hold, const unsigned char** bytes,
                 size_t* size)
{
    *hold = nullptr;
    if (!buf)
        return 0;
    if ((flag & 7) == SPI_INPUT_MEMORY) {
        if (len < 0)
            return 0;
        *bytes = (const unsigned char*)buf;
        *size = (size_t)len;
        return 1;
    }
    HANDLE f = CreateFileA(buf, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    LARGE_INTEGER sz;
    int ok = GetFileSizeEx(f, &sz) && len >= 0 && sz.QuadPart >= len && sz.QuadPart - len <= (LONGLONG)MAX_BYTES;
    size_t n = ok ? (size_t)(sz.QuadPart - len) : 0;
    unsigned char* p = ok ? (unsigned char*)malloc(n ? n : 1) : nullptr;
    if (p) {
        LARGE_INTEGER at;
        at.QuadPart = len;
        DWORD got = 0;
        ok = SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && (n == 0 || (ReadFile(f, p, (DWORD)n, &got, nullptr) && got == n));
    }
    CloseHandle(f);
    if (!p || !ok) {
        free(p);
        return 0;
    }
    *hold = p;
    *bytes = p;
    *size = n;
    return 1;
}

// A movable local block of n bytes, zeroed; its address while locked.
inline HLOCAL Block(size_t n, unsigned char** p)
{
    HLOCAL h = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, n ? n : 1);
    *p = h ? (unsigned char*)LocalLock(h) : nullptr;
    if (h && !*p) {
        LocalFree(h);
        return nullptr;
    }
    return h;
}

// A 40-byte bitmap information header followed by extra bytes (colour table
// or masks), and the pixel block; both handed to the caller unlocked.
// SPI_OK or SPI_NO_MEMORY.
inline int Output(int32_t width, int32_t height, unsigned bits, uint32_t compression, uint32_t colours,
                  const unsigned char* extra, size_t extraSize, size_t pixelBytes, HLOCAL* info, HLOCAL* pixels,
                  unsigned char** pixelData)
{
    unsigned char* h = nullptr;
    HLOCAL hi = Block(40 + extraSize, &h);
    HLOCAL hp = hi ? Block(pixelBytes, pixelData) : nullptr;
    if (!hi || !hp) {
        if (hi) {
            LocalUnlock(hi);
            LocalFree(hi);
        }
        return SPI_NO_MEMORY;
    }
    Put32(h, 40);
    Put32(h + 4, (uint32_t)width);
    Put32(h + 8, (uint32_t)height);
    h[12] = 1;
    h[14] = (unsigned char)bits;
    Put32(h + 16, compression);
    Put32(h + 20, (uint32_t)pixelBytes);
    Put32(h + 32, colours);
    if (extraSize)
        memcpy(h + 40, extra, extraSize);
    LocalUnlock(hi);
    *info = hi;
    *pixels = hp;
    return SPI_OK;
}

// Copies text into buf (size bytes, terminated); the length copied.
inline int Text(const char* text, LPSTR buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    size_t n = strlen(text);
    if (n > (size_t)size - 1)
        n = (size_t)size - 1;
    memcpy(buf, text, n);
    buf[n] = 0;
    return (int)n;
}

}  // namespace spi
