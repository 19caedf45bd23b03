#include "store/LockFile.h"

#include "base/clock.h"
#include "base/debug.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string.h>
#include <string>
#include <thread>

namespace {

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(LockFile, PathsMatchWithoutRegardToCase)
{
    CLockFile locks;
    EXPECT_EQ(locks.Lock("C:\\data\\Board\\a.zvt"), 1);
    EXPECT_EQ(locks.IsLocked("c:\\DATA\\board\\A.ZVT"), 1);
    EXPECT_EQ(locks.IsLocked("C:\\data\\Board\\b.zvt"), 0);
    Debug_BeginCapture();
    EXPECT_EQ(locks.Unlock("C:\\DATA\\BOARD\\A.zvt"), 1);
    EXPECT_EQ(locks.IsLocked("C:\\data\\Board\\a.zvt"), 0);
    EXPECT_EQ(Debug_Take(), "");
    EXPECT_EQ(locks.Unlock("C:\\data\\Board\\a.zvt"), 0);
    EXPECT_EQ(Debug_Take(), "CLockFile::Unlock() ... Failure!!\n");
    Debug_EndCapture();

    // A path longer than a slot is held by what a slot keeps of it.
    std::string longPath(300, 'p');
    EXPECT_EQ(locks.Lock(longPath.c_str()), 1);
    EXPECT_EQ(locks.IsLocked(longPath.c_str()), 1);
    EXPECT_EQ(locks.Unlock(longPath.c_str()), 1);
}

TEST(LockFile, LockWaitsUntilTheOtherThreadUnlocks)
{
    CLockFile locks;
    ASSERT_EQ(locks.Lock("D:\\data\\x\\store.zvt"), 1);
    Debug_BeginCapture();
    std::atomic<int> done{0};
    // The second thread asks for the same file in other letter case.
    std::thread waiter([&] {
        locks.Lock("d:\\DATA\\X\\STORE.ZVT");
        done = 1;
    });
    Clock_SleepMs(450);
    EXPECT_EQ(done.load(), 0);
    // Other paths are not held up meanwhile.
    EXPECT_EQ(locks.Lock("D:\\data\\x\\other.zvt"), 1);
    EXPECT_EQ(locks.Unlock("D:\\data\\x\\other.zvt"), 1);
    std::string waited = Debug_Take();
    EXPECT_GE(Count(waited, "CLockFile::Lock() ... Waiti for unlock\n"), 2);
    EXPECT_EQ(waited.size() % strlen("CLockFile::Lock() ... Waiti for unlock\n"), 0u);

    EXPECT_EQ(locks.Unlock("D:\\data\\x\\store.zvt"), 1);
    waiter.join();
    EXPECT_EQ(done.load(), 1);
    // Now the waiter holds it.
    EXPECT_EQ(locks.IsLocked("D:\\data\\x\\store.zvt"), 1);
    Debug_EndCapture();
}

TEST(LockFile, FullTableProceedsWithoutTheLockAndSelfCheckListsHeldSlots)
{
    Debug_BeginCapture();
    {
        auto locks = std::make_unique<CLockFile>();
        for (int i = 0; i < CLockFile::kSlots; ++i)
            ASSERT_EQ(locks->Lock(("f" + std::to_string(i)).c_str()), 1);
        EXPECT_EQ(locks->Lock("extra"), 0);
        EXPECT_EQ(locks->IsLocked("extra"), 0);
        EXPECT_EQ(Debug_Take(), "CLockFile::Lock() ... Failure!!\n");
        // Free every slot but 3 and 12; a new lock takes the first empty slot.
        for (int i = 0; i < CLockFile::kSlots; ++i)
            if (i != 3 && i != 12) {
                ASSERT_EQ(locks->Unlock(("f" + std::to_string(i)).c_str()), 1);
            }
        ASSERT_EQ(locks->Lock("again"), 1);
    }
    EXPECT_EQ(Debug_Take(), "CLockFile::~CLockFile() ... SelfCheck\n"
                            " 0. again\n"
                            " 3. f3\n"
                            "12. f12\n");
    Debug_EndCapture();
}

} // namespace
