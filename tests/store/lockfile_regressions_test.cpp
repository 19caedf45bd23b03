// One test per fault found in the lock table.
#include "store/LockFile.h"

#include <gtest/gtest.h>

namespace {

// Second bytes were folded like letters: "ア" (83 41) and "ヂ" (83 61) made
// two stores one lock, and the window thread, holding the first, waited
// forever for itself when it locked the second.
TEST(LockFileRegressions, PathsWhoseSecondBytesAreLettersAreLockedApart)
{
    CLockFile locks;
    ASSERT_EQ(locks.Lock("C:\\data\\ア\\001.zvt"), 1);
    ASSERT_EQ(locks.IsLocked("C:\\data\\ヂ\\001.zvt"), 0);
    EXPECT_EQ(locks.Lock("C:\\data\\ヂ\\001.zvt"), 1);
    EXPECT_EQ(locks.IsLocked("c:\\DATA\\ア\\001.ZVT"), 1);   // single-byte letters still fold
    locks.Unlock("C:\\data\\ア\\001.zvt");
    EXPECT_EQ(locks.IsLocked("C:\\data\\ヂ\\001.zvt"), 1);
}

}  // namespace
