// BREGEXP.DLL's calls on any pattern string and text: input = pattern, a
// zero byte, text. The text lies in a block of exactly its size, so any read
// past its end is caught; the message must stay inside its 256 bytes.
#include "outside/bregexp/bregexp.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* zero = (const uint8_t*)memchr(data, 0, size);
    if (!zero) return 0;
    std::string pattern((const char*)data, zero - data);
    size_t n = size - (zero - data) - 1;
    char* text = (char*)malloc(n ? n : 1);
    memcpy(text, zero + 1, n);

    char msg[BREGEXP_MSG_SIZE];
    BREGEXP_HANDLE h = nullptr;
    BMatch(pattern.c_str(), text, text + n, &h, msg);
    if (strnlen(msg, sizeof msg) >= sizeof msg) abort();
    if (h && h->matchStart && h->matchStart[0] && (h->matchStart[0] < text || h->matchEnd[0] > text + n)) abort();
    BSubst(pattern.c_str(), text, text + n, &h, msg);
    if (h && h->out && strlen(h->out) > (size_t)(h->outEnd - h->out)) abort();
    BTrans(pattern.c_str(), text, text + n, &h, msg);
    BSplit(pattern.c_str(), text, text + n, (int)(n % 4), &h, msg);
    if (strnlen(msg, sizeof msg) >= sizeof msg) abort();
    BRegfree(h);
    free(text);
    return 0;
}
