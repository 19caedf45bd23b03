// CPluginHttp over WinINet: the system's proxy configuration, GET with
// Referer and INTERNET_FLAG_RELOAD, credentials set on the request after 401.
#pragma once
#include "plugins/common/PluginApp.h"

typedef void* HINTERNET;

class CWinInetHttp : public CPluginHttp {
public:
    ~CWinInetHttp() override { Close(); }
    int OpenSession(const char* userAgent) override;
    int Connect(const char* host, int port) override;
    int OpenRequest(const char* target, const char* referer) override;
    void SetTimeouts(int seconds) override;
    int Send() override;
    int StatusCode() override;
    void SetCredentials(const char* user, const char* pass) override;
    int Read(char* buf, size_t size, size_t* got) override;
    void Close() override;

private:
    HINTERNET m_session = nullptr;
    HINTERNET m_connect = nullptr;
    HINTERNET m_request = nullptr;
};

// The program's entry for a fetching plug-in: argument from the command
// line, the current folder, status lines straight to the console handle.
int Plugin_WinMain(const PluginDef& def);
// The argument (quotes handled as the fetching plug-ins do) and the current
// folder, for zv_Stillmark.
void Plugin_WinArgs(std::string& arg, std::string& folder);
