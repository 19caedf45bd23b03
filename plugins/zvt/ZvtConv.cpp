#include "plugins/zvt/ZvtConv.h"

#include "base/fileio.h"
#include "plugins/common/PluginApp.h"
#include "plugins/common/PluginOutput.h"
#include "plugins/common/PluginSettings.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/common/PluginText.h"

#include <stdint.h>
#include <string.h>

namespace {
const char* LineEnd(const char* p, const char* end)
{
    const char* q = (const char*)memchr(p, '\n', (size_t)(end - p));
    return q ? q : end;
}

// One more than the record's number (leading decimal digits; none is 0).
int64_t NumberPointer(const char* rec, const char* end)
{
    const char* p = rec + 3;   // after LF "S:"
    int64_t v = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (v < INT32_MAX)
            v = v * 10 + (*p - '0');
        ++p;
    }
    if (v > INT32_MAX)
        v = INT32_MAX;
    return v + 1;
}

// The record's date and time with a four-digit year, or "" when the line has
// no date field.
std::string DatePointer(const char* rec, const char* end)
{
    const char* p = rec + 3;
    const char* eol = LineEnd(p, end);
    for (int i = 0; i < 2; ++i) {
        const char* c = (const char*)memchr(p, ',', (size_t)(eol - p));
        if (!c)
            return std::string();
        p = c + 1;
    }
    std::string out;
    if (eol - p >= 3 && p[2] == '/' && p[0] >= '0' && p[0] <= '9')
        out = (p[0] == '8' || p[0] == '9') ? "19" : "20";
    const char* stop = p;
    int commas = 0;
    while (stop < eol) {
        if (*stop == ',' && ++commas == 2)
            break;
        ++stop;
    }
    size_t room = 99 - out.size();
    size_t n = (size_t)(stop - p);
    out.append(p, n < room ? n : room);
    return out;
}

CBoardSettings* OpenSettings(const char* path)
{
    return new CProfileSettings(path);
}

void WriteDialog(CBoardSettings& s)
{
    static const char* const kEntries[][2] = {
        {"URL", "1"}, {"UPURL", "1"}, {"NAME", "1"}, {"EMAIL", "1"}, {"HP", "1"},
        {"KEY", "1"}, {"USER", "1"}, {"PASS", "1"}, {"PARAM1", "1"}, {"PARAM2", "1"},
        {"_URL", "掲示板のアドレス(URL)(&A):"},
        {"_UPURL", "書き込み先アドレス(URL):"},
        {"_NAME", "名前:"},
        {"_EMAIL", "e-mailアドレス:"},
        {"_HP", "ホームページ:"},
        {"_KEY", "削除キー(&K):"},
        {"_USER", "ユーザ名"},
        {"_PASS", "パスワード"},
        {"_PARAM1", "パラメータ"},
        {"_PARAM2", "未読ポインタ"},
    };
    for (const auto& e : kEntries)
        s.Set(e[0], e[1]);
}

std::string Query(const PluginSettingsValues& v)
{
    return std::string("?point=") + v.param2;
}

void WriteLog(const char* folder, const char* body, size_t size)
{
    std::string text =
        "このファイルは「ZEVA用ZVT形式プラグイン(zv_ZVT)」によって作成されました。\n"
        "このファイルは不要ならばいつでも削除可能です。\n";
    text.append(body, size);
    File_Replace(Plugin_JoinPath(folder, "log.html").c_str(), text.data(), text.size());
}

std::string Convert(char* text, size_t len, CZvSink& sink, CBoardSettings& s)
{
    ZvtScan scan;
    if (!ZvtConv_Convert(text, len, sink, &scan))
        return std::string();
    if (scan.hasUpUrl) {
        s.SetSection("BASIC");
        s.Set("UPURL", scan.upUrl.c_str());
    }
    return scan.pointer;
}
}

void ZvtConv_Scan(const char* text, size_t len, ZvtScan* out)
{
    const char* end = text + len;
    *out = ZvtScan();

    const char* uu = Mem_Find(text, end, "\n#UU:");
    if (uu) {
        const char* v = uu + 5;
        const char* e = LineEnd(v, end);
        size_t n = (size_t)(e - v);
        out->hasUpUrl = true;
        out->upUrl.assign(v, n < 300 ? n : 300);
        size_t nul = out->upUrl.find('\0');
        if (nul != std::string::npos)
            out->upUrl.resize(nul);
    }

    const char* first = Mem_Find(text, end, "\nS:");
    const char* rp = Mem_Find(text, end, "\n#RP:");
    out->dateKind = rp && (!first || rp < first) && end - (rp + 5) >= 4 && memcmp(rp + 5, "DATE", 4) == 0;

    int64_t best = 0;
    std::string bestDate;
    bool any = false;
    for (const char* rec = first; rec;) {
        any = true;
        if (out->dateKind) {
            std::string d = DatePointer(rec, end);
            if (d > bestDate)
                bestDate = d;
        } else {
            int64_t n = NumberPointer(rec, end);
            if (n > best)
                best = n;
        }
        const char* term = Mem_Find(rec + 1, end, "\n.\n");
        if (!term)
            break;
        rec = Mem_Find(term + 2, end, "\nS:");
    }
    if (any) {
        if (out->dateKind) {
            size_t nul = bestDate.find('\0');
            out->pointer = bestDate.substr(0, nul);
        } else {
            out->pointer = std::to_string(best);
        }
    }
}

int ZvtConv_Convert(const char* text, size_t len, CZvSink& sink, ZvtScan* out)
{
    *out = ZvtScan();
    int id = sink.Create("001.zv$");
    if (id < 0 || !sink.Write(id, text, len) || !sink.Close(id)) {
        Plugin_Print("001.zv$ の作成ができません");
        return 0;
    }
    ZvtConv_Scan(text, len, out);
    return 1;
}

const PluginDef g_zvtPlugin = {OpenSettings, WriteDialog, Query, WriteLog, Convert};
