// Message texts in ZVT files. A message ends at the first line that holds a
// single "."; such a line inside a text (not its first, which shares the
// line with "M:") is written as ". " so that the rest of the text, and the
// records after it, read back instead of being cut off.
#pragma once
#include <stddef.h>

// How many lines of the text would end the message early.
size_t Zvt_DotLines(const char* text, size_t n);
// Copies the text to dst with those lines written as ". "; dst must have
// room for n + Zvt_DotLines(text, n) bytes. Returns the end of the copy.
char* Zvt_CopyMessage(char* dst, const char* text, size_t n);
