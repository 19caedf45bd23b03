#include "plugins/common/PluginText.h"

#include "base/sjis.h"

#include <stdlib.h>
#include <string.h>

size_t Plugin_Normalize(char* text, size_t len)
{
    size_t r = 0, w = 0;
    while (r < len) {
        unsigned char c = (unsigned char)text[r];
        if (IsSjisLead(c)) {
            text[w++] = text[r++];
            if (r < len)
                text[w++] = text[r++];
        } else if (c == '\r') {
            text[w++] = '\n';
            r += (r + 1 < len && text[r + 1] == '\n') ? 2 : 1;
        } else if (c == '\n') {
            text[w++] = '\n';
            r += (r + 1 < len && text[r + 1] == '\r') ? 2 : 1;
        } else {
            text[w++] = text[r++];
        }
    }
    text[w] = 0;
    return w;
}

void Plugin_SplitUrl(const char* url, char* host, size_t hostSize, int* port,
                     char* path, size_t pathSize)
{
    const char* p = url;
    if (strncmp(p, "http://", 7) == 0)
        p += 7;
    const char* h = p;
    while (*p && *p != ':' && *p != '/')
        ++p;
    Str_CopyN(host, hostSize, h, (size_t)(p - h));
    *port = 80;
    if (*p == ':') {
        ++p;
        long v = 0;
        while (*p >= '0' && *p <= '9') {
            if (v < 100000)
                v = v * 10 + (*p - '0');
            ++p;
        }
        *port = (int)v;
        while (*p && *p != '/')
            ++p;
    }
    if (*p == '/')
        ++p;
    Str_Copy(path, pathSize, p);
}

const char* Mem_Find(const char* p, const char* end, const char* needle)
{
    size_t n = strlen(needle);
    if (n == 0)
        return p;
    for (; p + n <= end; ++p)
        if (*p == needle[0] && memcmp(p, needle, n) == 0)
            return p;
    return nullptr;
}

const char* Sjis_Find(const char* p, const char* end, const char* needle)
{
    size_t n = strlen(needle);
    while (p + n <= end) {
        if (memcmp(p, needle, n) == 0)
            return p;
        p += (IsSjisLead((unsigned char)*p) && p + 1 < end) ? 2 : 1;
    }
    return nullptr;
}

size_t Sjis_CutLength(const char* s, size_t n)
{
    size_t i = 0;
    while (i < n) {
        if (IsSjisLead((unsigned char)s[i])) {
            if (i + 1 >= n)
                break;
            i += 2;
        } else {
            ++i;
        }
    }
    return i;
}

namespace {
bool IsDeviceName(const char* s)
{
    // The part before the first dot, without trailing blanks, as Windows
    // compares it.
    size_t n = 0;
    while (s[n] && s[n] != '.')
        ++n;
    while (n > 0 && s[n - 1] == ' ')
        --n;
    static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* d : kNames)
        if (strlen(d) == n && Str_NICmp(s, d, n) == 0)
            return true;
    if (n == 4 && (Str_NICmp(s, "COM", 3) == 0 || Str_NICmp(s, "LPT", 3) == 0) &&
        s[3] >= '0' && s[3] <= '9')
        return true;
    return false;
}
}

void Plugin_SafeFileName(const char* name, char* out, size_t size)
{
    if (size == 0)
        return;
    size_t w = 0;
    if (IsDeviceName(name) && size > 1)
        out[w++] = '_';
    const unsigned char* p = (const unsigned char*)name;
    while (*p && w + 1 < size) {
        if (IsSjisLead(*p) && p[1]) {
            if (w + 2 >= size)
                break;
            out[w++] = (char)*p++;
            out[w++] = (char)*p++;
            continue;
        }
        unsigned char c = *p++;
        if (c < 0x20 || c == 0x7F || strchr("\\/:*?\"<>|", c))
            c = '_';
        out[w++] = (char)c;
    }
    out[w] = 0;
}
