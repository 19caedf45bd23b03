#include "plugins/orbiloom/OrbiloomConv.h"

#include "base/sjis.h"
#include "plugins/common/PluginApp.h"
#include "plugins/common/PluginOutput.h"
#include "plugins/common/PluginRecord.h"
#include "plugins/common/PluginSettings.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/common/PluginText.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

const char kOrbiloomSeparator[] = "-\t-\t-\t-\t-\t-\t-\n";

namespace {
const char kSerial[] = "(host)Serial-number:";
const char kReadEnd[] = "読み終わりました。\n";
const char kOpenBracket[] = "\xA2";    // half-width "｢"
const char kCloseBracket[] = "\xA3";   // half-width "｣"

struct Cursor {
    const char* p;
    const char* end;

    bool StartsWith(const char* s) const
    {
        size_t n = strlen(s);
        return (size_t)(end - p) >= n && memcmp(p, s, n) == 0;
    }
    const char* LineEnd() const
    {
        const char* q = (const char*)memchr(p, '\n', (size_t)(end - p));
        return q ? q : end;
    }
    void NextLine()
    {
        const char* q = LineEnd();
        p = q < end ? q + 1 : end;
    }
    void Skip(char c)
    {
        if (p < end && *p == c)
            ++p;
    }
    // Copies up to the delimiter, a line feed or the end; keeps at most max
    // bytes (never half a character); stops at the delimiter.
    std::string CopyUpTo(char delim, size_t max)
    {
        const char* s = p;
        while (p < end && *p != delim && *p != '\n')
            ++p;
        size_t n = (size_t)(p - s);
        if (n > max)
            n = Sjis_CutLength(s, max);
        return std::string(s, n);
    }
};

// Leading decimal number, held within 32 bits.
int ReadNumber(const char* p, const char* end)
{
    int64_t v = 0;
    bool neg = false;
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    if (p < end && (*p == '-' || *p == '+'))
        neg = *p++ == '-';
    while (p < end && *p >= '0' && *p <= '9') {
        if (v <= INT32_MAX)
            v = v * 10 + (*p - '0');
        ++p;
    }
    if (v > INT32_MAX)
        v = INT32_MAX;
    return (int)(neg ? -v : v);
}

std::string Cut(const char* s, size_t n, size_t max)
{
    return std::string(s, n > max ? Sjis_CutLength(s, max) : n);
}

struct OpenFile {
    std::string name;
    int id;
};

class CConverter {
public:
    CConverter(CZvSink& sink, OrbiloomResult* out) : m_sink(sink), m_out(out) {}

    void Run(const char* text, size_t len)
    {
        Cursor c{text, text + len};
        while (c.p < c.end && !m_out->stopped) {
            if (!c.StartsWith(kOrbiloomSeparator)) {
                OtherLine(c);
                c.NextLine();
                continue;
            }
            c.NextLine();
            Article(c);
        }
        for (const OpenFile& f : m_files)
            if (!m_sink.Close(f.id))
                Plugin_Printf("%s が作成できません", f.name.c_str());
    }

private:
    void OtherLine(const Cursor& c)
    {
        if (c.StartsWith(kSerial)) {
            m_out->serial = ReadNumber(c.p + strlen(kSerial), c.end);
        } else if (c.StartsWith("No.")) {
            const char* eol = c.LineEnd();
            const char* open = Sjis_Find(c.p, eol, kOpenBracket);
            if (!open)
                return;
            const char* s = open + 1;
            const char* close = Sjis_Find(s, eol, kCloseBracket);
            m_title = Cut(s, (size_t)((close ? close : eol) - s), 98);
        }
    }

    void Article(Cursor& c)
    {
        // Header: category(number/...) date time title
        std::string category = c.CopyUpTo('(', 99);
        c.Skip('(');
        std::string number = c.CopyUpTo('/', 20);
        while (c.p < c.end && *c.p != ' ' && *c.p != '\n')
            ++c.p;
        c.Skip(' ');
        std::string date = c.CopyUpTo(' ', 8);
        c.Skip(' ');
        std::string time = c.CopyUpTo(' ', 8);
        c.Skip(' ');
        std::string title = c.CopyUpTo('\n', 99);
        c.NextLine();

        int parent = -1;
        if (c.StartsWith(" &lt;")) {
            parent = ReadNumber(c.p + 5, c.LineEnd());
            c.NextLine();
        }

        // The author line begins with a space in its first or second place;
        // without it the article is dropped and this line read afresh.
        const char* eol = c.LineEnd();
        bool author = c.p < eol && (c.p[0] == ' ' || (eol - c.p >= 2 && c.p[1] == ' '));
        if (!author)
            return;
        std::string name = AuthorOf(c.p, eol);
        c.NextLine();

        const char* body = c.p;
        const char* stop = c.end;
        bool first = true;
        while (c.p < c.end) {
            if (!first && c.StartsWith(kOrbiloomSeparator)) {
                stop = c.p;
                break;
            }
            if (!first && c.StartsWith(kReadEnd)) {
                stop = c.p;
                c.NextLine();
                break;
            }
            first = false;
            c.NextLine();
        }
        if (stop == c.end)
            c.p = c.end;
        size_t n = (size_t)(stop - body);
        if (n > 0 && body[n - 1] == '\n')
            --n;
        std::string message(body, n);

        if (!SelectFile(category))
            return;
        PluginRecord r;
        r.number = ReadNumber(number.data(), number.data() + number.size());
        r.parent = parent;
        r.name = name.c_str();
        r.date = date.c_str();
        r.time = time.c_str();
        r.title = title.c_str();
        r.message = message.c_str();
        std::string rec;
        Record_Append(rec, r);
        m_sink.Write(m_current, rec.data(), rec.size());
        ++m_out->articles;
    }

    // After "bytes" and one more character, up to " \n" or the line end. A
    // line without "bytes" gives the text after its leading blanks.
    static std::string AuthorOf(const char* p, const char* eol)
    {
        const char* a = Sjis_Find(p, eol, "bytes");
        if (a) {
            a += 5;
            if (a < eol)
                a += (IsSjisLead((unsigned char)*a) && a + 1 < eol) ? 2 : 1;
        } else {
            a = p;
            while (a < eol && *a == ' ')
                ++a;
        }
        const char* e = eol;
        if (e > a && *e == '\n' && e[-1] == ' ')
            --e;
        return std::string(a, (size_t)(e - a));
    }

    bool SelectFile(const std::string& category)
    {
        if (m_current >= 0 && category == m_category)
            return true;
        char safe[260];
        Plugin_SafeFileName(category.c_str(), safe, sizeof safe - 4);
        std::string name = std::string(safe) + ".zv$";
        for (const OpenFile& f : m_files)
            if (Str_ICmp(f.name.c_str(), name.c_str()) == 0) {
                m_current = f.id;
                m_category = category;
                return true;
            }
        int id = m_sink.Create(name.c_str());
        if (id < 0) {
            Plugin_Printf("%s が作成できません", name.c_str());
            m_out->stopped = true;
            return false;
        }
        m_files.push_back(OpenFile{name, id});
        ++m_out->files;
        m_current = id;
        m_category = category;
        std::string head;
        if (!m_title.empty()) {
            head += "#T:" + category + " " + m_title + "\n";
            m_title.clear();
        }
        head += "#P:POST,$C,category=$#T&title=$T&name=$N&follow=&comment=$M\n";
        head += "#F:POST,$C,category=$#T&title=$T&name=$N&follow=$Sr&comment=$M\n";
        m_sink.Write(id, head.data(), head.size());
        return true;
    }

    CZvSink& m_sink;
    OrbiloomResult* m_out;
    std::string m_category;
    std::string m_title;
    int m_current = -1;
    std::vector<OpenFile> m_files;
};

CBoardSettings* OpenSettings(const char* path)
{
    return new CSysProfileSettings(path);
}

void WriteDialog(CBoardSettings& s)
{
    static const char* const kEntries[][2] = {
        {"URL", "1"}, {"UPURL", "0"}, {"NAME", "1"}, {"EMAIL", "0"}, {"HP", "0"},
        {"KEY", "1"}, {"USER", "1"}, {"PASS", "1"}, {"PARAM1", "1"}, {"PARAM2", "1"},
        {"_URL", "rnall.cgi のアドレス(URL)(&A):"},
        {"_UPURL", ""},
        {"_NAME", "名前(「1:なまえ」の形式で):"},
        {"_EMAIL", ""},
        {"_KEY", "管理者パスワード(&K):"},
        {"_USER", "ユーザ名"},
        {"_PASS", "パスワード"},
        {"_PARAM1", "読み込む記事数(&P)"},
        {"_PARAM2", "次回読み出し記事(&L)"},
    };
    for (const auto& e : kEntries)
        s.Set(e[0], e[1]);
}

std::string Query(const PluginSettingsValues& v)
{
    char buf[300];
    int point = ReadNumber(v.param2, v.param2 + strlen(v.param2));
    if (point > 0)
        Str_Format(buf, sizeof buf, "?point=%d", point);
    else if (ReadNumber(v.param1, v.param1 + strlen(v.param1)) != 0)
        Str_Format(buf, sizeof buf, "?point=-%s", v.param1);
    else
        Str_Copy(buf, sizeof buf, "?point=-100");
    return buf;
}

void WriteLog(const char* folder, const char* body, size_t size)
{
    FILE* f = fopen(Plugin_JoinPath(folder, "log.html").c_str(), "ab");
    if (!f)
        return;
    static const char kHead[] = "<br><div align=\"center\">----- zv_Orbiloom -----</div><br>";
    fwrite(kHead, 1, sizeof kHead - 1, f);
    fwrite(body, 1, size, f);
    fclose(f);
}

std::string Convert(char* text, size_t len, CZvSink& sink, CBoardSettings&)
{
    OrbiloomResult r;
    OrbiloomConv_Convert(text, len, sink, &r);
    return r.serial > 0 ? std::to_string(r.serial) : std::string();
}
}

void OrbiloomConv_Convert(const char* text, size_t len, CZvSink& sink, OrbiloomResult* out)
{
    *out = OrbiloomResult();
    CConverter(sink, out).Run(text, len);
}

const PluginDef g_orbiloomPlugin = {OpenSettings, WriteDialog, Query, WriteLog, Convert};
