// ZVT reader and writer of CSubj. Every scan is bounded by the buffer's end,
// so a file cut anywhere, a line of any length or arbitrary bytes only ever
// cost records, never memory safety.
#include "store/Subj.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/writebehind.h"
#include "base/sjis.h"
#include "store/TextArena.h"
#include "store/ZvtText.h"

#include <limits.h>
#include <new>
#include <stdio.h>
#include <string.h>

namespace {
const size_t kValueMax = 254;   // bytes kept of a value line
const size_t kIdMax = 255;      // bytes kept of an identifier

// Value line kinds in the order of SubjItem's string fields.
enum { V_TITLE, V_NAME, V_POST, V_FOLLOW, V_EMAIL, V_HP, V_IMAGE, V_COUNT };
const CSubj::AtomTable kValueTable[V_COUNT] = {CSubj::A_TITLE, CSubj::A_NAME,  CSubj::A_POST, CSubj::A_FOLLOW,
                                               CSubj::A_EMAIL, CSubj::A_HP, CSubj::A_IMAGE};

int ValueKind(char c)
{
    switch (c) {
    case 'T': return V_TITLE;
    case 'N': return V_NAME;
    case 'P': return V_POST;
    case 'F': return V_FOLLOW;
    case 'E': return V_EMAIL;
    case 'H': return V_HP;
    case 'I': return V_IMAGE;
    }
    return -1;
}

struct Span {
    const char* p;
    size_t n;
};

// The record being read: pointers into the buffer until "M:" completes it.
struct Pending {
    bool active;
    int32_t no, pno;   // SUBJ_NO_ID alone means: identifier text in noId / pnoId
    Span noId, pnoId;
    uint16_t date, time;
    uint32_t color;
    uint8_t atr;
    Span value[V_COUNT];

    void Reset()
    {
        memset(this, 0, sizeof *this);
        active = true;
        no = pno = SUBJ_NO_UNKNOWN;
        color = SUBJ_NO_COLOR;
    }
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Decimal text as the C library's atol reads it (blanks, sign, digits),
// saturating at the 32-bit limits.
int32_t ParseLong(const char* p, const char* e)
{
    while (p < e && IsBlank(*p))
        ++p;
    bool neg = false;
    if (p < e && (*p == '+' || *p == '-'))
        neg = *p++ == '-';
    int64_t v = 0;
    for (; p < e && *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > (int64_t)INT_MAX + 1)
            v = (int64_t)INT_MAX + 1;
    }
    if (neg)
        return (int32_t)(v > (int64_t)INT_MAX ? INT_MIN : -v);
    return (int32_t)(v > INT_MAX ? INT_MAX : v);
}

// Digits in the window of n bytes that starts at offset off of the field
// [f, e), after leading blanks.
int ParseDigits(const char* f, const char* e, size_t off, size_t n)
{
    size_t len = (size_t)(e - f);
    if (off >= len)
        return 0;
    const char* p = f + off;
    const char* w = f + (len - off < n ? len : off + n);
    while (p < w && *p == ' ')
        ++p;
    int v = 0;
    for (; p < w && *p >= '0' && *p <= '9'; ++p)
        v = v * 10 + (*p - '0');
    return v;
}

void ParseNumber(const char* f, const char* e, int32_t* no, Span* id)
{
    if (f < e && *f == '*') {
        *no = SUBJ_NO_UNKNOWN;
    } else if (f < e && (*f == 'S' || *f == 's')) {
        *no = SUBJ_NO_ID;
        id->p = f + 1;
        id->n = (size_t)(e - f - 1);
    } else {
        *no = ParseLong(f, e) & 0x7FFFFFFF;
    }
}

uint16_t ParseDate(const char* f, const char* e)
{
    size_t len = (size_t)(e - f);
    size_t k = 2;
    while (k <= 4 && !(k < len && f[k] == '/'))
        ++k;
    if (k > 4)
        return 0;
    int year = ParseDigits(f, e, 0, k);
    if (k == 2)
        year += year < 70 ? 2000 : 1900;
    else if (k == 3)
        year += 1900;
    int month = ParseDigits(f, e, k + 1, 2);
    int day = ParseDigits(f, e, k + 4, 2);
    return (uint16_t)((year - 1970) * 512 + month * 32 + day);
}

uint16_t ParseTime(const char* f, const char* e)
{
    int t = ParseDigits(f, e, 0, 2) * 60 + ParseDigits(f, e, 3, 2);
    // Minutes past 59 in hour 99 would give a three-digit hour on writing.
    return (uint16_t)(t > 99 * 60 + 59 ? 99 * 60 + 59 : t);
}

uint8_t ParseFlags(const char* f, const char* e)
{
    uint8_t atr = 0;
    for (; f < e && (unsigned char)*f >= '0'; ++f) {
        switch (*f) {
        case 'B': atr |= ATR_B; break;
        case 'D': atr |= ATR_D; break;
        case 'N': atr |= ATR_N; break;
        case 'O': atr |= ATR_O; break;
        case 'R': atr |= ATR_R; break;
        case 'U': atr |= ATR_U; break;
        case 'V': atr |= ATR_V; break;
        }
    }
    return atr;
}

uint32_t ParseColor(const char* f, const char* e)
{
    if (f >= e)
        return SUBJ_NO_COLOR;
    while (f < e && (*f == ' ' || *f == '\t'))
        ++f;
    uint32_t v = 0;
    for (; f < e; ++f) {
        char c = *f;
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            break;
        v = (v << 4) | (uint32_t)d;
    }
    return v;
}

void ParseRecordLine(const char* f, const char* le, Pending& r)
{
    r.Reset();
    for (int field = 0; field < 6; ++field) {
        const char* e = (const char*)memchr(f, ',', (size_t)(le - f));
        if (!e)
            e = le;
        switch (field) {
        case 0: ParseNumber(f, e, &r.no, &r.noId); break;
        case 1: ParseNumber(f, e, &r.pno, &r.pnoId); break;
        case 2: r.date = ParseDate(f, e); break;
        case 3: r.time = ParseTime(f, e); break;
        case 4: r.atr = ParseFlags(f, e); break;
        case 5: r.color = ParseColor(f, e); break;
        }
        if (e == le)
            break;
        f = e + 1;
    }
}

// Header text: up to the line end, double-byte characters kept whole, cut at
// the field's size; a zero byte ends it.
void CopyHeaderText(char* dst, size_t size, const char* v, const char* le)
{
    size_t n = 0;
    while (v < le && *v) {
        size_t w = (IsSjisLead((unsigned char)*v) && v + 1 < le && v[1]) ? 2 : 1;
        if (n + w > size - 1)
            break;
        memcpy(dst + n, v, w);
        n += w;
        v += w;
    }
    dst[n] = 0;
}

void ParseHeaderLine(const char* p, const char* le, SubjHeader& h)
{
    size_t len = (size_t)(le - p);
    if (len < 2)
        return;
    const char* v = p + (len < 3 ? len : 3);
    switch (p[1]) {
    case 'T': CopyHeaderText(h.title, sizeof h.title, v, le); break;
    case 'P': CopyHeaderText(h.post, sizeof h.post, v, le); break;
    case 'F': CopyHeaderText(h.follow, sizeof h.follow, v, le); break;
    case 'N': h.unread = ParseLong(v, le); break;
    case 'U': h.unsent = ParseLong(v, le); break;
    case 'B': h.held = ParseLong(v, le); break;
    case 'R': h.patrol = ParseLong(v, le); break;
    }
}

// At most n bytes of the span, up to a zero byte, cut to size - 1, into dst
// (Str_CopyN with the bounds the record fields have).
void CopySpan(char* dst, size_t size, const char* src, size_t n)
{
    if (n > size - 1)
        n = size - 1;
    if (const char* z = (const char*)memchr(src, 0, n))
        n = (size_t)(z - src);
    memcpy(dst, src, n);
    dst[n] = 0;
}

// The LF of the first LF "." LF at or after p, or nullptr.
const char* FindTerminator(const char* p, const char* end)
{
    while (p < end) {
        const char* q = (const char*)memchr(p, '\n', (size_t)(end - p));
        if (!q || end - q < 3)
            return nullptr;
        if (q[1] == '.' && q[2] == '\n')
            return q;
        p = q + 1;
    }
    return nullptr;
}

// Decimal digits of v, at least width of them (zero-padded) or, with
// blank set, padded with blanks to width: "%0*u" and "%*u".
char* PutDecimal(char* p, uint32_t v, int width, bool blank = false)
{
    char tmp[16];
    int n = 0;
    do {
        tmp[n++] = (char)('0' + v % 10);
        v /= 10;
    } while (v);
    for (int k = n; k < width; ++k)
        *p++ = blank ? ' ' : '0';
    while (n)
        *p++ = tmp[--n];
    return p;
}

// "%06X"
char* PutColor(char* p, uint32_t v)
{
    static const char kHex[] = "0123456789ABCDEF";
    char tmp[8];
    int n = 0;
    do {
        tmp[n++] = kHex[v & 15];
        v >>= 4;
    } while (v);
    for (int k = n; k < 6; ++k)
        *p++ = '0';
    while (n)
        *p++ = tmp[--n];
    return p;
}

}

void CSubj::ParseBuffer(char* buf, size_t size, TextArena* arena)
{
    const char* p = buf + 1;
    const char* end = p + size;
    Pending r;
    memset(&r, 0, sizeof r);
    while (p < end) {
        const char* le = (const char*)memchr(p, '\n', (size_t)(end - p));
        if (!le)
            le = end;
        const char* next = le < end ? le + 1 : end;
        size_t len = (size_t)(le - p);
        if (len >= 1 && p[0] == '#') {
            ParseHeaderLine(p, le, m_header);
        } else if (len >= 2 && p[1] == ':') {
            if (p[0] == 'S') {
                ParseRecordLine(p + 2, le, r);
            } else if (p[0] == 'M') {
                const char* text = p + 2;
                const char* q = FindTerminator(text, end);
                if (!q)
                    return;   // unterminated: the pending record is dropped
                if (r.active) {
                    SubjItem it;
                    InitItem(&it);
                    size_t n = (size_t)(q + 1 - text);
                    it.msg = arena ? TextArena_Take(arena, (char*)text, n) : AllocText(text, n);
                    if (it.msg) {
                        // A zero byte would end the text early, perhaps right
                        // after a "." line; it stands as a blank instead.
                        for (char* z = it.msg; (z = (char*)memchr(z, 0, (size_t)(it.msg + n - z))) != nullptr;)
                            *z = ' ';
                        char tmp[kIdMax + 1];
                        int32_t* fields[V_COUNT] = {&it.title, &it.name, &it.post, &it.follow,
                                                    &it.email, &it.hp, &it.image};
                        for (int k = 0; k < V_COUNT; ++k) {
                            if (!r.value[k].n)
                                continue;   // empty: atom 0, as InitItem left it
                            CopySpan(tmp, kValueMax + 1, r.value[k].p, r.value[k].n);
                            *fields[k] = m_atoms[kValueTable[k]].Add(tmp);
                        }
                        it.no = r.no;
                        if (r.no == SUBJ_NO_ID) {
                            CopySpan(tmp, sizeof tmp, r.noId.p, r.noId.n);
                            it.no = MakeIdNo(tmp);
                        }
                        it.pno = r.pno;
                        if (r.pno == SUBJ_NO_ID) {
                            CopySpan(tmp, sizeof tmp, r.pnoId.p, r.pnoId.n);
                            it.pno = MakeIdNo(tmp);
                        }
                        it.date = r.date;
                        it.time = r.time;
                        it.color = r.color;
                        it.atr = r.atr;
                        Append(it);
                    }
                }
                r.active = false;
                p = q + 3;
                continue;
            } else {
                int k = ValueKind(p[0]);
                if (k >= 0 && r.active) {
                    r.value[k].p = p + 2;
                    r.value[k].n = len - 2 < kValueMax ? len - 2 : kValueMax;
                }
            }
        }
        p = next;
    }
}

void CSubj::ParseSummary(const char* buf, size_t size)
{
    const char* p = buf;
    const char* end = buf + size;
    while (p < end) {
        const char* le = (const char*)memchr(p, '\n', (size_t)(end - p));
        if (!le)
            le = end;
        if (le == p)
            break;   // the first empty line ends the header
        if (p[0] == '#')
            ParseHeaderLine(p, le, m_header);
        p = le < end ? le + 1 : end;
    }
}

void CSubj::SerializeHeader(std::string& out)
{
    char buf[64];
    out += "#T:";
    out += m_header.title;
    Str_Format(buf, sizeof buf, "\n#N:%d\n#U:%d\n#B:%d\n#R:%d\n#F:", (int)m_header.unread,
               (int)m_header.unsent, (int)m_header.held, (int)m_header.patrol);
    out += buf;
    out += m_header.follow;
    out += "\n#P:";
    out += m_header.post;
    out += '\n';
}

namespace {
// Whether a line after the first holds only "." (the rare case; looking for
// the dots is quicker than walking every line).
bool HasDotLine(const char* text, size_t n)
{
    const char* end = text + n;
    for (const char* p = text + 1; p < end && (p = (const char*)memchr(p, '.', (size_t)(end - p))) != nullptr; ++p)
        if (p[-1] == '\n' && (p + 1 == end || p[1] == '\n'))
            return true;
    return false;
}

char* PutNumber(char* p, CSubj& s, int32_t no)
{
    if (no & SUBJ_NO_ID) {
        const char* id = s.GetIdText(no);
        size_t n = strlen(id);
        *p++ = 'S';
        memcpy(p, id, n);
        return p + n;
    }
    if (no == SUBJ_NO_UNKNOWN) {
        *p++ = '*';
        return p;
    }
    return PutDecimal(p, (uint32_t)no, 1);
}
}

// One record as "S:%s%s,%s%s,%02d/%02d/%02d,%2d:%02d,%s,%s\n", the value
// lines that are not empty and the message, written at out[len] (out grows
// as needed; len moves past the record).
void CSubj::SerializeRecord(std::string& out, size_t& len, int index)
{
    static const char kValueLetter[V_COUNT] = {'T', 'N', 'P', 'F', 'E', 'H', 'I'};
    static const struct {
        uint8_t bit;
        char letter;
    } kFlags[] = {{ATR_N, 'N'}, {ATR_U, 'U'}, {ATR_B, 'B'}, {ATR_O, 'O'}, {ATR_R, 'R'}, {ATR_V, 'V'}};
    const SubjItem& it = m_items[index];
    const int32_t atoms[V_COUNT] = {it.title, it.name, it.post, it.follow, it.email, it.hp, it.image};
    const char* value[V_COUNT];
    size_t valueLen[V_COUNT];
    // Record line: two numbers of at most 256 bytes each, the rest below 64.
    size_t need = 2 * (CAtom::kTextMax + 1) + 64;
    for (int k = 0; k < V_COUNT; ++k) {
        if (!atoms[k]) {
            valueLen[k] = 0;
            continue;
        }
        value[k] = m_atoms[kValueTable[k]].Get(atoms[k]);
        valueLen[k] = strlen(value[k]);
        need += valueLen[k] + 3;
    }
    const char* msg = it.msg ? it.msg : "";
    size_t n = strlen(msg);
    size_t dots = HasDotLine(msg, n) ? Zvt_DotLines(msg, n) : 0;
    need += n + dots + 6;
    if (len + need > out.size())
        out.resize(len + need > out.size() * 2 ? len + need : out.size() * 2);

    char* p = &out[len];
    *p++ = 'S';
    *p++ = ':';
    p = PutNumber(p, *this, it.no);
    *p++ = ',';
    p = PutNumber(p, *this, it.pno);
    *p++ = ',';
    p = PutDecimal(p, (uint32_t)(1970 + (it.date >> 9)) % 100, 2);
    *p++ = '/';
    p = PutDecimal(p, (uint32_t)(it.date >> 5) & 15, 2);
    *p++ = '/';
    p = PutDecimal(p, (uint32_t)it.date & 31, 2);
    *p++ = ',';
    p = PutDecimal(p, (uint32_t)it.time / 60, 2, true);
    *p++ = ':';
    p = PutDecimal(p, (uint32_t)it.time % 60, 2);
    *p++ = ',';
    for (const auto& f : kFlags)
        if (it.atr & f.bit)
            *p++ = f.letter;
    *p++ = ',';
    if (it.color != SUBJ_NO_COLOR)
        p = PutColor(p, it.color);
    *p++ = '\n';
    for (int k = 0; k < V_COUNT; ++k) {
        if (!valueLen[k])
            continue;
        *p++ = kValueLetter[k];
        *p++ = ':';
        memcpy(p, value[k], valueLen[k]);
        p += valueLen[k];
        *p++ = '\n';
    }
    *p++ = 'M';
    *p++ = ':';
    if (dots) {
        p = Zvt_CopyMessage(p, msg, n);
    } else {
        memcpy(p, msg, n);
        p += n;
    }
    if (!n || msg[n - 1] != '\n')
        *p++ = '\n';
    *p++ = '.';
    *p++ = '\n';
    len = (size_t)(p - out.data());
}

// Asks for the memory of a record a few places ahead: its text and its
// title and name, each in an atom entry of its own.
void CSubj::PrefetchRecord(int index)
{
#if defined(__GNUC__)
    if (index >= m_count)
        return;
    const SubjItem& it = m_items[index];
    __builtin_prefetch(it.msg);
    if (it.title > 0 && it.title < m_atoms[A_TITLE].Capacity())
        __builtin_prefetch(m_atoms[A_TITLE].Get(it.title));
    if (it.name > 0 && it.name < m_atoms[A_NAME].Capacity())
        __builtin_prefetch(m_atoms[A_NAME].Get(it.name));
#else
    (void)index;
#endif
}

void CSubj::Serialize(std::string& out)
{
    CountAtr();
    out.clear();
    SerializeHeader(out);
    size_t len = out.size();
    for (int i = 0; i < m_count; ++i) {
        PrefetchRecord(i + 8);
        SerializeRecord(out, len, i);
    }
    out.resize(len);
}

int CSubj::WriteFile()
{
    // Made in pieces of about 1 MB; a thread writes each piece while the
    // next one is made.
    const size_t kPiece = 1024 * 1024;
    CAtomicFile f;
    if (!f.Open(m_path))
        return 0;
    CountAtr();
    try {
        CWriteBehind w(f);
        std::string& piece = w.Piece();   // the same buffer object after every Pass
        piece.clear();
        SerializeHeader(piece);
        size_t len = piece.size();
        piece.resize(kPiece + 8192);
        for (int i = 0; i < m_count; ++i) {
            PrefetchRecord(i + 8);
            SerializeRecord(piece, len, i);
            if (len >= kPiece) {
                if (!w.Pass(len))
                    return 0;
                len = 0;
            }
        }
        if (!w.Finish(len))
            return 0;
    } catch (const std::bad_alloc&) {
        // No memory for a piece: the old file stays, the collection modified.
        Debug_Out("CSubj::Update() - メモリが足りません\n");
        return 0;
    }
    return f.Commit();
}
