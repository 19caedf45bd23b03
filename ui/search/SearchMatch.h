// What the search decides, apart from the windows: the criteria, the plain
// byte-wise text test, the article and unread tests, the row scan, the
// history of search texts, the store walk's criteria and the order of a
// search across stores. Portable; tested natively.
#pragma once
#include "ui/folderview/FolderScan.h"

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

class CAtom;
class CSubj;
class CRegexLib;

enum { SEARCH_HISTORY_COUNT = 10, SEARCH_TEXT_SIZE = 260 };

// The criteria, one set per program, kept while it runs.
struct SearchSettings {
    char text[SEARCH_TEXT_SIZE];
    char history[SEARCH_HISTORY_COUNT][SEARCH_TEXT_SIZE];   // newest first
    int caseSensitive;
    int regExp;
    int thisFolderOnly;
    int colorLabel;
    int unread;
    int own;
    int direction;   // +1 down, -1 up
    void* pattern;   // the library's compiled "/%s/km" of text, or nullptr
};

// Start values: the history as read from the settings file, EnableCap,
// EnableRegExp (off when the library is absent), this folder only on,
// direction down, the other boxes off, no text.
void SearchSettings_Init(SearchSettings* s, const char (*history)[SEARCH_TEXT_SIZE], int enableCap,
                         int enableRegExp, int libraryPresent);

// Takes a typed text as the search text: at most 259 bytes, never cutting
// a double-byte character (a lead byte that ends the input stays alone).
void Search_SetText(SearchSettings* s, const char* typed);

// Puts text at the top of the history: a text already listed moves up,
// an empty text is not added, at most ten entries (the oldest dropped).
void SearchHistory_Push(char (*history)[SEARCH_TEXT_SIZE], const char* text);

// The pattern given to the library for a search text: "/%s/km".
std::string Search_Pattern(const char* text);

// Plain substring test at every byte offset of the text (not only at
// character starts): case-sensitive, or with the ASCII letters of both
// sides folded. An empty needle is found nowhere. Faster than comparing at
// every offset, with the same answers: the window skips ahead by what the
// pair of bytes at its end allows (Shift-JIS text repeats its lead bytes too
// often for single-byte skips).
class CPlainFinder {
public:
    void Set(const char* needle, size_t len, int caseSensitive);
    bool Empty() const { return m_len == 0; }
    bool Find(const char* text, size_t len) const;
    // The same for a zero-terminated text. Where the processor has SSE2 the
    // text is read once, 16 bytes at a time, looking for its end and for
    // the needle's last two bytes together (then the whole needle is
    // compared); elsewhere it is measured first and handed to Find.
    bool FindZ(const char* text) const;

private:
    bool FindZWide(const char* text) const;

    unsigned char m_needle[SEARCH_TEXT_SIZE] = {};   // folded unless case-sensitive
    unsigned char m_map[256] = {};                   // a text byte as the needle is kept
    size_t m_len = 0;
    size_t m_shiftAfterMatch = 1;
    unsigned char m_foldLast[2] = {};                // 0x20 where the last two needle bytes are folded letters
    std::vector<uint8_t> m_shift;                    // by the pair of bytes ending the window
};

enum SearchKind { SEARCH_NORMAL = 0, SEARCH_UNREAD = 1 };

// The normal search's test of one article, built once per search.
class CArticleTest {
public:
    // lib and pattern (its compiled handle from the cache) are used when the
    // settings ask for a regular expression; without them the text finds
    // nothing.
    CArticleTest(const SearchSettings& s, CRegexLib* lib, void* pattern);
    // Any one criterion suffices: the text in the message, the title or the
    // author; own articles (U) or unread ones (N) when asked for; a colour
    // label when asked for. One test serves the articles of one collection.
    bool Matches(CSubj& subj, int index);

private:
    bool TextIn(const char* field);
    // Titles and authors stand in the collection's atom tables, shared by
    // many articles: each one is tested once per search.
    bool AtomIn(std::vector<int8_t>& seen, int atom, const CAtom& table);

    const SearchSettings& m_s;
    std::vector<int8_t> m_titles, m_names;   // -1 untested, 0 no, 1 found
    CPlainFinder m_plain;
    CRegexLib* m_lib;
    void* m_handle;
    std::string m_pattern;
    bool m_text;
};

// The unread search's test: unread (N) or written by the user (U).
bool Search_UnreadMatches(CSubj& subj, int index);

// The row scan: from row current + direction (from the first row down or the
// last row up when current is -1), stepping by direction while the row is in
// 0 .. count - 1; the first row whose test holds, or -1.
template <class Test>
int Search_ScanRows(int count, int current, int direction, Test test)
{
    int d = direction > 0 ? 1 : -1;
    int r = current < 0 ? (d > 0 ? 0 : count - 1) : current + d;
    for (; r >= 0 && r < count; r += d)
        if (test(r))
            return r;
    return -1;
}

// What the store walk stops at, for a search of this kind and direction.
StoreWalk Search_WalkOf(const SearchSettings& s, int direction, int kind);

// The windows a search moves through, as the order of a search sees them.
class CSearchHost {
public:
    virtual ~CSearchHost() {}
    // The searching counter (stores open at once while it is above 0).
    virtual void Searching(int delta) = 0;
    // Row scan of the open store; fromEdge: as if no row were current.
    // A row found is made current and scrolled into view (1), else 0.
    virtual int ScanRows(int direction, int kind, int fromEdge) = 0;
    // Selects and opens the next store of the walk; 0 when it ran off.
    virtual int SelectNextStore(int direction, int kind) = 0;
    virtual void FocusTitle() = 0;
    virtual void NotFound() = 0;
    // One space-key step of the shown text: 0 when it stood at its end.
    virtual int PageText() = 0;
    virtual void MarkCurrentRead() = 0;
};

// A search (direction, kind): the open store from its current row, then
// store by store; a row found in another store focuses the title view;
// nothing found anywhere shows the not-found message. 1 when found.
int Search_Run(CSearchHost& host, int direction, int kind);
// Read on, then search: focus the title view and page the text; at its end
// mark the article read and search down.
int Search_ReadOn(CSearchHost& host, int kind);
