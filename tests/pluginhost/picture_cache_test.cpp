// The picture cache: where a picture stands in its cell, which decoded
// pictures may be drawn, and when pictures are decoded, kept and dropped.
#include "pluginhost/PictureCache.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A bitmap information block: 40-byte header plus a colour table of
// `colours` entries (0 = none).
std::vector<unsigned char> Header(int32_t w, int32_t h, unsigned bits, uint32_t compression = 0, uint32_t used = 0,
                                  size_t tableEntries = 0, unsigned planes = 1)
{
    std::vector<unsigned char> b(40 + 4 * tableEntries, 0);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + i] = (unsigned char)(v >> (8 * i));
    };
    put(0, 40, 4);
    put(4, (uint32_t)w, 4);
    put(8, (uint32_t)h, 4);
    put(12, planes, 2);
    put(14, bits, 2);
    put(16, compression, 4);
    put(32, used, 4);
    return b;
}

std::vector<unsigned char> Cut(std::vector<unsigned char> v, size_t n)
{
    v.resize(n);
    return v;
}

// The block with a header of another size (n bytes, as much in the block).
std::vector<unsigned char> HeaderSized(std::vector<unsigned char> v, size_t n)
{
    v.resize(n);
    v[0] = (unsigned char)n;
    return v;
}

TEST(PicturePlace, OwnSizeOrScaledByTheLargerRatioCentred)
{
    struct Case {
        const char* what;
        int w, h;
        PictureRect want;   // in the cell at (10, 20) of 40 x 30
    } cases[] = {
        {"smaller both ways: own size, centred", 20, 10, {20, 30, 20, 10}},
        {"twice as wide, as high: cell width, half height", 80, 30, {10, 27, 40, 15}},
        {"taller: cell height, width by the height ratio", 30, 60, {22, 20, 15, 30}},
        {"as wide, lower: not smaller both ways, width ratio larger", 40, 10, {10, 30, 40, 10}},
        {"same shape larger: fills the cell", 80, 60, {10, 20, 40, 30}},
        {"a hair line keeps one pixel", 4000, 1, {10, 34, 40, 1}},
    };
    for (const Case& c : cases) {
        PictureRect r = Picture_Place(c.w, c.h, 10, 20, 40, 30);
        EXPECT_EQ(r.left, c.want.left) << c.what;
        EXPECT_EQ(r.top, c.want.top) << c.what;
        EXPECT_EQ(r.width, c.want.width) << c.what;
        EXPECT_EQ(r.height, c.want.height) << c.what;
    }
}

TEST(PictureCheck, OnlySafePicturesAreDrawn)
{
    struct Case {
        const char* what;
        std::vector<unsigned char> info;
        size_t bits;
        int ok, w, h;
    } cases[] = {
        {"24-bit 3 x 2 (rows of 12 bytes)", Header(3, 2, 24), 24, 1, 3, 2},
        {"top-down", Header(3, -2, 24), 24, 1, 3, 2},
        {"8-bit with its full table", Header(5, 1, 8, 0, 0, 256), 8, 1, 5, 1},
        {"8-bit with two colours used", Header(5, 1, 8, 0, 2, 2), 8, 1, 5, 1},
        {"1-bit 33 wide (rows of 8 bytes)", Header(33, 2, 1, 0, 0, 2), 16, 1, 33, 2},
        {"32-bit with masks after the header", Header(2, 2, 32, 3, 0, 3), 16, 1, 2, 2},
        {"32-bit with masks in a 56-byte header", HeaderSized(Header(2, 2, 32, 3), 56), 16, 1, 2, 2},
        {"masks neither after nor in a 44-byte header", HeaderSized(Header(2, 2, 32, 3), 44), 16, 0, 0, 0},
        {"zero width", Header(0, 2, 24), 24, 0, 0, 0},
        {"zero height", Header(3, 0, 24), 24, 0, 0, 0},
        {"enormous", Header(100000, 100000, 24), 24, 0, 0, 0},
        {"rows beyond the pixel block", Header(3, 2, 24), 23, 0, 0, 0},
        {"colour table beyond the block", Header(5, 1, 8), 8, 0, 0, 0},
        {"true colours with a table that is not there", Header(3, 2, 24, 0, 1000), 24, 0, 0, 0},
        {"more colours than the depth has", Header(5, 1, 1, 0, 3, 3), 4, 0, 0, 0},
        {"run-length compressed", Header(3, 2, 8, 1, 0, 256), 24, 0, 0, 0},
        {"two planes", Header(3, 2, 24, 0, 0, 0, 2), 24, 0, 0, 0},
        {"7 bits per pixel", Header(3, 2, 7), 24, 0, 0, 0},
        {"header cut short", Cut(Header(3, 2, 24), 39), 24, 0, 0, 0},
    };
    for (const Case& c : cases) {
        int w = 0, h = 0;
        EXPECT_EQ(Picture_Check(c.info.data(), c.info.size(), c.bits, &w, &h), c.ok) << c.what;
        EXPECT_EQ(w, c.w) << c.what;
        EXPECT_EQ(h, c.h) << c.what;
    }
}

// Decodes every path to a 1 x 1 picture, except paths containing "bad"
// (no picture) and "zero" (a zero-sized one); counts what it was asked.
class FakeSource : public IPictureSource {
public:
    int Decode(const char* path, PictureBlocks* out) override
    {
        ++asked[path];
        if (strstr(path, "bad"))
            return 0;
        std::vector<unsigned char> h = Header(strstr(path, "zero") ? 0 : 1, 1, 24);
        out->info = (unsigned char*)malloc(h.size());
        memcpy(out->info, h.data(), h.size());
        out->infoSize = h.size();
        out->bits = (unsigned char*)calloc(1, 4);
        out->bitsSize = 4;
        return 1;
    }
    int Total() const
    {
        int n = 0;
        for (const auto& a : asked)
            n += a.second;
        return n;
    }
    std::map<std::string, int> asked;
};

TEST(PictureCache, EachKeyIsDecodedOnceAndFailuresAreNotRetried)
{
    FakeSource src;
    CPictureCache cache(&src);
    cache.SetBaseFolder("C:\\data\\board\\");
    struct Step {
        int32_t key;
        const char* file;
        bool entry, picture;
    } steps[] = {
        {7, "a.png", true, true},    {7, "a.png", true, true},   {8, "bad.png", true, false},
        {8, "bad.png", true, false}, {9, "zero.png", true, false}, {10, "", false, false},
    };
    for (const Step& s : steps) {
        const PictureEntry* e = cache.Find(s.key, s.file);
        ASSERT_EQ(e != nullptr, s.entry) << s.key;
        if (e) {
            EXPECT_EQ(e->picture.info != nullptr, s.picture) << s.key;
        }
    }
    EXPECT_EQ(src.asked["C:\\data\\board\\a.png"], 1);
    EXPECT_EQ(src.asked["C:\\data\\board\\bad.png"], 1);
    EXPECT_EQ(src.Total(), 3);
    EXPECT_EQ(cache.Used(), 3);
    // A key that now stands for another file is decoded again in place.
    const PictureEntry* e = cache.Find(7, "b.png");
    ASSERT_TRUE(e);
    EXPECT_STREQ(e->name, "b.png");
    EXPECT_EQ(src.asked["C:\\data\\board\\b.png"], 1);
    EXPECT_EQ(cache.Used(), 3);
}

TEST(PictureCache, FullAfter128KeysUntilCleared)
{
    FakeSource src;
    CPictureCache cache(&src);
    for (int k = 0; k < CPictureCache::ENTRIES; ++k)
        ASSERT_TRUE(cache.Find(k, ("p" + std::to_string(k)).c_str())) << k;
    EXPECT_FALSE(cache.Find(500, "more.png"));
    EXPECT_TRUE(cache.Find(127, "p127"));   // cached keys still answer
    EXPECT_EQ(src.Total(), CPictureCache::ENTRIES);
    cache.Clear();
    EXPECT_TRUE(cache.Find(500, "more.png"));
}

TEST(PictureCache, BoardAndCellSizeChangesEmptyIt)
{
    FakeSource src;
    CPictureCache cache(&src);
    cache.SetCellSize(28, 28);
    struct Step {
        const char* what;
        void (*change)(CPictureCache&);
        int decodedAgain;
    } steps[] = {
        {"same cell size", [](CPictureCache& c) { c.SetCellSize(28, 28); }, 0},
        {"taller rows", [](CPictureCache& c) { c.SetCellSize(28, 30); }, 1},
        {"wider cells", [](CPictureCache& c) { c.SetCellSize(40, 30); }, 1},
        {"another board", [](CPictureCache& c) { c.SetBaseFolder("D:\\other\\"); }, 1},
    };
    cache.Find(1, "x.bmp");
    for (const Step& s : steps) {
        int before = src.Total();
        s.change(cache);
        EXPECT_EQ(cache.Used(), s.decodedAgain ? 0 : 1) << s.what;
        cache.Find(1, "x.bmp");
        EXPECT_EQ(src.Total() - before, s.decodedAgain) << s.what;
    }
    EXPECT_EQ(src.asked["D:\\other\\x.bmp"], 1);
}

}  // namespace
