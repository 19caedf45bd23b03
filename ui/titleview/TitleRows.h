// The row map of the title list: article indices in display order (the
// tree or a flat sort of the open collection), the article-to-row map, and
// for the tree each row's depth, its parent row and whether a sibling
// follows it (what the tree lines need).
#pragma once
#include "store/Subj.h"
#include "ui/titleview/TitleSort.h"
#include "ui/titleview/TitleTree.h"

#include <vector>

class CTitleRows {
public:
    // Rebuilds from the collection in the given order; 0 when memory runs
    // out (the map is then empty).
    int Build(CSubj& subj, const TitleOrder& order);
    void Clear();

    int Count() const { return (int)m_rows.size(); }
    // The article of a row; -1 outside the map.
    int Article(int row) const { return row >= 0 && row < Count() ? m_rows[(size_t)row] : -1; }
    // The row of an article; -1 when it has none.
    int Row(int article) const
    {
        return article >= 0 && article < (int)m_rowOf.size() ? m_rowOf[(size_t)article] : -1;
    }
    int IsTree() const { return m_tree; }
    int TextBuilder() const { return m_textBuilder; }
    int Depth(int row) const { return m_tree && row >= 0 && row < Count() ? m_depth[(size_t)row] : 0; }
    int MaxDepth() const { return m_tree ? m_maxDepth : 0; }

    // Tree lines of a row: continues[l] for the levels l below its depth
    // (at most levels of them): 1 when the line of level l goes on below
    // the row. *down: the next row is deeper.
    void Lines(int row, int levels, std::vector<char>& continues, int* down) const;

private:
    std::vector<int> m_rows, m_rowOf, m_parentRow;
    std::vector<uint16_t> m_depth;
    std::vector<char> m_laterSibling;
    int m_tree = 0, m_textBuilder = 0, m_maxDepth = 0;
};

// What refresh makes current: nothing while a search steps across folders;
// the first row when asked; else the row of the article that was current,
// or, when it is gone, the same row number held to the last row.
int Title_ChooseRow(const CTitleRows& rows, int searching, int selectFirst, int oldArticle, int oldRow,
                    int oldArticleGone);

// The articles of a collection as the builders and sorts see them.
void Title_Articles(CSubj& subj, std::vector<TreeArticle>& articles, std::vector<const char*>* names);
