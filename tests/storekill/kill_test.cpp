// A child process walks a store round a loop of merges and rewrites and is
// killed at random moments, a thousand times; after every kill the store
// must read back as exactly one of the states of the loop, never cut short,
// zeroed or mixed.
#include "kill_states.h"

#include "base/fileio.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

using namespace subjtest;

namespace {

using Clock = std::chrono::steady_clock;

// The child program stands beside this one.
std::string ChildProgram()
{
    char self[1024] = {0};
#ifdef _WIN32
    GetModuleFileNameA(nullptr, self, sizeof self - 1);
    std::string dir = self;
    dir = dir.substr(0, dir.find_last_of("\\/") + 1);
#else
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, (size_t)n) : std::string("./");
    dir = dir.substr(0, dir.find_last_of('/') + 1);
#endif
    return dir + ZEVA_KILL_CHILD;
}

class Child {
public:
    bool Start(const std::string& folder, long steps)
    {
        std::string exe = ChildProgram();
        std::string count = std::to_string(steps);
#ifdef _WIN32
        std::string cmd = "\"" + exe + "\" \"" + folder + "\" " + count;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back(0);
        if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        m_process = pi.hProcess;
        return true;
#else
        char* argv[] = {(char*)exe.c_str(), (char*)folder.c_str(), (char*)count.c_str(), nullptr};
        return posix_spawn(&m_pid, exe.c_str(), nullptr, nullptr, argv, environ) == 0;
#endif
    }
    void Kill()
    {
#ifdef _WIN32
        TerminateProcess(m_process, 9);
#else
        kill(m_pid, SIGKILL);
#endif
        Wait();
    }
    int Wait()
    {
#ifdef _WIN32
        WaitForSingleObject(m_process, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        CloseHandle(m_process);
        return (int)code;
#else
        int status = 0;
        waitpid(m_pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    }

private:
#ifdef _WIN32
    HANDLE m_process = nullptr;
#else
    pid_t m_pid = 0;
#endif
};

// A thousand kills: about a minute natively; under Wine, where every start
// of the child costs a good part of a tenth of a second, about two.
const int kKills = 1000;

// The test's folder. A kill loses nothing that reached the system, so the
// flushes of a save add only time here: natively the folder lies in memory
// (/dev/shm) when there is one.
class KillDir {
public:
    KillDir()
    {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path(ec);
#ifndef _WIN32
        if (std::filesystem::is_directory("/dev/shm", ec))
            base = "/dev/shm";
#endif
        auto p = base / ("zeva_kill_" + std::to_string((unsigned long)Clock::now().time_since_epoch().count()));
        if (std::filesystem::create_directory(p, ec))
            m_path = p.string();
    }
    ~KillDir()
    {
        std::error_code ec;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ec);
    }
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (std::filesystem::path(m_path) / name).string(); }

private:
    std::string m_path;
};

#ifndef _WIN32
// Lines the settings file may hold: the view settings a save writes first.
bool SettingsLineKnown(const std::string& line)
{
    static const std::set<std::string> kLines = {"[BASIC]",   "CLM00=100", "CLM01=200", "CLM02=130",
                                                 "CLM03=120", "TREE=1",    "VIEWFLAG=66", "CLMSORT=0",
                                                 "CLMSORTUP=1", "HTMLVIEW=0", ""};
    return kLines.count(line) != 0;
}
#endif

TEST(StoreKill, KilledWhileMergingAndRewritingLeavesAWholeStore)
{
    const std::vector<std::string> states = killtest::States();
    ASSERT_EQ((int)states.size(), killtest::kStates);
    for (const std::string& bytes : states)
        ASSERT_GT(bytes.size(), 1u << 20);   // more than one piece of a save
    KillDir dir;
    ASSERT_FALSE(dir.Path().empty());
    std::string store = dir.File(killtest::kStoreName);
    ASSERT_TRUE(WriteBytes(store, states[0]));

    // How long the child takes to start and to go one step round the loop.
    Child c;
    auto t0 = Clock::now();
    ASSERT_TRUE(c.Start(dir.Path(), 0));
    ASSERT_EQ(c.Wait(), 0);
    auto t1 = Clock::now();
    ASSERT_TRUE(c.Start(dir.Path(), 8));
    ASSERT_EQ(c.Wait(), 0);
    auto t2 = Clock::now();
    ASSERT_EQ(ReadBytes(store), states[0]);   // eight steps: twice round
    long startUs = (long)std::chrono::duration_cast<std::chrono::microseconds>(t1 - t0).count();
    long stepUs = (long)std::chrono::duration_cast<std::chrono::microseconds>(t2 - t1).count() / 8;
    if (stepUs < 1)
        stepUs = 1;

    std::mt19937 rng(20240611);
    int seen[killtest::kStates] = {0};
    int midWrite = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        ASSERT_TRUE(c.Start(dir.Path(), -1));
        long us = startUs + (long)(rng() % (unsigned long)(2 * stepUs));
        std::this_thread::sleep_for(std::chrono::microseconds(us));
        c.Kill();

        std::string bytes = ReadBytes(store);
        int state = -1;
        for (int k = 0; k < killtest::kStates; ++k)
            if (bytes == states[(size_t)k])
                state = k;
        ASSERT_GE(state, 0) << "kill " << kill << ": the store holds " << bytes.size() << " bytes of no state";
        ++seen[state];

        // What a killed save leaves beside the store: its temporary file,
        // which is not the store and goes.
        std::vector<DirEntry> entries;
        ASSERT_TRUE(Dir_List(dir.Path().c_str(), entries));
        bool temp = false;
        for (const DirEntry& e : entries) {
            if (e.name == killtest::kStoreName)
                continue;
            if (e.name.find(".tmp") != std::string::npos) {
                temp = temp || e.name.rfind(killtest::kStoreName, 0) == 0;
                File_Delete(dir.File(e.name).c_str());
                continue;
            }
            ASSERT_EQ(e.name, "zeva_BBS.ini") << "kill " << kill;
#ifndef _WIN32
            // Natively the settings are replaced atomically as well (under
            // Wine they are written by the system's profile functions).
            std::string ini = ReadBytes(dir.File(e.name));
            for (size_t at = 0; at < ini.size();) {
                size_t end = ini.find("\r\n", at);
                ASSERT_NE(end, std::string::npos) << "kill " << kill << ": settings cut short";
                ASSERT_TRUE(SettingsLineKnown(ini.substr(at, end - at))) << "kill " << kill;
                at = end + 2;
            }
#endif
        }
        midWrite += temp ? 1 : 0;
    }
    printf("%d kills: states %d/%d/%d/%d, %d during a write of the store (child start %ld us, step %ld us)\n",
           kKills, seen[0], seen[1], seen[2], seen[3], midWrite, startUs, stepUs);
    for (int k = 0; k < killtest::kStates; ++k)
        EXPECT_GT(seen[k], 0) << "state " << k << " never seen";
    EXPECT_GT(midWrite, kKills / 50) << "too few kills landed while the store was being written";

    // And the loop goes on from whatever state was left.
    ASSERT_TRUE(c.Start(dir.Path(), 4));
    ASSERT_EQ(c.Wait(), 0);
    std::string bytes = ReadBytes(store);
    bool whole = false;
    for (const std::string& s : states)
        whole = whole || bytes == s;
    EXPECT_TRUE(whole);
}

}  // namespace
