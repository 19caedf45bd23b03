// The host console: created, titled "zeva_console_window" and hidden. Runs
// under a virtual X server, where Wine's consoles have windows.
#include "../pluginhost_testutil.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(HostConsole, CreatedTitledAndHidden)
{
    phtest::TempDir dir;
    std::string prog = phtest::WinPath(ZEVA_PH_PROGS) + "\\ph_console.exe";
    std::string cmd = prog;
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi;
    // Started without a console, as the windowed main program is.
    ASSERT_TRUE(CreateProcessA(prog.c_str(), &cmd[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                               dir.Path().c_str(), &si, &pi));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 20000));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string rec = phtest::ReadBytes(dir.File("console.txt"));
    EXPECT_NE(std::string::npos, rec.find("had=0\n")) << rec;
    EXPECT_NE(std::string::npos, rec.find("ok=1\n")) << rec;
    EXPECT_NE(std::string::npos, rec.find("title=zeva_console_window\n")) << rec;
    EXPECT_NE(std::string::npos, rec.find("visible=0\n")) << rec;
}
