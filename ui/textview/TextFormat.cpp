// Quote and hit ranges, header lines and placeholders (TextFormat.h).
#include "ui/textview/TextFormat.h"

#include "base/sjis.h"
#include "store/Subj.h"

#include <stdio.h>
#include <string.h>

namespace {

// Bytes of the character at p (1 or 2), never past end.
inline size_t CharBytes(const char* p, const char* end)
{
    return (IsSjisLead((unsigned char)*p) && p + 1 < end) ? 2 : 1;
}

// Advances (p, pos) to the first character start at or after target,
// counting positions as the control does.
inline void Advance(const char*& p, int& pos, const char* target, const char* end)
{
    while (p < target && p < end) {
        if (*p == '\r' && p + 1 < end && p[1] == '\n')
            p += 2;
        else
            p += CharBytes(p, end);
        ++pos;
    }
}

inline unsigned char Fold(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? (unsigned char)(c + 32) : c;
}

// The rest of the search text (after its first byte) at p, ASCII letters
// compared without case, double-byte characters exactly. The first byte of
// the search text decides how the rest splits into characters.
bool RestMatches(const char* p, const char* end, const char* s, size_t n)
{
    if ((size_t)(end - p) < n)
        return false;
    size_t i = 1;
    if (IsSjisLead((unsigned char)s[0]) && n > 1) {
        if (p[1] != s[1])
            return false;
        i = 2;
    }
    while (i < n) {
        unsigned char a = (unsigned char)p[i], b = (unsigned char)s[i];
        if (IsSjisLead(b) && i + 1 < n) {
            if (a != b || p[i + 1] != s[i + 1])
                return false;
            i += 2;
            continue;
        }
        if (Fold(a) != Fold(b))
            return false;
        ++i;
    }
    return true;
}

void AddRange(std::vector<TextRange>* out, int start, int end)
{
    if (end <= start)
        return;
    if (!out->empty() && start <= out->back().end) {
        if (end > out->back().end)
            out->back().end = end;
        return;
    }
    out->push_back(TextRange{start, end});
}

std::string Cut(const char* s, size_t max)
{
    if (!s)
        return std::string();
    size_t n = strnlen(s, max + 1);
    if (n <= max)
        return std::string(s, n);
    size_t i = 0;
    while (i < max) {
        size_t k = IsSjisLead((unsigned char)s[i]) ? 2 : 1;
        if (i + k > max)
            break;
        i += k;
    }
    return std::string(s, i);
}

}  // namespace

int TextFormat_CharCount(const char* text, size_t len)
{
    const char* p = text;
    int pos = 0;
    Advance(p, pos, text + len, text + len);
    return pos;
}

void TextFormat_QuoteRanges(const char* text, size_t len, std::vector<TextRange>* out)
{
    out->clear();
    const char* end = text + len;
    const char* p = text;
    int pos = 0;
    while (p < end) {
        // p stands at a line start.
        bool quote = *p == '>' || ((unsigned char)p[0] == 0x81 && p + 1 < end && (unsigned char)p[1] == 0x84);
        int start = pos;
        while (p < end && *p != '\n') {
            if (*p == '\r' && p + 1 < end && p[1] == '\n')
                break;
            p += CharBytes(p, end);
            ++pos;
        }
        if (quote)
            AddRange(out, start, pos);
        if (p < end) {   // the line end: LF, or CR LF as one position
            p += *p == '\r' ? 2 : 1;
            ++pos;
        }
    }
}

void TextFormat_PlainHits(const char* text, size_t len, const char* search, std::vector<TextRange>* out)
{
    out->clear();
    if (!search || !*search)
        return;
    size_t n = strlen(search);
    const char* end = text + len;
    const char* p = text;
    int pos = 0;
    while (p < end) {
        if (*p == search[0] && RestMatches(p, end, search, n)) {
            const char* q = p;
            int qpos = pos;
            Advance(q, qpos, p + n, end);
            AddRange(out, pos, qpos);
        }
        if (*p == '\r' && p + 1 < end && p[1] == '\n')
            p += 2;
        else
            p += CharBytes(p, end);
        ++pos;
    }
}

void TextFormat_RegexHits(const char* text, size_t len, CTextMatcher* matcher, std::vector<TextRange>* out)
{
    out->clear();
    if (!matcher)
        return;
    const char* end = text + len;
    const char* from = text;    // where the next search starts
    const char* p = text;       // counting point
    int pos = 0;
    while (from <= end) {
        const char* ms = nullptr;
        const char* me = nullptr;
        if (!matcher->Find(from, end, &ms, &me) || !ms || !me || ms < from || me < ms || me > end)
            break;
        Advance(p, pos, ms, end);
        int start = pos;
        Advance(p, pos, me, end);
        AddRange(out, start, pos);
        if (me > ms) {
            from = p;   // the end of the match, at a character start
        } else {
            if (ms >= end)
                break;
            from = ms + CharBytes(ms, end);
        }
    }
}

std::string TextFormat_Rtf(const char* text, size_t len, const std::vector<TextRange>& quotes,
                           const std::vector<TextRange>& hits, uint32_t quoteColor, uint32_t hitText,
                           uint32_t hitBack)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(len + len / 2 + 256);
    char head[256];
    auto rgb = [](uint32_t c, char* buf, size_t n) {
        snprintf(buf, n, "\\red%u\\green%u\\blue%u;", (unsigned)(c & 0xFF), (unsigned)((c >> 8) & 0xFF),
                 (unsigned)((c >> 16) & 0xFF));
    };
    char c1[64], c2[64], c3[64];
    rgb(quoteColor, c1, sizeof c1);
    rgb(hitText, c2, sizeof c2);
    rgb(hitBack, c3, sizeof c3);
    snprintf(head, sizeof head, "{\\rtf1\\ansi\\ansicpg932{\\colortbl ;%s%s%s}\n", c1, c2, c3);
    out += head;
    const char* end = text + len;
    const char* p = text;
    int pos = 0;
    size_t qi = 0, hi = 0;
    int colour = 0, bold = 0;
    while (p < end) {
        while (qi < quotes.size() && quotes[qi].end <= pos)
            ++qi;
        while (hi < hits.size() && hits[hi].end <= pos)
            ++hi;
        bool inQuote = qi < quotes.size() && quotes[qi].start <= pos;
        bool inHit = hi < hits.size() && hits[hi].start <= pos;
        int wantColour = inHit ? 2 : inQuote ? 1 : 0;
        if (wantColour != colour || (int)inHit != bold) {
            out += "\\cf";
            out += (char)('0' + wantColour);
            out += inHit ? "\\b\\highlight3 " : "\\b0\\highlight0 ";
            colour = wantColour;
            bold = inHit;
        }
        unsigned char c = (unsigned char)*p;
        if (c == '\r' || c == '\n') {
            out += "\\par\n";
            p += (c == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
        } else {
            size_t k = CharBytes(p, end);
            for (size_t i = 0; i < k; ++i) {
                unsigned char b = (unsigned char)p[i];
                if (b == '\t' && k == 1) {
                    out += "\\tab ";
                } else if (k == 2 || b < 0x20 || b >= 0x80) {   // both bytes of a double-byte character
                    out += "\\'";
                    out += kHex[b >> 4];
                    out += kHex[b & 15];
                } else if (b == '\\' || b == '{' || b == '}') {
                    out += '\\';
                    out += (char)b;
                } else {
                    out += (char)b;
                }
            }
            p += k;
        }
        ++pos;
    }
    out += "}";
    return out;
}

void TextFormat_HeaderLines(const char* title, const char* name, const char* email, const char* hp,
                            const char* dateTime, std::string* line1, std::string* line2)
{
    const size_t kMax = 1024;
    *line1 = "タイトル： " + Cut(title, kMax) + "  " + Cut(hp, kMax);
    std::string mail = Cut(email, kMax);
    *line2 = "発言者： " + Cut(name, kMax) + (mail.empty() ? std::string() : " <" + mail + ">") + "    日付： " +
             Cut(dateTime, kMax);
}

std::string TextFormat_HtmlPage(const char* dir, const char* text)
{
    std::string page = "<HTML><BASE HREF=\"";
    page += dir ? dir : "";
    page += "\"><BODY><PRE>\r\n";
    page += text ? text : "";
    page += "</PRE></BODY></HTML>";
    return page;
}

std::string TextFormat_FolderOf(const char* path)
{
    if (!path)
        return std::string();
    const char* slash = Sjis_StrRChr(path, '\\');
    return slash ? std::string(path, slash + 1) : std::string();
}

size_t TextFormat_CopyChars(char* dst, size_t size, const char* src)
{
    if (size == 0)
        return 0;
    std::string s = Cut(src ? src : "", size - 1);
    memcpy(dst, s.data(), s.size());
    dst[s.size()] = 0;
    return s.size();
}

std::string Placeholder_Expand(const char* tmpl, const PlaceholderValues& v)
{
    static const struct {
        const char* name;
        const char* PlaceholderValues::*field;
    } kNames[] = {
        {"s_no", &PlaceholderValues::no},       {"s_pno", &PlaceholderValues::pno},
        {"s_title", &PlaceholderValues::title}, {"s_msg", &PlaceholderValues::msg},
        {"s_name", &PlaceholderValues::name},   {"s_email", &PlaceholderValues::email},
        {"s_hp", &PlaceholderValues::hp},       {"s_image", &PlaceholderValues::image},
    };
    const size_t kMaxName = 20;
    std::string out;
    out.reserve(10000);
    if (!tmpl)
        return out;
    const char* p = tmpl;
    while (*p) {
        if (*p != '%') {
            size_t k = (IsSjisLead((unsigned char)*p) && p[1]) ? 2 : 1;
            out.append(p, k);
            p += k;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            p += 2;
            continue;
        }
        // The name runs to the next "%" within 20 bytes (a "%" is never the
        // second byte of a character).
        const char* close = nullptr;
        for (size_t i = 1; i <= kMaxName + 1 && p[i]; ++i)
            if (p[i] == '%') {
                close = p + i;
                break;
            }
        if (!close) {
            out += '%';
            ++p;
            continue;
        }
        std::string name(p + 1, close);
        for (const auto& n : kNames)
            if (name == n.name) {
                const char* value = v.*n.field;
                if (value)
                    out += value;
                break;
            }
        p = close + 1;
    }
    return out;
}

std::string Placeholder_ExpandArticle(const char* tmpl, CSubj& subj, int index)
{
    if (index < 0 || index >= subj.GetCount())
        return Placeholder_Expand(tmpl, PlaceholderValues{});
    std::string no = subj.NoStr(index);
    std::string pno = subj.PnoStr(index);
    PlaceholderValues v = {no.c_str(),          pno.c_str(),           subj.GetTitle(index), subj.GetMsg(index),
                           subj.GetName(index), subj.GetEmail(index), subj.GetHp(index),    subj.GetImage(index)};
    return Placeholder_Expand(tmpl, v);
}

const char* Placeholder_ReplyTemplate(const char* parentTitle, const char* replyHeader)
{
    if (parentTitle && Str_NICmp(parentTitle, "re:", 3) == 0)
        return "%s_title%";
    if (replyHeader && *replyHeader)
        return replyHeader;
    return "RE: %s_title%";
}
