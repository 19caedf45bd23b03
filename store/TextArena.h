// Message texts of a loaded store stay where the file was read into memory:
// each text is cut off by a zero written over the "." of its terminator, and
// the block is freed with the last text that lies in it. This saves a copy
// and an allocation per article on every load. Texts made any other way are
// allocations of their own; CSubj::FreeText tells the two apart.
#pragma once
#include <stddef.h>

struct TextArena;

// Takes over a block from File_ReadBlock (size bytes in all).
TextArena* TextArena_Adopt(char* block, size_t size);
// The n bytes at text (inside the block) as a message text: text[n] becomes 0.
char* TextArena_Take(TextArena* arena, char* text, size_t n);
// Loading is over: the block goes now if no text lies in it, else with the
// last of them.
void TextArena_Settle(TextArena* arena);
// Releases a text when it lies in a block: 1, else 0 (the caller frees it).
int TextArena_Release(char* text);
// Blocks still held (for tests and diagnostics).
size_t TextArena_Blocks();
