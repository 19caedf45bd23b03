// HTTP POST of a written article over WinINet.
#pragma once
#include "patrol/Posting.h"

#include <stddef.h>
#include <windows.h>
#include <wininet.h>

// Proxy settings of the program (section OPTION of zeva.ini).
struct HttpPostOptions {
    int proxyIE = 1;          // ProxyIE: the system's own configuration
    char proxyAdr[260] = "";  // ProxyAdr
    int proxyPort = 0;        // ProxyPort
};

class CWinInetPoster : public CHttpPoster {
public:
    // sleep: the waits that keep failure texts visible (nullptr: real ones).
    explicit CWinInetPoster(const HttpPostOptions& options, PostSleepFn sleep = nullptr);
    int Post(CPluginStatusSink* row, const char* logPath, const char* url, const char* body, const char* user,
             const char* pass) override;

private:
    HttpPostOptions m_options;
    PostSleepFn m_sleep;
};

// The user agent: internal name immediately followed by the file version,
// from the version block of exePath (nullptr: the running program); the
// program's own "ZEVA1.22c" when the file has no such block.
void HttpPost_UserAgent(char* out, size_t size, const char* exePath = nullptr);

// After a send: on 401 sets the request's user name and password, on 407 its
// proxy user name and password, and returns TRUE so that the caller sends
// once more; FALSE for any other status.
BOOL SendPassword(HINTERNET request, const char* user, const char* pass);
