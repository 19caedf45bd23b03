#include "ui/titleview/TitleSort.h"

#include <string.h>

#include <algorithm>

void TitleOrder_ChooseKey(TitleOrder* o, int key)
{
    if (o->tree) {
        o->tree = 0;
        o->clmsort = key;
        o->clmsortup = 1;
    } else if (o->clmsort != key) {
        o->clmsort = key;
        o->clmsortup = 1;
    } else {
        o->clmsortup = !o->clmsortup;
    }
}

void TitleOrder_Tree(TitleOrder* o)
{
    if (o->tree) {
        o->clmsortup = !o->clmsortup;
    } else {
        o->tree = 1;
        o->clmsortup = 1;
    }
}

void TitleOrder_ClickNo(TitleOrder* o)
{
    o->clmsort = SORT_NUMBER;
    int state = o->tree ? (o->clmsortup ? 3 : 2) : (o->clmsortup ? 1 : 0);
    state = (state + 1) % 4;
    o->tree = state >= 2;
    o->clmsortup = state == 1 || state == 3;
}

void TitleOrder_ClickColumn(TitleOrder* o, int column)
{
    if (column == 0)
        TitleOrder_ClickNo(o);
    else if (column >= 1 && column <= 3)
        TitleOrder_ChooseKey(o, column);
}

void TitleSort_Flat(const TreeArticle* a, const char* const* names, int key, int up, int* rows, int n)
{
    auto cmp = [&](int x, int y) -> int {
        switch (key) {
        case SORT_NUMBER: {
            uint32_t nx = (uint32_t)a[x].no, ny = (uint32_t)a[y].no;
            return nx < ny ? -1 : nx > ny;
        }
        case SORT_TITLE: return strcmp(a[x].title, a[y].title);
        case SORT_AUTHOR: return strcmp(names[x], names[y]);
        default: {
            uint32_t kx = Tree_DateKey(a[x].date, a[x].time), ky = Tree_DateKey(a[y].date, a[y].time);
            return kx < ky ? -1 : kx > ky;
        }
        }
    };
    if (up)
        std::sort(rows, rows + n, [&](int x, int y) { return cmp(x, y) < 0; });
    else
        std::sort(rows, rows + n, [&](int x, int y) { return cmp(x, y) > 0; });
}
