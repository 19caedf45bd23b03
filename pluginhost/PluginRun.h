// The portable half of the plug-in runner: the command line per kind, the
// splitting of a plug-in's output into status lines, and the watch loop over
// an abstract view of the process and its pipes.
#pragma once
#include "pluginhost/PluginInfo.h"

#include <atomic>
#include <stddef.h>

// Where a running plug-in's status lines go (a row of the patrol window).
class CPluginStatusSink {
public:
    virtual ~CPluginStatusSink() {}
    // text replaces the row's previous status text.
    virtual void ShowStatus(const char* text) = 0;
};

// Command line for the plug-in at path:
//   executable      path (not quoted)
//   Ruby            "ruby" -KS "path"
//   Perl and none   "perl" "path"
// followed by  "argument"  when argument is not nullptr. Returns 1, or 0 when
// the text had to be cut to fit size.
int Plugin_BuildCommandLine(char* out, size_t size, PluginKind kind, const char* path,
                            const char* perl, const char* ruby, const char* argument);

// The board folder with one trailing backslash dropped.
void Plugin_BoardFolderForCd(char* out, size_t size, const char* boardFolder);

// Splits output chunks into lines: CR LF or LF ends a line, a line keeps its
// first 299 bytes. Every ended line is shown; after a chunk, a line still
// open is shown as well and the next chunk continues it.
class CPluginLineSplitter {
public:
    enum { LINE_MAX = 299 };
    CPluginLineSplitter() : m_len(0), m_pendingCR(false) { m_line[0] = 0; }
    void Feed(const char* data, size_t size, CPluginStatusSink* sink);

private:
    void Add(char c);
    void EndLine(CPluginStatusSink* sink);
    char m_line[LINE_MAX + 1];
    size_t m_len;
    bool m_pendingCR;   // a CR ended the last chunk; an LF may follow
};

// What the watch loop needs of a running plug-in.
class CPluginWatchIo {
public:
    virtual ~CPluginWatchIo() {}
    virtual size_t PeekOut() = 0;   // bytes waiting on stdout
    virtual size_t ReadOut(char* buf, size_t n) = 0;
    virtual size_t PeekErr() = 0;
    virtual size_t ReadErr(char* buf, size_t n) = 0;
    virtual void AppendErrorLog(const char* data, size_t n) = 0;
    virtual bool HasEnded() = 0;
    virtual void SendBreak() = 0;   // Ctrl+Break to the process group
    virtual void Sleep(unsigned ms) = 0;
};

enum { PLUGIN_WATCH_CHUNK = 300, PLUGIN_WATCH_SLEEP_MS = 100 };

// Follows a plug-in until it has ended and both pipes are read out. Each round
// reads at most 300 bytes of stderr into the error log and at most 300 bytes
// of stdout into status lines; it sleeps 100 ms only when stdout was empty.
// When cancel becomes non-zero the break is sent once, never with multiWindow.
void Plugin_WatchLoop(CPluginWatchIo& io, CPluginStatusSink* sink, const std::atomic<int>* cancel,
                      bool multiWindow);
