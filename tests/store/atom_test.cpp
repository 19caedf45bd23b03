#include "store/Atom.h"

#include "base/debug.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// Positions 1 .. top-1 must list distinct atoms in use, by ascending hash.
void ExpectConsistent(const CAtom& a)
{
    std::vector<bool> seen(a.Capacity(), false);
    for (int k = 1; k < a.Top(); ++k) {
        int atom = a.PositionAtom(k);
        ASSERT_GT(atom, 0);
        ASSERT_LT(atom, a.Capacity());
        ASSERT_FALSE(seen[atom]) << "atom listed twice: " << atom;
        seen[atom] = true;
        ASSERT_GT(a.Count(atom), 0);
        if (k > 1 && a.GetMode()) {
            ASSERT_LE(a.PositionHash(k - 1), a.PositionHash(k)) << "at position " << k;
        }
    }
    for (int k = a.Top(); k < a.Capacity(); ++k)
        ASSERT_FALSE(seen[a.PositionAtom(k)]) << "free position lists a used atom";
}

TEST(Atom, LookupModeSharesEqualStringsUntilTheLastDelete)
{
    CAtom a;
    int x = a.Add("abc");
    EXPECT_GT(x, 0);
    EXPECT_EQ(a.Add("abc"), x);
    EXPECT_EQ(a.Count(x), 2);
    EXPECT_EQ(a.Top(), 2);
    a.Delete(x);
    EXPECT_EQ(a.Count(x), 1);
    EXPECT_STREQ(a.Get(x), "abc");
    EXPECT_EQ(a.Top(), 2);
    a.Delete(x);
    EXPECT_EQ(a.Count(x), 0);
    EXPECT_EQ(a.Top(), 1);
    EXPECT_EQ(a.PositionAtom(1), x);   // next to be handed out
    EXPECT_EQ(a.Check(), 1);
}

TEST(Atom, PlainModeGivesEveryEntryItsOwnAtom)
{
    CAtom a;
    a.SetMode(0);
    int x = a.Add("abc");
    int y = a.Add("abc");
    EXPECT_NE(x, y);
    EXPECT_EQ(a.Count(x), 1);
    EXPECT_EQ(a.Count(y), 1);
    a.Delete(x);
    EXPECT_STREQ(a.Get(y), "abc");
    EXPECT_EQ(a.Top(), 2);
}

TEST(Atom, EmptyStringIsAtomZeroAndNeverEntered)
{
    CAtom a;
    EXPECT_EQ(a.Add(""), 0);
    EXPECT_EQ(a.Add(nullptr), 0);
    EXPECT_EQ(a.Top(), 1);
    EXPECT_STREQ(a.Get(0), "");
    int x = a.Add("q");
    a.Delete(0);
    EXPECT_EQ(a.Top(), 2);
    EXPECT_EQ(a.Count(x), 1);
}

TEST(Atom, HashSumsTheFirstSixteenBytesAsSignedBytes)
{
    EXPECT_EQ(CAtom::Hash(""), 0);
    EXPECT_EQ(CAtom::Hash("AB"), 'A' + 'B');
    // 0x82 and 0xA0 count as -126 and -96: 65536 - 222.
    EXPECT_EQ(CAtom::Hash("\x82\xA0"), 65314);
    EXPECT_EQ(CAtom::Hash("0123456789abcdefXYZ"), CAtom::Hash("0123456789abcdef"));
}

TEST(Atom, StringsWithEqualHashesGetTheirOwnAtomsAndAreFoundAgain)
{
    CAtom a;
    std::string s1 = "0123456789abcdef-one";
    std::string s2 = "0123456789abcdef-two";
    std::string s3 = "1023456789abcdef";   // same sum, different order
    ASSERT_EQ(CAtom::Hash(s1.c_str()), CAtom::Hash(s2.c_str()));
    ASSERT_EQ(CAtom::Hash(s1.c_str()), CAtom::Hash(s3.c_str()));
    a.Add("zz");
    int x = a.Add(s1.c_str());
    int y = a.Add(s2.c_str());
    int z = a.Add(s3.c_str());
    a.Add("!");
    EXPECT_NE(x, y);
    EXPECT_NE(y, z);
    EXPECT_EQ(a.Add(s2.c_str()), y);
    EXPECT_EQ(a.Add(s1.c_str()), x);
    EXPECT_EQ(a.Add(s3.c_str()), z);
    EXPECT_EQ(a.Count(y), 2);
    ExpectConsistent(a);
}

TEST(Atom, LongStringsAreCutAndAComparisonOfTheFullTextMisses)
{
    CAtom a;
    std::string s(300, 'x');
    int x = a.Add(s.c_str());
    EXPECT_EQ(std::string(a.Get(x)), std::string(255, 'x'));
    int y = a.Add(s.c_str());
    EXPECT_NE(x, y);
    // The cut text itself matches one of the two.
    int z = a.Add(std::string(255, 'x').c_str());
    EXPECT_TRUE(z == x || z == y);
    EXPECT_EQ(a.Top(), 3);
}

TEST(Atom, GrowsByAThousandWhenTopReachesTheCapacity)
{
    CAtom a;
    EXPECT_EQ(a.Capacity(), 200);
    for (int i = 0; i < 198; ++i)
        a.Add(("s" + std::to_string(i)).c_str());
    EXPECT_EQ(a.Capacity(), 200);
    a.Add("last");
    EXPECT_EQ(a.Top(), 200);
    EXPECT_EQ(a.Capacity(), 1200);
    for (int i = 0; i < 1000; ++i)
        a.Add(("t" + std::to_string(i)).c_str());
    EXPECT_EQ(a.Capacity(), 2200);
    for (int i = 0; i < 198; ++i)
        EXPECT_STREQ(a.Get(a.Add(("s" + std::to_string(i)).c_str())), ("s" + std::to_string(i)).c_str());
    ExpectConsistent(a);
}

// Random adds and deletes against a model of reference counts: every string
// is found again, positions stay sorted, freed atoms return to the table.
TEST(Atom, RandomAddsAndDeletesKeepTheTableConsistent)
{
    for (int mode = 0; mode <= 1; ++mode) {
        CAtom a;
        a.SetMode(mode);
        std::mt19937 rng(1234 + mode);
        std::map<std::string, std::vector<int>> held;   // string -> atoms handed out
        auto randomString = [&]() {
            std::string s;
            int n = 1 + rng() % 20;
            for (int i = 0; i < n; ++i)
                s += (char)(rng() % 3 ? 'a' + rng() % 4 : 0x81 + rng() % 0x7E);   // bytes above 0x80 too
            return s;
        };
        for (int step = 0; step < 6000; ++step) {
            if (held.empty() || rng() % 3) {
                std::string s = randomString();
                int atom = a.Add(s.c_str());
                ASSERT_GT(atom, 0);
                ASSERT_EQ(a.Get(atom), s);
                auto& v = held[s];
                if (mode && !v.empty()) {
                    ASSERT_EQ(atom, v[0]);
                }
                v.push_back(atom);
            } else {
                auto it = held.begin();
                std::advance(it, rng() % held.size());
                a.Delete(it->second.back());
                it->second.pop_back();
                if (it->second.empty())
                    held.erase(it);
            }
        }
        size_t live = 0;
        for (auto& [s, v] : held) {
            for (int atom : v)
                ASSERT_EQ(a.Get(atom), s);
            live += mode ? 1 : v.size();
            if (mode) {
                ASSERT_EQ(a.Count(v[0]), (int)v.size());
            }
        }
        EXPECT_EQ((size_t)a.Top() - 1, live);
        ExpectConsistent(a);
        for (auto& [s, v] : held)
            for (int atom : v)
                a.Delete(atom);
        EXPECT_EQ(a.Check(), 1);
    }
}

TEST(Atom, IndexErrorsAreReportedAndChangeNothing)
{
    CAtom a;
    int x = a.Add("abc");
    int y = a.Add("def");
    Debug_BeginCapture();

    EXPECT_EQ(a.Check(), 0);
    EXPECT_EQ(Debug_Take(), "CAtom::Check() ... FALSE\n");

    // An atom that is free already: the count goes below zero, nothing moves.
    int freeAtom = a.PositionAtom(a.Top());
    a.Delete(freeAtom);
    EXPECT_EQ(Debug_Take(), "CAtom::Delete() 未使用のアトムに対するDelete\n");
    EXPECT_EQ(a.Top(), 3);
    EXPECT_STREQ(a.Get(x), "abc");
    EXPECT_STREQ(a.Get(y), "def");

    a.Delete(100000);
    EXPECT_EQ(Debug_Take(), "CAtom::Delete() インデックスの不整合が発生\n");
    EXPECT_EQ(a.Top(), 3);

    EXPECT_STREQ(a.Get(a.Capacity()), "");
    std::string msg = Debug_Take();
    EXPECT_EQ(msg.rfind("CAtom::Get() 非常にまずい(TOP:", 0), 0u) << msg;
    EXPECT_EQ(msg.substr(msg.size() - 2), ")\n");
    EXPECT_STREQ(a.Get(-1), "");
    Debug_EndCapture();
    ExpectConsistent(a);
}

TEST(Atom, ResetEmptiesTheTable)
{
    CAtom a;
    for (int i = 0; i < 300; ++i)
        a.Add(("r" + std::to_string(i)).c_str());
    a.Reset();
    EXPECT_EQ(a.Top(), 1);
    EXPECT_EQ(a.Check(), 1);
    for (int k = 1; k < a.Capacity(); ++k)
        ASSERT_EQ(a.PositionAtom(k), k);
    int x = a.Add("again");
    EXPECT_EQ(x, 1);
}

}  // namespace

// A freed atom keeps its text until it is handed out again; entering that
// very text (read from the table) gives the same atom back, whether the
// table answers from its positions or from its index.
TEST(Atom, TheTextOfAFreedAtomCanBeEnteredAgain)
{
    for (int threshold : {512, 0}) {
        int before = CAtom::SetIndexThreshold(threshold);
        for (int lookup : {1, 0}) {
            CAtom a;
            a.SetMode(lookup);
            int keep = a.Add("keep");
            int x = a.Add("reused text");
            const char* text = a.Get(x);
            a.Delete(x);
            EXPECT_EQ(a.Count(x), 0);
            EXPECT_STREQ(a.Get(x), "reused text");
            EXPECT_EQ(a.Add(text), x) << "threshold " << threshold << " lookup " << lookup;
            EXPECT_STREQ(a.Get(x), "reused text");
            EXPECT_EQ(a.Count(x), 1);
            EXPECT_STREQ(a.Get(keep), "keep");
            // Handed out for another text, the atom holds that one.
            a.Delete(x);
            EXPECT_EQ(a.Add("other"), x);
            EXPECT_STREQ(a.Get(x), "other");
        }
        CAtom::SetIndexThreshold(before);
    }
}
