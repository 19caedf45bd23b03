// Helpers of the plug-in end-to-end tests: board folders, running a plug-in
// program the way the host does (current folder, piped standard output),
// reading settings and files, and asking the board simulator what it saw.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace e2e {

inline std::string WinPath(const std::string& unixPath)
{
    std::string p = unixPath;
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return "Z:" + p;
}

inline std::string PluginExe(const char* name)
{
    return WinPath(ZEVA_PLUGIN_DIR) + "\\" + name;
}

inline int EnvInt(const char* name)
{
    const char* v = getenv(name);
    return v ? atoi(v) : 0;
}

inline int SimPort()
{
    return EnvInt("ZEVA_SIM_PORT");
}

inline std::string SimUrl(const std::string& path)
{
    return "http://127.0.0.1:" + std::to_string(SimPort()) + path;
}

inline std::string ReadFileBytes(const std::string& path)
{
    std::string out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    fclose(f);
    return out;
}

inline bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

inline std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string n = fd.cFileName;
        if (n != "." && n != "..")
            names.push_back(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

inline void RemoveTree(const std::string& path)
{
    for (const std::string& n : ListFolder(path)) {
        std::string p = path + "\\" + n;
        DWORD a = GetFileAttributesA(p.c_str());
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY))
            RemoveTree(p);
        else
            DeleteFileA(p.c_str());
    }
    RemoveDirectoryA(path.c_str());
}

// A fresh folder under the temporary folder; removed afterwards.
class Folder {
public:
    Folder()
    {
        static int serial = 0;
        char tmp[MAX_PATH];
        GetTempPathA(sizeof tmp, tmp);
        for (int i = 0; i < 1000; ++i) {
            m_path = std::string(tmp) + "zeva_e2e_" + std::to_string(GetCurrentProcessId()) + "_" +
                     std::to_string(++serial);
            if (CreateDirectoryA(m_path.c_str(), nullptr))
                break;
        }
    }
    ~Folder() { RemoveTree(m_path); }
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }
    std::string Read(const std::string& name) const { return ReadFileBytes(File(name)); }
    bool Has(const std::string& name) const
    {
        return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    std::string m_path;
};

// A board folder with its settings file as the host writes it.
class Board : public Folder {
public:
    void Settings(const std::string& basic)
    {
        ASSERT_TRUE(WriteFileBytes(File("zeva_BBS.ini"), "[BASIC]\r\n" + basic));
    }
    std::string Ini() const { return Read("zeva_BBS.ini"); }
    std::string Get(const char* section, const char* key) const
    {
        char buf[1024];
        GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, File("zeva_BBS.ini").c_str());
        return buf;
    }
    std::string Basic(const char* key) const { return Get("BASIC", key); }
};

struct RunResult {
    DWORD code = 0xDEADBEEF;
    std::string out;
};

// Starts the plug-in in the folder, as the host does: the program path as
// application name, the command line "<path>" or "<path> \"<arg>\"",
// standard output on a pipe that is read until the program ends.
inline RunResult RunPlugin(const std::string& exe, const std::string& folder, const char* arg,
                           const std::string& cmdlineOverride = std::string())
{
    RunResult r;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return r;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = writeEnd;
    si.hStdError = nul;
    std::string cmd = cmdlineOverride.empty() ? exe : cmdlineOverride;
    if (cmdlineOverride.empty() && arg)
        cmd += std::string(" \"") + arg + "\"";
    std::vector<char> cmdBuf(cmd.begin(), cmd.end());
    cmdBuf.push_back(0);
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessA(exe.c_str(), cmdBuf.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                             folder.c_str(), &si, &pi);
    CloseHandle(writeEnd);
    CloseHandle(nul);
    if (!ok) {
        CloseHandle(readEnd);
        ADD_FAILURE() << "cannot start " << exe << " error " << GetLastError();
        return r;
    }
    char buf[4096];
    DWORD n;
    while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0)
        r.out.append(buf, n);
    CloseHandle(readEnd);
    WaitForSingleObject(pi.hProcess, 60000);
    GetExitCodeProcess(pi.hProcess, &r.code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return r;
}

// GET over WinINet; the body, or "<failed>".
inline std::string HttpGet(const std::string& url)
{
    std::string out = "<failed>";
    HINTERNET s = InternetOpenA("zeva-e2e", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!s)
        return out;
    HINTERNET h = InternetOpenUrlA(s, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (h) {
        out.clear();
        char buf[4096];
        DWORD n;
        while (InternetReadFile(h, buf, sizeof buf, &n) && n > 0)
            out.append(buf, n);
        InternetCloseHandle(h);
    }
    InternetCloseHandle(s);
    return out;
}

// One request as the simulator recorded it.
struct Request {
    std::string method, target, auth, referer, userAgent, cache, body;
};

inline std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t p = s.find(sep, start);
        parts.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos)
            return parts;
        start = p + 1;
    }
}

inline std::vector<Request> SimRequests(const std::string& prefix)
{
    std::vector<Request> out;
    std::string text = HttpGet(SimUrl("/_sim/requests?prefix=" + prefix));
    for (const std::string& line : Split(text, '\n')) {
        std::vector<std::string> f = Split(line, '\t');
        if (f.size() < 7)
            continue;
        out.push_back(Request{f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
    }
    return out;
}

}  // namespace e2e
