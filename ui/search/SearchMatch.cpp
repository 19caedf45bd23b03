#include "ui/search/SearchMatch.h"

#include "base/sjis.h"
#include "store/Subj.h"
#include "ui/search/RegexCache.h"

#include <string.h>

namespace {

inline unsigned char Fold(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? (unsigned char)(c + 0x20) : c;
}

}  // namespace

void SearchSettings_Init(SearchSettings* s, const char (*history)[SEARCH_TEXT_SIZE], int enableCap,
                         int enableRegExp, int libraryPresent)
{
    memset(s, 0, sizeof *s);
    if (history)
        for (int i = 0; i < SEARCH_HISTORY_COUNT; ++i)
            Str_Copy(s->history[i], sizeof s->history[i], history[i]);
    s->caseSensitive = enableCap ? 1 : 0;
    s->regExp = enableRegExp && libraryPresent ? 1 : 0;
    s->thisFolderOnly = 1;
    s->direction = 1;
}

void Search_SetText(SearchSettings* s, const char* typed)
{
    size_t n = 0;
    if (typed)
        while (typed[n]) {
            size_t step = IsSjisLead((unsigned char)typed[n]) && typed[n + 1] ? 2 : 1;
            if (n + step > SEARCH_TEXT_SIZE - 1)
                break;
            n += step;
        }
    if (n)
        memcpy(s->text, typed, n);
    s->text[n] = 0;
}

void SearchHistory_Push(char (*history)[SEARCH_TEXT_SIZE], const char* text)
{
    if (!text || !text[0])
        return;
    char top[SEARCH_TEXT_SIZE];
    Str_Copy(top, sizeof top, text);
    // The entries above the text's old place (or all but the oldest) move
    // down by one.
    int last = SEARCH_HISTORY_COUNT - 1;
    for (int i = 0; i < SEARCH_HISTORY_COUNT; ++i)
        if (strcmp(history[i], top) == 0) {
            last = i;
            break;
        }
    for (int i = last; i > 0; --i)
        memcpy(history[i], history[i - 1], SEARCH_TEXT_SIZE);
    memcpy(history[0], top, SEARCH_TEXT_SIZE);
}

std::string Search_Pattern(const char* text)
{
    return std::string("/") + (text ? text : "") + "/km";
}

// ---- plain text -------------------------------------------------------------------------

void CPlainFinder::Set(const char* needle, size_t len, int caseSensitive)
{
    if (len > SEARCH_TEXT_SIZE - 1)
        len = SEARCH_TEXT_SIZE - 1;
    m_caseSensitive = caseSensitive ? 1 : 0;
    m_len = needle ? len : 0;
    for (size_t i = 0; i < m_len; ++i)
        m_needle[i] = m_caseSensitive ? (unsigned char)needle[i] : Fold((unsigned char)needle[i]);
    // Horspool's shifts, looked up with the text byte under the needle's
    // last place (folded the same way as the needle).
    size_t folded[256];
    for (size_t c = 0; c < 256; ++c)
        folded[c] = m_len;
    for (size_t j = 0; j + 1 < m_len; ++j)
        folded[m_needle[j]] = m_len - 1 - j;
    for (size_t c = 0; c < 256; ++c)
        m_skip[c] = folded[m_caseSensitive ? c : Fold((unsigned char)c)];
}

// The same answers as a comparison at every byte offset: a shift never
// passes an offset where the needle could start.
bool CPlainFinder::Find(const char* text, size_t len) const
{
    size_t n = m_len;
    if (n == 0 || !text || len < n)
        return false;
    const unsigned char* t = (const unsigned char*)text;
    const unsigned char last = m_needle[n - 1];
    if (m_caseSensitive) {
        if (n == 1)
            return memchr(t, last, len) != nullptr;
        for (size_t i = 0; i + n <= len;) {
            unsigned char c = t[i + n - 1];
            if (c == last && memcmp(t + i, m_needle, n - 1) == 0)
                return true;
            i += m_skip[c];
        }
        return false;
    }
    for (size_t i = 0; i + n <= len;) {
        unsigned char c = t[i + n - 1];
        if (Fold(c) == last) {
            size_t j = 0;
            while (j + 1 < n && Fold(t[i + j]) == m_needle[j])
                ++j;
            if (j + 1 == n)
                return true;
        }
        i += m_skip[c];
    }
    return false;
}

// ---- articles -----------------------------------------------------------------------------

CArticleTest::CArticleTest(const SearchSettings& s, CRegexLib* lib, void* pattern)
    : m_s(s), m_lib(lib), m_handle(pattern)
{
    m_text = s.text[0] != 0;
    if (s.regExp)
        m_pattern = Search_Pattern(s.text);
    else
        m_plain.Set(s.text, strlen(s.text), s.caseSensitive);
}

bool CArticleTest::TextIn(const char* field)
{
    if (!field)
        return false;
    size_t len = strlen(field);
    if (!m_s.regExp)
        return m_plain.Find(field, len);
    if (!m_lib || !m_handle)
        return false;
    char msg[REGEX_MSG_SIZE] = "";
    return m_lib->Match(m_pattern.c_str(), field, field + len, &m_handle, msg) != 0;
}

bool CArticleTest::Matches(CSubj& subj, int index)
{
    if (index < 0 || index >= subj.GetCount())
        return false;
    if (m_text && (TextIn(subj.GetMsg(index)) || TextIn(subj.GetTitle(index)) || TextIn(subj.GetName(index))))
        return true;
    const SubjItem& it = subj.GetItem(index);
    if ((m_s.own && (it.atr & ATR_U)) || (m_s.unread && (it.atr & ATR_N)))
        return true;
    return m_s.colorLabel && it.color != SUBJ_NO_COLOR;
}

bool Search_UnreadMatches(CSubj& subj, int index)
{
    if (index < 0 || index >= subj.GetCount())
        return false;
    return (subj.GetItem(index).atr & (ATR_N | ATR_U)) != 0;
}

// ---- across stores ---------------------------------------------------------------------

StoreWalk Search_WalkOf(const SearchSettings& s, int direction, int kind)
{
    StoreWalk w;
    w.direction = direction > 0 ? 1 : -1;
    w.unreadSearch = kind == SEARCH_UNREAD;
    w.thisFolderOnly = s.thisFolderOnly;
    w.textGiven = s.text[0] != 0;
    w.colorLabel = s.colorLabel;
    w.unread = s.unread;
    w.own = s.own;
    return w;
}

int Search_Run(CSearchHost& host, int direction, int kind)
{
    host.Searching(1);
    int found = host.ScanRows(direction, kind, 0);
    while (!found) {
        if (!host.SelectNextStore(direction, kind))
            break;
        found = host.ScanRows(direction, kind, 1);
        if (found)
            host.FocusTitle();
    }
    host.Searching(-1);
    if (!found)
        host.NotFound();
    return found;
}

int Search_ReadOn(CSearchHost& host, int kind)
{
    host.Searching(1);
    host.FocusTitle();
    int found = 1;
    if (!host.PageText()) {
        host.MarkCurrentRead();
        found = Search_Run(host, 1, kind);
    }
    host.Searching(-1);
    return found;
}
