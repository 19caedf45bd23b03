#include "plugins/common/PluginApp.h"

#include "base/debug.h"
#include "base/sjis.h"
#include "plugins/common/PluginOutput.h"
#include "plugins/common/PluginSettings.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/common/PluginText.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <memory>

namespace {
const char kUserAgent[] = "Mozilla/4.0 (compatible; ZEVA/1.10)";
const size_t kChunk = 5000;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The growing body buffer, NUL behind the data.
struct Body {
    char* data = nullptr;
    size_t size = 0;
    ~Body() { free(data); }
};
}

std::string Plugin_ArgFromCommandLine(const char* cmdline, const char* modulePath)
{
    const char* p = cmdline ? cmdline : "";
    while (IsBlank(*p))
        ++p;
    size_t mlen = modulePath ? strlen(modulePath) : 0;
    if (*p == '"') {
        const char* q = strchr(p + 1, '"');
        p = q ? q + 1 : p + strlen(p);
    } else if (mlen && Str_NICmp(p, modulePath, mlen) == 0 && (p[mlen] == 0 || IsBlank(p[mlen]))) {
        // An unquoted program path that holds blanks.
        p += mlen;
    } else {
        while (*p && !IsBlank(*p))
            ++p;
    }
    while (IsBlank(*p))
        ++p;
    if (*p == '"') {
        const char* q = strchr(p + 1, '"');
        return q ? std::string(p + 1, q) : std::string(p + 1);
    }
    const char* e = p;
    while (*e && !IsBlank(*e))
        ++e;
    return std::string(p, e);
}

PluginMode Plugin_ModeOf(const char* arg)
{
    if (!arg || !*arg)
        return kModeFetch;
    return arg[0] == 'i' ? kModeDialog : kModeFile;
}

int Plugin_Fetch(CPluginHttp& http, CBoardSettings& s, const PluginSettingsValues& v,
                 const char* query, std::string& out)
{
    if (!http.OpenSession(kUserAgent)) {
        Plugin_Report(s, "WinInet 初期化エラー");
        return 0;
    }
    char host[260], path[260];
    int port = 80;
    Plugin_SplitUrl(v.url, host, sizeof host, &port, path, sizeof path);

    Plugin_Print(" サーバに接続中...");
    if (!http.Connect(host, port)) {
        Plugin_Report(s, "サーバとの接続に失敗");
        http.Close();
        return 0;
    }
    Plugin_Print("応答を待っています...");
    std::string target = std::string(path) + query;
    if (!http.OpenRequest(target.c_str(), v.url)) {
        Plugin_Report(s, "ファイルがありません");
        http.Close();
        return 0;
    }
    http.SetTimeouts(1);
    if (!http.Send()) {
        Plugin_Report(s, "HTTPサーバへの要求に失敗");
        http.Close();
        return 0;
    }
    // SendPassword: one more try with the credentials after 401; whatever
    // that answer is, it is read.
    if (http.StatusCode() == 401) {
        http.SetCredentials(v.user, v.pass);
        Debug_Out("SendPassword() - TRUE\n");
        http.Send();
    } else {
        Debug_Out("SendPassword() - FALSE\n");
    }

    Body body;
    char chunk[kChunk];
    for (;;) {
        size_t got = 0;
        if (!http.Read(chunk, sizeof chunk, &got)) {
            Plugin_Report(s, "HTTPファイルの読み込みに失敗");
            http.Close();
            return 0;
        }
        if (got == 0)
            break;
        char* grown = (char*)realloc(body.data, body.size + got + 1);
        if (!grown) {
            Plugin_Report(s, "メモリ不足");
            http.Close();
            return 0;
        }
        body.data = grown;
        memcpy(body.data + body.size, chunk, got);
        body.size += got;
        body.data[body.size] = 0;
        Plugin_Printf("%d bytes受信", (int)body.size);
    }
    http.Close();
    out.assign(body.data ? body.data : "", body.size);
    return 1;
}

namespace {
int RunDialog(const PluginDef& def, CBoardSettings& s)
{
    s.SetSection("DIALOG");
    def.writeDialog(s);
    s.Flush();
    return 1;
}

int RunFile(const PluginDef& def, CBoardSettings& s, const char* folder, const char* arg)
{
    // Failure texts of this mode are kept in BASIC, where the host looks.
    s.SetSection("BASIC");
    FILE* f = fopen(arg, "rb");
    if (!f) {
        Plugin_Report(s, "ファイルが開けません");
        s.Flush();
        return 0;
    }
    long size = -1;
    if (fseek(f, 0, SEEK_END) == 0)
        size = ftell(f);
    fseek(f, 0, SEEK_SET);
    char* buf = size >= 0 ? (char*)malloc((size_t)size + 10) : nullptr;
    if (!buf) {
        fclose(f);
        Plugin_Report(s, size < 0 ? "ファイルが開けません" : "メモリが足りません");
        s.Flush();
        return 0;
    }
    size_t len = fread(buf, 1, (size_t)size, f);
    fclose(f);
    buf[len] = 0;
    Plugin_Print("変換中...");
    len = Plugin_Normalize(buf, len);
    CZvFileSink sink(folder);
    def.convert(buf, len, sink, s);   // no pointer kept in this mode
    free(buf);
    s.Flush();
    return 0;
}

int RunFetch(const PluginDef& def, CBoardSettings& s, const char* folder, CPluginHttp& http)
{
    s.SetSection("BASIC");
    PluginSettingsValues v;
    s.Get("url", v.url, sizeof v.url);
    s.Get("name", v.name, sizeof v.name);
    s.Get("email", v.email, sizeof v.email);
    s.Get("user", v.user, sizeof v.user);
    s.Get("pass", v.pass, sizeof v.pass);
    s.Get("param1", v.param1, sizeof v.param1);
    s.Get("param2", v.param2, sizeof v.param2);

    std::string body;
    if (!Plugin_Fetch(http, s, v, def.query(v).c_str(), body)) {
        s.Flush();
        return -1;
    }
    def.writeLog(folder, body.data(), body.size());

    Plugin_Print("変換中...");
    size_t len = Plugin_Normalize(&body[0], body.size());
    CZvFileSink sink(folder);
    std::string pointer = def.convert(&body[0], len, sink, s);

    s.SetSection("BASIC");
    Plugin_Report(s, "正常終了");
    if (!pointer.empty())
        s.Set("PARAM2", pointer.c_str());
    s.Flush();
    return 0;
}
}

int Plugin_Run(const PluginDef& def, const char* arg, const char* folder, CPluginHttp& http)
{
    std::unique_ptr<CBoardSettings> s(def.openSettings(Plugin_SettingsPath(folder).c_str()));
    switch (Plugin_ModeOf(arg)) {
    case kModeDialog:
        return RunDialog(def, *s);
    case kModeFile:
        return RunFile(def, *s, folder, arg);
    default:
        return RunFetch(def, *s, folder, http);
    }
}
