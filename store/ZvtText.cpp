#include "store/ZvtText.h"

#include <string.h>

namespace {
// The next "\n." that starts a line holding only "." at or after from.
const char* NextDotLine(const char* text, const char* from, const char* end)
{
    while (from < end) {
        const char* lf = (const char*)memchr(from, '\n', (size_t)(end - from));
        if (!lf || lf + 1 >= end)
            return nullptr;
        if (lf[1] == '.' && (lf + 2 == end || lf[2] == '\n'))
            return lf + 1;
        from = lf + 1;
    }
    return nullptr;
}
}

size_t Zvt_DotLines(const char* text, size_t n)
{
    size_t count = 0;
    const char* end = text + n;
    for (const char* d = NextDotLine(text, text, end); d; d = NextDotLine(text, d + 1, end))
        ++count;
    return count;
}

char* Zvt_CopyMessage(char* dst, const char* text, size_t n)
{
    const char* end = text + n;
    const char* from = text;
    for (const char* d = NextDotLine(text, text, end); d; d = NextDotLine(text, d + 1, end)) {
        size_t run = (size_t)(d - from) + 1;   // up to and with the "."
        memcpy(dst, from, run);
        dst += run;
        *dst++ = ' ';
        from = d + 1;
    }
    memcpy(dst, from, (size_t)(end - from));
    return dst + (end - from);
}
