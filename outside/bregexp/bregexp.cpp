// BREGEXP.DLL on Oniguruma: Perl-style pattern strings ("/re/flags",
// "s/re/repl/flags", "tr/a/b/flags") over Shift-JIS or byte text.
#include "outside/bregexp/bregexp.h"

#include <oniguruma.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Backtracking limits: a pathological pattern on a long text gives up with
// a message instead of running for hours.
const unsigned long kRetryLimitInMatch = 10000000UL;
const unsigned long kRetryLimitInSearch = 40000000UL;
const unsigned int kMatchStackLimit = 4000000U;
// Nesting depth of the pattern parser (it recurses on the caller's stack).
const unsigned int kParseDepthLimit = 400U;
// Characters a tr list may name, ranges counted out.
const size_t kTrListLimit = 0x20000;

enum Kind { kMatch, kSubst, kTrans };

enum Flag {
    fK = 1, fM = 2, fS = 4, fI = 8, fX = 16, fG = 32, fD = 64,
};

struct Parsed {
    Kind kind = kMatch;
    std::string re;      // regexp, or the tr from-list
    std::string repl;    // replacement, or the tr to-list
    unsigned flags = 0;
};

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Length of the character at p (1 or 2); a lead byte without its second
// byte before end counts as one byte.
size_t CharLen(const char *p, const char *end, bool sjis)
{
    if (sjis && IsLead((unsigned char)*p) && p + 1 < end) return 2;
    return 1;
}

void SetMsg(char *msg, const char *text)
{
    if (!msg) return;
    size_t n = 0, len = std::strlen(text);
    // Cut at a character boundary so the message never ends in a lead byte.
    while (n < len) {
        size_t step = (IsLead((unsigned char)text[n]) && n + 1 < len) ? 2 : 1;
        if (n + step > BREGEXP_MSG_SIZE - 1) break;
        n += step;
    }
    std::memcpy(msg, text, n);
    msg[n] = '\0';
}

bool IsDelimiter(char c)
{
    unsigned char u = (unsigned char)c;
    return u > 0x20 && u < 0x7F && !((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') ||
                                     (u >= 'a' && u <= 'z') || u == '\\');
}

// Splits "a<d>b" at the first <d> that is neither escaped nor the second
// byte of a double-byte character.
bool SplitAtDelimiter(const std::string &body, char d, bool sjis, std::string &a, std::string &b)
{
    const char *p = body.data(), *end = p + body.size();
    for (const char *q = p; q < end;) {
        if (*q == '\\' && q + 1 < end) {
            q += 1 + CharLen(q + 1, end, sjis);
            continue;
        }
        if (*q == d) {
            a.assign(p, q);
            b.assign(q + 1, end);
            return true;
        }
        q += CharLen(q, end, sjis);
    }
    return false;
}

// Reads a pattern string; on failure returns a message.
const char *Parse(const char *pattern, Parsed &out)
{
    const char *p = pattern;
    if (p[0] == 's' && IsDelimiter(p[1])) {
        out.kind = kSubst;
        p += 1;
    } else if (p[0] == 't' && p[1] == 'r' && IsDelimiter(p[2])) {
        out.kind = kTrans;
        p += 2;
    } else if (p[0] == 'y' && IsDelimiter(p[1])) {
        out.kind = kTrans;
        p += 1;
    } else if (p[0] == 'm' && IsDelimiter(p[1])) {
        p += 1;
    }
    if (!IsDelimiter(*p)) return "pattern must start with a delimiter such as /";
    char d = *p++;
    const char *last = std::strrchr(p, d);
    if (!last) return "pattern has no closing delimiter";
    const std::string valid = out.kind == kMatch ? "kmsix" : out.kind == kSubst ? "kmsixg" : "kds";
    for (const char *f = last + 1; *f; ++f) {
        size_t at = valid.find(*f);
        if (at == std::string::npos) return "unknown flag after the closing delimiter";
        const unsigned bits[] = {fK, fM, fS, fI, fX, fG};
        const unsigned trbits[] = {fK, fD, fS};
        out.flags |= out.kind == kTrans ? trbits[at] : bits[at];
    }
    std::string body(p, last);
    if (out.kind == kMatch) {
        out.re = body;
        return nullptr;
    }
    if (!SplitAtDelimiter(body, d, (out.flags & fK) != 0, out.re, out.repl))
        return "pattern has too few delimiters";
    return nullptr;
}

void InitOnce()
{
    static const bool done = [] {
        OnigEncoding encs[] = {ONIG_ENCODING_SJIS, ONIG_ENCODING_ASCII};
        onig_initialize(encs, 2);
        onig_set_parse_depth_limit(kParseDepthLimit);
        onig_set_match_stack_limit_size(kMatchStackLimit);
        return true;
    }();
    (void)done;
}

// The handle the caller sees, followed by the library's state.
struct Handle {
    BRegexpHandle pub;
    std::string pattern;
    Parsed parsed;
    regex_t *reg = nullptr;
    OnigRegion *region = nullptr;
    OnigMatchParam *param = nullptr;
    std::vector<const char *> starts, ends, split;
    std::string out;
    // tr: character code -> index in the from-list; the to-list
    std::unordered_map<unsigned, size_t> trFrom;
    std::vector<unsigned> trTo;

    ~Handle()
    {
        if (reg) onig_free(reg);
        if (region) onig_region_free(region, 1);
        if (param) onig_free_match_param(param);
    }
};

void OnigMessage(char *msg, int code, OnigErrorInfo *info)
{
    OnigUChar buf[ONIG_MAX_ERROR_MESSAGE_LEN + 1];
    if (info)
        onig_error_code_to_str(buf, code, info);
    else
        onig_error_code_to_str(buf, code);
    buf[ONIG_MAX_ERROR_MESSAGE_LEN] = 0;
    SetMsg(msg, (const char *)buf);
}

// Reads one tr-list character code (1 or 2 bytes, or an escape).
unsigned ReadTrChar(const std::string &s, size_t &i, bool sjis)
{
    unsigned char c = (unsigned char)s[i];
    if (c == '\\' && i + 1 < s.size()) {
        char e = s[i + 1];
        i += 2;
        switch (e) {
        case 'n': return '\n';
        case 't': return '\t';
        case 'r': return '\r';
        default:
            if (sjis && IsLead((unsigned char)e) && i < s.size())
                return ((unsigned char)e << 8) | (unsigned char)s[i++];
            return (unsigned char)e;
        }
    }
    if (sjis && IsLead(c) && i + 1 < s.size()) {
        unsigned code = (c << 8) | (unsigned char)s[i + 1];
        i += 2;
        return code;
    }
    i += 1;
    return c;
}

const char *ExpandTrList(const std::string &s, bool sjis, std::vector<unsigned> &codes)
{
    for (size_t i = 0; i < s.size();) {
        unsigned lo = ReadTrChar(s, i, sjis);
        if (i + 1 < s.size() && s[i] == '-') {
            size_t j = i + 1;
            unsigned hi = ReadTrChar(s, j, sjis);
            if (hi < lo) return "tr range is out of order";
            if (codes.size() + (hi - lo) > kTrListLimit) return "tr list is too long";
            for (unsigned c = lo; c <= hi; ++c) codes.push_back(c);
            i = j;
        } else {
            codes.push_back(lo);
        }
    }
    return nullptr;
}

Handle *Compile(const char *pattern, char *msg)
{
    Parsed parsed;
    if (const char *err = Parse(pattern, parsed)) {
        SetMsg(msg, err);
        return nullptr;
    }
    Handle *h = new Handle();
    h->pattern = pattern;
    h->parsed = parsed;
    if (parsed.kind == kTrans) {
        bool sjis = (parsed.flags & fK) != 0;
        std::vector<unsigned> from;
        const char *err = ExpandTrList(parsed.re, sjis, from);
        if (!err) err = ExpandTrList(parsed.repl, sjis, h->trTo);
        if (err) {
            delete h;
            SetMsg(msg, err);
            return nullptr;
        }
        if (h->trTo.empty() && !(parsed.flags & fD)) h->trTo = from;
        for (size_t i = 0; i < from.size(); ++i) h->trFrom.emplace(from[i], i);
    } else {
        InitOnce();
        OnigOptionType opt = ONIG_OPTION_CAPTURE_GROUP;
        if (parsed.flags & fI) opt |= ONIG_OPTION_IGNORECASE;
        if (parsed.flags & fX) opt |= ONIG_OPTION_EXTEND;
        if (parsed.flags & fS) opt |= ONIG_OPTION_MULTILINE;  // dot matches a line feed
        if (parsed.flags & fM) opt |= ONIG_OPTION_NEGATE_SINGLELINE;
        OnigEncoding enc = (parsed.flags & fK) ? ONIG_ENCODING_SJIS : ONIG_ENCODING_ASCII;
        OnigErrorInfo info;
        const OnigUChar *re = (const OnigUChar *)parsed.re.data();
        int r = onig_new(&h->reg, re, re + parsed.re.size(), opt, enc, ONIG_SYNTAX_PERL, &info);
        if (r != ONIG_NORMAL) {
            h->reg = nullptr;
            delete h;
            OnigMessage(msg, r, &info);
            return nullptr;
        }
        h->region = onig_region_new();
        h->param = onig_new_match_param();
        if (!h->region || !h->param) {
            delete h;
            SetMsg(msg, "out of memory");
            return nullptr;
        }
        onig_initialize_match_param(h->param);
        onig_set_retry_limit_in_match_of_match_param(h->param, kRetryLimitInMatch);
        onig_set_retry_limit_in_search_of_match_param(h->param, kRetryLimitInSearch);
    }
    h->pub.pattern = h->pattern.c_str();
    h->pub.patternLength = (int)h->pattern.size();
    h->pub.internal = h;
    return h;
}

// Takes the caller's handle when it holds the same pattern text, else
// compiles a new one in its place.
Handle *Acquire(const char *pattern, BREGEXP_HANDLE *handle, char *msg)
{
    if (msg) msg[0] = '\0';
    if (!pattern || !handle) {
        SetMsg(msg, "no pattern or no handle address");
        return nullptr;
    }
    if (*handle && std::strcmp((*handle)->pattern, pattern) == 0)
        return static_cast<Handle *>((*handle)->internal);
    if (*handle) {
        delete static_cast<Handle *>((*handle)->internal);
        *handle = nullptr;
    }
    Handle *h = Compile(pattern, msg);
    if (h) *handle = &h->pub;
    return h;
}

// Checks the text range; with k, a lead byte alone at the end is left out.
bool TextRange(const char *text, const char *&end, bool sjis, char *msg)
{
    if (!text || !end || end < text) {
        SetMsg(msg, "no text or a text end before its start");
        return false;
    }
    if (sjis) {
        // A byte outside the lead range always ends a character, so the
        // run of lead-range bytes before the end pairs up from its start:
        // an odd run ends in a lead byte without its second byte.
        const char *p = end;
        while (p > text && IsLead((unsigned char)p[-1])) --p;
        if ((end - p) % 2 == 1) --end;
    }
    return true;
}

void ClearMatch(Handle *h)
{
    h->pub.groupCount = 0;
    h->pub.matchStart = nullptr;
    h->pub.matchEnd = nullptr;
}

// One search from start; 1 found (positions stored), 0 none, -1 an error.
int Search(Handle *h, const char *text, const char *start, const char *end, char *msg)
{
    const OnigUChar *t = (const OnigUChar *)text;
    int r = onig_search_with_param(h->reg, t, (const OnigUChar *)end, (const OnigUChar *)start,
                                   (const OnigUChar *)end, h->region, ONIG_OPTION_NONE, h->param);
    if (r == ONIG_MISMATCH) return 0;
    if (r < 0) {
        OnigMessage(msg, r, nullptr);
        return -1;
    }
    int n = h->region->num_regs;
    h->starts.assign(n, nullptr);
    h->ends.assign(n, nullptr);
    for (int i = 0; i < n; ++i) {
        if (h->region->beg[i] == ONIG_REGION_NOTPOS) continue;
        h->starts[i] = text + h->region->beg[i];
        h->ends[i] = text + h->region->end[i];
    }
    h->pub.groupCount = n > 0 ? n - 1 : 0;
    h->pub.matchStart = h->starts.data();
    h->pub.matchEnd = h->ends.data();
    return 1;
}

void SetOut(Handle *h, bool any)
{
    h->pub.out = any ? h->out.c_str() : nullptr;
    h->pub.outEnd = any ? h->out.c_str() + h->out.size() : nullptr;
}

// Appends the replacement for the current match: $1..$9, \1..\9, $& and
// ${n}; \n \t \r; a backslash or dollar sign escaped by a backslash.
void AppendReplacement(Handle *h, std::string &out)
{
    const std::string &r = h->parsed.repl;
    bool sjis = (h->parsed.flags & fK) != 0;
    const char *p = r.data(), *end = p + r.size();
    auto group = [&](int g) {
        if (g < (int)h->starts.size() && h->starts[g]) out.append(h->starts[g], h->ends[g]);
    };
    while (p < end) {
        char c = *p;
        if (c == '\\' && p + 1 < end) {
            char e = p[1];
            if (e >= '0' && e <= '9') group(e - '0');
            else if (e == 'n') out += '\n';
            else if (e == 't') out += '\t';
            else if (e == 'r') out += '\r';
            else {
                out.append(p + 1, CharLen(p + 1, end, sjis));
                p += 1 + CharLen(p + 1, end, sjis);
                continue;
            }
            p += 2;
        } else if (c == '$' && p + 1 < end && p[1] >= '0' && p[1] <= '9') {
            group(p[1] - '0');
            p += 2;
        } else if (c == '$' && p + 1 < end && p[1] == '&') {
            group(0);
            p += 2;
        } else if (c == '$' && p + 1 < end && p[1] == '{') {
            const char *q = p + 2;
            int g = 0;
            while (q < end && *q >= '0' && *q <= '9' && g < 1000) g = g * 10 + (*q++ - '0');
            if (q < end && *q == '}' && q > p + 2) {
                group(g);
                p = q + 1;
            } else {
                out += c;
                ++p;
            }
        } else {
            size_t n = CharLen(p, end, sjis);
            out.append(p, n);
            p += n;
        }
    }
}

int DoMatch(const char *pattern, const char *text, const char *end, BREGEXP_HANDLE *handle, char *msg)
{
    Handle *h = Acquire(pattern, handle, msg);
    if (!h) return 0;
    if (h->parsed.kind != kMatch) {
        SetMsg(msg, "BMatch takes a /regexp/ pattern");
        return 0;
    }
    ClearMatch(h);
    if (!TextRange(text, end, (h->parsed.flags & fK) != 0, msg)) return 0;
    return Search(h, text, text, end, msg) == 1 ? 1 : 0;
}

int DoSubst(const char *pattern, const char *text, const char *end, BREGEXP_HANDLE *handle, char *msg)
{
    Handle *h = Acquire(pattern, handle, msg);
    if (!h) return 0;
    SetOut(h, false);
    if (h->parsed.kind != kSubst) {
        SetMsg(msg, "BSubst takes an s/regexp/replacement/ pattern");
        return 0;
    }
    ClearMatch(h);
    bool sjis = (h->parsed.flags & fK) != 0;
    const char *whole = end;  // a lone lead byte at the end is copied as it is
    if (!TextRange(text, end, sjis, msg)) return 0;
    h->out.clear();
    int count = 0;
    const char *pos = text;  // copied up to here
    const char *from = text;
    while (from <= end) {
        int r = Search(h, text, from, end, msg);
        if (r < 0) return 0;
        if (r == 0) break;
        const char *ms = h->starts[0], *me = h->ends[0];
        h->out.append(pos, ms);
        AppendReplacement(h, h->out);
        ++count;
        pos = me;
        if (!(h->parsed.flags & fG)) break;
        if (me == ms) {
            // An empty match: copy one character and go on after it.
            if (me >= end) break;
            size_t n = CharLen(me, end, sjis);
            h->out.append(me, n);
            pos = me + n;
        }
        from = pos;
    }
    h->out.append(pos, whole);
    SetOut(h, count > 0);
    return count;
}

int DoTrans(const char *pattern, const char *text, const char *end, BREGEXP_HANDLE *handle, char *msg)
{
    Handle *h = Acquire(pattern, handle, msg);
    if (!h) return 0;
    SetOut(h, false);
    if (h->parsed.kind != kTrans) {
        SetMsg(msg, "BTrans takes a tr/list/list/ pattern");
        return 0;
    }
    bool sjis = (h->parsed.flags & fK) != 0;
    bool del = (h->parsed.flags & fD) != 0, squeeze = (h->parsed.flags & fS) != 0;
    const char *whole = end;  // a lone lead byte at the end is copied as it is
    if (!TextRange(text, end, sjis, msg)) return 0;
    h->out.clear();
    int count = 0;
    bool lastTranslated = false;
    unsigned lastCode = 0;
    for (const char *p = text; p < end;) {
        size_t n = CharLen(p, end, sjis);
        unsigned code = n == 2 ? ((unsigned char)p[0] << 8) | (unsigned char)p[1] : (unsigned char)p[0];
        auto it = h->trFrom.find(code);
        if (it == h->trFrom.end()) {
            h->out.append(p, n);
            lastTranslated = false;
        } else {
            ++count;
            size_t i = it->second;
            if (i < h->trTo.size() || (!del && !h->trTo.empty())) {
                unsigned to = h->trTo[i < h->trTo.size() ? i : h->trTo.size() - 1];
                if (!(squeeze && lastTranslated && lastCode == to)) {
                    if (to > 0xFF) h->out += (char)(to >> 8);
                    h->out += (char)(to & 0xFF);
                }
                lastTranslated = true;
                lastCode = to;
            }
        }
        p += n;
    }
    h->out.append(end, whole);
    SetOut(h, count > 0);
    return count;
}

int DoSplit(const char *pattern, const char *text, const char *end, int limit,
            BREGEXP_HANDLE *handle, char *msg)
{
    Handle *h = Acquire(pattern, handle, msg);
    if (!h) return 0;
    h->pub.splitCount = 0;
    h->pub.split = nullptr;
    if (h->parsed.kind != kMatch) {
        SetMsg(msg, "BSplit takes a /regexp/ pattern");
        return 0;
    }
    ClearMatch(h);
    bool sjis = (h->parsed.flags & fK) != 0;
    const char *whole = end;  // the last piece keeps a lone lead byte at the end
    if (!TextRange(text, end, sjis, msg)) return 0;
    h->split.clear();
    if (text == end) {
        h->split.push_back(nullptr);
        h->pub.split = h->split.data();
        return 0;
    }
    const char *piece = text, *from = text;
    int count = 0;
    while ((limit <= 0 || count < limit - 1) && from <= end) {
        int r = Search(h, text, from, end, msg);
        if (r < 0) return 0;
        if (r == 0) break;
        const char *ms = h->starts[0], *me = h->ends[0];
        if (ms == me) {
            if (ms >= end) break;
            if (ms == piece) {
                from = ms + CharLen(ms, end, sjis);
                continue;
            }
        }
        h->split.push_back(piece);
        h->split.push_back(ms);
        ++count;
        piece = me;
        from = me;
    }
    h->split.push_back(piece);
    h->split.push_back(whole);
    ++count;
    h->split.push_back(nullptr);
    h->pub.splitCount = count;
    h->pub.split = h->split.data();
    return count;
}

}  // namespace

extern "C" {

int BREGEXP_CALL BMatch(const char *pattern, const char *text, const char *textEnd,
                        BREGEXP_HANDLE *handle, char *msg)
{
    try {
        return DoMatch(pattern, text, textEnd, handle, msg);
    } catch (const std::bad_alloc &) {
        SetMsg(msg, "out of memory");
        return 0;
    }
}

int BREGEXP_CALL BSubst(const char *pattern, const char *text, const char *textEnd,
                        BREGEXP_HANDLE *handle, char *msg)
{
    try {
        return DoSubst(pattern, text, textEnd, handle, msg);
    } catch (const std::bad_alloc &) {
        SetMsg(msg, "out of memory");
        return 0;
    }
}

int BREGEXP_CALL BTrans(const char *pattern, const char *text, const char *textEnd,
                        BREGEXP_HANDLE *handle, char *msg)
{
    try {
        return DoTrans(pattern, text, textEnd, handle, msg);
    } catch (const std::bad_alloc &) {
        SetMsg(msg, "out of memory");
        return 0;
    }
}

int BREGEXP_CALL BSplit(const char *pattern, const char *text, const char *textEnd, int limit,
                        BREGEXP_HANDLE *handle, char *msg)
{
    try {
        return DoSplit(pattern, text, textEnd, limit, handle, msg);
    } catch (const std::bad_alloc &) {
        SetMsg(msg, "out of memory");
        return 0;
    }
}

void BREGEXP_CALL BRegfree(BREGEXP_HANDLE handle)
{
    if (handle) delete static_cast<Handle *>(handle->internal);
}

const char *BREGEXP_CALL BRegexpVersion(void)
{
    static const std::string version = std::string("BREGEXP.DLL (ZEVA) 1.0 / Oniguruma ") + onig_version();
    return version.c_str();
}

}  // extern "C"
