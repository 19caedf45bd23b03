#include "plugins/common/WinInetHttp_win.h"

#include "plugins/common/PluginStatus.h"

#include <windows.h>
#include <wininet.h>

int CWinInetHttp::OpenSession(const char* userAgent)
{
    m_session = InternetOpenA(userAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    return m_session != nullptr;
}

int CWinInetHttp::Connect(const char* host, int port)
{
    m_connect = InternetConnectA(m_session, host, (INTERNET_PORT)port, nullptr, nullptr,
                                 INTERNET_SERVICE_HTTP, 0, 0);
    return m_connect != nullptr;
}

int CWinInetHttp::OpenRequest(const char* target, const char* referer)
{
    m_request = HttpOpenRequestA(m_connect, "GET", target, nullptr, referer, nullptr,
                                 INTERNET_FLAG_RELOAD, 0);
    return m_request != nullptr;
}

void CWinInetHttp::SetTimeouts(int seconds)
{
    DWORD ms = (DWORD)seconds * 1000;
    static const DWORD kOptions[] = {
        INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
        INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
        INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, INTERNET_OPTION_LISTEN_TIMEOUT,
    };
    // The request handle exists already and keeps the values it was created
    // with, so it gets them too.
    for (DWORD opt : kOptions) {
        InternetSetOptionA(m_session, opt, &ms, sizeof ms);
        if (m_request)
            InternetSetOptionA(m_request, opt, &ms, sizeof ms);
    }
}

int CWinInetHttp::Send()
{
    return HttpSendRequestA(m_request, nullptr, 0, nullptr, 0) ? 1 : 0;
}

int CWinInetHttp::StatusCode()
{
    DWORD code = 0, len = sizeof code;
    if (!HttpQueryInfoA(m_request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &len, nullptr))
        return 0;
    return (int)code;
}

void CWinInetHttp::SetCredentials(const char* user, const char* pass)
{
    InternetSetOptionA(m_request, INTERNET_OPTION_USERNAME, (void*)user, (DWORD)lstrlenA(user) + 1);
    InternetSetOptionA(m_request, INTERNET_OPTION_PASSWORD, (void*)pass, (DWORD)lstrlenA(pass) + 1);
}

int CWinInetHttp::Read(char* buf, size_t size, size_t* got)
{
    DWORD n = 0;
    if (!InternetReadFile(m_request, buf, (DWORD)size, &n))
        return 0;
    *got = n;
    return 1;
}

void CWinInetHttp::Close()
{
    if (m_request)
        InternetCloseHandle(m_request);
    if (m_connect)
        InternetCloseHandle(m_connect);
    if (m_session)
        InternetCloseHandle(m_session);
    m_request = m_connect = m_session = nullptr;
}

namespace {
void WriteConsoleHandle(const char* data, size_t size)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD done = 0;
    if (out && out != INVALID_HANDLE_VALUE)
        WriteFile(out, data, (DWORD)size, &done, nullptr);
}
}

int Plugin_WinMain(const PluginDef& def)
{
    Plugin_SetWriter(WriteConsoleHandle);
    std::string arg, folder;
    Plugin_WinArgs(arg, folder);
    CWinInetHttp http;
    return Plugin_Run(def, arg.c_str(), folder.c_str(), http);
}
