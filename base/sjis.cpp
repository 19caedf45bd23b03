#include "base/sjis.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

const char* Sjis_StrChr(const char* s, char c)
{
    for (const unsigned char* p = (const unsigned char*)s; *p; ++p) {
        if (*p == (unsigned char)c)
            return (const char*)p;
        if (IsSjisLead(*p) && p[1])
            ++p;
    }
    return c == 0 ? s + strlen(s) : nullptr;
}

const char* Sjis_StrRChr(const char* s, char c)
{
    const char* last = nullptr;
    for (const unsigned char* p = (const unsigned char*)s; *p; ++p) {
        if (*p == (unsigned char)c)
            last = (const char*)p;
        else if (IsSjisLead(*p) && p[1])
            ++p;
    }
    return last;
}

const char* Path_FileName(const char* s)
{
    const char* name = s;
    for (const unsigned char* p = (const unsigned char*)s; *p; ++p) {
        if (*p == '\\'
#ifndef _WIN32
            || *p == '/'
#endif
        )
            name = (const char*)p + 1;
        else if (IsSjisLead(*p) && p[1])
            ++p;
    }
    return name;
}

size_t Str_Copy(char* dst, size_t size, const char* src)
{
    if (size == 0)
        return 0;
    size_t n = 0;
    if (src)
        while (n + 1 < size && src[n]) {
            dst[n] = src[n];
            ++n;
        }
    dst[n] = 0;
    return n;
}

size_t Str_CopyN(char* dst, size_t size, const char* src, size_t max)
{
    if (size == 0)
        return 0;
    size_t n = 0;
    if (src)
        while (n + 1 < size && n < max && src[n]) {
            dst[n] = src[n];
            ++n;
        }
    dst[n] = 0;
    return n;
}

size_t Str_Cat(char* dst, size_t size, const char* src)
{
    size_t len = strnlen(dst, size);
    if (len >= size)
        return 0;
    return Str_Copy(dst + len, size - len, src);
}

int Str_Format(char* dst, size_t size, const char* fmt, ...)
{
    if (size == 0)
        return 0;
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(dst, size, fmt, ap);
    va_end(ap);
    dst[size - 1] = 0;
    if (n < 0) {
        dst[0] = 0;
        return 0;
    }
    return n < (int)size ? n : (int)size - 1;
}

static inline unsigned char Lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? (unsigned char)(c + 32) : c;
}

// Letters are folded only where a character starts: the second byte of a
// double-byte character is compared as it is ("ア" 83 41 and "ヂ" 83 61 differ).
int Str_NICmp(const char* a, const char* b, size_t n)
{
    const unsigned char* p = (const unsigned char*)a;
    const unsigned char* q = (const unsigned char*)b;
    bool second = false;   // p[i] and q[i] are second bytes (their leads were equal)
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = second ? p[i] : Lower(p[i]);
        unsigned char y = second ? q[i] : Lower(q[i]);
        if (x != y)
            return x < y ? -1 : 1;
        if (!x)
            return 0;
        second = !second && IsSjisLead(x);
    }
    return 0;
}

int Str_ICmp(const char* a, const char* b)
{
    return Str_NICmp(a, b, (size_t)-1);
}
