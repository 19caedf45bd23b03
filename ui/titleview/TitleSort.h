// Flat sorts of the title list and the choices that switch between the
// flat and the tree display (the folder's TREE, CLMSORT and CLMSORTUP).
#pragma once
#include "ui/titleview/TitleTree.h"

enum TitleSortKey { SORT_NUMBER = 0, SORT_TITLE = 1, SORT_AUTHOR = 2, SORT_DATE = 3 };

struct TitleOrder {
    int tree;        // TREE
    int clmsort;     // CLMSORT
    int clmsortup;   // CLMSORTUP
};

// A sort key chosen by menu or column: leaves the tree ascending; the same
// key again turns the direction; another key sorts ascending.
void TitleOrder_ChooseKey(TitleOrder* o, int key);
// "ツリー(&R)": in the tree turns the thread order, else shows the tree
// with CLMSORTUP 1.
void TitleOrder_Tree(TitleOrder* o);
// A click on the "No" column: key number, then the next of flat
// descending, flat ascending, tree 0, tree 1.
void TitleOrder_ClickNo(TitleOrder* o);
// A click on a column: "No" as above, the others choose keys 1 to 3.
void TitleOrder_ClickColumn(TitleOrder* o, int column);

// Sorts rows (article indices) by the key, descending when up is 0. Equal
// keys compare equal (the order among them is not kept). names[i] is the
// author of article i.
void TitleSort_Flat(const TreeArticle* a, const char* const* names, int key, int up, int* rows, int n);
