// HTTP POST of a written article over WinINet: one request with the form
// body, one more with credentials when the server or proxy asks for them, the
// first 3,000 bytes of the answer logged and judged by its comments.
#include "patrol/HttpPost_win.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "pluginhost/PluginRun.h"

#include <string.h>

#include <string>
#include <vector>

namespace {

const char kDefaultAgent[] = "ZEVA1.22c";
const char kFormHeader[] = "Content-Type: application/x-www-form-urlencoded";

// A string of the version block: the first translation's, else Japanese.
bool VersionString(const std::vector<char>& block, const char* name, char* out, size_t size)
{
    char key[128];
    struct LangCp {
        WORD lang, cp;
    }* trans = nullptr;
    UINT len = 0;
    char sub[32];
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void**)&trans, &len) && trans &&
        len >= sizeof(LangCp))
        Str_Format(sub, sizeof sub, "%04x%04x", trans->lang, trans->cp);
    else
        Str_Copy(sub, sizeof sub, "041104b0");
    Str_Format(key, sizeof key, "\\StringFileInfo\\%s\\%s", sub, name);
    char* value = nullptr;
    if (!VerQueryValueA(block.data(), key, (void**)&value, &len) || !value || len == 0 || !value[0])
        return false;
    Str_CopyN(out, size, value, len);
    return true;
}

}  // namespace

void HttpPost_UserAgent(char* out, size_t size, const char* exePath)
{
    char self[MAX_PATH];
    if (!exePath) {
        DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
        self[n < sizeof self ? n : sizeof self - 1] = 0;
        exePath = self;
    }
    Str_Copy(out, size, kDefaultAgent);
    DWORD handle = 0;
    DWORD bytes = GetFileVersionInfoSizeA(exePath, &handle);
    if (bytes == 0)
        return;
    std::vector<char> block(bytes);
    if (!GetFileVersionInfoA(exePath, 0, bytes, block.data()))
        return;
    char name[128], version[64];
    if (!VersionString(block, "InternalName", name, sizeof name) ||
        !VersionString(block, "FileVersion", version, sizeof version))
        return;
    Str_Format(out, size, "%s%s", name, version);
}

BOOL SendPassword(HINTERNET request, const char* user, const char* pass)
{
    DWORD status = 0, len = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &len, nullptr))
        status = 0;
    // Option values are passed with their terminating NUL.
    if (status == HTTP_STATUS_DENIED) {
        InternetSetOptionA(request, INTERNET_OPTION_USERNAME, (void*)user, (DWORD)strlen(user) + 1);
        InternetSetOptionA(request, INTERNET_OPTION_PASSWORD, (void*)pass, (DWORD)strlen(pass) + 1);
        Debug_Out("SendPassword() - TRUE\n");
        return TRUE;
    }
    if (status == HTTP_STATUS_PROXY_AUTH_REQ) {
        InternetSetOptionA(request, INTERNET_OPTION_PROXY_USERNAME, (void*)user, (DWORD)strlen(user) + 1);
        InternetSetOptionA(request, INTERNET_OPTION_PROXY_PASSWORD, (void*)pass, (DWORD)strlen(pass) + 1);
        Debug_Out("SendPassword() - TRUE(Proxy)\n");
        return TRUE;
    }
    Debug_Out("SendPassword() - FALSE\n");
    return FALSE;
}

CWinInetPoster::CWinInetPoster(const HttpPostOptions& options, PostSleepFn sleep)
    : m_options(options), m_sleep(sleep)
{
}

namespace {

class CInternetHandle {
public:
    explicit CInternetHandle(HINTERNET h = nullptr) : m_h(h) {}
    ~CInternetHandle()
    {
        if (m_h)
            InternetCloseHandle(m_h);
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    HINTERNET get() const { return m_h; }
    void reset(HINTERNET h)
    {
        if (m_h)
            InternetCloseHandle(m_h);
        m_h = h;
    }

private:
    HINTERNET m_h;
};

}  // namespace

int CWinInetPoster::Post(CPluginStatusSink* row, const char* logPath, const char* url, const char* body,
                         const char* user, const char* pass)
{
    if (!url)
        url = "";
    if (!body)
        body = "";
    if (!user)
        user = "";
    if (!pass)
        pass = "";

    char host[1000] = "", path[1000] = "", extra[1000] = "";
    URL_COMPONENTSA uc;
    memset(&uc, 0, sizeof uc);
    uc.dwStructSize = sizeof uc;
    uc.lpszHostName = host;
    uc.dwHostNameLength = sizeof host;
    uc.lpszUrlPath = path;
    uc.dwUrlPathLength = sizeof path;
    uc.lpszExtraInfo = extra;
    uc.dwExtraInfoLength = sizeof extra;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
    if (InternetCrackUrlA(url, 0, 0, &uc))
        port = uc.nPort;
    Str_Cat(path, sizeof path, extra);   // the path includes any query

    char agent[300];
    HttpPost_UserAgent(agent, sizeof agent);
    Post_ShowStatus(row, "[ZEVA] 接続中...", 0, m_sleep);

    bool useCredentials = user[0] && pass[0];
    char proxy[300];
    CInternetHandle session;
    if (!m_options.proxyIE && m_options.proxyAdr[0]) {
        Str_Format(proxy, sizeof proxy, "%s:%d", m_options.proxyAdr, m_options.proxyPort);
        session.reset(InternetOpenA(agent, INTERNET_OPEN_TYPE_PROXY, proxy, nullptr, 0));
    } else {
        session.reset(InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    }
    if (!session.get()) {
        Post_ShowStatus(row, "[ZEVA] 初期化に失敗しました", POST_STATUS_WAIT_MS, m_sleep);
        return 0;
    }

    bool secure = strlen(url) >= 5 && url[4] == 's';
    CInternetHandle connection(InternetConnectA(session.get(), host, port, useCredentials ? user : nullptr,
                                                useCredentials ? pass : nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection.get()) {
        Post_ShowStatus(row, "[ZEVA] サーバに接続できませんでした.", POST_STATUS_WAIT_MS, m_sleep);
        return 0;
    }

    Post_ShowStatus(row, "[ZEVA] 送信中...", 0, m_sleep);
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI | (secure ? INTERNET_FLAG_SECURE : 0);
    CInternetHandle request(HttpOpenRequestA(connection.get(), "POST", path, nullptr, url, nullptr, flags, 0));
    if (!request.get()) {
        Post_ShowStatus(row, "[ZEVA] サーバに接続できません.", POST_STATUS_WAIT_MS, m_sleep);
        return 0;
    }

    DWORD bodyLen = (DWORD)strlen(body);
    if (!HttpSendRequestA(request.get(), kFormHeader, (DWORD)strlen(kFormHeader), (void*)body, bodyLen)) {
        Post_ShowStatus(row, "[ZEVA] リクエストに失敗しました.", POST_STATUS_WAIT_MS, m_sleep);
        return 0;
    }
    if (SendPassword(request.get(), user, pass)) {
        if (!HttpSendRequestA(request.get(), kFormHeader, (DWORD)strlen(kFormHeader), (void*)body, bodyLen) ||
            SendPassword(request.get(), user, pass)) {
            Post_ShowStatus(row, "[ZEVA] リクエストに失敗しました.", POST_STATUS_WAIT_MS, m_sleep);
            return 0;
        }
    }

    // The answer's first 3,000 bytes, logged as they arrive.
    CAtomicFile log;
    bool logOpen = logPath && log.Open(logPath);
    char buf[POST_RESPONSE_MAX];
    DWORD have = 0;
    while (have < sizeof buf) {
        DWORD got = 0;
        if (!InternetReadFile(request.get(), buf + have, (DWORD)sizeof buf - have, &got) || got == 0)
            break;
        if (logOpen)
            log.Write(buf + have, got);
        have += got;
    }
    if (logOpen && !log.Commit())
        Debug_Printf("HttpPost - %s を書けません\n", logPath);

    return Post_JudgeResponse(buf, have, row, m_sleep);
}
