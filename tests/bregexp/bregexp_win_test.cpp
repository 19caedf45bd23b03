// BREGEXP.DLL as the program uses it: loaded by name, entry points taken
// with GetProcAddress, patterns "/%s/km", a 256-byte message buffer.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "outside/bregexp/bregexp.h"

namespace {

struct Lib {
    HMODULE dll = LoadLibraryA("BREGEXP.DLL");
    BMatchProc match = (BMatchProc)Proc("BMatch");
    BSubstProc subst = (BSubstProc)Proc("BSubst");
    BTransProc trans = (BTransProc)Proc("BTrans");
    BSplitProc split = (BSplitProc)Proc("BSplit");
    BRegfreeProc regfree = (BRegfreeProc)Proc("BRegfree");
    BRegexpVersionProc version = (BRegexpVersionProc)Proc("BRegexpVersion");
    void *Proc(const char *name) { return dll ? (void *)GetProcAddress(dll, name) : nullptr; }
};

Lib &L()
{
    static Lib lib;
    return lib;
}

// Text placed so that its last byte is the last readable byte before a
// no-access page: reading past the end faults.
class GuardedText {
public:
    explicit GuardedText(const std::string &s)
    {
        size_t pages = s.size() / 4096 + 2;
        base_ = (char *)VirtualAlloc(nullptr, pages * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        DWORD old;
        VirtualProtect(base_ + (pages - 1) * 4096, 4096, PAGE_NOACCESS, &old);
        begin_ = base_ + (pages - 1) * 4096 - s.size();
        if (!s.empty()) memcpy(begin_, s.data(), s.size());
        end_ = begin_ + s.size();
    }
    ~GuardedText() { VirtualFree(base_, 0, MEM_RELEASE); }
    const char *begin() const { return begin_; }
    const char *end() const { return end_; }

private:
    char *base_;
    char *begin_;
    char *end_;
};

// The caller's 256-byte message buffer with a canary behind it.
struct Msg {
    char buf[256 + 16];
    Msg() { memset(buf, 0x7E, sizeof buf); }
    bool Bounded() const
    {
        if (!memchr(buf, 0, 256)) return false;
        for (size_t i = 256; i < sizeof buf; ++i)
            if (buf[i] != 0x7E) return false;
        return true;
    }
};

// Offset of the whole match, -1 for none; checks the message on the way.
struct Found {
    int result;
    int start;
    int length;
};

Found Match(const char *pattern, const std::string &text)
{
    GuardedText t(text);
    BREGEXP_HANDLE h = nullptr;
    Msg msg;
    int r = L().match(pattern, t.begin(), t.end(), &h, msg.buf);
    EXPECT_TRUE(msg.Bounded());
    EXPECT_STREQ("", msg.buf) << pattern;
    Found f{r, -1, 0};
    if (r && h) {
        f.start = (int)(h->matchStart[0] - t.begin());
        f.length = (int)(h->matchEnd[0] - h->matchStart[0]);
    }
    L().regfree(h);
    return f;
}

TEST(Bregexp, LoadsByNameWithAllSixEntryPoints)
{
    ASSERT_NE(nullptr, L().dll);
    EXPECT_TRUE(L().match && L().subst && L().trans && L().split && L().regfree && L().version);
    ASSERT_TRUE(L().version);
    EXPECT_NE(nullptr, strstr(L().version(), "Oniguruma"));
}

TEST(Bregexp, MatchesShiftJisByCharacterWithK)
{
    struct Case {
        const char *pattern;
        std::string text;
        int result, start, length;
    } cases[] = {
        // a single-byte pattern never matches the second byte of a character
        {"/\\\\/km", "ソ", 0, -1, 0},
        {"/\\\\/m", "ソ", 1, 1, 1},
        {"/\\\\/km", "ソ\\", 1, 2, 1},
        {"/ﾝ/km", "胃", 0, -1, 0},
        {"/ﾝ/m", "胃", 1, 1, 1},
        {"/ﾝ/km", "胃ﾝ", 1, 2, 1},
        {"/\\\\/km", "表示", 0, -1, 0},
        // a double-byte character is one character
        {"/^.$/km", "ソ", 1, 0, 2},
        {"/ソ/km", "アソ", 1, 2, 2},
        {"/[ア-ン]+/km", "abcアイウdef", 1, 3, 6},
        {"/表示\\d+/km", "再表示42回", 1, 2, 6},
        // no case folding unless asked
        {"/abc/km", "ABC", 0, -1, 0},
        {"/abc/kmi", "xABC", 1, 1, 3},
        // the search text may hold the delimiter
        {"/a/b/km", "xa/by", 1, 1, 3},
        {"m#a/b#k", "a/b", 1, 0, 3},
        {"/(?<=ア)イ/km", "アイ", 1, 2, 2},
        {"/x*/km", "", 1, 0, 0},
    };
    for (const Case &c : cases) {
        Found f = Match(c.pattern, c.text);
        EXPECT_EQ(c.result, f.result) << c.pattern << " on " << c.text;
        EXPECT_EQ(c.start, f.start) << c.pattern << " on " << c.text;
        EXPECT_EQ(c.length, f.length) << c.pattern << " on " << c.text;
    }
}

TEST(Bregexp, MultiLineAndDotAll)
{
    struct Case {
        const char *pattern;
        const char *text;
        int result, start;
    } cases[] = {
        {"/^b/km", "a\nb", 1, 2},
        {"/^b/k", "a\nb", 0, -1},
        {"/a$/km", "a\nb", 1, 0},
        {"/a$/k", "a\nb", 0, -1},
        {"/a.b/km", "a\nb", 0, -1},
        {"/a.b/kms", "a\nb", 1, 0},
        {"/^本文$/km", "件名\n本文\n署名", 1, 5},
    };
    for (const Case &c : cases) {
        Found f = Match(c.pattern, c.text);
        EXPECT_EQ(c.result, f.result) << c.pattern;
        EXPECT_EQ(c.start, f.start) << c.pattern;
    }
}

TEST(Bregexp, GroupPositionsPointIntoTheText)
{
    const std::string text = "zab";
    BREGEXP_HANDLE h = nullptr;
    Msg msg;
    ASSERT_EQ(1, L().match("/(a)(x)?(b)/km", text.data(), text.data() + text.size(), &h, msg.buf));
    ASSERT_EQ(3, h->groupCount);
    EXPECT_EQ(text.data() + 1, h->matchStart[0]);
    EXPECT_EQ(text.data() + 3, h->matchEnd[0]);
    EXPECT_EQ(text.data() + 1, h->matchStart[1]);
    EXPECT_EQ(nullptr, h->matchStart[2]);
    EXPECT_EQ(nullptr, h->matchEnd[2]);
    EXPECT_EQ(text.data() + 2, h->matchStart[3]);
    L().regfree(h);
}

TEST(Bregexp, ReusesTheHandleOfTheSamePatternAndReplacesAnother)
{
    const std::string text = "アイウ";
    const char *b = text.data(), *e = b + text.size();
    BREGEXP_HANDLE h = nullptr;
    Msg msg;
    ASSERT_EQ(1, L().match("/イ/km", b, e, &h, msg.buf));
    ASSERT_NE(nullptr, h);
    EXPECT_STREQ("/イ/km", h->pattern);
    EXPECT_EQ((int)strlen("/イ/km"), h->patternLength);
    BREGEXP_HANDLE first = h;
    // the pattern text is compared, not the pointer to it
    std::string again = "/イ/km";
    EXPECT_EQ(1, L().match(again.c_str(), b + 2, e, &h, msg.buf));
    EXPECT_EQ(first, h);
    EXPECT_EQ(b + 2, h->matchStart[0]);
    EXPECT_EQ(0, L().match("/エ/km", b, e, &h, msg.buf));
    ASSERT_NE(nullptr, h);
    EXPECT_STREQ("/エ/km", h->pattern);
    EXPECT_STREQ("", msg.buf);
    L().regfree(h);
    L().regfree(nullptr);
    // a freed handle is not passed again; a fresh one starts from NULL
    h = nullptr;
    EXPECT_EQ(1, L().match("/ウ/km", b, e, &h, msg.buf));
    L().regfree(h);
}

TEST(Bregexp, ErrorsReturnZeroWithABoundedMessage)
{
    const char *patterns[] = {
        "/a(/km",          // unmatched parenthesis
        "/[b-a]/km",       // bad range
        "/a{2,1}/km",      // bad repeat
        "/abc/kq",         // unknown flag
        "/abc",            // no closing delimiter
        "abc",             // no delimiter
        "",                // empty
        "s/a/b/g",         // not a match pattern
        "/\x83/km",        // a lead byte alone
        "/(?<n>a)\\k<nosuchname>/k",
    };
    const std::string deep = "/" + std::string(3000, '(') + "a" + std::string(3000, ')') + "/k";
    std::vector<const char *> all(std::begin(patterns), std::end(patterns));
    all.push_back(deep.c_str());  // nested too deep
    const std::string text = "abc(";
    for (const char *p : all) {
        BREGEXP_HANDLE h = nullptr;
        Msg msg;
        EXPECT_EQ(0, L().match(p, text.data(), text.data() + text.size(), &h, msg.buf)) << p;
        EXPECT_TRUE(msg.Bounded()) << p;
        EXPECT_GT(strlen(msg.buf), 0u) << p;
        L().regfree(h);
    }
    // the message of an unmatched parenthesis is the engine's own
    BREGEXP_HANDLE h = nullptr;
    Msg msg;
    L().match("/a(/km", text.data(), text.data() + text.size(), &h, msg.buf);
    EXPECT_NE(nullptr, strstr(msg.buf, "parenthesis")) << msg.buf;
    EXPECT_EQ(nullptr, h);
}

TEST(Bregexp, LoneLeadByteAtTheEndIsNeverReadPast)
{
    struct Case {
        const char *pattern;
        std::string text;
        int result, start;
    } cases[] = {
        {"/c/km", "abc\x83", 1, 2},
        {"/c.$/km", "abc\x83", 0, -1},
        {"/ア$/km", "ア\x83", 1, 0},
        {"/./km", "\x83", 0, -1},
        {"/\\x83$/m", "ab\x83", 1, 2},  // without k every byte is a character
    };
    for (const Case &c : cases) {
        Found f = Match(c.pattern, c.text);
        EXPECT_EQ(c.result, f.result) << c.pattern;
        EXPECT_EQ(c.start, f.start) << c.pattern;
    }
}

TEST(Bregexp, PathologicalPatternOnALongTextReturns)
{
    // Exponential backtracking over 10 MB: the library gives up with a
    // message (one long line exhausts the match stack, many short lines
    // the backtracking budget of the search).
    std::string oneLine(10 * 1024 * 1024, 'a');
    oneLine += '!';
    std::string manyLines;
    while (manyLines.size() < 10 * 1024 * 1024) manyLines += std::string(28, 'a') + "!\n";
    struct Case {
        const char *pattern;
        const std::string &text;
    } cases[] = {
        {"/^(a|aa)+$/km", oneLine},
        {"/^(\\w+\\s?)*$/km", oneLine},
        {"/^(a|aa)+$/km", manyLines},
        {"/(a|a)+$/km", manyLines},
    };
    for (const Case &c : cases) {
        BREGEXP_HANDLE h = nullptr;
        Msg msg;
        EXPECT_EQ(0, L().match(c.pattern, c.text.data(), c.text.data() + c.text.size(), &h, msg.buf))
            << c.pattern;
        EXPECT_TRUE(msg.Bounded());
        EXPECT_GT(strlen(msg.buf), 0u) << c.pattern;
        L().regfree(h);
    }
}

TEST(Bregexp, SubstReplacesByCharacter)
{
    struct Case {
        const char *pattern;
        std::string text;
        int count;
        std::string out;
    } cases[] = {
        {"s/ソ/ア/gk", "ソソa", 2, "アアa"},
        {"s/ソ/ア/k", "ソソa", 1, "アソa"},
        {"s/\\\\/Y/gk", "ソ\\", 1, "ソY"},
        {"s/\\\\/Y/g", "ソ", 1, "\x83Y"},
        {"s/(\\w+)@(\\w+)/$2 \\1 $&/k", "x:me@host.", 1, "x:host me me@host."},
        {"s/x*/-/g", "ab", 3, "-a-b-"},
        {"s/^/> /gkm", "一\n二", 2, "> 一\n> 二"},
        {"s/z/y/gk", "abc", 0, ""},
        {"s/a/b/gk", "aa\x83", 2, "bb\x83"},  // a lone lead byte at the end is kept
    };
    for (const Case &c : cases) {
        GuardedText t(c.text);
        BREGEXP_HANDLE h = nullptr;
        Msg msg;
        EXPECT_EQ(c.count, L().subst(c.pattern, t.begin(), t.end(), &h, msg.buf)) << c.pattern;
        EXPECT_STREQ("", msg.buf);
        ASSERT_NE(nullptr, h);
        EXPECT_EQ(c.out, h->out ? std::string(h->out, h->outEnd) : std::string()) << c.pattern;
        L().regfree(h);
    }
}

TEST(Bregexp, TransMapsCharacters)
{
    struct Case {
        const char *pattern;
        std::string text;
        int count;
        std::string out;
    } cases[] = {
        {"tr/a-c/A-C/", "abcd", 3, "ABCd"},
        {"tr/ア/イ/k", "アアソ", 2, "イイソ"},
        {"tr/a//d", "banana", 3, "bnn"},
        {"tr/a-z//s", "aabbc", 5, "abc"},
        {"y/ab/x/", "abc", 2, "xxc"},
        {"tr/a/b/k", "a\x83", 1, "b\x83"},
    };
    for (const Case &c : cases) {
        GuardedText t(c.text);
        BREGEXP_HANDLE h = nullptr;
        Msg msg;
        EXPECT_EQ(c.count, L().trans(c.pattern, t.begin(), t.end(), &h, msg.buf)) << c.pattern;
        ASSERT_NE(nullptr, h);
        EXPECT_EQ(c.out, h->out ? std::string(h->out, h->outEnd) : std::string()) << c.pattern;
        L().regfree(h);
    }
}

TEST(Bregexp, SplitListsThePieces)
{
    struct Case {
        const char *pattern;
        std::string text;
        int limit;
        std::vector<std::string> pieces;
    } cases[] = {
        {"/,/k", "a,b,,c", 0, {"a", "b", "", "c"}},
        {"/,/k", "a,b,,c", 2, {"a", "b,,c"}},
        {"/\\\\/k", "ソ\\表", 0, {"ソ", "表"}},
        {"//k", "アbc", 0, {"ア", "b", "c"}},
        {"/,/k", "", 0, {}},
        {"/,/k", "a,b\x83", 0, {"a", "b\x83"}},
    };
    for (const Case &c : cases) {
        GuardedText t(c.text);
        BREGEXP_HANDLE h = nullptr;
        Msg msg;
        int n = L().split(c.pattern, t.begin(), t.end(), c.limit, &h, msg.buf);
        ASSERT_EQ((int)c.pieces.size(), n) << c.pattern << " on " << c.text;
        ASSERT_NE(nullptr, h);
        std::vector<std::string> got;
        for (int i = 0; i < n; ++i) got.emplace_back(h->split[2 * i], h->split[2 * i + 1]);
        EXPECT_EQ(c.pieces, got) << c.pattern;
        EXPECT_EQ(nullptr, h->split[2 * n]);
        L().regfree(h);
    }
}

TEST(Bregexp, RandomPatternsAndTextsNeverCrash)
{
    const char alphabet[] = "ab\\/()[]{}*+?|^$.-,:km\n\x83\x5C\x81\xE0\xFC\xDDgsy0";
    std::mt19937 rng(18);
    auto random_string = [&](size_t maxLen) {
        std::string s(rng() % (maxLen + 1), ' ');
        for (char &ch : s) ch = alphabet[rng() % (sizeof alphabet - 1)];
        return s;
    };
    const char *prefixes[] = {"/", "s/", "tr/", "m/", ""};
    int matched = 0;
    for (int i = 0; i < 1500; ++i) {
        std::string pattern = prefixes[i % 5] + random_string(12);
        GuardedText t(random_string(40));
        BREGEXP_HANDLE h = nullptr;
        Msg msg;
        matched += L().match(pattern.c_str(), t.begin(), t.end(), &h, msg.buf);
        EXPECT_TRUE(msg.Bounded());
        L().subst(pattern.c_str(), t.begin(), t.end(), &h, msg.buf);
        L().trans(pattern.c_str(), t.begin(), t.end(), &h, msg.buf);
        L().split(pattern.c_str(), t.begin(), t.end(), (int)(rng() % 4), &h, msg.buf);
        EXPECT_TRUE(msg.Bounded());
        L().regfree(h);
    }
    EXPECT_GT(matched, 0);
}

}  // namespace
