#include "ui/titleview/TitleRows.h"

#include <new>

void Title_Articles(CSubj& subj, std::vector<TreeArticle>& articles, std::vector<const char*>* names)
{
    int n = subj.GetCount();
    articles.resize((size_t)n);
    if (names)
        names->resize((size_t)n);
    for (int i = 0; i < n; ++i) {
        const SubjItem& it = subj.GetItem(i);
        const char* title = subj.GetTitle(i);
        articles[(size_t)i] = {it.no, it.pno, it.date, it.time, title ? title : ""};
        if (names) {
            const char* name = subj.GetName(i);
            (*names)[(size_t)i] = name ? name : "";
        }
    }
}

void CTitleRows::Clear()
{
    m_rows.clear();
    m_rowOf.clear();
    m_parentRow.clear();
    m_depth.clear();
    m_laterSibling.clear();
    m_maxDepth = 0;
    m_textBuilder = 0;
}

int CTitleRows::Build(CSubj& subj, const TitleOrder& order)
{
    Clear();
    m_tree = order.tree ? 1 : 0;
    try {
        int n = subj.GetCount();
        std::vector<TreeArticle> a;
        std::vector<const char*> names;
        Title_Articles(subj, a, m_tree ? nullptr : &names);
        if (m_tree) {
            TitleTree t;
            if (!Tree_Build(a.data(), n, order.clmsortup, &t))
                return 0;
            m_rows.swap(t.order);
            m_depth.swap(t.depth);
            m_maxDepth = t.maxDepth;
            m_textBuilder = t.textBuilder;
            // Parent rows and following siblings, for the lines.
            m_parentRow.assign((size_t)n, -1);
            m_laterSibling.assign((size_t)n, 0);
            std::vector<int> lastAt((size_t)m_maxDepth + 1, -1);
            for (int r = 0; r < n; ++r) {
                int d = m_depth[(size_t)r];
                m_parentRow[(size_t)r] = d > 0 ? lastAt[(size_t)d - 1] : -1;
                lastAt[(size_t)d] = r;
            }
            std::vector<char> seen;
            for (int r = n - 1; r >= 0; --r) {
                size_t d = m_depth[(size_t)r];
                if (seen.size() > d + 1)
                    seen.resize(d + 1);
                else if (seen.size() < d + 1)
                    seen.resize(d + 1, 0);
                m_laterSibling[(size_t)r] = seen[d];
                seen[d] = 1;
            }
        } else {
            m_rows.resize((size_t)n);
            for (int i = 0; i < n; ++i)
                m_rows[(size_t)i] = i;
            TitleSort_Flat(a.data(), names.data(), order.clmsort, order.clmsortup, m_rows.data(), n);
        }
        m_rowOf.assign((size_t)n, -1);
        for (int r = 0; r < n; ++r)
            if (m_rows[(size_t)r] >= 0 && m_rows[(size_t)r] < n)
                m_rowOf[(size_t)m_rows[(size_t)r]] = r;
        return 1;
    } catch (const std::bad_alloc&) {
        Clear();
        return 0;
    }
}

void CTitleRows::Lines(int row, int levels, std::vector<char>& continues, int* down) const
{
    continues.clear();
    *down = 0;
    if (!m_tree || row < 0 || row >= Count())
        return;
    int d = m_depth[(size_t)row];
    *down = row + 1 < Count() && m_depth[(size_t)row + 1] > d;
    int shown = d < levels ? d : levels;
    continues.assign((size_t)shown, 0);
    // The line of level l belongs to the ancestor at depth l + 1: it goes
    // on when that ancestor has a sibling further down.
    for (int cur = row; cur >= 0 && m_depth[(size_t)cur] > 0; cur = m_parentRow[(size_t)cur]) {
        int l = m_depth[(size_t)cur] - 1;
        if (l < shown)
            continues[(size_t)l] = m_laterSibling[(size_t)cur];
        if (l == 0)
            break;
    }
}

int Title_ChooseRow(const CTitleRows& rows, int searching, int selectFirst, int oldArticle, int oldRow,
                    int oldArticleGone)
{
    if (searching || rows.Count() == 0)
        return -1;
    if (selectFirst)
        return 0;
    if (!oldArticleGone && rows.Row(oldArticle) >= 0)
        return rows.Row(oldArticle);
    if (oldRow < 0)
        return -1;
    return oldRow < rows.Count() ? oldRow : rows.Count() - 1;
}
