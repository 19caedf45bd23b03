// What every fetching plug-in does: take the argument, pick the mode, fetch
// the board over HTTP, normalise and convert, report the status and store
// the next-read pointer. The HTTP client is behind CPluginHttp (WinINet in
// the programs), so the whole flow runs in the native build as well.
#pragma once
#include <stddef.h>
#include <string>

class CBoardSettings;
class CZvSink;

class CPluginHttp {
public:
    virtual ~CPluginHttp() {}
    virtual int OpenSession(const char* userAgent) = 0;
    virtual int Connect(const char* host, int port) = 0;
    // GET target (path and query), Referer set, never from a cache.
    virtual int OpenRequest(const char* target, const char* referer) = 0;
    virtual void SetTimeouts(int seconds) = 0;
    virtual int Send() = 0;
    virtual int StatusCode() = 0;
    virtual void SetCredentials(const char* user, const char* pass) = 0;
    // 1 with *got bytes (0 = end of body), 0 when the read failed.
    virtual int Read(char* buf, size_t size, size_t* got) = 0;
    virtual void Close() = 0;
};

enum PluginMode { kModeFetch, kModeDialog, kModeFile };

// The argument from the raw command line: the program name (quoted, or the
// module path itself, or up to the first blank) is skipped; an argument that
// begins with '"' loses that quote and everything from the next '"' on;
// otherwise it runs to the next blank.
std::string Plugin_ArgFromCommandLine(const char* cmdline, const char* modulePath);
// Empty: fetch; first character 'i': dialog; anything else: file.
PluginMode Plugin_ModeOf(const char* arg);

struct PluginSettingsValues {
    char url[260], name[260], email[260], user[260], pass[260], param1[260], param2[260];
};

// One fetching plug-in.
struct PluginDef {
    // Opens the board settings (zv_ZVT: CProfile; zv_Orbiloom: system functions).
    CBoardSettings* (*openSettings)(const char* path);
    void (*writeDialog)(CBoardSettings& s);
    std::string (*query)(const PluginSettingsValues& v);
    void (*writeLog)(const char* folder, const char* body, size_t size);
    // Converts the normalised text; returns the next-read pointer ("" = none).
    std::string (*convert)(char* text, size_t len, CZvSink& sink, CBoardSettings& s);
};

// Fetch steps: session, connection, request, time-outs, send, one retry with
// the credentials after 401, chunked read. On failure the status is reported
// and 0 returned. body holds the data and a NUL behind it; *size its length.
int Plugin_Fetch(CPluginHttp& http, CBoardSettings& s, const PluginSettingsValues& v,
                 const char* query, std::string& body);

// Runs one mode in the given board folder; returns the exit code.
int Plugin_Run(const PluginDef& def, const char* arg, const char* folder, CPluginHttp& http);
