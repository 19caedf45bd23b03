// The search's decisions: plain matching at every byte offset (against the
// literal comparison at each offset, also on random bytes), the article and
// unread tests, the row scan, the history and the typed text's cut, the
// cache of compiled patterns behind a stand-in library, the store walk's
// stop rules on prepared trees, and the order of a search across stores.
#include "store/Subj.h"
#include "ui/search/RegexCache.h"
#include "ui/search/SearchMatch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The literal algorithm: compare at every byte offset, folding A-Z unless
// case matters.
bool LiteralFind(const std::string& text, const std::string& needle, bool caseSensitive)
{
    auto fold = [&](unsigned char c) { return !caseSensitive && c >= 'A' && c <= 'Z' ? c + 0x20 : c; };
    if (needle.empty() || needle.size() > text.size())
        return false;
    for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
        size_t j = 0;
        while (j < needle.size() && fold((unsigned char)text[i + j]) == fold((unsigned char)needle[j]))
            ++j;
        if (j == needle.size())
            return true;
    }
    return false;
}

// Both ways in: with a length, and zero-terminated (the text up to its
// first zero byte) at each of the 16 placements against an aligned block.
bool Find(const std::string& text, const std::string& needle, bool caseSensitive)
{
    CPlainFinder f;
    f.Set(needle.data(), needle.size(), caseSensitive);
    bool withLength = f.Find(text.data(), text.size());
    bool upToZero = LiteralFind(text.c_str(), needle, caseSensitive);
    alignas(16) static char block[1024 + 64];
    for (size_t k = 0; k < 16 && text.size() < 1024; ++k) {
        memcpy(block + k, text.c_str(), text.size() + 1);
        EXPECT_EQ(f.FindZ(block + k), upToZero) << k << ": " << text << " / " << needle;
    }
    return withLength;
}

TEST(PlainFind, EveryByteOffsetWithOrWithoutCase)
{
    struct Case {
        const char* text;
        const char* needle;
        bool caseSensitive, found;
    } cases[] = {
        {"Hello World", "world", false, true},
        {"Hello World", "world", true, false},
        {"Hello World", "World", true, true},
        {"abc", "abcd", false, false},
        {"abc", "", false, false},
        {"", "a", false, false},
        {"xxABCxx", "abc", false, true},
        {"ab", "b", true, true},
        // "ア" is 0x83 0x41: the ASCII "A" at its second byte is found,
        // folded to "a" too.
        {"アイウ", "A", true, true},
        {"アイウ", "a", false, true},
        {"アイウ", "a", true, false},
        // Double-byte characters compare exactly; only ASCII letters fold.
        {"日本語テキスト", "テキスト", false, true},
        {"ＡＢＣ", "ａｂｃ", false, false},
        // A needle spanning the second byte of one character and the
        // first of the next.
        {"アイ", "\x41\x83", true, true},
        {"xQy", "q", false, true},
        {"xqy", "Q", false, true},
        {"xqy", "Q", true, false},
        // Repeated pairs inside the needle, and a match right at the end.
        {"abababac", "ababac", true, true},
        {"ああいああいう", "ああいう", true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Find(c.text, c.needle, c.caseSensitive), c.found) << c.text << " / " << c.needle;
        EXPECT_EQ(LiteralFind(c.text, c.needle, c.caseSensitive), c.found) << c.text << " / " << c.needle;
    }
}

TEST(PlainFind, LongNeedlesNearTheEnd)
{
    // 259-byte needles: shifts longer than a byte can hold.
    std::string needle(258, 'x');
    needle += 'y';
    std::string hay = std::string(600, 'x') + "y";
    for (bool cs : {false, true}) {
        EXPECT_TRUE(Find(hay, needle, cs));
        EXPECT_FALSE(Find(hay.substr(0, 600), needle, cs));
        EXPECT_TRUE(Find(std::string(300, 'z') + needle, needle, cs));
    }
}

TEST(PlainFind, SameAnswersAsTheLiteralComparisonOnRandomBytes)
{
    std::mt19937 rng(20261208);
    // A small alphabet with letters of both cases, lead bytes and 0x5C, so
    // that near misses and folded matches are common.
    const unsigned char alphabet[] = {'a', 'A', 'b', 'B', 'z', 'Z', '@', '[', 0x5C, 0x83, 0x41, 0x61, 0xE0, 0x00};
    auto pick = [&] { return (char)alphabet[rng() % sizeof alphabet]; };
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        bool longer = round % 10 == 0;
        std::string text(rng() % (longer ? 512 : 64), 0), needle(1 + rng() % (longer ? 24 : 6), 0);
        for (char& c : text)
            c = pick();
        for (char& c : needle)
            c = pick();
        if (rng() % 3 == 0 && text.size() >= needle.size()) {
            size_t at = rng() % (text.size() - needle.size() + 1);
            needle = text.substr(at, needle.size());
        }
        bool cs = rng() % 2;
        bool expect = LiteralFind(text, needle, cs);
        ASSERT_EQ(Find(text, needle, cs), expect) << round;
        found += expect;
    }
    EXPECT_GT(found, 2000);
    EXPECT_LT(found, 18000);
}

TEST(SearchText, TypedTextIsCutAt259BytesOnACharacterBoundary)
{
    SearchSettings s;
    SearchSettings_Init(&s, nullptr, 0, 0, 0);
    struct Case {
        std::string typed;
        size_t kept;
    } cases[] = {
        {std::string(300, 'x'), 259},
        {std::string(258, 'x') + "あ", 258},     // the character would end at byte 260
        {std::string(257, 'x') + "あ", 259},
        {std::string(10, 'x') + "\x83", 11},     // a lone lead byte at the end stays
        {"", 0},
    };
    for (const Case& c : cases) {
        Search_SetText(&s, c.typed.c_str());
        EXPECT_EQ(strlen(s.text), c.kept);
        EXPECT_EQ(std::string(s.text), c.typed.substr(0, c.kept));
    }
}

TEST(SearchText, HistoryKeepsTenNewestFirst)
{
    char h[SEARCH_HISTORY_COUNT][SEARCH_TEXT_SIZE] = {};
    for (int i = 0; i < 12; ++i)
        SearchHistory_Push(h, ("t" + std::to_string(i)).c_str());
    EXPECT_STREQ(h[0], "t11");
    EXPECT_STREQ(h[9], "t2");   // t0 and t1 dropped
    SearchHistory_Push(h, "t5");   // moves up; nothing is lost
    EXPECT_STREQ(h[0], "t5");
    EXPECT_STREQ(h[1], "t11");
    EXPECT_STREQ(h[7], "t4");
    EXPECT_STREQ(h[9], "t2");
    SearchHistory_Push(h, "");   // empty texts are not added
    EXPECT_STREQ(h[0], "t5");
}

// ---- articles ---------------------------------------------------------------------------

// A stand-in for the library: "/body/km" patterns, body found as a plain
// substring; a body with "(" and no ")" does not compile.
struct FakeHandle {
    std::string pattern;
    const char *start = nullptr, *end = nullptr;
};

class CFakeRegex : public CRegexLib {
public:
    int Match(const char* pattern, const char* start, const char* end, void** handle, char* msg) override
    {
        patterns.push_back(pattern);
        FakeHandle* h = (FakeHandle*)*handle;
        if (!h || h->pattern != pattern) {
            if (h)
                Free(h);
            *handle = nullptr;
            std::string p = pattern;
            std::string body = p.size() >= 4 ? p.substr(1, p.size() - 4) : "";
            if (body.find('(') != std::string::npos && body.find(')') == std::string::npos) {
                snprintf(msg, REGEX_MSG_SIZE, "unmatched ( in %s", pattern);
                return 0;
            }
            h = new FakeHandle;
            h->pattern = pattern;
            *handle = h;
            ++compiles;
            ++live;
        }
        std::string body = h->pattern.substr(1, h->pattern.size() - 4);
        std::string text(start, end);
        size_t at = text.find(body);
        if (at == std::string::npos)
            return 0;
        h->start = start + at;
        h->end = h->start + body.size();
        return 1;
    }
    void Free(void* handle) override
    {
        FakeHandle* h = (FakeHandle*)handle;
        freed.push_back(h->pattern);
        --live;
        delete h;
    }
    const char* PatternOf(void* handle) override { return ((FakeHandle*)handle)->pattern.c_str(); }
    int LastMatch(void* handle, const char** s, const char** e) override
    {
        *s = ((FakeHandle*)handle)->start;
        *e = ((FakeHandle*)handle)->end;
        return 1;
    }

    std::vector<std::string> patterns, freed;
    int compiles = 0, live = 0;
};

// Four articles: 0 text and title, 1 unread, 2 own (unsent), 3 with a
// colour label.
std::string Store()
{
    return "#T:板\n"
           "S:1,*,26/12/01,10:00,,\nT:Release Notes\nN:Taro\nM:version 2 is out\n.\n"
           "S:2,*,26/12/01,10:00,N,\nT:質問\nN:花子\nM:教えてください\n.\n"
           "S:*,*,26/12/01,10:00,U,\nT:返信\nN:自分\nM:書きかけ\n.\n"
           "S:4,*,26/12/01,10:00,,0000FF\nT:色付き\nN:ken\nM:赤いラベル\n.\n";
}

void Load(CSubj& subj, const std::string& zvt)
{
    std::vector<char> buf(zvt.size() + 2, 0);
    memcpy(buf.data() + 1, zvt.data(), zvt.size());
    subj.ParseBuffer(buf.data(), zvt.size());
}

TEST(ArticleTest, AnyOneCriterionMatches)
{
    CSubj subj;
    Load(subj, Store());
    ASSERT_EQ(subj.GetCount(), 4);
    struct Case {
        const char* what;
        const char* text;
        int caseSensitive, unread, own, colour;
        const char* expect;   // per article, '1' matches
    } cases[] = {
        {"message", "version", 0, 0, 0, 0, "1000"},
        {"title, folded", "release", 0, 0, 0, 0, "1000"},
        {"title, case kept", "release", 1, 0, 0, 0, "0000"},
        {"author", "花子", 0, 0, 0, 0, "0100"},
        {"nothing holds it", "存在しない", 0, 0, 0, 0, "0000"},
        {"unread", "", 0, 1, 0, 0, "0100"},
        {"own articles", "", 0, 0, 1, 0, "0010"},
        {"colour label", "", 0, 0, 0, 1, "0001"},
        {"text or unread", "version", 0, 1, 0, 0, "1100"},
        {"no criterion at all", "", 0, 0, 0, 0, "0000"},
    };
    for (const Case& c : cases) {
        SearchSettings s;
        SearchSettings_Init(&s, nullptr, c.caseSensitive, 0, 0);
        Search_SetText(&s, c.text);
        s.unread = c.unread;
        s.own = c.own;
        s.colorLabel = c.colour;
        CArticleTest test(s, nullptr, nullptr);
        std::string got;
        for (int i = 0; i < subj.GetCount(); ++i)
            got += test.Matches(subj, i) ? '1' : '0';
        EXPECT_EQ(got, c.expect) << c.what;
    }
    std::string unread;
    for (int i = 0; i < subj.GetCount(); ++i)
        unread += Search_UnreadMatches(subj, i) ? '1' : '0';
    EXPECT_EQ(unread, "0110") << "unread or written by the user";
}

TEST(ArticleTest, RegularExpressionsGoThroughTheLibraryWithKmOnly)
{
    CSubj subj;
    Load(subj, Store());
    CFakeRegex lib;
    CPatternCache cache(&lib);
    SearchSettings s;
    SearchSettings_Init(&s, nullptr, 0, 1, 1);
    Search_SetText(&s, "Taro");
    char msg[REGEX_MSG_SIZE];
    void* h = cache.Get(Search_Pattern(s.text).c_str(), msg);
    ASSERT_TRUE(h);
    CArticleTest test(s, &lib, h);
    EXPECT_TRUE(test.Matches(subj, 0));
    EXPECT_FALSE(test.Matches(subj, 1));
    // Message, then title, then author; the case box adds no option.
    std::vector<std::string> want(6, "/Taro/km");
    want.insert(want.begin(), "/Taro/km");   // the compile into the cache
    EXPECT_EQ(lib.patterns, want);
    EXPECT_EQ(lib.compiles, 1) << "the cached handle is reused";
    // Without a compiled pattern nothing matches by text, and nothing breaks.
    CArticleTest none(s, &lib, nullptr);
    EXPECT_FALSE(none.Matches(subj, 0));
}

// ---- the cache --------------------------------------------------------------------------

TEST(PatternCache, EightSlotsThenTheLastSlotGivesWay)
{
    CFakeRegex lib;
    {
        CPatternCache cache(&lib);
        char msg[REGEX_MSG_SIZE];
        std::vector<void*> handles;
        for (int i = 1; i <= 8; ++i)
            handles.push_back(cache.Get(("/p" + std::to_string(i) + "/km").c_str(), msg));
        EXPECT_EQ(lib.compiles, 8);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(cache.Slot(i), handles[i]);
        // Asking again finds them: no compile.
        EXPECT_EQ(cache.Get("/p3/km", msg), handles[2]);
        EXPECT_EQ(lib.compiles, 8);
        // The ninth pattern replaces the eighth; the first seven stay.
        void* ninth = cache.Get("/p9/km", msg);
        ASSERT_TRUE(ninth);
        EXPECT_EQ(cache.Slot(7), ninth);
        EXPECT_EQ(lib.freed, std::vector<std::string>{"/p8/km"});
        EXPECT_EQ(cache.Get("/p1/km", msg), handles[0]);
        // The tenth replaces the ninth in turn.
        cache.Get("/p10/km", msg);
        EXPECT_EQ(lib.freed.back(), "/p9/km");
        EXPECT_EQ(lib.live, 8);
    }
    EXPECT_EQ(lib.live, 0) << "every compiled pattern is released at the end";
}

TEST(PatternCache, APatternThatDoesNotCompileGivesTheLibrarysMessage)
{
    CFakeRegex lib;
    CPatternCache cache(&lib);
    char msg[REGEX_MSG_SIZE] = "old";
    EXPECT_EQ(cache.Get("/a(b/km", msg), nullptr);
    EXPECT_STREQ(msg, "unmatched ( in /a(b/km");
    EXPECT_EQ(cache.Slot(0), nullptr) << "the slot stays free";
    EXPECT_TRUE(cache.Get("/ab/km", msg));
    EXPECT_STREQ(msg, "");
    EXPECT_EQ(cache.Slot(0), cache.Get("/ab/km", msg));
    CPatternCache noLibrary;
    EXPECT_EQ(noLibrary.Get("/ab/km", msg), nullptr);
}

// ---- rows ---------------------------------------------------------------------------------

TEST(RowScan, StartsBesideTheCurrentRowOrAtTheEdge)
{
    struct Case {
        const char* what;
        int count, current, direction;
        const char* matching;   // '1' rows match
        int expect;
    } cases[] = {
        {"down from no row includes row 0", 3, -1, 1, "100", 0},
        {"down from a row starts with the next", 3, 0, 1, "101", 2},
        {"up from no row starts at the last", 3, -1, -1, "101", 2},
        {"up from a row starts with the one above", 3, 2, -1, "101", 0},
        {"the current row itself is not found", 3, 1, 1, "010", -1},
        {"down off the end", 3, 2, 1, "111", -1},
        {"up off the start", 3, 0, -1, "111", -1},
        {"no rows", 0, -1, 1, "", -1},
        {"no rows upwards", 0, -1, -1, "", -1},
    };
    for (const Case& c : cases) {
        std::vector<int> tested;
        int got = Search_ScanRows(c.count, c.current, c.direction, [&](int r) {
            tested.push_back(r);
            return c.matching[r] == '1';
        });
        EXPECT_EQ(got, c.expect) << c.what;
        for (int r : tested)
            EXPECT_TRUE(r >= 0 && r < c.count) << c.what;
    }
}

// ---- the store walk ---------------------------------------------------------------------

// A tree made by hand: every folder expanded unless told otherwise.
class Tree {
public:
    Tree()
    {
        FolderNode root = {};
        root.item.kind = FIK_ROOT;
        root.parent = -1;
        root.expanded = true;
        t.nodes.push_back(root);
    }
    int Folder(int parent, const char* name, bool expanded = true)
    {
        return Add(parent, name, FIK_FOLDER, 0, 0, expanded);
    }
    int Store(int parent, const char* file, int unread = 0, int unsent = 0)
    {
        return Add(parent, file, FIK_STORE, unread, unsent, false);
    }
    CFolderTree t;

private:
    int Add(int parent, const char* file, int kind, int unread, int unsent, bool expanded)
    {
        FolderNode n = {};
        n.item.kind = kind;
        n.item.unread = unread;
        n.item.unsent = unsent;
        snprintf(n.item.file, sizeof n.item.file, "%s", file);
        snprintf(n.item.path, sizeof n.item.path, "/data/%s", file);
        n.parent = parent;
        n.expanded = expanded;
        t.nodes.push_back(n);
        int id = (int)t.nodes.size() - 1;
        t.nodes[parent].children.push_back(id);
        return id;
    }
};

TEST(StoreWalk, StopsWhereEachRuleSays)
{
    // root: A{ a1(0,0), a2(unread 2), 送信済み.zvt(unread 9) }, B{ b1(unsent 1) },
    //       C{ C1{ c1(0,0) } }, D(collapsed){ d1(unread 1) }
    Tree tr;
    int A = tr.Folder(0, "A"), a1 = tr.Store(A, "a1.zvt"), a2 = tr.Store(A, "a2.zvt", 2, 0);
    tr.Store(A, "送信済み.zvt", 9, 0);
    int B = tr.Folder(0, "B"), b1 = tr.Store(B, "b1.zvt", 0, 1);
    int C = tr.Folder(0, "C"), C1 = tr.Folder(C, "C1"), c1 = tr.Store(C1, "c1.zvt");
    int D = tr.Folder(0, "D", false), d1 = tr.Store(D, "d1.zvt", 1, 0);
    (void)C1;

    auto walk = [](int dir, int unreadSearch, const char* text, int only, int colour, int unread, int own) {
        SearchSettings s;
        SearchSettings_Init(&s, nullptr, 0, 0, 0);
        Search_SetText(&s, text);
        s.thisFolderOnly = only;
        s.colorLabel = colour;
        s.unread = unread;
        s.own = own;
        return Search_WalkOf(s, dir, unreadSearch ? SEARCH_UNREAD : SEARCH_NORMAL);
    };
    struct Case {
        const char* what;
        int from;
        StoreWalk w;
        int expect;
    } cases[] = {
        // Down, normal search.
        {"text: the next store", a1, walk(1, 0, "x", 0, 0, 0, 0), a2},
        {"text: the sent store is passed", a2, walk(1, 0, "x", 0, 0, 0, 0), b1},
        {"text, this folder only: the next folder ends it", a2, walk(1, 0, "x", 1, 0, 0, 0), -1},
        {"text, this folder only: a store in the folder", a1, walk(1, 0, "x", 1, 0, 0, 0), a2},
        {"colour label stops at every store", b1, walk(1, 0, "", 0, 1, 0, 0), c1},
        {"unread box: only stores with unread", a2, walk(1, 0, "", 0, 0, 1, 0), d1},
        {"own box: only stores with unsent", a1, walk(1, 0, "", 0, 0, 0, 1), b1},
        {"nothing asked: runs off", a1, walk(1, 0, "", 0, 0, 0, 0), -1},
        {"into a collapsed folder's first child", C1, walk(1, 0, "", 0, 0, 1, 0), d1},
        {"the last store: runs off", d1, walk(1, 0, "x", 0, 0, 0, 0), -1},
        // Up, normal search.
        {"up, text: the store above", a2, walk(-1, 0, "x", 0, 0, 0, 0), a1},
        {"up, text: across folders", b1, walk(-1, 0, "x", 0, 0, 0, 0), a2},
        {"up, this folder only: the folder ends it", b1, walk(-1, 0, "x", 1, 0, 0, 0), -1},
        {"up, colour label alone stops nowhere", c1, walk(-1, 0, "", 0, 1, 0, 0), -1},
        {"up, unread box", c1, walk(-1, 0, "", 0, 0, 1, 0), a2},
        {"up, own box", c1, walk(-1, 0, "", 0, 0, 0, 1), b1},
        {"up from a folder: the last visible store above", D, walk(-1, 0, "x", 0, 0, 0, 0), c1},
        // Unread search (this folder only does not apply).
        {"unread down: a store with unread", a1, walk(1, 1, "", 1, 0, 0, 0), a2},
        {"unread down: the first child's folder is selected", a2, walk(1, 1, "", 1, 0, 0, 0), B},
        {"unread down from the folder: its first store is passed", B, walk(1, 1, "", 0, 0, 0, 0), D},
        {"unread down: a store that is not a first child", c1, walk(1, 1, "", 0, 0, 0, 0), D},
        {"unread up: unsent alone does not stop", c1, walk(-1, 1, "", 0, 0, 0, 0), a2},
        {"unread up from the top store", a1, walk(-1, 1, "", 0, 0, 0, 0), -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FolderTree_WalkStores(tr.t, c.from, c.w), c.expect) << c.what;
}

// ---- the order of a search ----------------------------------------------------------------

// Stores as lists of matching rows; the walk visits them in order.
class CFakeHost : public CSearchHost {
public:
    void Searching(int delta) override
    {
        counter += delta;
        log += delta > 0 ? "+" : "-";
    }
    int ScanRows(int direction, int kind, int fromEdge) override
    {
        const std::string& rows = stores[open];
        int row = Search_ScanRows((int)rows.size(), fromEdge ? -1 : current, direction,
                                  [&](int r) { return rows[r] == '1'; });
        log += fromEdge ? "E" : "S";
        EXPECT_GT(counter, 0) << "stores open at once while the search runs";
        if (row < 0)
            return 0;
        current = row;
        return 1;
    }
    int SelectNextStore(int, int) override
    {
        if (open + 1 >= (int)stores.size())
            return 0;
        ++open;
        current = -1;
        log += "W";
        return 1;
    }
    void FocusTitle() override { log += "F"; }
    void NotFound() override
    {
        log += "!";
        EXPECT_EQ(counter, 0);
    }
    int PageText() override
    {
        log += "P";
        return pages-- > 0;
    }
    void MarkCurrentRead() override { log += "R"; }

    std::vector<std::string> stores;
    int open = 0, current = -1, counter = 0, pages = 0;
    std::string log;
};

TEST(SearchOrder, OpenStoreThenStoreByStore)
{
    struct Case {
        const char* what;
        std::vector<std::string> stores;
        int current;
        int found, open, row;
        const char* log;
    } cases[] = {
        {"found in the open store: the focus stays", {"0010"}, 0, 1, 0, 2, "+S-"},
        {"found two stores on: title view focused", {"00", "", "01"}, -1, 1, 2, 1, "+SWEWEF-"},
        {"a store that could not be loaded is passed", {"0", "", "1"}, 0, 1, 2, 0, "+SWEWEF-"},
        {"nowhere: the message after the counter", {"0", "00"}, -1, 0, 1, -1, "+SWE-!"},
    };
    for (const Case& c : cases) {
        CFakeHost h;
        h.stores = c.stores;
        h.current = c.current;
        EXPECT_EQ(Search_Run(h, 1, SEARCH_NORMAL), c.found) << c.what;
        EXPECT_EQ(h.open, c.open) << c.what;
        if (c.found) {
            EXPECT_EQ(h.current, c.row) << c.what;
        }
        EXPECT_EQ(h.log, c.log) << c.what;
        EXPECT_EQ(h.counter, 0) << c.what;
    }
}

TEST(SearchOrder, ReadOnPagesFirstThenMarksReadAndSearches)
{
    struct Case {
        const char* what;
        int pages;
        const char* log;
    } cases[] = {
        {"text left to page", 1, "+FP-"},
        {"at its end", 0, "+FPR+S--"},
    };
    for (const Case& c : cases) {
        CFakeHost h;
        h.stores = {"011"};
        h.current = 1;
        h.pages = c.pages;
        EXPECT_EQ(Search_ReadOn(h, SEARCH_UNREAD), 1) << c.what;
        EXPECT_EQ(h.log, c.log) << c.what;
        EXPECT_EQ(h.current, c.pages ? 1 : 2) << c.what;
    }
}

}  // namespace
