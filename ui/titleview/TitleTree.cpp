// Tree building in n log n. The work list of the builders is the sorted
// array of article indices; removing an entry only marks it, since removal
// keeps the order of the rest. A scan of the work list for the children of
// number X, going on with the entry after each child placed, meets the
// remaining entries whose parent is X in work-list order: so each parent
// number keeps the positions of its children in a group, and the next child
// is the group's first unremoved entry. The text builder's first pass keeps
// its place as a count of entries passed over; a Fenwick tree of the
// remaining entries turns that count back into a position. Placing is
// iterative: a reply chain may be deeper than the stack. When numbers are
// unique and every parent stands before its replies (a board's usual
// store), the number builder's rows are the preorder of the reply forest
// and are counted out in two linear passes instead of walked.
#include "ui/titleview/TitleTree.h"

#include "base/clock.h"
#include "base/debug.h"
#include "store/Subj.h"

#include <string.h>

#include <algorithm>
#include <memory>
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

// (key, position) pairs sorted by key, stable: four byte passes.
void RadixSort(std::vector<std::pair<uint32_t, int>>& v)
{
    std::vector<std::pair<uint32_t, int>> buf(v.size());
    for (int shift = 0; shift < 32; shift += 8) {
        size_t count[257] = {};
        for (const auto& e : v)
            ++count[(e.first >> shift & 0xFF) + 1];
        if (count[(v.empty() ? 0 : (v[0].first >> shift & 0xFF)) + 1] == v.size())
            continue;   // every key has the same byte here
        for (int b = 0; b < 256; ++b)
            count[b + 1] += count[b];
        for (const auto& e : v)
            buf[count[e.first >> shift & 0xFF]++] = e;
        v.swap(buf);
    }
}

// Remaining entries of the work list, by position, with the children of
// every number chained in work-list order. A number's group is the place of
// its first entry among the entries ordered by number; parents are found by
// joining the entries ordered by parent with those ordered by number. The
// chain of a number starts in the record of its first entry in the work
// list, so that the children of a unique number are found in its own
// record.
class CWorkList {
public:
    CWorkList(const TreeArticle* a, const std::vector<int>& sorted)
        : m_sorted(sorted), m_e(sorted.size(), Entry{-1, -1, -1, 0})
    {
        size_t n = sorted.size();
        if (DenseGroups(a))
            return;
        std::vector<std::pair<uint32_t, int>> byNo;
        byNo.reserve(n);
        bool ordered = true;
        for (size_t p = 0; p < n; ++p) {
            const TreeArticle& t = a[sorted[p]];
            if (NoKnown(t.no)) {
                ordered = ordered && (byNo.empty() || byNo.back().first <= (uint32_t)t.no);
                byNo.push_back({(uint32_t)t.no, (int)p});
            }
        }
        if (!ordered)
            RadixSort(byNo);
        for (size_t i = 0; i < byNo.size(); ++i) {
            bool same = i > 0 && byNo[i].first == byNo[i - 1].first;
            m_e[(size_t)byNo[i].second].own = same ? m_e[(size_t)byNo[i - 1].second].own : (int)i;
        }
        m_head.assign(byNo.size(), -1);
        std::vector<int> tail(byNo.size(), -1);
        auto chain = [&](int g, int p) {
            if (tail[(size_t)g] < 0)
                m_head[(size_t)g] = p;
            else
                m_e[(size_t)tail[(size_t)g]].next = p;
            tail[(size_t)g] = p;
        };
        if (ordered) {
            // Entries in number order (the common case): a parent lies a
            // little before its replies; a search spreading out from the
            // reply's place finds its number's first entry.
            std::vector<int> rank(n, -1);
            for (size_t i = 0; i < byNo.size(); ++i)
                rank[(size_t)byNo[i].second] = (int)i;
            size_t nearest = 0;
            for (size_t p = 0; p < n; ++p) {
                if (rank[p] >= 0)
                    nearest = (size_t)rank[p];
                const TreeArticle& t = a[sorted[p]];
                if (!NoKnown(t.pno) || byNo.empty())
                    continue;
                uint32_t key = (uint32_t)t.pno;
                size_t lo, hi;   // the first entry >= key lies in [lo, hi]
                if (byNo[nearest].first >= key) {
                    hi = nearest;
                    for (size_t step = 1;; step *= 2) {
                        if (hi < step) {
                            lo = 0;
                            break;
                        }
                        size_t probe = hi - step;
                        if (byNo[probe].first < key) {
                            lo = probe + 1;
                            break;
                        }
                        hi = probe;
                    }
                } else {
                    lo = nearest + 1;
                    hi = lo;
                    for (size_t step = 1; hi < byNo.size() && byNo[hi].first < key; step *= 2) {
                        lo = hi + 1;
                        hi = hi + step < byNo.size() ? hi + step : byNo.size();
                    }
                }
                while (lo < hi) {
                    size_t mid = (lo + hi) / 2;
                    if (byNo[mid].first < key)
                        lo = mid + 1;
                    else
                        hi = mid;
                }
                if (lo < byNo.size() && byNo[lo].first == key)
                    chain((int)lo, (int)p);
            }
        } else {
            std::vector<std::pair<uint32_t, int>> byParent;
            for (size_t p = 0; p < n; ++p)
                if (NoKnown(a[sorted[p]].pno))
                    byParent.push_back({(uint32_t)a[sorted[p]].pno, (int)p});
            RadixSort(byParent);
            std::vector<int> parentGroup(n, -1);
            for (size_t q = 0, i = 0; q < byParent.size(); ++q) {
                while (i < byNo.size() && byNo[i].first < byParent[q].first)
                    ++i;
                if (i < byNo.size() && byNo[i].first == byParent[q].first)
                    parentGroup[(size_t)byParent[q].second] = (int)i;
            }
            for (size_t p = 0; p < n; ++p)
                if (parentGroup[p] >= 0)
                    chain(parentGroup[p], (int)p);
        }
        // Each group's chain moves to the record of its first entry.
        std::vector<int> first(m_head.size(), -1);
        for (size_t p = 0; p < n; ++p) {
            int g = m_e[p].own;
            if (g < 0)
                continue;
            if (first[(size_t)g] < 0) {
                first[(size_t)g] = (int)p;
                m_e[p].head = m_head[(size_t)g];
            }
            m_e[p].own = first[(size_t)g];
        }
        m_head.clear();
    }

    // Numbers that lie close together (boards count up; identifiers are
    // table indices): a number's group is its distance from the smallest,
    // found in a table. 0 when they are too spread out for one.
    bool DenseGroups(const TreeArticle* a)
    {
        // The articles are read once: number and parent wait in the own
        // and next fields of each entry until they are turned into links.
        size_t n = m_e.size();
        uint32_t lo = 0xFFFFFFFFu, hi = 0;
        for (size_t p = 0; p < n; ++p) {
            const TreeArticle& t = a[m_sorted[p]];
            m_e[p].own = t.no;
            m_e[p].next = t.pno;
            if (NoKnown(t.no)) {
                lo = (uint32_t)t.no < lo ? (uint32_t)t.no : lo;
                hi = (uint32_t)t.no > hi ? (uint32_t)t.no : hi;
            }
        }
        if (lo > hi || (uint64_t)(hi - lo) > 4 * (uint64_t)n + 64) {
            for (Entry& e : m_e)
                e.own = e.next = -1;
            return lo > hi;   // no numbers at all: no groups, done
        }
        size_t range = (size_t)(hi - lo) + 1;
        std::vector<int> first(range, -1);   // of each number, in the work list
        bool unique = true;
        for (size_t p = 0; p < n; ++p) {
            int32_t no = m_e[p].own;
            m_e[p].own = -1;
            if (NoKnown(no)) {
                int& f = first[(uint32_t)no - lo];
                unique = unique && f < 0;
                if (f < 0)
                    f = (int)p;
                m_e[p].own = f;
            }
        }
        m_parent.assign(n, (int)n);
        bool before = true;
        // Chains in work-list order, put together from the back.
        for (size_t p = n; p-- > 0;) {
            int32_t pno = m_e[p].next;
            m_e[p].next = -1;
            if (!NoKnown(pno) || (uint32_t)pno < lo || (uint32_t)pno > hi)
                continue;
            int g = first[(uint32_t)pno - lo];
            if (g < 0)
                continue;
            m_e[p].next = m_e[(size_t)g].head;
            m_e[(size_t)g].head = (int)p;
            m_parent[p] = g;
            before = before && g < (int)p;
        }
        m_forest = unique && before;
        return true;
    }

    int Size() const { return (int)m_e.size(); }
    // Numbers unique and every parent standing before its replies (a
    // board's own order): each entry is placed by its parent's scan, so the
    // rows are the preorder of the forest the parents make. Parent() is then
    // the parent's position, or Size() for a root.
    bool Forest() const { return m_forest; }
    int Parent(int pos) const { return m_parent[(size_t)pos]; }
    int Article(int pos) const { return m_sorted[(size_t)pos]; }
    bool Removed(int pos) const { return m_e[(size_t)pos].removed != 0; }
    void Remove(int pos)
    {
        m_e[(size_t)pos].removed = 1;
        if (pos < m_cursor)
            ++m_removedBefore;
    }
    // Removals before this position are counted (the text builder's pass).
    void SetCursor(int pos)
    {
        m_cursor = pos;
        m_removedBefore = 0;
    }
    int RemovedBefore() const { return m_removedBefore; }
    // The children group of the number of the entry at pos (-1 for none):
    // the position of the first entry with that number.
    int Group(int pos) const { return m_e[(size_t)pos].own; }

    // The position of the first remaining entry of a children group, or -1.
    int FirstChild(int group)
    {
        int& h = m_e[(size_t)group].head;
        while (h >= 0 && m_e[(size_t)h].removed)
            h = m_e[(size_t)h].next;
        return h;
    }

private:
    // What placing reads of one entry, together in one cache line.
    struct Entry {
        int own;       // the children group of its number, or -1
        int next;      // the next entry with the same parent, or -1
        int head;      // for the first entry of a number: its first child
        int removed;
    };
    const std::vector<int>& m_sorted;
    std::vector<Entry> m_e;
    std::vector<int> m_head;   // while the groups are built apart from the work list
    std::vector<int> m_parent;
    bool m_forest = false;
    int m_cursor = -1, m_removedBefore = 0;
};

// Rows written into arrays sized for all articles.
struct RowWriter {
    int* order;
    uint16_t* depth;
    size_t count;
    int maxDepth;
};

inline void Append(RowWriter& out, int article, int depth)
{
    if (depth > TREE_DEPTH_MAX)
        depth = TREE_DEPTH_MAX;
    out.order[out.count] = article;
    out.depth[out.count++] = (uint16_t)depth;
    if (depth > out.maxDepth)
        out.maxDepth = depth;
}

// Places the entry at pos at depth d with its descendants below it. An
// entry goes on the stack only while it may still have children.
void Place(CWorkList& w, int pos, int depth, RowWriter& out, std::vector<std::pair<int, int>>& stack)
{
    Append(out, w.Article(pos), depth);
    w.Remove(pos);
    stack.clear();
    if (w.Group(pos) >= 0)
        stack.push_back({w.Group(pos), depth + 1});
    while (!stack.empty()) {
        auto top = stack.back();
        int child = w.FirstChild(top.first);
        if (child < 0) {
            stack.pop_back();
            continue;
        }
        Append(out, w.Article(child), top.second);
        w.Remove(child);
        int g = w.Group(child);
        if (g >= 0 && w.FirstChild(g) >= 0)
            stack.push_back({g, top.second + 1});
    }
}

// The preorder of a forest whose parents stand before their children,
// without a walk: subtree sizes from the back, then each entry's row from
// the front (a root goes after the trees before it, a child after its
// parent and its earlier siblings' trees). Slot n stands for "no parent".
void PlaceForest(const CWorkList& w, RowWriter& out)
{
    size_t n = (size_t)w.Size();
    // Subtree size, turned into the next free row below the entry once
    // its own row is known.
    std::vector<int> slot(n + 1, 1);
    std::vector<int> depth(n + 1);
    for (size_t p = n; p-- > 0;)
        slot[(size_t)w.Parent((int)p)] += slot[p];
    slot[n] = 0;
    depth[n] = -1;
    int maxDepth = 0;
    for (size_t p = 0; p < n; ++p) {
        size_t g = (size_t)w.Parent((int)p);
        int row = slot[g];
        slot[g] += slot[p];
        slot[p] = row + 1;
        int d = depth[g] + 1;
        depth[p] = d;
        d = d < TREE_DEPTH_MAX ? d : TREE_DEPTH_MAX;
        maxDepth = d > maxDepth ? d : maxDepth;
        out.order[row] = w.Article((int)p);
        out.depth[row] = (uint16_t)d;
    }
    out.count = n;
    out.maxDepth = maxDepth;
}

std::vector<int> SortedIndices(const TreeArticle* a, int n, bool (*less)(const TreeArticle&, const TreeArticle&))
{
    std::vector<int> v((size_t)n);
    for (int i = 0; i < n; ++i)
        v[(size_t)i] = i;
    // Stores are mostly in order already (articles arrive by number).
    bool ordered = true;
    for (int i = 1; i < n && ordered; ++i)
        ordered = !less(a[i], a[i - 1]);
    if (!ordered)
        std::stable_sort(v.begin(), v.end(), [&](int x, int y) { return less(a[x], a[y]); });
    return v;
}

RowWriter Reset(TitleTree* out, int n)
{
    out->order.assign((size_t)(n > 0 ? n : 0), 0);
    out->depth.assign((size_t)(n > 0 ? n : 0), 0);
    out->maxDepth = 0;
    return {out->order.data(), out->depth.data(), 0, 0};
}

void Finish(TitleTree* out, const RowWriter& w)
{
    out->order.resize(w.count);
    out->depth.resize(w.count);
    out->maxDepth = w.maxDepth;
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
        RowWriter rows = Reset(out, n);
        out->textBuilder = 0;
        std::vector<int> sorted = SortedIndices(a, n, NumberLess);
        CWorkList w(a, sorted);
        if (w.Forest()) {
            PlaceForest(w, rows);
        } else {
            std::vector<std::pair<int, int>> stack;
            for (int p = 0; p < n; ++p)
                if (!w.Removed(p))
                    Place(w, p, 0, rows, stack);
        }
        Finish(out, rows);
        return 1;
    } catch (const std::bad_alloc&) {
        Reset(out, 0);
        return 0;
    }
}

int Tree_BuildText(const TreeArticle* a, int n, TitleTree* out)
{
    try {
        Reset(out, 0);
        out->textBuilder = 1;
        std::vector<int> firstOrder((size_t)n);
        std::vector<uint16_t> firstDepth((size_t)n);
        RowWriter first = {firstOrder.data(), firstDepth.data(), 0, 0};
        std::vector<int> sorted = SortedIndices(a, n, TextLess);
        CWorkList w(a, sorted);
        std::vector<std::pair<int, int>> stack;
        // First pass: roots in work-list order. The pass goes on at the same
        // count of entries passed over: when placing removed k entries that
        // stood before the one placed, k remaining entries after it are
        // passed over without a look.
        auto nextRemaining = [&](int p) {
            for (++p; p < n && w.Removed(p);)
                ++p;
            return p;
        };
        int p = n > 0 && w.Removed(0) ? nextRemaining(0) : 0;
        while (p < n) {
            const TreeArticle& t = a[w.Article(p)];
            if (!NoKnown(t.no)) {
                Append(first, w.Article(p), 0);
                w.Remove(p);
                p = nextRemaining(p);
            } else if (!NoKnown(t.pno)) {
                w.SetCursor(p);
                Place(w, p, 0, first, stack);
                int skip = w.RemovedBefore();
                w.SetCursor(-1);
                p = nextRemaining(p);
                for (; skip > 0 && p < n; --skip)
                    p = nextRemaining(p);
            } else {
                p = nextRemaining(p);
            }
        }
        // Second pass: the rest at depth 0, each before the first root of a
        // later day. Roots stand in ascending date, and so does the rest.
        RowWriter rows = Reset(out, n);
        rows.maxDepth = first.maxDepth;
        int rest = 0;
        auto nextRest = [&]() {
            while (rest < n && w.Removed(rest))
                ++rest;
            return rest < n ? rest : -1;
        };
        for (size_t r = 0; r < first.count; ++r) {
            if (firstDepth[r] == 0) {
                uint16_t day = a[firstOrder[r]].date;
                for (int p = nextRest(); p >= 0 && a[w.Article(p)].date < day; p = nextRest()) {
                    Append(rows, w.Article(p), 0);
                    ++rest;
                }
            }
            Append(rows, firstOrder[r], firstDepth[r]);
        }
        for (int p = nextRest(); p >= 0; p = nextRest()) {
            Append(rows, w.Article(p), 0);
            ++rest;
        }
        Finish(out, rows);
        return 1;
    } catch (const std::bad_alloc&) {
        Reset(out, 0);
        return 0;
    }
}

// Threads are taken one at a time for the current place: the one whose root
// has the greatest date key; among equal keys the first, unless a later one
// has a greater number than the root standing at the place, and then the
// last such one. So the keys are visited from the greatest down (a stable
// radix sort), and within one key the last greater number is found by a
// scan of the few equal keys, or by a max tree when there are many.
int Tree_OrderThreads(const TreeArticle* a, TitleTree* tree)
{
    try {
        // The first row of every thread, written without a branch (about
        // half of the rows are roots, in no pattern).
        std::vector<int> start(tree->order.size() + 1);
        size_t m = 0;
        for (size_t r = 0; r < tree->order.size(); ++r) {
            start[m] = (int)r;
            m += tree->depth[r] == 0 || r == 0;
        }
        if (m < 2)
            return 1;
        std::vector<uint32_t> key(m), number(m);
        for (size_t t = 0; t < m; ++t) {
            const TreeArticle& x = a[tree->order[(size_t)start[t]]];
            key[t] = Tree_DateKey(x.date, x.time);
            number[t] = (uint32_t)x.no;
        }
        // Keys strictly ascending (threads oldest first, no two roots of
        // one minute): each pick is the last thread left, so the threads
        // simply stand in turned order.
        bool strictly = true;
        for (size_t t = 1; t < m && strictly; ++t)
            strictly = key[t - 1] < key[t];
        if (strictly) {
            size_t rows = tree->order.size();
            std::vector<int> order(rows);
            std::vector<uint16_t> depth(rows);
            size_t written = 0;
            for (size_t t = m; t-- > 0;) {
                size_t b = (size_t)start[t], end = t + 1 < m ? (size_t)start[t + 1] : rows;
                for (size_t r = b; r < end; ++r, ++written) {
                    order[written] = tree->order[r];
                    depth[written] = tree->depth[r];
                }
            }
            tree->order.swap(order);
            tree->depth.swap(depth);
            return 1;
        }
        // Threads by key, greatest first, equal keys in their order.
        std::vector<int> byKey(m), buf;
        for (size_t t = 0; t < m; ++t)
            byKey[t] = (int)t;
        bool ascending = true;
        for (size_t t = 1; t < m && ascending; ++t)
            ascending = key[t - 1] <= key[t];
        if (ascending) {
            // Threads oldest first (the usual store): the runs of equal keys
            // in turned order, each run in its own order.
            size_t out = 0;
            for (size_t e = m; e > 0;) {
                size_t b = e - 1;
                while (b > 0 && key[b - 1] == key[e - 1])
                    --b;
                for (size_t t = b; t < e; ++t)
                    byKey[out++] = (int)t;
                e = b;
            }
        } else {
            buf.resize(m);
            for (int shift = 0; shift < 32; shift += 8) {
                size_t count[257] = {};
                for (int t : byKey)
                    ++count[((~key[(size_t)t]) >> shift & 0xFF) + 1];
                for (int b = 0; b < 256; ++b)
                    count[b + 1] += count[b];
                for (int t : byKey)
                    buf[count[(~key[(size_t)t]) >> shift & 0xFF]++] = t;
                byKey.swap(buf);
            }
        }
        std::vector<char> taken(m, 0);
        std::vector<int> order(tree->order.size());
        std::vector<uint16_t> depth(tree->order.size());
        size_t written = 0;
        size_t first = 0;   // the first thread not yet taken: the one at the place
        auto emit = [&](size_t t) {
            taken[t] = 1;
            size_t b = (size_t)start[t], end = t + 1 < m ? (size_t)start[t + 1] : tree->order.size();
            // Threads are short: a plain loop beats a copy call.
            for (size_t r = b; r < end; ++r, ++written) {
                order[written] = tree->order[r];
                depth[written] = tree->depth[r];
            }
        };
        const size_t kScan = 32;
        for (size_t g = 0; g < m;) {
            size_t ge = g + 1;
            while (ge < m && key[(size_t)byKey[ge]] == key[(size_t)byKey[g]])
                ++ge;
            std::unique_ptr<CMaxTree> numbers;
            if (ge - g > kScan) {
                std::vector<int64_t> values(ge - g);
                for (size_t i = g; i < ge; ++i)
                    values[i - g] = number[(size_t)byKey[i]];
                numbers.reset(new CMaxTree(values));
            }
            size_t head = g;
            for (size_t k = g; k < ge; ++k) {
                while (taken[first])
                    ++first;
                long q = -1;
                if (numbers) {
                    q = numbers->Rightmost(0, ge - g, (int64_t)number[first]);
                    if (q >= 0)
                        q += (long)g;
                } else {
                    for (size_t i = ge; i-- > g;)
                        if (!taken[(size_t)byKey[i]] && number[(size_t)byKey[i]] > number[first]) {
                            q = (long)i;
                            break;
                        }
                }
                if (q < 0) {
                    while (taken[(size_t)byKey[head]])
                        ++head;
                    q = (long)head;
                }
                if (numbers)
                    numbers->Clear((size_t)q - g);
                emit((size_t)byKey[(size_t)q]);
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
