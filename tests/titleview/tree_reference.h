// The tree building of the title list as its description reads: a work
// list scanned again for every placed article, entries removed by shifting,
// threads ordered by selection. Quadratic; the reference the builders of
// ui/titleview/TitleTree.cpp are compared with.
#pragma once
#include "store/Subj.h"
#include "ui/titleview/TitleTree.h"

#include <string.h>

#include <algorithm>
#include <vector>

namespace treeref {

inline uint32_t Key(const TreeArticle& x)
{
    return ((uint32_t)x.date << 16) | x.time;
}

struct Out {
    std::vector<int> order;
    std::vector<int> depth;
};

inline void Erase(std::vector<int>& w, int article)
{
    w.erase(std::find(w.begin(), w.end(), article));
}

// Placing the descendants of article e at depth d.
inline void Place(const TreeArticle* a, std::vector<int>& w, int e, int d, Out& out)
{
    Erase(w, e);
    if (a[e].no == SUBJ_NO_UNKNOWN)
        return;
    size_t i = 0;
    while (i < w.size()) {
        int c = w[i];
        if (a[c].pno != a[e].no) {
            ++i;
            continue;
        }
        out.order.push_back(c);
        out.depth.push_back(d);
        std::vector<int> following(w.begin() + (long)i + 1, w.end());
        Place(a, w, c, d + 1, out);
        // Go on with the entry that followed the child, or the first of
        // those after it still in the list.
        i = w.size();
        for (int f : following) {
            auto it = std::find(w.begin(), w.end(), f);
            if (it != w.end()) {
                i = (size_t)(it - w.begin());
                break;
            }
        }
    }
}

inline std::vector<int> Sorted(const TreeArticle* a, int n, bool text)
{
    std::vector<int> w;
    for (int i = 0; i < n; ++i)
        w.push_back(i);
    std::stable_sort(w.begin(), w.end(), [&](int x, int y) {
        const TreeArticle &p = a[x], &q = a[y];
        if (!text) {
            if (p.no != q.no)
                return (uint32_t)p.no < (uint32_t)q.no;
            if (Key(p) != Key(q))
                return Key(p) < Key(q);
            return strcmp(p.title, q.title) < 0;
        }
        if (Key(p) != Key(q))
            return Key(p) < Key(q);
        bool pk = p.no != SUBJ_NO_UNKNOWN, qk = q.no != SUBJ_NO_UNKNOWN;
        if (pk != qk)
            return pk;
        if (p.no != q.no)
            return (uint32_t)p.no < (uint32_t)q.no;
        return strcmp(p.title, q.title) > 0;
    });
    return w;
}

inline Out Number(const TreeArticle* a, int n)
{
    Out out;
    std::vector<int> w = Sorted(a, n, false);
    while (!w.empty()) {
        int e = w[0];
        out.order.push_back(e);
        out.depth.push_back(0);
        Place(a, w, e, 1, out);
    }
    return out;
}

inline Out Text(const TreeArticle* a, int n)
{
    Out out;
    std::vector<int> w = Sorted(a, n, true);
    size_t i = 0;
    while (i < w.size()) {
        int x = w[i];
        if (a[x].no == SUBJ_NO_UNKNOWN) {
            out.order.push_back(x);
            out.depth.push_back(0);
            w.erase(w.begin() + (long)i);
        } else if (a[x].pno == SUBJ_NO_UNKNOWN) {
            out.order.push_back(x);
            out.depth.push_back(0);
            Place(a, w, x, 1, out);
        } else {
            ++i;
        }
    }
    for (int x : w) {
        size_t at = out.order.size();
        for (size_t r = 0; r < out.order.size(); ++r)
            if (out.depth[r] == 0 && a[out.order[r]].date > a[x].date) {
                at = r;
                break;
            }
        out.order.insert(out.order.begin() + (long)at, x);
        out.depth.insert(out.depth.begin() + (long)at, 0);
    }
    return out;
}

inline void OrderThreads(const TreeArticle* a, Out& out)
{
    std::vector<Out> threads;
    for (size_t r = 0; r < out.order.size(); ++r) {
        if (out.depth[r] == 0 || threads.empty())
            threads.push_back({});
        threads.back().order.push_back(out.order[r]);
        threads.back().depth.push_back(out.depth[r]);
    }
    for (size_t pos = 0; pos < threads.size(); ++pos) {
        size_t best = pos;
        uint32_t here = (uint32_t)a[threads[pos].order[0]].no;
        for (size_t j = pos + 1; j < threads.size(); ++j) {
            uint32_t kj = Key(a[threads[j].order[0]]), kb = Key(a[threads[best].order[0]]);
            if (kj > kb || (kj == kb && (uint32_t)a[threads[j].order[0]].no > here))
                best = j;
        }
        Out t = threads[best];
        threads.erase(threads.begin() + (long)best);
        threads.insert(threads.begin() + (long)pos, t);
    }
    out = {};
    for (const Out& t : threads) {
        out.order.insert(out.order.end(), t.order.begin(), t.order.end());
        out.depth.insert(out.depth.end(), t.depth.begin(), t.depth.end());
    }
}

}  // namespace treeref
