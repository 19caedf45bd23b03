// Reading with the space key in the title view: what a step of "read on"
// (down) or "read back" (up) does once the text view was asked to page.
#pragma once

struct TitleReadStep {
    int markRead;   // mark the current article read
    int row;        // the row to make current; -1 = stay
};

// scrolled: the text view moved. curRow: the current row (-1 = none);
// count: the rows. Paging down past the end marks the article read and
// goes to the next row; paging up past the top goes to the previous row.
// There is no row beyond the first or the last: the step stays.
TitleReadStep Title_ReadStep(int down, int scrolled, int curRow, int count);
