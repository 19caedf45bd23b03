#include "ui/titleview/TitleCommands.h"

#include "base/sjis.h"
#include "res/resource.h"
#include "ui/textview/TextFormat.h"

#include <string.h>

#include <algorithm>

std::string TitleCopy_Text(CSubj& subj, const std::vector<int>& articles)
{
    std::string out;
    for (int a : articles) {
        if (a < 0 || a >= subj.GetCount())
            continue;
        const SubjItem& it = subj.GetItem(a);
        out += "【タイトル】";
        out += subj.GetTitle(a);
        if (it.no != SUBJ_NO_UNKNOWN || it.pno != SUBJ_NO_UNKNOWN) {
            out += "\r\n【記事番号】";
            out += subj.NoStr(a);   // "*" when it has none
            if (it.pno != SUBJ_NO_UNKNOWN) {
                out += " (";
                out += subj.PnoStr(a);
                out += ")";
            }
        }
        char when[32] = "";
        subj.DateTimeStr(a, when);
        out += "\r\n【  日時  】";
        out += when;
        out += "\r\n【 発言者 】";
        out += subj.GetName(a);
        const char* email = subj.GetEmail(a);
        if (email[0]) {
            out += " <";
            out += email;
            out += ">";
        }
        const char* hp = subj.GetHp(a);
        if (hp[0]) {
            out += "\r\n【 リンク 】";
            out += hp;
            out += "\r\n\r\n";
        }
        out += "\r\n";
        out += subj.GetMsg(a);
        out += "\r\n\r\n";
    }
    return out;
}

int TitleMark_Change(int id, uint8_t atr, int32_t pno, int* clear, int* set)
{
    struct Mark {
        int id;
        int clear, set;
        int unsentOnly;   // 1: unsent articles only; 2: roots that are not unsent
    };
    static const Mark kMarks[] = {
        {ID_MARK_UNREAD, 0, ATR_N, 0}, {ID_MARK_READ, ATR_N, 0, 0}, {ID_HOLD, 0, ATR_B, 1},
        {ID_SEND_NEXT, ATR_B, 0, 1},   {ID_PATROL_MARK, 0, ATR_R, 2}, {ID_PATROL_UNMARK, ATR_R, 0, 2},
    };
    for (const Mark& m : kMarks) {
        if (m.id != id)
            continue;
        bool unsent = (atr & ATR_U) != 0;
        if ((m.unsentOnly == 1 && !unsent) || (m.unsentOnly == 2 && (unsent || pno != SUBJ_NO_UNKNOWN)))
            return 0;
        *clear = m.clear;
        *set = m.set;
        return 1;
    }
    return 0;
}

TitleRemovePlan Title_PlanRemove(const CTitleRows& rows, const std::vector<int>& selectedRows)
{
    TitleRemovePlan plan;
    plan.rowAfter = -1;
    std::vector<std::pair<int, int>> picked;   // (article, row)
    for (int r : selectedRows) {
        int a = rows.Article(r);
        if (a >= 0)
            picked.push_back({a, r});
    }
    std::sort(picked.begin(), picked.end());
    picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
    if (picked.empty())
        return plan;
    for (auto it = picked.rbegin(); it != picked.rend(); ++it)
        plan.articles.push_back(it->first);
    // The last removal is the lowest index; every other selected row was
    // gone by then, those above it moving it up.
    int last = picked.front().second, above = 0;
    for (const auto& p : picked)
        if (p.second < last)
            ++above;
    plan.rowAfter = last - above;
    return plan;
}

std::vector<TitleArticleKey> Title_KeysOf(CSubj& subj, const std::vector<int>& articles)
{
    std::vector<TitleArticleKey> keys;
    keys.reserve(articles.size());
    for (int a : articles) {
        TitleArticleKey k = {a, SUBJ_NO_UNKNOWN, SUBJ_NO_UNKNOWN, 0, 0, nullptr};
        if (a >= 0 && a < subj.GetCount()) {
            const SubjItem& it = subj.GetItem(a);
            k = {a, it.no, it.pno, it.date, it.time, it.msg};
        }
        keys.push_back(k);
    }
    return keys;
}

bool Title_KeysHold(CSubj& subj, const std::vector<TitleArticleKey>& keys)
{
    for (const TitleArticleKey& k : keys) {
        if (k.index < 0 || k.index >= subj.GetCount())
            return false;
        const SubjItem& it = subj.GetItem(k.index);
        if (it.no != k.no || it.pno != k.pno || it.date != k.date || it.time != k.time || it.msg != k.msg)
            return false;
    }
    return true;
}

std::vector<int> Title_CopyOrder(const CTitleRows& rows, const std::vector<int>& selectedRows)
{
    std::vector<int> sorted(selectedRows);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<int> out;
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it)
        if (rows.Article(*it) >= 0)
            out.push_back(rows.Article(*it));
    return out;
}

int Title_ParentArticle(CSubj& subj, int article)
{
    if (article < 0 || article >= subj.GetCount())
        return -1;
    int32_t pno = subj.GetItem(article).pno;
    if (pno == SUBJ_NO_UNKNOWN)
        return -1;
    for (int i = 0; i < subj.GetCount(); ++i)
        if (subj.GetItem(i).no == pno)
            return i;
    return -1;
}

int Title_ParentRow(const CTitleRows& rows, CSubj& subj, int article)
{
    if (article < 0 || article >= subj.GetCount())
        return -1;
    int32_t pno = subj.GetItem(article).pno;
    if (pno == SUBJ_NO_UNKNOWN)
        return -1;
    for (int r = 0; r < rows.Count(); ++r) {
        int a = rows.Article(r);
        if (a >= 0 && a < subj.GetCount() && subj.GetItem(a).no == pno)
            return r;
    }
    return -1;
}

std::string Title_TextWithParent(CSubj& subj, int article)
{
    if (article < 0 || article >= subj.GetCount())
        return std::string();
    std::string text = subj.GetMsg(article);
    int parent = Title_ParentArticle(subj, article);
    if (parent >= 0) {
        text += "\n-- 親記事 --\n";
        text += subj.GetMsg(parent);
    }
    return text;
}

namespace {

// A number and the text it stands for when it is an identifier.
void Number(CSubj& subj, int32_t no, int32_t* outNo, std::string* text)
{
    *outNo = no;
    text->clear();
    if (no != SUBJ_NO_UNKNOWN && (no & SUBJ_NO_ID))
        *text = subj.GetIdText(no);
}

}  // namespace

int Title_ComposeFor(int id, CSubj& subj, int index, const char* replyHeader, TitleCompose* out)
{
    if (index < 0 || index >= subj.GetCount())
        return 0;
    *out = TitleCompose();
    const SubjItem& it = subj.GetItem(index);
    const char* post = subj.GetPostStr(index);
    const char* follow = subj.GetFollowStr(index);
    switch (id) {
    case ID_NEW_ARTICLE:
        out->tmpl = post ? post : "";
        return 1;
    case ID_REPLY: {
        const char* title = subj.GetTitle(index);
        out->title = Placeholder_ExpandArticle(Placeholder_ReplyTemplate(title, replyHeader), subj, index);
        out->hasTitle = true;
        // The reply's parent is the article; an article without a number
        // stands for its own parent.
        Number(subj, it.no != SUBJ_NO_UNKNOWN ? it.no : it.pno, &out->pno, &out->pnoText);
        out->author = subj.GetName(index);
        out->hasAuthor = true;
        out->text = subj.GetMsg(index);
        out->hasText = true;
        out->tmpl = follow ? follow : "";
        out->reply = 1;
        return 1;
    }
    case ID_EDIT:
        if (!(it.atr & ATR_U))
            return 0;
        Number(subj, it.no, &out->no, &out->noText);
        Number(subj, it.pno, &out->pno, &out->pnoText);
        out->title = subj.GetTitle(index);
        out->author = subj.GetName(index);
        out->text = subj.GetMsg(index);
        out->hasTitle = out->hasAuthor = out->hasText = true;
        out->tmpl = post ? post : "";
        out->edit = 1;
        return 1;
    }
    return 0;
}

int Title_DropTarget(const char* target, const char* openPath, char sep, char* out, size_t size)
{
    if (size)
        out[0] = 0;
    if (!target || !*target || !openPath || !*openPath)
        return -1;
    const char* openSep = Sjis_StrRChr(openPath, sep);
    size_t openFolderLen = openSep ? (size_t)(openSep - openPath) + 1 : 0;
    const char* openName = openPath + openFolderLen;
    const char* tsep = Sjis_StrRChr(target, sep);
    const char* tname = tsep ? tsep + 1 : target;
    const char* dot = Sjis_StrRChr(tname, '.');
    if (dot && Str_ICmp(dot, ".zvt") == 0) {
        if (Str_ICmp(target, openPath) == 0)
            return 0;
        if (strlen(target) >= size || strlen(target) >= 260)
            return -1;
        Str_Copy(out, size, target);
        return 1;
    }
    // Any other item stands for its folder.
    size_t folderLen = (size_t)(tname - target);
    if (folderLen == openFolderLen && Str_NICmp(target, openPath, folderLen) == 0)
        return 0;
    if (!*openName || folderLen + strlen(openName) >= size || folderLen + strlen(openName) >= 260)
        return -1;
    Str_CopyN(out, size, target, folderLen);
    Str_Cat(out, size, openName);
    return 1;
}

int Title_IsWebAddress(const char* address)
{
    if (!address)
        return 0;
    for (const char* scheme : {"http://", "https://", "ftp://"})
        if (Str_NICmp(address, scheme, strlen(scheme)) == 0 && address[strlen(scheme)])
            return 1;
    return 0;
}
