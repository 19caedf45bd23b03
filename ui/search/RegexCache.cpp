#include "ui/search/RegexCache.h"

#include "base/sjis.h"

#include <string.h>

void CPatternCache::SetLibrary(CRegexLib* lib)
{
    ReleaseAll();
    m_lib = lib;
}

void* CPatternCache::Get(const char* pattern, char* msg)
{
    if (msg)
        msg[0] = 0;
    if (!m_lib || !pattern)
        return nullptr;
    int slot = REGEX_CACHE_SLOTS - 1;
    for (int i = 0; i < REGEX_CACHE_SLOTS; ++i) {
        if (!m_slots[i]) {
            slot = i;
            break;
        }
        const char* stored = m_lib->PatternOf(m_slots[i]);
        if (stored && strcmp(stored, pattern) == 0)
            return m_slots[i];
    }
    // Every slot holds another pattern: the last one gives way.
    if (m_slots[slot]) {
        m_lib->Free(m_slots[slot]);
        m_slots[slot] = nullptr;
    }
    char local[REGEX_MSG_SIZE] = "";
    static const char kEmpty[] = "";
    void* handle = nullptr;
    m_lib->Match(pattern, kEmpty, kEmpty, &handle, local);
    local[REGEX_MSG_SIZE - 1] = 0;
    if (msg)
        Str_Copy(msg, REGEX_MSG_SIZE, local);
    // A pattern the library refused leaves no handle (or one without its text).
    if (handle && !m_lib->PatternOf(handle)) {
        m_lib->Free(handle);
        handle = nullptr;
    }
    m_slots[slot] = handle;
    return handle;
}

void CPatternCache::ReleaseAll()
{
    for (void*& h : m_slots) {
        if (h && m_lib)
            m_lib->Free(h);
        h = nullptr;
    }
}
