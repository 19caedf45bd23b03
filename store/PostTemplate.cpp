// Expansion of posting templates. Kept apart from CSubj so that it can be
// used and tested with plain values.
#include "store/PostRequest.h"

#include "base/debug.h"
#include "base/sjis.h"

#include <stdlib.h>
#include <string.h>

void PostRequest_Init(PostRequest* request)
{
    if (!request)
        return;
    request->method[0] = 0;
    request->url[0] = 0;
    request->body = nullptr;
}

void PostRequest_Free(PostRequest* request)
{
    if (!request)
        return;
    free(request->body);
    request->body = nullptr;
}

namespace {

// Output of one expansion pass. Without a buffer it only counts, so that the
// work buffer can be sized from the expansion itself; with one it never
// writes past cap.
struct Sink {
    char* buf;
    size_t cap;
    size_t len;
    size_t sep[2];   // positions of the two separating commas
    int seps;

    void Put(char c)
    {
        if (buf && len < cap)
            buf[len] = c;
        ++len;
    }
    void Hex(unsigned b)
    {
        static const char digits[] = "0123456789ABCDEF";
        Put('%');
        Put(digits[(b >> 4) & 15]);
        Put(digits[b & 15]);
    }
    void Text(const char* s)
    {
        while (*s)
            Put(*s++);
    }
};

// JIS X 0208: Shift-JIS pair to EUC-JP pair.
void SjisToEuc(unsigned& c1, unsigned& c2)
{
    if (c2 >= 0x9F) {
        c1 = c1 * 2 - (c1 >= 0xE0 ? 0x160 : 0xE0);
        c2 -= 0x7E;
    } else {
        c1 = c1 * 2 - (c1 >= 0xE0 ? 0x161 : 0xE1);
        c2 -= c2 >= 0x80 ? 0x20 : 0x1F;
    }
    c1 = (c1 | 0x80) & 0xFF;
    c2 = (c2 | 0x80) & 0xFF;
}

void UrlEncode(Sink& out, const char* value, bool eucjp)
{
    const unsigned char* p = (const unsigned char*)value;
    while (*p) {
        unsigned c = *p;
        if (IsSjisLead((unsigned char)c) && p[1]) {
            unsigned c2 = p[1];
            if (eucjp)
                SjisToEuc(c, c2);
            out.Hex(c);
            out.Hex(c2);
            p += 2;
            continue;
        }
        // A lead byte ending the value has no partner: it goes out alone.
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            out.Put((char)c);
        } else if (c == '\n') {
            out.Hex(13);
            out.Hex(10);
        } else {
            out.Hex(c);
        }
        ++p;
    }
}

const char* Or(const char* s)
{
    return s ? s : "";
}

// Number of bytes of the character at p (0 at the end).
size_t CharLen(const unsigned char* p)
{
    if (!*p)
        return 0;
    return IsSjisLead(*p) && p[1] ? 2 : 1;
}

void Expand(const char* tmpl, const PostMacros& m, Sink& out, bool report)
{
    const bool eucjp = m.charset && m.charset[0] == 'E';
    int commas = 0;
    const unsigned char* p = (const unsigned char*)Or(tmpl);
    while (*p) {
        if (IsSjisLead(*p) && p[1]) {
            out.Put((char)p[0]);
            out.Put((char)p[1]);
            p += 2;
            continue;
        }
        if (*p == ',') {
            if (commas < 2) {
                out.sep[commas] = out.len;
                out.seps = commas + 1;
                out.Put(',');
            } else {
                out.Put('&');
            }
            ++commas;
            ++p;
            continue;
        }
        if (*p != '$') {
            out.Put((char)*p++);
            continue;
        }
        ++p;   // the macro character follows
        const char* value = nullptr;
        bool encode = true;
        char setting[kPostSettingMax + 1];
        switch (*p) {
        case 'C': value = Or(m.url); break;
        case 'c': value = m.upurl && m.upurl[0] ? m.upurl : Or(m.url); break;
        case 'T': value = Or(m.title); break;
        case 'M': value = Or(m.msg); break;
        case 'N': value = Or(m.name); break;
        case 'E': value = Or(m.email); break;
        case 'H': value = Or(m.hp); break;
        case 'K': value = Or(m.key); break;
        case 'U': value = Or(m.user); break;
        case 'P': value = Or(m.pass); break;
        case '1': value = Or(m.param1); break;
        case '2': value = Or(m.param2); break;
        case '$': out.Put('$'); break;
        case ',': out.Put(','); break;
        case '(': {
            char name[kPostNameMax + 1];
            size_t n = 0;
            const unsigned char* q = p + 1;
            while (*q && *q != ')') {
                size_t k = CharLen(q);
                for (size_t i = 0; i < k; ++i)
                    if (n < kPostNameMax)
                        name[n++] = (char)q[i];
                q += k;
            }
            name[n] = 0;
            // p ends on the ")" (or on the last byte when it is missing).
            p = *q ? q : q - 1;
            setting[0] = 0;
            if (m.setting)
                m.setting(m.settingContext, name, setting, sizeof setting);
            setting[kPostSettingMax] = 0;
            value = setting;
            break;
        }
        case '#':
            if (p[1] == 'T') {
                value = Or(m.listTitle);
                ++p;
            } else {
                out.Text("-decode error-");
                if (p[1])
                    p += CharLen(p + 1);
            }
            break;
        case 'S':
            if (p[1] == 'n' || p[1] == 'r') {
                value = Or(p[1] == 'n' ? m.no : m.pno);
                encode = false;
                ++p;
            } else {
                out.Text("-decode error-");
                if (p[1])
                    p += CharLen(p + 1);
            }
            break;
        default:
            if (report)
                Debug_Out("書き込みメソッドマクロ展開中に未定義のマクロが検出されました\n");
            if (!*p)
                return;
            p += CharLen(p) - 1;
            break;
        }
        if (value) {
            if (encode && commas >= 2)
                UrlEncode(out, value, eucjp);
            else
                out.Text(value);
        }
        ++p;
    }
}

} // namespace

int Post_Build(const char* tmpl, const PostMacros& macros, PostRequest* request)
{
    PostRequest_Init(request);
    if (!request)
        return 0;
    Sink count = {nullptr, 0, 0, {0, 0}, 0};
    Expand(tmpl, macros, count, false);
    char* work = (char*)malloc(count.len + 1);
    if (!work) {
        Debug_Out("メモリ不足\n");
        return 0;
    }
    Sink out = {work, count.len, 0, {0, 0}, 0};
    Expand(tmpl, macros, out, true);
    size_t len = out.len < count.len ? out.len : count.len;
    work[len] = 0;

    // Split at the separating commas the walk recorded; a comma that came
    // from a value or from "$," never separates.
    size_t s1 = out.seps >= 1 && out.sep[0] < len ? out.sep[0] : len;
    size_t s2 = out.seps >= 2 && out.sep[1] < len ? out.sep[1] : len;
    Str_CopyN(request->method, sizeof request->method, work, s1);
    if (s1 < len)
        Str_CopyN(request->url, sizeof request->url, work + s1 + 1, s2 - s1 - 1);
    size_t bodyLen = s2 < len ? len - s2 - 1 : 0;
    if (bodyLen)
        memmove(work, work + s2 + 1, bodyLen);
    work[bodyLen] = 0;
    request->body = work;
    return 1;
}
