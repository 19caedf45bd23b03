// A step of reading with the space key: stay while the text pages, then
// the next (or previous) row.
#include "ui/titleview/TitleRead.h"

#include <gtest/gtest.h>

namespace {

TEST(TitleRead, PagesThenMovesToTheNeighbourRow)
{
    struct Case {
        int down, scrolled, curRow, count;
        int markRead, row;
    } cases[] = {
        {1, 1, 1, 3, 0, -1},   // the text paged down: stay
        {1, 0, 1, 3, 1, 2},    // at its end: read, next row
        {1, 0, 2, 3, 1, -1},   // the last row: read, stay
        {1, 0, -1, 3, 0, 0},   // no current row: the first
        {0, 1, 1, 3, 0, -1},   // the text paged up: stay
        {0, 0, 1, 3, 0, 0},    // at its top: previous row, unread kept
        {0, 0, 0, 3, 0, -1},   // the first row: stay
        {0, 0, -1, 3, 0, 2},   // no current row: the last
        {1, 0, -1, 0, 0, -1},  // no rows
        {0, 0, 5, 3, 0, 2},    // a row outside the map counts as none
    };
    for (const Case& c : cases) {
        TitleReadStep s = Title_ReadStep(c.down, c.scrolled, c.curRow, c.count);
        EXPECT_EQ(s.markRead, c.markRead) << c.down << c.scrolled << c.curRow;
        EXPECT_EQ(s.row, c.row) << c.down << c.scrolled << c.curRow;
    }
}

}  // namespace
