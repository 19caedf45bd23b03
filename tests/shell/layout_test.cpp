#include "ui/shell/Layout.h"

#include <gtest/gtest.h>

namespace {

LayoutInput Input(int w, int h, int mode = PANE_NORMAL, int hidden = 0)
{
    // Toolbar 26, status bar 20, splitter 3, header 34.
    return LayoutInput{w, h, 26, 20, 3, 34, mode, hidden};
}

TEST(Layout, PanesOfANormalWindow)
{
    int folderW = 200, titleH = 200;
    LayoutResult r;
    Layout_Compute(Input(800, 600), &folderW, &titleH, &r);
    EXPECT_EQ(r.content, 554);
    EXPECT_EQ(r.folder.x, 0);
    EXPECT_EQ(r.folder.y, 26);
    EXPECT_EQ(r.folder.w, 200);
    EXPECT_EQ(r.folder.h, 554);
    EXPECT_EQ(r.title.x, 203);
    EXPECT_EQ(r.title.w, 597);
    EXPECT_EQ(r.title.h, 200);
    EXPECT_EQ(r.header.y, 26 + 200 + 3);
    EXPECT_EQ(r.text.y, 26 + 200 + 3 + 34);
    EXPECT_EQ(r.text.h, 554 - 200 - 3 - 34);
    EXPECT_TRUE(r.headerShown);
}

TEST(Layout, ClampsAndPaneModes)
{
    struct Case {
        int w, h, mode, folderW, titleH;
        int wantFolderW, wantTitleH, wantE, wantTextH, headerShown;
    } cases[] = {
        // Folder view wider than the window allows: W - (2S + 3).
        {800, 600, PANE_NORMAL, 900, 200, 791, 200, 200, 317, 1},
        // A window too narrow for both bounds still gives S + 3.
        {10, 600, PANE_NORMAL, 200, 200, 6, 200, 200, 317, 1},
        // Title view taller than the content allows: C - (2S + 3); too small: S + 3.
        {800, 600, PANE_NORMAL, 200, 900, 200, 545, 545, -28, 1},
        {800, 40, PANE_NORMAL, 200, 200, 200, 6, 6, -49, 1},
        {800, 600, PANE_NORMAL, 200, -50, 200, 6, 6, 511, 1},
        // Text view maximised: title height -2, header and text take the rest.
        {800, 600, PANE_TEXT_MAX, 200, 200, 200, 200, -2, 554 + 2 - 3 - 34, 1},
        // Title view maximised: the whole content, header hidden, text empty.
        {800, 600, PANE_TITLE_MAX, 200, 200, 200, 200, 554, -37, 0},
    };
    for (const Case& c : cases) {
        int folderW = c.folderW, titleH = c.titleH;
        LayoutResult r;
        Layout_Compute(Input(c.w, c.h, c.mode), &folderW, &titleH, &r);
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " mode " << c.mode);
        EXPECT_EQ(folderW, c.wantFolderW);
        EXPECT_EQ(titleH, c.wantTitleH);   // kept: pane modes do not change the setting
        EXPECT_EQ(r.titleH, c.wantE);
        EXPECT_EQ(r.text.h, c.wantTextH);
        EXPECT_EQ(r.headerShown, c.headerShown);
    }
}

TEST(Layout, HiddenFolderViewGivesTheRightPanesTheWholeWidth)
{
    int folderW = 200, titleH = 200;
    LayoutResult r;
    Layout_Compute(Input(800, 600, PANE_NORMAL, 1), &folderW, &titleH, &r);
    EXPECT_EQ(r.folder.w, 0);
    EXPECT_EQ(r.title.x, 0);
    EXPECT_EQ(r.title.w, 800);
    EXPECT_EQ(folderW, 200);   // kept for when it comes back
}

TEST(Layout, SplitterZones)
{
    LayoutInput in = Input(800, 600);
    // Vertical splitter from FolderW to FolderW + S + 2 between toolbar and
    // status bar; horizontal from T + E - 2 to T + E + S + 2 right of it.
    struct Case {
        int x, y, zone;
    } cases[] = {
        {199, 300, 0},
        {200, 300, ZONE_VERTICAL},
        {205, 300, ZONE_VERTICAL},
        {206, 300, 0},
        {200, 25, 0},
        {200, 580, ZONE_VERTICAL},
        {200, 581, 0},
        {400, 223, 0},
        {400, 224, ZONE_HORIZONTAL},
        {400, 231, ZONE_HORIZONTAL},
        {400, 232, 0},
        {202, 228, ZONE_VERTICAL | ZONE_HORIZONTAL},
        {199, 228, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Layout_HitZone(c.x, c.y, 200, in, 200), c.zone) << c.x << "," << c.y;
    // With the folder view hidden the splitters start at x = 0.
    EXPECT_EQ(Layout_HitZone(3, 300, 0, in, 200), ZONE_VERTICAL);
}

TEST(Layout, StatusPartsAndFocusRing)
{
    int parts[3];
    Layout_StatusParts(1000, parts);
    EXPECT_EQ(parts[0], 650);
    EXPECT_EQ(parts[1], 720);
    EXPECT_EQ(parts[2], -1);
    EXPECT_EQ(Layout_RingStep(-1, 1), 1);   // no focus: from the folder view
    EXPECT_EQ(Layout_RingStep(2, 1), 0);
    EXPECT_EQ(Layout_RingStep(0, -1), 2);
}

TEST(Layout, PlacementComesBackOnTheScreen)
{
    struct Case {
        int l, t, r, b;
        int wl, wt, wr, wb;
    } cases[] = {
        {100, 50, 900, 650, 100, 50, 900, 650},          // on screen: kept
        {-900, -700, -100, -50, 0, 0, 800, 650},         // wholly left and above: back at 0,0 with its size
        {2000, 1500, 2600, 1900, 0, 0, 2600, 1900},      // wholly beyond right and bottom: left/top 0
        {-900, 100, -100, 700, -900, 100, -100, 700},    // only left: as saved
        {2000, 100, 2600, 700, 2000, 100, 2600, 700},    // only right: as saved
    };
    for (const Case& c : cases) {
        int l = c.l, t = c.t, r = c.r, b = c.b;
        Layout_RestorePlacement(&l, &t, &r, &b, 1280, 1024);
        EXPECT_EQ(l, c.wl);
        EXPECT_EQ(t, c.wt);
        EXPECT_EQ(r, c.wr);
        EXPECT_EQ(b, c.wb);
    }
}

TEST(Layout, AnimationEndsOnTheTarget)
{
    int steps[7];
    Layout_AnimationSteps(200, 554, 7, steps);
    EXPECT_EQ(steps[6], 554);
    for (int i = 1; i < 7; ++i)
        EXPECT_GT(steps[i], steps[i - 1]);
}

}  // namespace
