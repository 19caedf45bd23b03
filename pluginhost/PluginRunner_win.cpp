// Starting a plug-in in its board folder and following it while it runs.
#include "pluginhost/PluginHost.h"

#include "base/profile.h"
#include "base/sjis.h"

#include <string.h>

DWORD Plugin_CreationFlags(bool visible, bool multiWindow, PluginKind kind)
{
    // A group of its own, so that a break reaches the plug-in and its children only.
    DWORD flags = CREATE_NEW_PROCESS_GROUP;
    if (!visible)
        flags |= DETACHED_PROCESS;
    // A console of its own for scripts; never together with detaching, which
    // the system refuses as an invalid combination.
    else if (multiWindow && kind != PLUGIN_EXE)
        flags |= CREATE_NEW_CONSOLE;
    return flags;
}

namespace {

HANDLE LaunchLocked(const PluginLaunchRequest& req, const PluginRunOptions& opt)
{
    char folder[260];
    Plugin_BoardFolderForCd(folder, sizeof(folder), req.boardFolder);
    // Started anywhere else, the plug-in would write into another folder's files.
    if (!SetCurrentDirectoryA(folder))
        return nullptr;

    char typeName[260];
    if (req.typeName) {
        Str_Copy(typeName, sizeof(typeName), req.typeName);
    } else {
        char ini[300];
        Str_Format(ini, sizeof(ini), "%s\\zeva_BBS.ini", folder);
        Profile_GetString("BASIC", "LIB", "", typeName, sizeof(typeName), ini);
    }

    PluginInfo info;
    if (!Plugin_Lookup(&info, typeName, opt.pluginFolder))
        return nullptr;

    char cmd[2048];
    Plugin_BuildCommandLine(cmd, sizeof(cmd), info.kind, info.path, opt.perl ? opt.perl : "perl",
                            opt.ruby ? opt.ruby : "ruby", req.argument);

    STARTUPINFOA si;
    memset(&si, 0, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINIMIZED;
    char title[] = "zeva_console_window";
    if (req.stdOut || req.stdErr) {
        si.dwFlags |= STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = req.stdOut;
        si.hStdError = req.stdErr;
        si.lpTitle = title;
    }
    // The command line stays as built; naming the executable as well means a
    // path with spaces can never start some other program.
    const char* app = info.kind == PLUGIN_EXE ? info.path : nullptr;
    PROCESS_INFORMATION pi;
    memset(&pi, 0, sizeof(pi));
    DWORD flags = Plugin_CreationFlags(req.visible, opt.multiWindow, info.kind);
    if (req.suspendedThread)
        flags |= CREATE_SUSPENDED;
    if (!CreateProcessA(app, cmd, nullptr, nullptr, TRUE, flags, nullptr, nullptr, &si, &pi))
        return nullptr;
    if (req.suspendedThread)
        *req.suspendedThread = pi.hThread;
    else
        CloseHandle(pi.hThread);
    if (req.processId)
        *req.processId = pi.dwProcessId;
    return pi.hProcess;
}

class CPipeWatchIo : public CPluginWatchIo {
public:
    CPipeWatchIo(HANDLE process, DWORD pid, HANDLE out, HANDLE err, HANDLE log)
        : m_process(process), m_pid(pid), m_out(out), m_err(err), m_log(log)
    {
    }
    size_t PeekOut() override { return Peek(m_out); }
    size_t ReadOut(char* buf, size_t n) override { return Read(m_out, buf, n); }
    size_t PeekErr() override { return Peek(m_err); }
    size_t ReadErr(char* buf, size_t n) override { return Read(m_err, buf, n); }
    void AppendErrorLog(const char* data, size_t n) override
    {
        if (!m_log || m_log == INVALID_HANDLE_VALUE)
            return;
        DWORD written = 0;
        WriteFile(m_log, data, (DWORD)n, &written, nullptr);
    }
    bool HasEnded() override { return WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0; }
    void SendBreak() override { GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, m_pid); }
    void Sleep(unsigned ms) override { ::Sleep(ms); }

private:
    static size_t Peek(HANDLE h)
    {
        DWORD avail = 0;
        if (!h || h == INVALID_HANDLE_VALUE || !PeekNamedPipe(h, nullptr, 0, nullptr, &avail, nullptr))
            return 0;
        return avail;
    }
    static size_t Read(HANDLE h, char* buf, size_t n)
    {
        DWORD got = 0;
        if (!ReadFile(h, buf, (DWORD)n, &got, nullptr))
            return 0;
        return got;
    }
    HANDLE m_process;
    DWORD m_pid;
    HANDLE m_out, m_err, m_log;
};

} // namespace

CCritSec& Plugin_ProcessLaunchLock()
{
    static CCritSec lock;
    return lock;
}

HANDLE Plugin_Launch(const PluginLaunchRequest& req, const PluginRunOptions& opt, CCritSec* launchLock)
{
    if (!launchLock)
        return LaunchLocked(req, opt);
    CCritSecHold hold(*launchLock);
    return LaunchLocked(req, opt);
}

int Plugin_CreatePipe(HANDLE* readEnd, HANDLE* writeEnd)
{
    SECURITY_ATTRIBUTES sa;
    sa.nLength = sizeof(sa);
    sa.lpSecurityDescriptor = nullptr;
    sa.bInheritHandle = TRUE;
    if (!CreatePipe(readEnd, writeEnd, &sa, 0))
        return 0;
    SetHandleInformation(*readEnd, HANDLE_FLAG_INHERIT, 0);
    return 1;
}

void Plugin_Watch(HANDLE process, DWORD processId, HANDLE outRead, HANDLE errRead, HANDLE errorLog,
                  CPluginStatusSink* sink, const std::atomic<int>* cancel, bool multiWindow)
{
    CPipeWatchIo io(process, processId, outRead, errRead, errorLog);
    Plugin_WatchLoop(io, sink, cancel, multiWindow);
}
