// The patrol engine's services on Windows: a board's plug-in run with its
// pipes and error log, the browser's proxy setting, sounds, dial-up, and the
// store-change notices to the main window.
#include "patrol/Dialup.h"
#include "patrol/PatrolWin.h"
#include "pluginhost/PluginHost.h"

#include "base/debug.h"
#include "base/sjis.h"

#include <mmsystem.h>
#include <wininet.h>

#include <vector>

void CStoreNotifyWindow::AboutToChange(const char* storePath)
{
    SendMessageA(m_wnd, WM_COMMAND, MAKEWPARAM(CMD_STORE_ABOUT_TO_CHANGE, 0), (LPARAM)storePath);
}

void CStoreNotifyWindow::Changed(const char* storePath, int articlesChanged)
{
    SendMessageA(m_wnd, WM_COMMAND, MAKEWPARAM(CMD_STORE_CHANGED, articlesChanged ? 1 : 0), (LPARAM)storePath);
}

namespace {

enum { PIPE_BUFFER = 1000 };

int CreatePipe1000(HANDLE* readEnd, HANDLE* writeEnd)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    if (!CreatePipe(readEnd, writeEnd, &sa, PIPE_BUFFER))
        return 0;
    SetHandleInformation(*readEnd, HANDLE_FLAG_INHERIT, 0);
    return 1;
}

void CloseIf(HANDLE& h)
{
    if (h && h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    h = nullptr;
}

class CPatrolRunWin : public CPatrolRun {
public:
    CPatrolRunWin(const char* boardFolder, const char* errorLogPath, const PatrolOptions& opt, CCritSec* lock)
        : m_opt(opt), m_lock(lock)
    {
        Str_Copy(m_folder, sizeof m_folder, boardFolder);
        if (!CreatePipe1000(&m_outRead, &m_outWrite))
            m_outRead = m_outWrite = nullptr;
        if (!CreatePipe1000(&m_errRead, &m_errWrite))
            m_errRead = m_errWrite = nullptr;
        m_log = CreateFileA(errorLogPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_log == INVALID_HANDLE_VALUE)
            Debug_Printf("CPatrolRunWin - %s を作成できません\n", errorLogPath);
    }
    ~CPatrolRunWin() override
    {
        CloseIf(m_outRead);
        CloseIf(m_outWrite);
        CloseIf(m_errRead);
        CloseIf(m_errWrite);
        CloseIf(m_log);
    }

    int LaunchAndWatch(const char* typeName, CPluginStatusSink* row, const std::atomic<int>* cancel) override
    {
        if (!m_outRead || !m_errRead)
            return 0;
        PluginRunOptions run;
        run.pluginFolder = m_opt.pluginFolder;
        run.perl = m_opt.perl;
        run.ruby = m_opt.ruby;
        run.multiWindow = m_opt.multiWindow != 0;
        PluginLaunchRequest req;
        req.boardFolder = m_folder;
        req.typeName = typeName;
        req.argument = nullptr;
        req.visible = true;
        req.stdOut = m_outWrite;
        req.stdErr = m_errWrite;
        DWORD pid = 0;
        req.processId = &pid;
        HANDLE process = Plugin_Launch(req, run, m_lock);
        if (!process)
            return 0;
        Plugin_Watch(process, pid, m_outRead, m_errRead, m_log, row, cancel, run.multiWindow);
        CloseHandle(process);
        return 1;
    }

private:
    const PatrolOptions& m_opt;
    CCritSec* m_lock;
    char m_folder[260];
    HANDLE m_outRead = nullptr, m_outWrite = nullptr;
    HANDLE m_errRead = nullptr, m_errWrite = nullptr;
    HANDLE m_log = INVALID_HANDLE_VALUE;
};

}  // namespace

CPatrolHostWin::CPatrolHostWin(const PatrolStartParams& params)
    : m_params(params), m_notify(params.mainWindow)
{
}

CPatrolRun* CPatrolHostWin::CreateRun(const char* boardFolder, const char* errorLogPath)
{
    return new CPatrolRunWin(boardFolder, errorLogPath, m_params.options, m_launchLock);
}

int CPatrolHostWin::SystemProxy(char* out, size_t size)
{
    DWORD bytes = 0;
    InternetQueryOptionA(nullptr, INTERNET_OPTION_PROXY, nullptr, &bytes);
    if (bytes < sizeof(INTERNET_PROXY_INFO))
        bytes = 4096;
    std::vector<unsigned char> buf(bytes + 1, 0);
    if (!InternetQueryOptionA(nullptr, INTERNET_OPTION_PROXY, buf.data(), &bytes))
        return 0;
    const INTERNET_PROXY_INFO* info = (const INTERNET_PROXY_INFO*)buf.data();
    if (info->dwAccessType != INTERNET_OPEN_TYPE_PROXY || !info->lpszProxy)
        return 0;
    Str_Copy(out, size, (const char*)info->lpszProxy);
    return out[0] != 0;
}

void CPatrolHostWin::StopSound()
{
    PlaySoundA(nullptr, nullptr, 0);
}

void CPatrolHostWin::PlayWave(const char* path)
{
    // No default sound when the file is missing; a machine without a sound
    // device just plays nothing.
    if (path && path[0])
        PlaySoundA(path, nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void CPatrolHostWin::RefreshFolderView()
{
    if (m_params.refreshFolderView)
        m_params.refreshFolderView(m_params.context);
}

void CPatrolHostWin::HangUp()
{
    Dialup_HangUp();
}

void CPatrolHostWin::SetCurrentFolder(const char* folder)
{
    if (!folder || !folder[0])
        return;
    if (m_launchLock) {
        CCritSecHold hold(*m_launchLock);
        SetCurrentDirectoryA(folder);
    } else {
        SetCurrentDirectoryA(folder);
    }
}
