// What the title view's commands decide, apart from the window: the
// clipboard text of articles, which marks a command changes on which
// article, the order in which selected articles are removed, moved or
// copied, the fields the composer is started with, the parent of an
// article and the store a row drop goes to. Portable; tested natively.
#pragma once
#include "store/Subj.h"
#include "ui/titleview/TitleRows.h"

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// The clipboard text of the articles (collection indices, in this order):
// title, number line, date, author (with e-mail), link, then the text.
std::string TitleCopy_Text(CSubj& subj, const std::vector<int>& articles);

// A mark command on one article: 1 with the bits to clear and to set when
// the command applies to an article of these flags and parent, else 0
// (also for ids that are no mark command). Unread/read apply to every
// article; hold/send next to unsent ones; the patrol mark to roots that are
// not unsent.
int TitleMark_Change(int id, uint8_t atr, int32_t pno, int* clear, int* set);

// Removing selected rows (delete, move): the articles from the highest
// collection index down, and the row where the last removal happened once
// the rows before it are gone (-1 when nothing is selected).
struct TitleRemovePlan {
    std::vector<int> articles;
    int rowAfter;
};
TitleRemovePlan Title_PlanRemove(const CTitleRows& rows, const std::vector<int>& selectedRows);
// What identifies the articles of a plan while a question is on screen: a
// patrol may reload the collection meanwhile, after which the same indices
// stand for other articles. Title_KeysHold: every article is still at its
// index.
struct TitleArticleKey {
    int index;
    int32_t no, pno;
    uint16_t date, time;
    const char* msg;
};
std::vector<TitleArticleKey> Title_KeysOf(CSubj& subj, const std::vector<int>& articles);
bool Title_KeysHold(CSubj& subj, const std::vector<TitleArticleKey>& keys);
// Copying selected rows: their articles from the last selected row upwards.
std::vector<int> Title_CopyOrder(const CTitleRows& rows, const std::vector<int>& selectedRows);

// The first article (array order) whose number is the article's parent;
// -1 for a root or a parent that is not in the collection.
int Title_ParentArticle(CSubj& subj, int article);
// The first row whose article has that number; -1 likewise.
int Title_ParentRow(const CTitleRows& rows, CSubj& subj, int article);
// The text view's text for "show with parent": the text, the separator and
// the parent's text; the text alone when there is no parent.
std::string Title_TextWithParent(CSubj& subj, int article);

// What the composer is started with for a new article, a reply or an edit
// of article index. Numbers 2147483647 = none; the texts stand for
// identifier numbers (top bit set).
struct TitleCompose {
    int32_t no = SUBJ_NO_UNKNOWN, pno = SUBJ_NO_UNKNOWN;
    std::string noText, pnoText;
    bool hasTitle = false, hasAuthor = false, hasText = false;
    std::string title, author, text, tmpl;
    int reply = 0, edit = 0;
};
// id: new article, reply or edit; replyHeader: the ReplyHeader option.
// 0 for a bad index, another id, or an edit of an article that is not
// unsent.
int Title_ComposeFor(int id, CSubj& subj, int index, const char* replyHeader, TitleCompose* out);

// Rows dropped on a folder-view item: target is the item's path (a store
// file, or a folder ending with sep). A store is taken as it is; any other
// item stands for its folder, whose store of the open store's file name is
// meant. Returns 0 when the drop does nothing (the open store itself, or
// the open store's own folder), -1 when no target path can be made, else 1
// with the store's path in out.
int Title_DropTarget(const char* target, const char* openPath, char sep, char* out, size_t size);

// A home page address the program opens with the shell: one that starts
// with "http://", "https://" or "ftp://" (any case). Addresses come from the
// boards; anything else (a path, a program) is not opened.
int Title_IsWebAddress(const char* address);
