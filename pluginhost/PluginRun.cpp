// Command lines, output lines and the watch loop of the plug-in runner.
#include "pluginhost/PluginRun.h"

#include "base/sjis.h"

#include <string.h>
#include <string>

int Plugin_BuildCommandLine(char* out, size_t size, PluginKind kind, const char* path,
                            const char* perl, const char* ruby, const char* argument)
{
    std::string cmd;
    if (kind == PLUGIN_EXE) {
        cmd = path;
    } else if (kind == PLUGIN_RUBY) {
        cmd = std::string("\"") + ruby + "\" -KS \"" + path + "\"";
    } else {
        cmd = std::string("\"") + perl + "\" \"" + path + "\"";
    }
    if (argument)
        cmd = cmd + " \"" + argument + "\"";
    Str_Copy(out, size, cmd.c_str());
    return cmd.size() < size;
}

void Plugin_BoardFolderForCd(char* out, size_t size, const char* boardFolder)
{
    Str_Copy(out, size, boardFolder);
    size_t len = strlen(out);
    // Only a real separator counts, not the second byte of a double-byte character.
    const char* last = Sjis_StrRChr(out, '\\');
    if (len > 0 && last == out + len - 1)
        out[len - 1] = 0;
}

void CPluginLineSplitter::Add(char c)
{
    if (m_len < LINE_MAX)
        m_line[m_len++] = c;
}

void CPluginLineSplitter::EndLine(CPluginStatusSink* sink)
{
    m_line[m_len] = 0;
    if (sink)
        sink->ShowStatus(m_line);
    m_len = 0;
}

void CPluginLineSplitter::Feed(const char* data, size_t size, CPluginStatusSink* sink)
{
    size_t i = 0;
    if (m_pendingCR) {
        m_pendingCR = false;
        if (size > 0 && data[0] == '\n') {
            EndLine(sink);
            i = 1;
        } else {
            Add('\r');
        }
    }
    for (; i < size; i++) {
        char c = data[i];
        if (c == '\n') {
            EndLine(sink);
        } else if (c == '\r') {
            if (i + 1 < size) {
                if (data[i + 1] == '\n') {
                    EndLine(sink);
                    i++;
                } else {
                    Add(c);
                }
            } else {
                // The LF may arrive with the next chunk.
                m_pendingCR = true;
            }
        } else {
            Add(c);
        }
    }
    if (m_len > 0) {
        m_line[m_len] = 0;
        if (sink)
            sink->ShowStatus(m_line);
    }
}

void Plugin_WatchLoop(CPluginWatchIo& io, CPluginStatusSink* sink, const std::atomic<int>* cancel,
                      bool multiWindow)
{
    CPluginLineSplitter splitter;
    char buf[PLUGIN_WATCH_CHUNK];
    bool ended = false;
    bool breakSent = false;
    for (;;) {
        bool errData = false;
        size_t n = io.PeekErr();
        if (n > 0) {
            size_t got = io.ReadErr(buf, n < sizeof(buf) ? n : sizeof(buf));
            if (got > 0) {
                io.AppendErrorLog(buf, got);
                errData = true;
            }
        }
        n = io.PeekOut();
        if (n > 0) {
            size_t got = io.ReadOut(buf, n < sizeof(buf) ? n : sizeof(buf));
            if (got > 0) {
                splitter.Feed(buf, got, sink);
                continue;
            }
        }
        if (ended) {
            // The round after the end found stdout empty; what is still in
            // stderr is read out before returning, so the log loses nothing.
            if (!errData)
                return;
            continue;
        }
        if (io.HasEnded()) {
            ended = true;
            continue;
        }
        if (cancel && cancel->load() && !breakSent) {
            breakSent = true;
            if (!multiWindow)
                io.SendBreak();
        }
        io.Sleep(PLUGIN_WATCH_SLEEP_MS);
    }
}
