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

namespace {

// The shift table's index for the two bytes ending the window (12 bits: the
// table stays in the first-level cache; pairs that share an index only make
// the shift smaller).
inline size_t PairIndex(unsigned char a, unsigned char b)
{
    return (((size_t)a << 4) ^ b) & 0xFFF;
}

}  // namespace

void CPlainFinder::Set(const char* needle, size_t len, int caseSensitive)
{
    if (len > SEARCH_TEXT_SIZE - 1)
        len = SEARCH_TEXT_SIZE - 1;
    m_len = needle ? len : 0;
    for (size_t c = 0; c < 256; ++c)
        m_map[c] = caseSensitive ? (unsigned char)c : Fold((unsigned char)c);
    for (size_t i = 0; i < m_len; ++i)
        m_needle[i] = m_map[(unsigned char)needle[i]];
    if (m_len < 2)
        return;
    for (int k = 0; k < 2; ++k) {
        unsigned char c = m_needle[m_len - 2 + k];
        m_foldLast[k] = !caseSensitive && c >= 'a' && c <= 'z' ? 0x20 : 0;
    }
    // For the pair ending at needle place j (j >= 1), the window may move by
    // n - 1 - j; a pair the needle does not hold lets it move by n - 1. The
    // table is indexed by the text's own bytes, so every case of a folded
    // letter gets the entry. Shifts are held below 256.
    size_t n = m_len;
    auto cap = [](size_t v) { return (uint8_t)(v > 255 ? 255 : v); };
    m_shift.assign(4096, cap(n - 1));
    auto cases = [&](unsigned char c, unsigned char out[2]) {
        out[0] = c;
        out[1] = !caseSensitive && c >= 'a' && c <= 'z' ? (unsigned char)(c - 0x20) : c;
    };
    auto set = [&](size_t j, uint8_t v, uint8_t* before) {
        unsigned char as[2], bs[2];
        cases(m_needle[j - 1], as);
        cases(m_needle[j], bs);
        for (unsigned char a : as)
            for (unsigned char b : bs) {
                uint8_t& e = m_shift[PairIndex(a, b)];
                if (before && e < *before)
                    *before = e;
                if (v < e)
                    e = v;
            }
    };
    for (size_t j = 1; j + 1 < n; ++j)
        set(j, cap(n - 1 - j), nullptr);
    // After a candidate, move on by the least shift the last pair's entries
    // held (the pair's previous place in the needle, or past it).
    uint8_t after = cap(n - 1);
    set(n - 1, 0, &after);
    m_shiftAfterMatch = after ? after : 1;
}

bool CPlainFinder::Find(const char* text, size_t len) const
{
    size_t n = m_len;
    if (n == 0 || !text || len < n)
        return false;
    const unsigned char* t = (const unsigned char*)text;
    if (n == 1) {
        unsigned char want = m_needle[0];
        bool folded = m_map['A'] == 'a' && want >= 'a' && want <= 'z';
        return memchr(t, want, len) || (folded && memchr(t, want - 0x20, len));
    }
    const uint8_t* shift = m_shift.data();
    // pos: where the window ends.
    for (size_t pos = n - 1; pos < len;) {
        size_t s = shift[PairIndex(t[pos - 1], t[pos])];
        if (s) {
            // Two steps per round while the window stays inside the text.
            pos += s;
            if (pos >= len)
                break;
            s = shift[PairIndex(t[pos - 1], t[pos])];
            pos += s;
            if (s)
                continue;
        }
        if (pos >= len)
            break;
        const unsigned char* start = t + pos - (n - 1);
        size_t j = 0;
        while (j < n && m_map[start[j]] == m_needle[j])
            ++j;
        if (j == n)
            return true;
        pos += m_shiftAfterMatch;
    }
    return false;
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <emmintrin.h>
#define ZEVA_SEARCH_SSE2 1
#endif

bool CPlainFinder::FindZ(const char* text) const
{
    if (!text || m_len == 0)
        return false;
#ifdef ZEVA_SEARCH_SSE2
#if defined(__i386__)
    static const bool sse2 = __builtin_cpu_supports("sse2");
#else
    const bool sse2 = true;
#endif
    if (sse2 && m_len >= 2)
        return FindZWide(text);
#endif
    return Find(text, strlen(text));
}

#ifdef ZEVA_SEARCH_SSE2
// Aligned 16-byte loads never cross a page, so reading the rest of the
// block that holds the terminator (or the start of the block before the
// text) is safe; the address checker is told so.
__attribute__((target("sse2"), no_sanitize_address)) bool CPlainFinder::FindZWide(const char* text) const
{
    const unsigned char* t = (const unsigned char*)text;
    const size_t n = m_len;
    // A text byte x stands for a folded letter c exactly when (x | 0x20) == c.
    const __m128i a = _mm_set1_epi8((char)m_needle[n - 2]), b = _mm_set1_epi8((char)m_needle[n - 1]);
    const __m128i foldA = _mm_set1_epi8((char)m_foldLast[0]), foldB = _mm_set1_epi8((char)m_foldLast[1]);
    const __m128i zero = _mm_setzero_si128();
    const unsigned char* p = (const unsigned char*)((uintptr_t)t & ~(uintptr_t)15);
    unsigned valid = 0xFFFFu << ((uintptr_t)t & 15) & 0xFFFFu;   // bytes of the text in this block
    unsigned carry = 0;   // the previous block's last byte matched the second-last needle byte
    for (;;) {
        __m128i x = _mm_load_si128((const __m128i*)p);
        unsigned mz = (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(x, zero)) & valid;
        unsigned ma = (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(x, foldA), a)) & valid;
        unsigned mb = (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(x, foldB), b)) & valid;
        if (mz) {
            unsigned before = (mz & (0u - mz)) - 1;   // the bytes before the terminator
            ma &= before;
            mb &= before;
        }
        for (unsigned cand = mb & ((ma << 1) | carry); cand; cand &= cand - 1) {
            const unsigned char* end = p + __builtin_ctz(cand);   // the window's last byte
            if ((size_t)(end - t) < n - 1)
                continue;
            const unsigned char* start = end - (n - 1);
            size_t j = 0;
            while (j < n && m_map[start[j]] == m_needle[j])
                ++j;
            if (j == n)
                return true;
        }
        if (mz)
            return false;
        carry = (ma >> 15) & 1;
        valid = 0xFFFFu;
        p += 16;
    }
}
#else
bool CPlainFinder::FindZWide(const char* text) const
{
    return Find(text, strlen(text));
}
#endif

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
    if (!m_s.regExp)
        return m_plain.FindZ(field);
    size_t len = strlen(field);
    if (!m_lib || !m_handle)
        return false;
    char msg[REGEX_MSG_SIZE] = "";
    return m_lib->Match(m_pattern.c_str(), field, field + len, &m_handle, msg) != 0;
}

bool CArticleTest::AtomIn(std::vector<int8_t>& seen, int atom, const CAtom& table)
{
    if (atom < 0 || atom > 0xFFFFFF)
        return TextIn(table.Get(atom));
    if ((size_t)atom >= seen.size())
        seen.resize((size_t)atom + 1024, -1);
    if (seen[(size_t)atom] < 0)
        seen[(size_t)atom] = TextIn(table.Get(atom)) ? 1 : 0;
    return seen[(size_t)atom] != 0;
}

bool CArticleTest::Matches(CSubj& subj, int index)
{
    if (index < 0 || index >= subj.GetCount())
        return false;
    const SubjItem& it = subj.GetItem(index);
    if (m_text && (TextIn(it.msg ? it.msg : "") || AtomIn(m_titles, it.title, subj.Atoms(CSubj::A_TITLE)) ||
                   AtomIn(m_names, it.name, subj.Atoms(CSubj::A_NAME))))
        return true;
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
