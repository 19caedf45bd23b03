#include "base/debug.h"

#include <gtest/gtest.h>
#include <thread>

TEST(Debug, CaptureCollectsFromAllThreadsUntilTaken)
{
    Debug_Out("before\n");   // not capturing yet
    Debug_BeginCapture();
    Debug_Printf("%s - %d\n", "CSubj::Profiler()", 12);
    std::thread t([] { Debug_Out("+"); });
    t.join();
    EXPECT_EQ(Debug_Take(), "CSubj::Profiler() - 12\n+");
    EXPECT_EQ(Debug_Take(), "");
    Debug_EndCapture();
    Debug_Out("after\n");
    Debug_BeginCapture();
    EXPECT_EQ(Debug_Take(), "");
    Debug_EndCapture();
}
