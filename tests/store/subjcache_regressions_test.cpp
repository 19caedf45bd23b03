// One test per fault found in the store summary cache.
#include "store/SubjCache.h"

#include "alloc_fault.h"
#include "subj_testutil.h"

#include <gtest/gtest.h>

#include <string>

using namespace subjtest;

namespace {

// A record that could not be had threw out of the cache. Now a lookup
// without memory gives no record, and a save without memory leaves the
// cache file as it was. (The summary reader is made by a first lookup
// before: its atom tables end the program when they get no memory at all.)
TEST(SubjCacheRegressions, NoMemoryGivesNoRecordAndKeepsTheFileInsteadOfEndingTheProgram)
{
    TempDir dir;
    std::string store = dir.File("001.zvt"), shown = dir.File("000.zvt");
    ASSERT_TRUE(WriteBytes(store, "#T:board\n#N:4\n#U:1\n\n"));
    std::string file = dir.File("ZvtCache.tmp");
    bool sawNone = false, sawKept = false;
    for (int k = 1;; ++k) {
        ASSERT_TRUE(WriteBytes(file, "old"));
        CSubjCache cache;
        cache.Load(dir.Path().c_str());
        ASSERT_NE(cache.Lookup(shown.c_str(), 1), nullptr);
        AllocFault_Set(k);
        const SubjCacheRecord* rec = cache.Lookup(store.c_str(), 7);
        int saved = cache.Save();
        bool done = AllocFault_Count() < k;
        AllocFault_Set(0);
        if (rec) {
            EXPECT_EQ(rec->unread, 4);
            EXPECT_STREQ(rec->title, "board");
        }
        sawNone |= !rec;
        std::string now = ReadBytes(file);
        if (!saved) {
            EXPECT_EQ(now, "old");
            sawKept = true;
        } else {
            EXPECT_EQ(now.size(), (rec ? 2u : 1u) * CSubjCache::kRecordSize);
        }
        if (done) {
            ASSERT_NE(rec, nullptr);
            break;
        }
    }
    EXPECT_TRUE(sawNone);
    EXPECT_TRUE(sawKept);
}

}  // namespace
