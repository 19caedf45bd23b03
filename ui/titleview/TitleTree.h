// The reply tree of the title list: the number builder, the text builder
// and the thread order, each in n log n time. The literal list-scanning
// forms of all three stand in tests/titleview/ as references; both must give
// the same rows and depths.
#pragma once
#include <stdint.h>

#include <vector>

// What the builders look at of one article.
struct TreeArticle {
    int32_t no;          // SUBJ_NO_UNKNOWN: none yet; top bit: identifier
    int32_t pno;         // SUBJ_NO_UNKNOWN: no parent
    uint16_t date;       // packed date
    uint16_t time;       // minutes
    const char* title;   // zero-terminated, never null
};

inline uint32_t Tree_DateKey(uint16_t date, uint16_t time)
{
    return ((uint32_t)date << 16) | time;
}

// Rows in tree order: article indices, their depths (held at 65,535) and
// the greatest depth (held the same way).
struct TitleTree {
    std::vector<int> order;
    std::vector<uint16_t> depth;
    int maxDepth = 0;
    int textBuilder = 0;   // 1 when the text builder made it
};

enum : int { TREE_DEPTH_MAX = 65535 };

// 1 when the sample of articles 0, s, 2s, ... (s = n / 10 + 1) holds an
// identifier number: the text builder is used.
int Tree_UsesTextBuilder(const TreeArticle* a, int n);
// The number builder's and the text builder's order, without the thread
// order. Return 0 when memory runs out (the result is then empty).
int Tree_BuildNumber(const TreeArticle* a, int n, TitleTree* out);
int Tree_BuildText(const TreeArticle* a, int n, TitleTree* out);
// Newest thread first: the thread order of CLMSORTUP 1, in place.
int Tree_OrderThreads(const TreeArticle* a, TitleTree* tree);
// The builder chosen by the sample, then the thread order when sortUp is 1;
// the time taken goes to the debug output as "ツリー構築時間(Num)" or
// "ツリー構築時間(Str)". 0 when memory runs out.
int Tree_Build(const TreeArticle* a, int n, int sortUp, TitleTree* out);
