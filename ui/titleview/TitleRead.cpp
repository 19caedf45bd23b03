#include "ui/titleview/TitleRead.h"

TitleReadStep Title_ReadStep(int down, int scrolled, int curRow, int count)
{
    TitleReadStep step = {0, -1};
    if (scrolled || count <= 0)
        return step;
    if (curRow < 0 || curRow >= count) {
        step.row = down ? 0 : count - 1;
        return step;
    }
    step.markRead = down ? 1 : 0;
    int next = curRow + (down ? 1 : -1);
    if (next >= 0 && next < count)
        step.row = next;
    return step;
}
