// The folder tree's decisions on real folders: scan order and sibling sort,
// labels and images from counts, folder sums without the sent store,
// "TreeState.ini" read and written, AutoCollapse, texts, the search's store
// walk, and bad input (garbage state file, long names, 10,000 entries).
#include "folderview/fv_testutil.h"

#include "ui/folderview/FolderScan.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct StoreCounts {
    int unread, unsent;
    const char* title;
};

class CFakeCounts : public CStoreCounts {
public:
    std::map<std::string, StoreCounts> byName;   // by file name
    int lookups = 0;
    void Counts(const char* path, uint64_t, int* unread, int* unsent, char* title, size_t size) override
    {
        ++lookups;
        auto it = byName.find(Path_FileName(path));
        if (it == byName.end())
            return;
        *unread = it->second.unread;
        *unsent = it->second.unsent;
        Str_Copy(title, size, it->second.title);
    }
};

class FolderScan : public ::testing::Test {
protected:
    fvtest::TempDir dir;
    CFakeCounts counts;
    CTreeState state;
    CFolderTree tree;
    std::string data() const { return dir.Path() + "/"; }
    void Build(int showLog = 0, const char* select = "")
    {
        FolderScanOptions o;
        std::string d = data();
        o.dataDir = d.c_str();
        o.showLogfile = showLog;
        o.selectPath = select;
        tree.Build(o, state, &counts);
    }
    int Child(int parent, const std::string& text) const
    {
        for (int c : tree[parent].children)
            if (text == tree[c].text)
                return c;
        return -1;
    }
    std::vector<std::string> Texts(int parent) const
    {
        std::vector<std::string> out;
        for (int c : tree[parent].children)
            out.push_back(tree[c].text);
        return out;
    }
};

TEST_F(FolderScan, ListsFoldersStoresAndLogsInTheirOrder)
{
    dir.Put("board/zeva_BBS.ini", "[BASIC]\r\nBBSFOLDER=1\r\n");
    for (const char* f : {"board/zz.zvt", "board/送信済み.zvt", "board/aa.ZVT", "board/log.html", "board/p.htm",
                          "board/x.ini", "board/作業ファイル001.txt", "board/notes.txt", "board/noext"})
        dir.Put(f, "");
    dir.MakeFolder("board/sub");
    dir.MakeFolder("board/Alpha");
    dir.MakeFolder("Second");
    struct Case {
        int showLog;
        std::vector<std::string> texts;
    } cases[] = {
        {0, {"Alpha", "sub", "aa", "zz", "送信済み"}},
        {1, {"Alpha", "sub", "aa", "zz", "log", "p", "送信済み"}},
    };
    for (const Case& c : cases) {
        Build(c.showLog);
        EXPECT_EQ(tree[0].item.kind, FIK_ROOT);
        EXPECT_STREQ(tree[0].item.file, "user data");
        EXPECT_EQ(tree[0].text, data());
        EXPECT_EQ(tree[0].image, FV_IMG_ROOT);
        EXPECT_TRUE(tree[0].expanded);
        EXPECT_EQ(Texts(0), (std::vector<std::string>{"board", "Second"}));
        int board = Child(0, "board");
        EXPECT_EQ(Texts(board), c.texts) << c.showLog;
        EXPECT_EQ(tree[board].item.flags, BBS_PATROL);
        EXPECT_EQ(tree[board].image, FV_IMG_BBS);
        EXPECT_EQ(std::string(tree[board].item.path), data() + "board/");
        EXPECT_EQ(tree[Child(board, "送信済み")].image, FV_IMG_SENT);
        if (c.showLog) {
            EXPECT_EQ(tree[Child(board, "log")].image, FV_IMG_LOG);
            EXPECT_EQ(tree[Child(board, "log")].item.kind, FIK_LOG);
        }
    }
}

TEST_F(FolderScan, LabelsImagesAndFolderSumsFromCounts)
{
    dir.Put("g/b1/zeva_BBS.ini", "[BASIC]\r\nBBSFOLDER=3\r\n");
    dir.Put("g/zeva_BBS.ini", "[BASIC]\r\nBBSFOLDER=2\r\n");
    dir.Put("g/plain/zeva_BBS.ini", "[BASIC]\r\nURL=x\r\n");
    struct Case {
        const char* file;
        StoreCounts c;
        const char* text;
        int image;
    } cases[] = {
        {"g/b1/both.zvt", {3, 1, "雑談"}, "雑談(3)", 12},
        {"g/b1/unread.zvt", {2, 0, ""}, "unread(2)", 10},
        {"g/b1/unsent.zvt", {0, 4, ""}, "unsent", 11},
        {"g/b1/none.zvt", {0, 0, "題名"}, "題名", 9},
        {"g/b1/送信済み.zvt", {7, 7, ""}, "送信済み(7)", FV_IMG_SENT},
        {"g/plain/x.zvt", {0, 0, ""}, "x", 9},
    };
    for (const Case& c : cases) {
        dir.Put(c.file, "");
        counts.byName[Path_FileName(c.file)] = c.c;
    }
    Build();
    int g = Child(0, "g"), b1 = Child(g, "b1"), plain = Child(g, "plain");
    for (const Case& c : cases) {
        int parent = std::string(c.file).find("plain") != std::string::npos ? plain : b1;
        int n = Child(parent, c.text);
        ASSERT_GE(n, 0) << c.text;
        EXPECT_EQ(tree[n].image, c.image) << c.text;
    }
    // The sent store adds nothing to its folders.
    EXPECT_EQ(tree[b1].item.unread, 5);
    EXPECT_EQ(tree[b1].item.unsent, 5);
    EXPECT_EQ(tree[b1].image, FV_IMG_BBS + 3);
    EXPECT_EQ(tree[b1].state, FV_STATE_TICKED);
    EXPECT_EQ(tree[g].item.unread, 5);
    EXPECT_EQ(tree[g].image, FV_IMG_FOLDER + 3);
    EXPECT_EQ(tree[g].state, FV_STATE_TICKED);
    EXPECT_EQ(tree[plain].item.flags, 0);
    EXPECT_EQ(tree[plain].image, FV_IMG_FOLDER);
    EXPECT_EQ(tree[plain].state, FV_STATE_UNTICKED);

    // New counts of one store: its label, and the folder icons once redone.
    int store = Child(b1, "unread(2)");
    EXPECT_EQ(tree.UpdateStore(store, 0, 0), 1);
    EXPECT_STREQ(tree[store].text, "unread");
    EXPECT_EQ(tree.UpdateStore(store, 0, 0), 0);
    EXPECT_EQ(tree.UpdateStore(Child(b1, "送信済み(7)"), 0, 0), 0);
    tree.SetFolderIcon(-1);
    EXPECT_EQ(tree[g].item.unread, 3);
    // A tick redone from the parent leaves the sums of the rest alone.
    EXPECT_EQ(tree.ToggleTick(b1), BBS_PATROL);
    tree.SetFolderIcon(g);
    EXPECT_EQ(tree[b1].state, FV_STATE_UNTICKED);
    EXPECT_EQ(tree[g].item.unread, 3);
    EXPECT_EQ(tree[b1].item.unread, 3);
}

TEST_F(FolderScan, TreeStateExpandsListedFoldersAndWritesOnlyVisibleOnes)
{
    dir.MakeFolder("A/inner/deep");
    dir.MakeFolder("B/kid");
    dir.MakeFolder("C/kid");
    std::string text = data() + "a/\r\n" + data() + "A/inner/\n" + data() + "B/kid/\r\n" + std::string(100000, 'x') +
                       "\r\n\0\xff\x81\r\n" + data() + "C/";   // the last line without CR LF
    state.Parse(text.data(), text.size());
    Build();
    int a = Child(0, "A"), b = Child(0, "B"), c = Child(0, "C");
    EXPECT_TRUE(tree[a].expanded);
    EXPECT_TRUE(tree[Child(a, "inner")].expanded);
    EXPECT_FALSE(tree[b].expanded);
    EXPECT_TRUE(tree[Child(b, "kid")].expanded);
    EXPECT_TRUE(tree[c].expanded);
    // B/kid is expanded inside a collapsed folder: not remembered; C has a
    // child so it is.
    EXPECT_EQ(tree.TreeStateText(),
              data() + "\r\n" + data() + "A/\r\n" + data() + "A/inner/\r\n" + data() + "C/\r\n");
    tree[0].expanded = false;
    EXPECT_EQ(tree.TreeStateText(), "");
}

TEST_F(FolderScan, SelectsTheAskedPathAndSurvivesLongNamesAndManyEntries)
{
    dir.MakeFolder("big");
    for (int i = 0; i < 10000; ++i)
        dir.Put("big/s" + std::to_string(i) + ".zvt", "");
    std::string longName(255 - 4, 'n');
    dir.Put("big/" + longName + ".zvt", "");   // its path is over 259 bytes: left out
    Build(0, (data() + "BIG/s77.zvt").c_str());
    int big = Child(0, "big");
    EXPECT_EQ(tree[big].children.size(), 10000u);
    ASSERT_GE(tree.selected, 0);
    EXPECT_STREQ(tree[tree.selected].text, "s77");
    EXPECT_EQ(counts.lookups, 10000);
    EXPECT_EQ(tree.Find((data() + "big/S9999.zvt").c_str()), Child(big, "s9999"));
}

TEST(FolderItemText, TitleStatusAndFolderOfItems)
{
    struct Case {
        int kind;
        const char* path;
        const char* file;
        const char* name;
        const char* title;
        const char* folder;
    } cases[] = {
        {FIK_STORE, "/d/ソフト/雑談.zvt", "雑談.zvt", "雑談室", "ソフト/雑談室", "/d/ソフト/"},
        {FIK_FOLDER, "/d/表/", "表", "", "表", "/d/表/"},
        {FIK_LOG, "/d/b/log.html", "log.html", "", "/d/b/log.html", "/d/b/"},
        {FIK_ROOT, "/d/", "user data", "", "/d/", "/d/"},
    };
    for (const Case& c : cases) {
        FolderItem it = {};
        it.kind = c.kind;
        Str_Copy(it.path, sizeof it.path, c.path);
        Str_Copy(it.file, sizeof it.file, c.file);
        Str_Copy(it.name, sizeof it.name, c.name);
        char out[300];
        FolderItem_TitleText(it, out, sizeof out);
        EXPECT_STREQ(out, c.title);
        FolderItem_Folder(it, out, sizeof out);
        EXPECT_STREQ(out, c.folder);
    }
    FolderItem f = {};
    f.kind = FIK_FOLDER;
    Str_Copy(f.path, sizeof f.path, "/d/A/");
    EXPECT_TRUE(FolderDrop_IntoItself(f, "/d/a/"));
    EXPECT_TRUE(FolderDrop_IntoItself(f, "/d/A/b/"));
    EXPECT_FALSE(FolderDrop_IntoItself(f, "/d/"));
    EXPECT_FALSE(FolderDrop_IntoItself(f, "/d/AB/"));
    f.kind = FIK_STORE;
    EXPECT_FALSE(FolderDrop_IntoItself(f, "/d/A/"));
    for (const char* bad : {"", ".", "..", "..\\x", "a/b", "c:", "a\\", "x?"})
        EXPECT_FALSE(FolderName_IsValid(bad)) << bad;
    for (const char* good : {"新しいフォルダ", "ソフト", "a..b", ".hidden"})   // "ソ" ends in 0x5C
        EXPECT_TRUE(FolderName_IsValid(good)) << good;
}

TEST(AutoCollapse, CollapsesWhatKeyboardMovesLeaveBehind)
{
    // Items: 1 and 2 siblings under 10; 3 under 20; 10 and 20 under 0.
    struct Case {
        intptr_t last, lastParent, item, parent;
        intptr_t c0, c1;
    } cases[] = {
        {1, 10, 2, 10, 1, 0},     // a sibling: the one left collapses
        {2, 10, 3, 20, 0, 10},    // into another folder: the old parent collapses
        {2, 10, 10, 0, 0, 0},     // up to its own parent: nothing
        {10, 0, 1, 10, 0, 0},     // down into the folder: nothing
        {3, 20, 3, 20, 0, 0},     // the same item
        {0, 0, 10, 0, 0, 0},      // the first move
    };
    for (const Case& c : cases) {
        AutoCollapseState s;
        s.last = c.last;
        s.lastParent = c.lastParent;
        intptr_t col[2];
        AutoCollapse_Step(&s, c.item, c.parent, col);
        EXPECT_EQ(col[0], c.c0) << c.item;
        EXPECT_EQ(col[1], c.c1) << c.item;
        EXPECT_EQ(s.last, c.item);
        EXPECT_EQ(s.lastParent, c.parent);
    }
}

TEST_F(FolderScan, StoreWalkOfTheSearch)
{
    // root: F1{ a.zvt(unread 1), b.zvt(unsent 1), 送信済み.zvt(unread 5) }, F2{ c.zvt(0) }, F3{ d.zvt(unread 2) }
    dir.Put("F1/a.zvt", "");
    dir.Put("F1/b.zvt", "");
    dir.Put("F1/送信済み.zvt", "");
    dir.Put("F2/c.zvt", "");
    dir.Put("F3/d.zvt", "");
    counts.byName = {{"a.zvt", {1, 0, ""}}, {"b.zvt", {0, 1, ""}}, {"送信済み.zvt", {5, 0, ""}},
                     {"c.zvt", {0, 0, ""}}, {"d.zvt", {2, 0, ""}}};
    Build();
    for (int c : tree[0].children)
        tree[c].expanded = true;
    int f1 = Child(0, "F1"), f2 = Child(0, "F2"), f3 = Child(0, "F3");
    int a = Child(f1, "a(1)"), b = Child(f1, "b"), c = Child(f2, "c"), d = Child(f3, "d(2)");
    StoreWalk unreadDown, unreadUp, textDown, onlyHere, colourUp;
    unreadDown.unreadSearch = unreadUp.unreadSearch = 1;
    unreadUp.direction = colourUp.direction = -1;
    textDown.textGiven = 1;
    onlyHere.textGiven = onlyHere.thisFolderOnly = 1;
    colourUp.colorLabel = 1;
    struct Case {
        const char* what;
        int from;
        StoreWalk w;
        int expect;
    } cases[] = {
        {"unread down from a store passes the sent store and F2", a, unreadDown, b},
        {"unread down from b to F3's first child selects F3", b, unreadDown, f3},
        {"unread down from the folder itself passes its first store", f1, unreadDown, b},
        {"unread down from d runs off", d, unreadDown, -1},
        {"unread up stops only at unread stores", d, unreadUp, a},
        {"text down stops at the next store", b, textDown, c},
        {"this folder only ends at the next folder", b, onlyHere, -1},
        {"colour label alone never stops upwards", d, colourUp, -1},
    };
    for (const Case& cs : cases)
        EXPECT_EQ(FolderTree_WalkStores(tree, cs.from, cs.w), cs.expect) << cs.what;
}

}  // namespace
