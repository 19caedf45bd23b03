#include "store/SubjCache.h"

#include "subj_testutil.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

using subjtest::ReadBytes;
using subjtest::TempDir;
using subjtest::WriteBytes;

std::string StoreText(const char* title, int unread, int unsent, int held, int patrol)
{
    return std::string("#T:") + title + "\n#N:" + std::to_string(unread) + "\n#U:" +
           std::to_string(unsent) + "\n#B:" + std::to_string(held) + "\n#R:" +
           std::to_string(patrol) + "\n#F:\n#P:\nS:1,*,04/05/06,21:07,N,\nM:x\n.\n";
}

// One record of the file, laid out by hand from the field offsets.
std::string Record(const std::string& path, uint64_t time, int32_t unread, int32_t unsent,
                   int32_t held, int32_t patrol, const std::string& title)
{
    std::string r(552, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            r[at + i] = (char)(v >> (8 * i));
    };
    r[0] = 1;
    memcpy(&r[1], path.data(), path.size());
    put32(264, (uint32_t)time);
    put32(268, (uint32_t)(time >> 32));
    put32(272, 0);
    put32(276, (uint32_t)unread);
    put32(280, (uint32_t)unsent);
    put32(284, (uint32_t)held);
    put32(288, (uint32_t)patrol);
    memcpy(&r[292], title.data(), title.size());
    return r;
}

class SubjCacheTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string cacheFile = dir.File("ZvtCache.tmp");
    std::string storeA = dir.File("a.zvt");
    std::string storeB = dir.File("b.zvt");
};

TEST_F(SubjCacheTest, RecordsAreWrittenByteForByte)
{
    ASSERT_TRUE(WriteBytes(storeA, StoreText("雑談", 3, 2, 1, 4)));
    CSubjCache cache;
    EXPECT_EQ(cache.Load(dir.Path().c_str()), 0);   // no cache file yet
    const uint64_t time = 0x01D2C3B4A5968778ull;
    const SubjCacheRecord* r = cache.Lookup(storeA.c_str(), time);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r, cache.Current());
    EXPECT_STREQ(r->title, "雑談");
    EXPECT_EQ(r->unread, 3);
    EXPECT_EQ(r->unsent, 2);
    EXPECT_EQ(r->held, 1);
    EXPECT_EQ(r->patrol, 4);
    ASSERT_EQ(cache.Save(), 1);
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(ReadBytes(cacheFile), Record(storeA, time, 3, 2, 1, 4, "雑談"));
}

TEST_F(SubjCacheTest, ChangedFileTimeRefreshesAndUnusedRecordsAreDropped)
{
    // A cache from an earlier run: a.zvt with stale counts, b.zvt, and a
    // short tail that is not a whole record.
    ASSERT_TRUE(WriteBytes(cacheFile, Record(storeA, 100, 9, 9, 9, 9, "old") +
                                          Record(storeB, 200, 1, 0, 0, 0, "b") + std::string(100, 'z')));
    ASSERT_TRUE(WriteBytes(storeA, StoreText("new", 5, 0, 0, 1)));
    CSubjCache cache;
    ASSERT_EQ(cache.Load((dir.Path() + "/").c_str()), 1);
    ASSERT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.Record(0).inUse, 0);
    EXPECT_EQ(cache.Record(1).inUse, 0);

    // Same time: trusted as stored, the store is not read.
    const SubjCacheRecord* r = cache.Lookup(storeA.c_str(), 100);
    EXPECT_STREQ(r->title, "old");
    EXPECT_EQ(r->unread, 9);
    EXPECT_EQ(r->inUse, 1);
    // Another time: refreshed from the store.
    r = cache.Lookup(storeA.c_str(), 101);
    EXPECT_STREQ(r->title, "new");
    EXPECT_EQ(r->unread, 5);
    EXPECT_EQ(r->patrol, 1);
    EXPECT_EQ(r->writeTime, 101u);
    EXPECT_EQ(cache.Count(), 2);

    // b.zvt was not looked up in this run.
    ASSERT_EQ(cache.Save(), 1);
    EXPECT_EQ(ReadBytes(cacheFile), Record(storeA, 101, 5, 0, 0, 1, "new"));
}

TEST_F(SubjCacheTest, PathsMatchExactlyAndForgottenRecordsAreGone)
{
    ASSERT_TRUE(WriteBytes(storeA, StoreText("A", 1, 0, 0, 0)));
    CSubjCache cache;
    cache.Load(dir.Path().c_str());
    cache.Lookup(storeA.c_str(), 7);
    std::string upper = storeA.substr(0, storeA.size() - 5) + "A.ZVT";
    cache.Lookup(upper.c_str(), 7);   // another record, case counts
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.Lookup("", 7), nullptr);

    cache.Forget(storeA.c_str());
    EXPECT_STREQ(cache.Record(0).path, "");
    // Looked up again, the store gets a fresh record.
    ASSERT_TRUE(WriteBytes(storeA, StoreText("A2", 2, 0, 0, 0)));
    const SubjCacheRecord* r = cache.Lookup(storeA.c_str(), 7);
    EXPECT_EQ(cache.Count(), 3);
    EXPECT_STREQ(r->title, "A2");
    cache.Forget(upper.c_str());
    ASSERT_EQ(cache.Save(), 1);
    EXPECT_EQ(ReadBytes(cacheFile), Record(storeA, 7, 2, 0, 0, 0, "A2"));
}

TEST_F(SubjCacheTest, MissingStoresLongPathsAndUnwritableCaches)
{
    // A store that can't be read gives an empty summary.
    CSubjCache cache;
    cache.Load(dir.Path().c_str());
    const SubjCacheRecord* r = cache.Lookup(dir.File("none.zvt").c_str(), 1);
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r->title, "");
    EXPECT_EQ(r->unread, 0);
    // A path is held to 262 bytes.
    std::string longPath(400, 'p');
    r = cache.Lookup(longPath.c_str(), 1);
    EXPECT_EQ(strlen(r->path), 262u);
    EXPECT_EQ(cache.Lookup(longPath.c_str(), 1), r);

    CSubjCache lost;
    lost.Load(dir.File("no/such/folder").c_str());
    lost.Lookup(storeA.c_str(), 1);
    EXPECT_EQ(lost.Save(), 0);
}

TEST(SubjCacheRecord, EncodeAndDecodeAgree)
{
    SubjCacheRecord rec = {};
    rec.inUse = 1;
    memset(rec.path, 'p', sizeof rec.path);   // no terminator: cut on the way
    rec.writeTime = 0xFFFFFFFF00000001ull;
    rec.reserved = 0;
    rec.unread = -1;
    rec.unsent = 0x7FFFFFFF;
    rec.held = 2;
    rec.patrol = 3;
    memset(rec.title, 't', sizeof rec.title);
    unsigned char bytes[CSubjCache::kRecordSize];
    CSubjCache::Encode(rec, bytes);
    EXPECT_EQ(bytes[263], 0);      // the path keeps its terminator
    EXPECT_EQ(bytes[551], 0);
    EXPECT_EQ(bytes[264], 1);
    EXPECT_EQ(bytes[271], 0xFF);
    EXPECT_EQ(bytes[276], 0xFF);
    SubjCacheRecord back;
    CSubjCache::Decode(bytes, &back);
    EXPECT_EQ(std::string(back.path), std::string(262, 'p'));
    EXPECT_EQ(std::string(back.title), std::string(259, 't'));
    EXPECT_EQ(back.writeTime, rec.writeTime);
    EXPECT_EQ(back.unread, -1);
    EXPECT_EQ(back.unsent, 0x7FFFFFFF);
}

} // namespace
