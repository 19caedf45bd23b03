// Text helpers shared by the plug-ins: newline normalisation, splitting a
// board address, searches that respect Shift-JIS pairs, safe file names.
#pragma once
#include <stddef.h>

// Rewrites text[0..len) in place so that only LF ends lines: CR LF, a lone
// CR and LF CR each become one LF; a Shift-JIS lead byte is copied with the
// byte after it untouched. Puts a NUL behind the result; returns its length.
size_t Plugin_Normalize(char* text, size_t len);

// Splits a board address: "http://" (exactly, lower case) is dropped, the host
// runs to the first ':' or '/', a port follows ':' (default 80; the text up to
// and including the next '/' is skipped), and the rest after '/' is the path,
// kept without its leading slash.
void Plugin_SplitUrl(const char* url, char* host, size_t hostSize, int* port,
                     char* path, size_t pathSize);

// First occurrence of needle in [p, end), byte by byte; nullptr if absent.
const char* Mem_Find(const char* p, const char* end, const char* needle);
// The same, but never matching inside a double-byte character.
const char* Sjis_Find(const char* p, const char* end, const char* needle);

// Length of the first n bytes of s cut so that no lead byte is left alone at
// the end (a character is never split by a cut).
size_t Sjis_CutLength(const char* s, size_t n);

// Makes a file name that stays in the current folder: path separators,
// characters Windows forbids in names and control bytes become '_' (the
// second byte of a double-byte character is left alone), and a device name
// such as CON or LPT1 gets a '_' in front.
void Plugin_SafeFileName(const char* name, char* out, size_t size);
