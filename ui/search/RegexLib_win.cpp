// The outside regular-expression library "BREGEXP.DLL", loaded by name at
// start-up. It counts as present only when all six of its functions are
// found; the search calls BMatch and BRegfree, and the text view's hit
// highlighting goes through the same compiled patterns.
#include "ui/search/Search_win.h"

#include "outside/bregexp/bregexp.h"
#include "ui/search/RegexCache.h"
#include "ui/search/SearchMatch.h"
#include "ui/textview/TextFormat.h"
#include "ui/textview/TextView_win.h"

#include <windows.h>

#include <string>

namespace {

class CBregexpDll : public CRegexLib {
public:
    int Load()
    {
        m_module = LoadLibraryA("BREGEXP.DLL");
        if (!m_module)
            return 0;
        m_match = (BMatchProc)(void*)GetProcAddress(m_module, "BMatch");
        m_free = (BRegfreeProc)(void*)GetProcAddress(m_module, "BRegfree");
        bool all = m_match && m_free && GetProcAddress(m_module, "BSubst") && GetProcAddress(m_module, "BTrans") &&
                   GetProcAddress(m_module, "BSplit") && GetProcAddress(m_module, "BRegexpVersion");
        if (!all) {
            Unload();
            return 0;
        }
        return 1;
    }
    void Unload()
    {
        if (m_module)
            FreeLibrary(m_module);
        m_module = nullptr;
        m_match = nullptr;
        m_free = nullptr;
    }
    int Present() const { return m_module != nullptr; }

    int Match(const char* pattern, const char* start, const char* end, void** handle, char* msg) override
    {
        if (!m_match)
            return 0;
        BREGEXP_HANDLE h = (BREGEXP_HANDLE)*handle;
        int r = m_match(pattern, start, end, &h, msg);
        *handle = h;
        return r;
    }
    void Free(void* handle) override
    {
        if (m_free && handle)
            m_free((BREGEXP_HANDLE)handle);
    }
    const char* PatternOf(void* handle) override
    {
        return handle ? ((BREGEXP_HANDLE)handle)->pattern : nullptr;
    }
    int LastMatch(void* handle, const char** start, const char** end) override
    {
        BREGEXP_HANDLE h = (BREGEXP_HANDLE)handle;
        if (!h || !h->matchStart || !h->matchEnd || !h->matchStart[0] || !h->matchEnd[0])
            return 0;
        *start = h->matchStart[0];
        *end = h->matchEnd[0];
        return 1;
    }

private:
    HMODULE m_module = nullptr;
    BMatchProc m_match = nullptr;
    BRegfreeProc m_free = nullptr;
};

CBregexpDll g_dll;
CPatternCache g_cache;

// The text view's matcher: the search's compiled pattern, matched from the
// start of what is left of the text.
class CRegexTextMatcher : public CTextMatcher {
public:
    CRegexTextMatcher(const std::string& pattern, void* handle) : m_pattern(pattern), m_handle(handle) {}
    int Find(const char* start, const char* end, const char** matchStart, const char** matchEnd) override
    {
        char msg[REGEX_MSG_SIZE] = "";
        if (!g_dll.Match(m_pattern.c_str(), start, end, &m_handle, msg))
            return 0;
        const char *s = nullptr, *e = nullptr;
        if (!g_dll.LastMatch(m_handle, &s, &e) || s < start || e < s || e > end)
            return 0;
        *matchStart = s;
        *matchEnd = e;
        return 1;
    }

private:
    std::string m_pattern;
    void* m_handle;   // the cache's; never released here
};

CTextMatcher* MakeTextMatcher(const char* searchText)
{
    std::string pattern = Search_Pattern(searchText);
    char msg[REGEX_MSG_SIZE];
    void* handle = g_cache.Get(pattern.c_str(), msg);
    return handle ? new CRegexTextMatcher(pattern, handle) : nullptr;
}

}  // namespace

int Search_LoadLibrary()
{
    if (g_dll.Present())
        return 1;
    if (!g_dll.Load())
        return 0;
    g_cache.SetLibrary(&g_dll);
    TextView_SetMatcherFactory(MakeTextMatcher);
    return 1;
}

void Search_UnloadLibrary()
{
    TextView_SetMatcherFactory(nullptr);
    g_cache.ReleaseAll();
    g_cache.SetLibrary(nullptr);
    g_dll.Unload();
}

int Search_LibraryPresent()
{
    return g_dll.Present();
}

CPatternCache& Search_PatternCache()
{
    return g_cache;
}
