// Shift-JIS helpers: lead-byte test, scans that step over double-byte
// characters, and bounded copies.
#pragma once
#include <stddef.h>

inline bool IsSjisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// First occurrence of the ASCII byte c in s, stepping over double-byte
// characters; nullptr if absent. A lead byte right before the terminator is
// taken as a single byte.
const char* Sjis_StrChr(const char* s, char c);
// Last occurrence of c, stepping over double-byte characters.
const char* Sjis_StrRChr(const char* s, char c);
// Position after the last path separator (backslash; on POSIX builds '/' too),
// or s itself if there is none.
const char* Path_FileName(const char* s);

// Copies at most size-1 bytes of src into dst and terminates it. Returns the
// number of bytes copied. Cuts byte-wise, as fixed fields do.
size_t Str_Copy(char* dst, size_t size, const char* src);
// Copies at most n bytes of src (stopping at a zero) and at most size-1.
size_t Str_CopyN(char* dst, size_t size, const char* src, size_t n);
// Appends within the same bound as Str_Copy.
size_t Str_Cat(char* dst, size_t size, const char* src);
// snprintf that always terminates and never writes past size.
int Str_Format(char* dst, size_t size, const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
// Case-blind comparison of single-byte ASCII letters, byte-wise otherwise
// (second bytes of double-byte characters are never folded).
int Str_ICmp(const char* a, const char* b);
int Str_NICmp(const char* a, const char* b, size_t n);
