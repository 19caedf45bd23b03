// Tree building in n log n. The work list of the builders is the sorted
// array of article indices; removing an entry only marks it, since removal
// keeps the order of the rest. A scan of the work list for the children of
// number X, going on with the entry after each child placed, meets the
// remaining entries whose parent is X in work-list order: so each parent
// number keeps the positions of its children in a group, and the next child
// is the group's first unremoved entry. The text builder's first pass keeps
// its place as a count of entries passed over; a Fenwick tree of the
// remaining entries turns that count back into a position. Placing is
// iterative: a reply chain may be deeper than the stack.
#include "ui/titleview/TitleTree.h"

#include "base/clock.h"
#include "base/debug.h"
#include "store/Subj.h"

#include <string.h>

#include <algorithm>
#include <new>

namespace {

bool NoKnown(int32_t no)
{
    return no != SUBJ_NO_UNKNOWN;
}

int TitleCmp(const char* a, const char* b)
{
    return strcmp(a, b);   // unsigned bytes
}

// The work list of the number builder: number, date key, title ascending.
bool NumberLess(const TreeArticle& x, const TreeArticle& y)
{
    if (x.no != y.no)
        return (uint32_t)x.no < (uint32_t)y.no;
    uint32_t kx = Tree_DateKey(x.date, x.time), ky = Tree_DateKey(y.date, y.time);
    if (kx != ky)
        return kx < ky;
    return TitleCmp(x.title, y.title) < 0;
}

// The work list of the text builder: date key ascending, an article without
// number after one with a number, number ascending, title descending.
bool TextLess(const TreeArticle& x, const TreeArticle& y)
{
    uint32_t kx = Tree_DateKey(x.date, x.time), ky = Tree_DateKey(y.date, y.time);
    if (kx != ky)
        return kx < ky;
    if (NoKnown(x.no) != NoKnown(y.no))
        return NoKnown(x.no);
    if (x.no != y.no)
        return (uint32_t)x.no < (uint32_t)y.no;
    return TitleCmp(x.title, y.title) > 0;
}

// Remaining entries of the work list, by position.
class CWorkList {
public:
    CWorkList(const TreeArticle* a, const std::vector<int>& sorted, bool counted)
        : m_a(a), m_sorted(sorted), m_removed(sorted.size(), 0), m_counted(counted)
    {
        size_t n = sorted.size();
        // Children groups: positions ordered by parent number, then position.
        m_byParent.resize(n);
        for (size_t p = 0; p < n; ++p)
            m_byParent[p] = (int)p;
        std::sort(m_byParent.begin(), m_byParent.end(), [&](int x, int y) {
            uint32_t px = (uint32_t)a[sorted[x]].pno, py = (uint32_t)a[sorted[y]].pno;
            return px != py ? px < py : x < y;
        });
        m_head.resize(n);
        m_end.resize(n);
        for (size_t g = 0; g < n;) {
            size_t e = g + 1;
            while (e < n && Pno(e) == Pno(g))
                ++e;
            m_head[g] = (int)g;
            m_end[g] = (int)e;
            g = e;
        }
        if (counted) {
            m_tree.assign(n + 1, 0);
            for (size_t i = 1; i <= n; ++i) {
                m_tree[i] += 1;
                size_t j = i + (i & (~i + 1));
                if (j <= n)
                    m_tree[j] += m_tree[i];
            }
        }
    }

    int Size() const { return (int)m_sorted.size(); }
    int Article(int pos) const { return m_sorted[pos]; }
    bool Removed(int pos) const { return m_removed[pos] != 0; }
    void Remove(int pos)
    {
        m_removed[pos] = 1;
        if (m_counted)
            for (size_t i = (size_t)pos + 1; i < m_tree.size(); i += i & (~i + 1))
                m_tree[i] -= 1;
    }

    // The position of the first remaining entry whose parent is no, or -1.
    int FirstChild(int32_t no)
    {
        size_t n = m_byParent.size();
        size_t lo = 0, hi = n;
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            if (Pno(mid) < (uint32_t)no)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo == n || Pno(lo) != (uint32_t)no)
            return -1;
        int& h = m_head[lo];
        while (h < m_end[lo] && m_removed[m_byParent[h]])
            ++h;
        return h < m_end[lo] ? m_byParent[h] : -1;
    }

    // The position of the remaining entry with rank k (0-based), or -1.
    int Kth(int k) const
    {
        size_t pos = 0, n = m_sorted.size();
        size_t step = 1;
        while (step * 2 <= n)
            step *= 2;
        int left = k + 1;
        for (; step; step /= 2) {
            if (pos + step <= n && m_tree[pos + step] < left) {
                pos += step;
                left -= m_tree[pos];
            }
        }
        return pos < n ? (int)pos : -1;
    }

private:
    uint32_t Pno(size_t g) const { return (uint32_t)m_a[m_sorted[m_byParent[g]]].pno; }

    const TreeArticle* m_a;
    const std::vector<int>& m_sorted;
    std::vector<char> m_removed;
    std::vector<int> m_byParent, m_head, m_end;
    std::vector<int> m_tree;
    bool m_counted;
};

void Append(TitleTree* out, int article, int depth)
{
    if (depth > TREE_DEPTH_MAX)
        depth = TREE_DEPTH_MAX;
    out->order.push_back(article);
    out->depth.push_back((uint16_t)depth);
    if (depth > out->maxDepth)
        out->maxDepth = depth;
}

// Places the entry at pos at depth d with its descendants below it.
void Place(const TreeArticle* a, CWorkList& w, int pos, int depth, TitleTree* out,
           std::vector<std::pair<int32_t, int>>& stack)
{
    Append(out, w.Article(pos), depth);
    w.Remove(pos);
    stack.clear();
    if (NoKnown(a[w.Article(pos)].no))
        stack.push_back({a[w.Article(pos)].no, depth + 1});
    while (!stack.empty()) {
        auto top = stack.back();
        int child = w.FirstChild(top.first);
        if (child < 0) {
            stack.pop_back();
            continue;
        }
        Append(out, w.Article(child), top.second);
        w.Remove(child);
        if (NoKnown(a[w.Article(child)].no))
            stack.push_back({a[w.Article(child)].no, top.second + 1});
    }
}

std::vector<int> SortedIndices(const TreeArticle* a, int n, bool (*less)(const TreeArticle&, const TreeArticle&))
{
    std::vector<int> v((size_t)n);
    for (int i = 0; i < n; ++i)
        v[(size_t)i] = i;
    std::stable_sort(v.begin(), v.end(), [&](int x, int y) { return less(a[x], a[y]); });
    return v;
}

void Reset(TitleTree* out, int n)
{
    out->order.clear();
    out->depth.clear();
    out->order.reserve((size_t)(n > 0 ? n : 1));
    out->depth.reserve((size_t)(n > 0 ? n : 1));
    out->maxDepth = 0;
}

// Rightmost index in [lo, hi) whose value exceeds t, over a max tree.
class CMaxTree {
public:
    explicit CMaxTree(const std::vector<int64_t>& v) : m_n(v.size()), m_t(2 * (v.size() ? v.size() : 1), -1)
    {
        m_size = 1;
        while (m_size < m_n)
            m_size *= 2;
        m_t.assign(2 * m_size, -1);
        for (size_t i = 0; i < m_n; ++i)
            m_t[m_size + i] = v[i];
        for (size_t i = m_size - 1; i >= 1; --i)
            m_t[i] = std::max(m_t[2 * i], m_t[2 * i + 1]);
    }
    void Clear(size_t i)
    {
        i += m_size;
        m_t[i] = -1;
        for (i /= 2; i >= 1; i /= 2)
            m_t[i] = std::max(m_t[2 * i], m_t[2 * i + 1]);
    }
    long Rightmost(size_t lo, size_t hi, int64_t t) const { return Find(1, 0, m_size, lo, hi, t); }

private:
    long Find(size_t node, size_t nl, size_t nr, size_t lo, size_t hi, int64_t t) const
    {
        if (nr <= lo || hi <= nl || m_t[node] <= t)
            return -1;
        if (nr - nl == 1)
            return (long)nl;
        size_t mid = (nl + nr) / 2;
        long r = Find(2 * node + 1, mid, nr, lo, hi, t);
        return r >= 0 ? r : Find(2 * node, nl, mid, lo, hi, t);
    }
    size_t m_n, m_size = 1;
    std::vector<int64_t> m_t;
};

}  // namespace

int Tree_UsesTextBuilder(const TreeArticle* a, int n)
{
    int s = n / 10 + 1;
    for (int i = 0; i < n; i += s)
        if (a[i].no < 0)
            return 1;
    return 0;
}

int Tree_BuildNumber(const TreeArticle* a, int n, TitleTree* out)
{
    try {
        Reset(out, n);
        out->textBuilder = 0;
        std::vector<int> sorted = SortedIndices(a, n, NumberLess);
        CWorkList w(a, sorted, false);
        std::vector<std::pair<int32_t, int>> stack;
        for (int p = 0; p < n; ++p)
            if (!w.Removed(p))
                Place(a, w, p, 0, out, stack);
        return 1;
    } catch (const std::bad_alloc&) {
        Reset(out, 0);
        return 0;
    }
}

int Tree_BuildText(const TreeArticle* a, int n, TitleTree* out)
{
    try {
        Reset(out, n);
        out->textBuilder = 1;
        std::vector<int> sorted = SortedIndices(a, n, TextLess);
        CWorkList w(a, sorted, true);
        std::vector<std::pair<int32_t, int>> stack;
        // First pass: roots in work-list order; the pass goes on at the same
        // count of entries passed over, whatever the placing removed.
        int remaining = n, passed = 0;
        while (passed < remaining) {
            int p = w.Kth(passed);
            const TreeArticle& t = a[w.Article(p)];
            if (!NoKnown(t.no)) {
                Append(out, w.Article(p), 0);
                w.Remove(p);
                --remaining;
            } else if (!NoKnown(t.pno)) {
                size_t before = out->order.size();
                Place(a, w, p, 0, out, stack);
                remaining -= (int)(out->order.size() - before);
            } else {
                ++passed;
            }
        }
        // Second pass: the rest at depth 0, each before the first root of a
        // later day. Roots stand in ascending date, and so does the rest.
        std::vector<int> firstOrder;
        std::vector<uint16_t> firstDepth;
        firstOrder.swap(out->order);
        firstDepth.swap(out->depth);
        out->order.reserve((size_t)(n > 0 ? n : 1));
        out->depth.reserve((size_t)(n > 0 ? n : 1));
        int rest = 0;
        auto nextRest = [&]() {
            while (rest < n && w.Removed(rest))
                ++rest;
            return rest < n ? rest : -1;
        };
        for (size_t r = 0; r < firstOrder.size(); ++r) {
            if (firstDepth[r] == 0) {
                uint16_t day = a[firstOrder[r]].date;
                for (int p = nextRest(); p >= 0 && a[w.Article(p)].date < day; p = nextRest()) {
                    out->order.push_back(w.Article(p));
                    out->depth.push_back(0);
                    ++rest;
                }
            }
            out->order.push_back(firstOrder[r]);
            out->depth.push_back(firstDepth[r]);
        }
        for (int p = nextRest(); p >= 0; p = nextRest()) {
            out->order.push_back(w.Article(p));
            out->depth.push_back(0);
            ++rest;
        }
        return 1;
    } catch (const std::bad_alloc&) {
        Reset(out, 0);
        return 0;
    }
}

// Threads are taken one at a time for the current place: the one whose root
// has the greatest date key; among equal keys the first, unless a later one
// has a greater number than the root standing at the place, and then the
// last such one. So the keys are visited from the greatest down, and within
// one key a max tree over the numbers answers "the last one greater".
int Tree_OrderThreads(const TreeArticle* a, TitleTree* tree)
{
    try {
        std::vector<size_t> start;
        for (size_t r = 0; r < tree->order.size(); ++r)
            if (tree->depth[r] == 0 || r == 0)
                start.push_back(r);
        size_t m = start.size();
        if (m < 2)
            return 1;
        auto key = [&](size_t t) {
            const TreeArticle& x = a[tree->order[start[t]]];
            return Tree_DateKey(x.date, x.time);
        };
        auto number = [&](size_t t) { return (uint32_t)a[tree->order[start[t]]].no; };
        std::vector<size_t> byKey(m);
        for (size_t t = 0; t < m; ++t)
            byKey[t] = t;
        std::stable_sort(byKey.begin(), byKey.end(), [&](size_t x, size_t y) { return key(x) > key(y); });
        std::vector<int64_t> values(m);
        for (size_t i = 0; i < m; ++i)
            values[i] = number(byKey[i]);
        CMaxTree numbers(values);
        std::vector<char> taken(m, 0);
        std::vector<int> order;
        std::vector<uint16_t> depth;
        order.reserve(tree->order.size());
        depth.reserve(tree->order.size());
        size_t first = 0;   // the first thread not yet taken: the one at the place
        for (size_t g = 0; g < m;) {
            size_t ge = g + 1;
            while (ge < m && key(byKey[ge]) == key(byKey[g]))
                ++ge;
            size_t head = g;
            for (size_t k = g; k < ge; ++k) {
                while (taken[first])
                    ++first;
                long q = numbers.Rightmost(g, ge, (int64_t)number(first));
                if (q < 0) {
                    while (taken[byKey[head]])
                        ++head;
                    q = (long)head;
                }
                size_t t = byKey[(size_t)q];
                taken[t] = 1;
                numbers.Clear((size_t)q);
                size_t end = t + 1 < m ? start[t + 1] : tree->order.size();
                for (size_t r = start[t]; r < end; ++r) {
                    order.push_back(tree->order[r]);
                    depth.push_back(tree->depth[r]);
                }
            }
            g = ge;
        }
        tree->order.swap(order);
        tree->depth.swap(depth);
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int Tree_Build(const TreeArticle* a, int n, int sortUp, TitleTree* out)
{
    uint32_t start = Clock_TickMs();
    int text = Tree_UsesTextBuilder(a, n);
    int ok = text ? Tree_BuildText(a, n, out) : Tree_BuildNumber(a, n, out);
    if (ok && sortUp == 1)
        ok = Tree_OrderThreads(a, out);
    Debug_Printf("ツリー構築時間(%s) = %u\n", text ? "Str" : "Num", (unsigned)(Clock_TickMs() - start));
    return ok;
}
