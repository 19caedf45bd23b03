// Which boards a patrol visits: the walk of the data folder with the
// BBSFOLDER marks of each kind, the temporary mark used up when a board is
// started, plain folders marked for a temporary patrol, the send-only kind;
// and the small option and placement rules.
#include "patrol_testutil.h"

#include "store/Profile.h"

#include <algorithm>
#include <set>

using namespace patroltest;

namespace {

class Recorder : public CPatrolWalkSink {
public:
    void StartBoard(const char* folder, const char* settings) override
    {
        char name[260];
        Patrol_BoardName(name, sizeof name, folder);
        started.insert(name);
        settingsPaths.push_back(settings);
    }
    std::set<std::string> started;
    std::vector<std::string> settingsPaths;
};

std::set<std::string> Walk(Tree& t, int kind)
{
    Recorder r;
    int n = Patrol_Walk(t.Root().c_str(), kind, 0, &r);
    EXPECT_EQ(n, (int)r.started.size());
    return r.started;
}

class WalkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        t.Board("normal", 1);
        t.Board("temp", 2);
        t.Board("both", 3);
        t.Board("unmarked", 0);
        t.Board("nokey", -1);
        t.MakeFolder("plain");
        t.Board("plain/deep", 1);
        t.Board("plain/deeper/deepest", 2);
    }
    Tree t;
};

TEST_F(WalkTest, NormalPatrolVisitsEveryMarkedBoardAndUsesUpTemporaryMarks)
{
    EXPECT_EQ(Walk(t, PATROL_ALL), (std::set<std::string>{"normal", "temp", "both", "deep", "deepest"}));
    EXPECT_EQ(t.Marks("normal"), 1);
    EXPECT_EQ(t.Marks("temp"), 0);
    EXPECT_EQ(t.Marks("both"), 1);
    EXPECT_EQ(t.Marks("plain/deeper/deepest"), 0);
    EXPECT_EQ(t.Marks("unmarked"), 0);
    // The next normal patrol passes over a board whose only mark was temporary.
    EXPECT_EQ(Walk(t, PATROL_ALL), (std::set<std::string>{"normal", "both", "deep"}));
}

TEST_F(WalkTest, TemporaryOnlyPatrolVisitsBoardsWithBit1)
{
    EXPECT_EQ(Walk(t, PATROL_TEMPORARY), (std::set<std::string>{"temp", "both", "deepest"}));
    EXPECT_EQ(t.Marks("normal"), 1);   // not started: untouched
    EXPECT_EQ(t.Marks("both"), 1);
    EXPECT_TRUE(Walk(t, PATROL_TEMPORARY).empty());
}

TEST_F(WalkTest, SettingsPathIsTheBoardFoldersIni)
{
    Recorder r;
    Patrol_Walk(t.Root().c_str(), PATROL_ALL, 0, &r);
    EXPECT_NE(std::find(r.settingsPaths.begin(), r.settingsPaths.end(), t.Folder("normal") + "zeva_BBS.ini"),
              r.settingsPaths.end());
}

TEST(WalkPlainFolder, TemporaryMarkOnAPlainFolderMakesItsSubtreeTargets)
{
    Tree t;
    t.Board("group", 2, "");                      // plain folder (no URL), temporary mark
    t.Board("group/a", 0);                         // unmarked board with a URL
    t.Board("group/b", -1);                        // no mark at all, URL
    t.Board("group/nourl", 0, "");                 // neither mark nor URL
    t.Board("group/sub/c", 0);
    t.Board("outside", 0);
    EXPECT_EQ(Walk(t, PATROL_ALL), (std::set<std::string>{"group", "a", "b", "c"}));
    EXPECT_EQ(t.Marks("group"), 0);   // the folder's own mark is used up too
    // Once used up, nothing below it is forced any more.
    EXPECT_TRUE(Walk(t, PATROL_ALL).empty());
}

TEST(WalkPlainFolder, ForcedSubtreeAlsoInATemporaryOnlyPatrol)
{
    Tree t;
    t.Board("group", 2, "");
    t.Board("group/a", 1);
    t.Board("group/b", 0);
    EXPECT_EQ(Walk(t, PATROL_TEMPORARY), (std::set<std::string>{"group", "a", "b"}));
}

TEST(WalkPlainFolder, PlainFolderWithBothBitsForcesNothing)
{
    Tree t;
    t.Board("group", 3, "");
    t.Board("group/a", 0);
    EXPECT_EQ(Walk(t, PATROL_ALL), (std::set<std::string>{"group"}));
    EXPECT_EQ(t.Marks("group"), 1);
}

TEST(WalkSend, SendOnlyPatrolNeedsAStoreWithArticlesToSend)
{
    Tree t;
    const std::string due = Zvt(Article(1, "U", "due") + Article(2, "", "read"));
    const std::string none = Zvt(Article(1, "", "plain"));
    t.Board("due", 1);
    t.Put("due/main.zvt", due);
    t.Board("nothing", 1);
    t.Put("nothing/main.zvt", none);
    t.Board("sentonly", 1);
    t.Put("sentonly/送信済み.zvt", due);
    t.Board("unmarked", 0);
    t.Put("unmarked/main.zvt", due);
    t.Board("upper", 2);
    t.Put("upper/cat.ZVT", due);
    t.Board("noini", -1);
    t.Put("noini/main.zvt", due);
    EXPECT_EQ(Walk(t, PATROL_SEND), (std::set<std::string>{"due", "upper"}));
    EXPECT_EQ(t.Marks("upper"), 0);
}

TEST(WalkSend, ABoardWithSeveralDueStoresIsStartedOnce)
{
    Tree t;
    const std::string due = Zvt(Article(1, "U", "due"));
    t.Board("b", 1);
    t.Put("b/one.zvt", due);
    t.Put("b/two.zvt", due);
    Recorder r;
    EXPECT_EQ(Patrol_Walk(t.Root().c_str(), PATROL_SEND, 0, &r), 1);
    EXPECT_EQ(r.settingsPaths.size(), 1u);
}

TEST(PatrolOptions, ThreadCountHeldWithinOneToFive)
{
    EXPECT_EQ(Patrol_ClampThreadCount(0), 1);
    EXPECT_EQ(Patrol_ClampThreadCount(-7), 1);
    EXPECT_EQ(Patrol_ClampThreadCount(3), 3);
    EXPECT_EQ(Patrol_ClampThreadCount(8), 5);
}

TEST(PatrolOptions, ReadFromSectionOption)
{
    CProfile ini;
    const char text[] = "[OPTION]\r\nThreadCount=8\r\nAutoConnect=0\r\nProxyIE=0\r\nProxyAdr=proxy.example\r\n"
                        "ProxyPort=8080\r\nSound002=C:\\new.wav\r\nGAMultiWindow=1\r\nCloseRunWindow=1\r\n";
    ini.Parse(text, sizeof text - 1);
    PatrolOptions o;
    Patrol_DefaultOptions(&o);
    EXPECT_EQ(o.threadCount, 2);
    EXPECT_EQ(o.autoConnect, 1);
    EXPECT_EQ(o.proxyIE, 1);
    Patrol_ReadOptions(ini, &o);
    EXPECT_EQ(o.threadCount, 5);
    EXPECT_EQ(o.autoConnect, 0);
    EXPECT_EQ(o.proxyIE, 0);
    EXPECT_STREQ(o.proxyAdr, "proxy.example");
    EXPECT_EQ(o.proxyPort, 8080);
    EXPECT_STREQ(o.sound[0], "");
    EXPECT_STREQ(o.sound[2], "C:\\new.wav");
    EXPECT_EQ(o.multiWindow, 1);
    EXPECT_EQ(o.closeRunWindow, 1);
    EXPECT_EQ(o.autoDisconnect, 0);

    char proxy[64];
    Patrol_ProxyText(proxy, sizeof proxy, o.proxyAdr, o.proxyPort);
    EXPECT_STREQ(proxy, "proxy.example:8080");
    Patrol_ProxyText(proxy, sizeof proxy, "", 8080);
    EXPECT_STREQ(proxy, "");
}

TEST(PatrolPlacementRules, DefaultIsTheBottomRightCornerAtOwnSize)
{
    CProfile ini;
    PatrolPlacement p;
    int col = 0;
    Patrol_ReadPlacement(ini, 300, 200, 1280, 1024, &p, &col);
    EXPECT_EQ(p.left, 980);
    EXPECT_EQ(p.top, 824);
    EXPECT_EQ(p.width, 300);
    EXPECT_EQ(p.height, 200);
    EXPECT_EQ(col, 150);
}

TEST(PatrolPlacementRules, SavedPlacementIsKeptOnTheScreen)
{
    CProfile ini;
    const char text[] = "[GOAROUND]\r\nLEFT=1200\r\nTOP=-40\r\nWIDTH=400\r\nHEIGHT=300\r\nCOLUMN0=90\r\n";
    ini.Parse(text, sizeof text - 1);
    PatrolPlacement p;
    int col = 0;
    Patrol_ReadPlacement(ini, 300, 200, 1280, 1024, &p, &col);
    EXPECT_EQ(p.left, 880);   // 1280 - 400
    EXPECT_EQ(p.top, 0);
    EXPECT_EQ(p.width, 400);
    EXPECT_EQ(col, 90);
    // Wider than the screen: pushed left past 0, then held at 0.
    PatrolPlacement wide{100, 100, 2000, 100};
    Patrol_KeepOnScreen(&wide, 1280, 1024);
    EXPECT_EQ(wide.left, 0);
    EXPECT_EQ(wide.top, 100);
}

TEST(PatrolNames, BoardNameIsTheFoldersLastComponent)
{
    char name[260];
    std::string folder = std::string("data") + kSep + "掲示板" + kSep;
    Patrol_BoardName(name, sizeof name, folder.c_str());
    EXPECT_STREQ(name, "掲示板");
    // A name whose last byte is 0x5C as a second byte ("表") is not cut there.
    folder = std::string("data") + kSep + "表" + kSep;
    Patrol_BoardName(name, sizeof name, folder.c_str());
    EXPECT_STREQ(name, "表");
}

}  // namespace
