// The driver's install folders, processes, windows and remote memory.
#include "UiDriver.h"

#include <stdio.h>

namespace uidriver {

// ---------------------------------------------------------------- files

std::string WinPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string p = "Z:" + path;
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p;
}

std::string ReadBytes(const std::string& path, bool* ok)
{
    std::string out;
    if (ok)
        *ok = false;
    HANDLE f = CreateFileA(WinPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return out;
    char buf[65536];
    DWORD n;
    while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0)
        out.append(buf, n);
    CloseHandle(f);
    if (ok)
        *ok = true;
    return out;
}

static std::string ParentOf(const std::string& path)
{
    size_t p = path.find_last_of('\\');
    return p == std::string::npos ? std::string() : path.substr(0, p);
}

bool MakeFolders(const std::string& path)
{
    std::string p = WinPath(path);
    if (p.empty())
        return false;
    DWORD a = GetFileAttributesA(p.c_str());
    if (a != INVALID_FILE_ATTRIBUTES)
        return (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string parent = ParentOf(p);
    if (!parent.empty() && parent.back() != ':' && !MakeFolders(parent))
        return false;
    return CreateDirectoryA(p.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    std::string p = WinPath(path);
    std::string parent = ParentOf(p);
    if (!parent.empty() && !MakeFolders(parent))
        return false;
    HANDLE f = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    bool ok = bytes.empty() || (WriteFile(f, bytes.data(), (DWORD)bytes.size(), &n, nullptr) && n == bytes.size());
    return CloseHandle(f) && ok;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(WinPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path)
{
    std::string p = WinPath(path);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((p + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..")
                continue;
            std::string child = p + "\\" + n;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(p.c_str());
}

static std::string Slashes(const std::string& rel)
{
    std::string r = rel;
    for (char& c : r)
        if (c == '/')
            c = '\\';
    return r;
}

Install::Install()
{
    static int serial = 0;
    char tmp[MAX_PATH] = "";
    GetTempPathA(sizeof tmp, tmp);
    std::string base = tmp;
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    for (int i = 0; i < 1000; ++i) {
        m_root = base + "\\zeva_ui_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
        if (CreateDirectoryA(m_root.c_str(), nullptr))
            break;
    }
    m_program = m_root + "\\ZEVA";
    MakeFolders(DataDir());
    MakeFolders(PluginDir());
}

Install::~Install()
{
    // A program that just ended may hold its files for a moment longer.
    for (int i = 0; i < 50 && Exists(m_root); ++i) {
        RemoveTree(m_root);
        if (Exists(m_root))
            Sleep(100);
    }
}

std::string Install::Path(const std::string& rel) const
{
    return m_program + "\\" + Slashes(rel);
}

static bool CopyInto(const std::string& exe, const std::string& folder, const std::string& as)
{
    std::string src = WinPath(exe);
    std::string name = as;
    if (name.empty()) {
        size_t p = src.find_last_of('\\');
        name = p == std::string::npos ? src : src.substr(p + 1);
    }
    return CopyFileA(src.c_str(), (folder + "\\" + name).c_str(), FALSE) != 0;
}

bool Install::AddProgram(const std::string& exe, const std::string& as)
{
    return CopyInto(exe, m_program, as);
}

bool Install::AddPlugin(const std::string& exe, const std::string& as)
{
    return CopyInto(exe, PluginDir(), as);
}

bool Install::PutData(const std::string& rel, const std::string& bytes)
{
    return WriteBytes(DataDir() + "\\" + Slashes(rel), bytes);
}

std::string Install::ReadData(const std::string& rel) const
{
    return ReadBytes(DataDir() + "\\" + Slashes(rel));
}

bool Install::HasData(const std::string& rel) const
{
    return Exists(DataDir() + "\\" + Slashes(rel));
}

// ---------------------------------------------------------------- processes

bool WaitFor(const std::function<bool()>& cond, DWORD ms, DWORD step)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(step);
    }
}

// No window manager runs in the virtual X server. Wine then waits two
// seconds for one whenever a managed window is hidden (every closed dialog)
// and leaves the title bar to it (black in screenshots). Windows that Wine
// frames itself avoid both. wine-run-x.sh sets ZEVA_XVFB when the X server
// is its own; under a real display the setting is left alone.
static void UnmanagedWindowsUnderXvfb()
{
    static bool done = false;
    char v[8];
    if (done || !GetEnvironmentVariableA("ZEVA_XVFB", v, sizeof v))
        return;
    done = true;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Managed", 0, REG_SZ, (const BYTE*)"N", 2);
        RegCloseKey(key);
    }
}

Process::~Process()
{
    Kill();
}

bool Process::Start(const std::string& exe, const std::string& args, const std::string& dir)
{
    Kill();
    UnmanagedWindowsUnderXvfb();
    std::string app = WinPath(exe);
    std::string folder = dir.empty() ? ParentOf(app) : WinPath(dir);
    std::string cmd = "\"" + app + "\"";
    if (!args.empty())
        cmd += " " + args;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(app.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return false;
    // A job ends whatever the program starts (plug-ins, editors) with it.
    m_job = CreateJobObjectA(nullptr, nullptr);
    if (m_job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION lim = {};
        lim.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &lim, sizeof lim);
        if (!AssignProcessToJobObject(m_job, pi.hProcess)) {
            CloseHandle(m_job);
            m_job = nullptr;
        }
    }
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    m_pid = pi.dwProcessId;
    m_tid = pi.dwThreadId;
    return true;
}

bool Process::Start(const Install& inst, const std::string& exeName, const std::string& args)
{
    return Start(inst.Path(exeName), args, inst.ProgramDir());
}

bool Process::Running() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

HWND Process::WaitWindow(const char* className, DWORD ms, bool visible)
{
    HWND found = nullptr;
    WaitFor(
        [&] {
            std::vector<HWND> w = TopWindows(m_pid, className, visible);
            found = w.empty() ? nullptr : w.front();
            return found != nullptr || !Running();
        },
        ms);
    return found;
}

bool Process::WaitIdle(DWORD ms)
{
    return m_process && WaitForInputIdle(m_process, ms) == 0;
}

bool Process::WaitExit(DWORD ms, DWORD* code)
{
    if (!m_process || WaitForSingleObject(m_process, ms) != WAIT_OBJECT_0)
        return false;
    if (code)
        GetExitCodeProcess(m_process, code);
    return true;
}

void Process::Kill()
{
    if (m_job) {
        TerminateJobObject(m_job, 255);
    }
    if (m_process) {
        if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process, 255);
        WaitForSingleObject(m_process, 10000);
        CloseHandle(m_process);
    }
    if (m_job)
        CloseHandle(m_job);
    m_process = m_job = nullptr;
    m_pid = m_tid = 0;
}

// ---------------------------------------------------------------- windows

namespace {
struct EnumTop {
    DWORD pid;
    const char* cls;
    bool visible;
    std::vector<HWND> out;
};
BOOL CALLBACK CollectTop(HWND w, LPARAM lp)
{
    EnumTop* e = (EnumTop*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != e->pid || (e->visible && !IsWindowVisible(w)))
        return TRUE;
    if (e->cls && ClassOf(w) != e->cls)
        return TRUE;
    e->out.push_back(w);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopWindows(DWORD pid, const char* className, bool visibleOnly)
{
    EnumTop e{pid, className, visibleOnly, {}};
    if (pid)
        EnumWindows(CollectTop, (LPARAM)&e);
    return e.out;
}

DWORD ProcessOf(HWND wnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    return pid;
}

HWND Child(HWND parent, int id)
{
    if (!parent)
        return nullptr;
    HWND direct = GetDlgItem(parent, id);
    if (direct)
        return direct;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        HWND deeper = Child(c, id);
        if (deeper)
            return deeper;
    }
    return nullptr;
}

std::string ClassOf(HWND wnd)
{
    char buf[256] = "";
    GetClassNameA(wnd, buf, sizeof buf);
    return buf;
}

std::string Text(HWND wnd)
{
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len))
        return std::string();
    std::vector<char> buf(len + 64, 0);   // room for a text grown meanwhile
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXT, buf.size(), (LPARAM)buf.data(), SMTO_ABORTIFHUNG, 5000, &got))
        return std::string();
    buf.back() = 0;
    return std::string(buf.data());
}

bool SetText(HWND wnd, const std::string& text)
{
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(wnd, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 5000, &r) && r;
}

bool Visible(HWND wnd)
{
    return IsWindowVisible(wnd) != 0;
}

bool Enabled(HWND wnd)
{
    return IsWindowEnabled(wnd) != 0;
}

RECT WindowRect(HWND wnd)
{
    RECT r = {};
    GetWindowRect(wnd, &r);
    return r;
}

RECT ClientRect(HWND wnd)
{
    RECT r = {};
    GetClientRect(wnd, &r);
    return r;
}

GuiState GuiOf(HWND anyWindowOfThread)
{
    GuiState s;
    GUITHREADINFO gi = {};
    gi.cbSize = sizeof gi;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &gi))
        return s;
    s.active = gi.hwndActive;
    s.focus = gi.hwndFocus;
    s.capture = gi.hwndCapture;
    s.menuOwner = gi.hwndMenuOwner;
    s.inMenu = (gi.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0;
    return s;
}

HWND FocusOf(HWND anyWindowOfThread)
{
    return GuiOf(anyWindowOfThread).focus;
}

bool Settle(HWND wnd, DWORD ms)
{
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_NORMAL, ms, &r) != 0;
}

// ---------------------------------------------------------------- remote memory

RemoteMemory::RemoteMemory(HWND owner, size_t size)
{
    DWORD pid = ProcessOf(owner);
    if (!pid || !size)
        return;
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                            FALSE, pid);
    if (!m_process)
        return;
    m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (m_address)
        m_size = size;
}

RemoteMemory::~RemoteMemory()
{
    if (m_address)
        VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    if (m_process)
        CloseHandle(m_process);
}

bool RemoteMemory::Write(const void* data, size_t size, size_t offset)
{
    SIZE_T n = 0;
    return m_address && offset <= m_size && size <= m_size - offset &&
           WriteProcessMemory(m_process, (char*)m_address + offset, data, size, &n) && n == size;
}

bool RemoteMemory::Read(void* data, size_t size, size_t offset) const
{
    SIZE_T n = 0;
    return m_address && offset <= m_size && size <= m_size - offset &&
           ReadProcessMemory(m_process, (char*)m_address + offset, data, size, &n) && n == size;
}

std::string RemoteMemory::ReadString(size_t offset, size_t max) const
{
    if (!m_address || offset >= m_size)
        return std::string();
    size_t n = m_size - offset;
    if (max < n)
        n = max;
    std::vector<char> buf(n + 1, 0);
    if (!Read(buf.data(), n, offset))
        return std::string();
    return std::string(buf.data());   // ends at the first NUL, or after n bytes
}

std::string ReadRemoteString(HWND wnd, uintptr_t address, size_t max)
{
    std::string out;
    HANDLE p = OpenProcess(PROCESS_VM_READ, FALSE, ProcessOf(wnd));
    if (!p)
        return out;
    for (size_t i = 0; i < max; ++i) {
        char c = 0;
        SIZE_T n = 0;
        if (!ReadProcessMemory(p, (const void*)(address + i), &c, 1, &n) || n != 1 || c == 0)
            break;
        out += c;
    }
    CloseHandle(p);
    return out;
}

}  // namespace uidriver
