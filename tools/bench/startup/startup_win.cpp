// Start-up benchmark: how long a program takes from its start until its
// message loop first waits for input (WaitForInputIdle), zeva.exe against a
// minimal window program started the same way, in turns, in one run.
//
//   zeva_startbench PROGRAM BASELINE [ROUNDS]
//
// Each program runs in a fresh install folder (program, "data\",
// "Plugins\") and is closed with WM_CLOSE before the next start. Prints the
// best and the median of both and their ratio.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER freq;
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

struct Found {
    DWORD pid;
    HWND wnd;
};

BOOL CALLBACK FindTop(HWND wnd, LPARAM lp)
{
    Found* f = (Found*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == f->pid && IsWindowVisible(wnd) && !GetWindow(wnd, GW_OWNER)) {
        f->wnd = wnd;
        return FALSE;
    }
    return TRUE;
}

std::string MakeInstall(const char* exe, int serial)
{
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    std::string dir = std::string(tmp) + "zeva_startbench_" + std::to_string(GetCurrentProcessId()) + "_" +
                      std::to_string(serial);
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\data").c_str(), nullptr);
    CreateDirectoryA((dir + "\\Plugins").c_str(), nullptr);
    const char* name = strrchr(exe, '\\');
    std::string target = dir + "\\" + (name ? name + 1 : exe);
    CopyFileA(exe, target.c_str(), FALSE);
    return target;
}

// Milliseconds until the program's loop is idle, or -1.
double StartOnce(const std::string& exe)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + exe + "\"";
    double t0 = Now();
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    DWORD rc = WaitForInputIdle(pi.hProcess, 30000);
    double ms = Now() - t0;
    Found f = {pi.dwProcessId, nullptr};
    for (int i = 0; i < 300 && !f.wnd; ++i) {
        EnumWindows(FindTop, (LPARAM)&f);
        if (!f.wnd)
            Sleep(10);
    }
    if (f.wnd)
        PostMessageA(f.wnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return rc == 0 && f.wnd ? ms : -1;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: zeva_startbench PROGRAM BASELINE [ROUNDS]\n");
        return 2;
    }
    int rounds = argc > 3 ? atoi(argv[3]) : 11;
    std::string program = MakeInstall(argv[1], 1), baseline = MakeInstall(argv[2], 2);
    // One start each to warm the caches, not counted.
    StartOnce(program);
    StartOnce(baseline);
    std::vector<double> p, b;
    for (int i = 0; i < rounds; ++i) {
        double x = StartOnce(program), y = StartOnce(baseline);
        if (x < 0 || y < 0) {
            fprintf(stderr, "zeva_startbench: a start failed (round %d)\n", i);
            return 1;
        }
        p.push_back(x);
        b.push_back(y);
    }
    double pb = *std::min_element(p.begin(), p.end()), bb = *std::min_element(b.begin(), b.end());
    printf("start until idle, %d rounds   best      median\n", rounds);
    printf("  zeva.exe                 %8.1f ms %8.1f ms\n", pb, Median(p));
    printf("  minimal window program   %8.1f ms %8.1f ms\n", bb, Median(b));
    printf("  ratio                    %8.2f    %8.2f   (goal <= 1.5)\n", pb / bb, Median(p) / Median(b));
    return 0;
}
