// Large atom tables answer from an index; they must behave exactly as the
// literal table: the same atoms handed out, the same counts, texts, messages
// and positions, through adds, shared adds, deletes and misuse.
#include "store/Atom.h"

#include "atom_reference.h"
#include "base/debug.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

class Threshold {
public:
    explicit Threshold(int n) : m_before(CAtom::SetIndexThreshold(n)) {}
    ~Threshold() { CAtom::SetIndexThreshold(m_before); }

private:
    int m_before;
};

void ExpectSame(const CAtom& a, const atomref::Table& r, int step)
{
    ASSERT_EQ(a.Top(), r.Top()) << "step " << step;
    ASSERT_EQ(a.Capacity(), r.Capacity()) << "step " << step;
    for (int k = 1; k < r.Capacity(); ++k) {
        ASSERT_EQ(a.PositionAtom(k), r.PositionAtom(k)) << "position " << k << " step " << step;
        ASSERT_EQ(a.PositionHash(k), r.PositionHash(k)) << "position " << k << " step " << step;
        ASSERT_EQ(a.Count(k), r.Count(k)) << "atom " << k << " step " << step;
        ASSERT_STREQ(a.Get(k), r.Get(k)) << "atom " << k << " step " << step;
    }
}

// Strings that collide on the 16-bit hash a lot: short permutations of a
// few letters (equal sums), long strings that share their first 16 bytes,
// Shift-JIS bytes, and texts over 255 bytes next to their cut form.
std::vector<std::string> Pool(std::mt19937& rng, int n)
{
    std::vector<std::string> pool;
    const std::string head = "0123456789abcdef";
    for (int i = 0; i < n; ++i) {
        std::string s;
        switch (rng() % 6) {
        case 0:
        case 1:
            for (int k = 0, len = 2 + rng() % 5; k < len; ++k)
                s += "abcd"[rng() % 4];
            break;
        case 2:
            s = head + std::to_string(rng() % 1000);
            break;
        case 3:
            for (int k = 0, len = 1 + rng() % 8; k < len; ++k)
                s += (char)(0x81 + rng() % 0x7E);
            break;
        case 4: {
            std::string longText(300, 'x');
            longText[rng() % 300] = 'y';
            s = rng() % 2 ? longText : longText.substr(0, 255);
            break;
        }
        default:
            s = "id" + std::to_string(rng() % 5000);
        }
        pool.push_back(s);
    }
    return pool;
}

// *largest: the largest capacity the table reached.
void RunAgainstReference(int lookup, int threshold, unsigned seed, int steps, int poolSize = 1500,
                         int checkEvery = 97, int* largest = nullptr)
{
    Threshold t(threshold);
    CAtom a;
    a.SetMode(lookup);
    atomref::Table r(lookup);
    std::mt19937 rng(seed);
    std::vector<std::string> pool = Pool(rng, poolSize);
    std::vector<int> held;   // one entry per reference handed out
    bool indexed = false;
    Debug_BeginCapture();
    for (int step = 0; step < steps; ++step) {
        unsigned op = rng() % 100;
        if (op < 62 || held.empty()) {
            const std::string& s = pool[rng() % pool.size()];
            int x = a.Add(s.c_str());
            int y = r.Add(s.c_str());
            ASSERT_EQ(x, y) << "add " << step;
            held.push_back(x);
        } else if (op < 97) {
            size_t i = rng() % held.size();
            int atom = held[i];
            held[i] = held.back();
            held.pop_back();
            a.Delete(atom);
            std::string mine = Debug_Take();
            r.Delete(atom);
            ASSERT_EQ(mine, Debug_Take()) << "delete " << step;
        } else {
            // Misuse: atom 0, a free atom, an index beyond the table.
            int atom = (int)(rng() % 3) == 0 ? 0 : (rng() % 2 ? a.Capacity() + 5 : r.PositionAtom(r.Top()));
            a.Delete(atom);
            std::string mine = Debug_Take();
            r.Delete(atom);
            ASSERT_EQ(mine, Debug_Take()) << "misuse " << step;
        }
        indexed = indexed || a.IsIndexed();
        if (largest)
            *largest = std::max(*largest, a.Capacity());
        if (step % checkEvery == 0 || step == steps - 1)
            ExpectSame(a, r, step);
        if (step == steps / 2 && seed % 2) {
            a.Reset();
            r.Reset();
            held.clear();
        }
    }
    Debug_EndCapture();
    EXPECT_TRUE(indexed);
}

TEST(AtomIndex, LookupModeMatchesTheLiteralTable)
{
    RunAgainstReference(1, 0, 1, 6000);       // indexed from the first add
    RunAgainstReference(1, 40, 2, 6000);      // switching over on the way
    RunAgainstReference(1, 512, 3, 9000);     // the default
    // Tens of thousands of different strings: the table spans several
    // chunks of entries.
    int largest = 0;
    RunAgainstReference(1, 512, 6, 70000, 40000, 2999, &largest);
    EXPECT_GT(largest, 9000);
}

TEST(AtomIndex, PlainModeMatchesTheLiteralTable)
{
    RunAgainstReference(0, 0, 4, 6000);
    RunAgainstReference(0, 40, 5, 6000);
    int largest = 0;
    RunAgainstReference(0, 512, 8, 70000, 1500, 2999, &largest);
    EXPECT_GT(largest, 9000);
}

// A board that names its articles by identifier enters hundreds of
// thousands of different strings into one lookup table; each add must stay
// cheap (the literal table moves every later position on each insert).
TEST(AtomIndex, ManyIdentifiersStayFastAndAreFoundAgain)
{
    CAtom a;
    const int n = 60000;
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(a.Add(("k" + std::to_string(i * 7919)).c_str()), i + 1);
    EXPECT_TRUE(a.IsIndexed());
    for (int i = 0; i < n; i += 17)
        ASSERT_EQ(a.Add(("k" + std::to_string(i * 7919)).c_str()), i + 1);
    for (int i = 0; i < n; i += 2)
        a.Delete(i + 1);
    EXPECT_EQ(a.Count(1), 1);   // added twice, deleted once
    EXPECT_STREQ(a.Get(2), ("k" + std::to_string(7919)).c_str());
    for (int k = 2; k < a.Top(); ++k)
        ASSERT_LE(a.PositionHash(k - 1), a.PositionHash(k));
}

}  // namespace
