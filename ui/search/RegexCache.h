// The regular-expression library as the search uses it, and the cache of
// compiled patterns. The library is loaded at run time (RegexLib_win.cpp);
// tests put a stand-in behind the same interface.
#pragma once
#include <stddef.h>

enum { REGEX_MSG_SIZE = 256, REGEX_CACHE_SLOTS = 8 };

class CRegexLib {
public:
    virtual ~CRegexLib() {}
    // Compiles pattern into *handle when needed and tests [start, end):
    // non-zero for a match. msg (REGEX_MSG_SIZE bytes) gets the library's
    // message when the pattern does not compile.
    virtual int Match(const char* pattern, const char* start, const char* end, void** handle, char* msg) = 0;
    virtual void Free(void* handle) = 0;
    // The pattern text the library keeps in a compiled handle.
    virtual const char* PatternOf(void* handle) = 0;
    // Where the last match of handle lies; 0 when unknown.
    virtual int LastMatch(void* handle, const char** start, const char** end) = 0;
};

// Eight slots of compiled patterns, looked up by the pattern text the
// library stored in each.
class CPatternCache {
public:
    explicit CPatternCache(CRegexLib* lib = nullptr) : m_lib(lib) {}
    ~CPatternCache() { ReleaseAll(); }
    CPatternCache(const CPatternCache&) = delete;
    CPatternCache& operator=(const CPatternCache&) = delete;

    void SetLibrary(CRegexLib* lib);
    CRegexLib* Library() const { return m_lib; }
    // The compiled handle of pattern: the first slot that holds it; else the
    // first empty slot, compiled; else the last slot, released and compiled
    // again. nullptr when the pattern does not compile (msg, REGEX_MSG_SIZE
    // bytes, then holds the library's message) or there is no library.
    void* Get(const char* pattern, char* msg);
    // Releases every compiled pattern through the library.
    void ReleaseAll();
    void* Slot(int i) const { return i >= 0 && i < REGEX_CACHE_SLOTS ? m_slots[i] : nullptr; }

private:
    CRegexLib* m_lib;
    void* m_slots[REGEX_CACHE_SLOTS] = {};
};
