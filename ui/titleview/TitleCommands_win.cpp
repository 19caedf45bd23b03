// The commands of the title view's rows: history, parent, marks and colour
// labels, clipboard, delete, properties, the composer and the drop of rows
// on a folder. What they decide is in TitleCommands.cpp; this file applies
// it to the open collection and the windows.
#include "ui/titleview/TitleView_win.h"

#include "base/debug.h"
#include "base/sjis.h"
#include "patrol/Composer.h"
#include "res/resource.h"
#include "ui/folderview/FolderView_win.h"
#include "ui/keys/MenuText.h"
#include "ui/shell/Shell.h"
#include "ui/shell/Views.h"
#include "ui/textview/ArticleProps.h"
#include "ui/titleview/History.h"
#include "ui/titleview/TitleCommands.h"
#include "ui/titleview/TitleMenu.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string.h>

#include <memory>
#include <string>
#include <vector>

namespace {

CSubj* Subj()
{
    return g_shell.openIsStore ? g_shell.subj : nullptr;
}

int Current()
{
    CSubj* s = Subj();
    int a = TitleView_CurrentArticle();
    return s && a >= 0 && a < s->GetCount() ? a : -1;
}

void PutClipboard(const std::string& text)
{
    if (!OpenClipboard(g_shell.main))
        return;
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    void* p = h ? GlobalLock(h) : nullptr;
    if (p) {
        memcpy(p, text.c_str(), text.size() + 1);
        GlobalUnlock(h);
        if (SetClipboardData(CF_TEXT, h))
            h = nullptr;
    }
    if (h)
        GlobalFree(h);
    CloseClipboard();
}

// ---- history and parent ------------------------------------------------------------

void GoHistory(int forward)
{
    CHistory& h = TitleView_History();
    HistorySlot slot;
    if (!(forward ? h.Next(&slot) : h.Back(&slot))) {
        Debug_Out(forward ? "TitleView_Next() 進めない\n" : "TitleView_Back() 戻れない\n");
        return;
    }
    h.SetRecording(0);
    int open = Str_ICmp(slot.path, g_shell.openPath) == 0 || FolderView_SelectPath(slot.path);
    if (open)
        TitleView_SelectRow(slot.row);
    h.SetRecording(1);
}

void GoParent()
{
    CSubj* s = Subj();
    int a = Current();
    if (a < 0)
        return;
    s->Lock();
    int row = Title_ParentRow(TitleView_Rows(), *s, a);
    s->Unlock();
    if (row >= 0)
        TitleView_SelectRow(row);
}

void ShowWithParent()
{
    CSubj* s = Subj();
    int a = Current();
    if (a < 0)
        return;
    s->Lock();
    std::string text = Title_ParentArticle(*s, a) >= 0 ? Title_TextWithParent(*s, a) : std::string();
    s->Unlock();
    if (!text.empty())
        TitleView_ShowArticleText(text.c_str());
}

// The rows a command changed are drawn again: one invalidation of the list
// (a redraw per row costs as much as the change itself when every row is
// selected).
void RedrawList()
{
    if (TitleView_List())
        InvalidateRect(TitleView_List(), nullptr, FALSE);
}

// ---- marks ------------------------------------------------------------------------

void Mark(int id)
{
    CSubj* s = Subj();
    if (!s)
        return;
    std::vector<int> rows = TitleView_SelectedRows();
    s->Lock();
    for (int r : rows) {
        int a = TitleView_RowToArticle(r);
        int clear = 0, set = 0;
        if (a < 0 || a >= s->GetCount() || !TitleMark_Change(id, s->GetItem(a).atr, s->GetItem(a).pno, &clear, &set))
            continue;
        s->SetAtr(a, clear, set);
        if (id == ID_MARK_UNREAD && a == TitleView_CurrentArticle())
            TitleView_SuppressRead();
    }
    s->Unlock();
    RedrawList();
    TitleView_UpdateStatus();
}

void Label(int id)
{
    CSubj* s = Subj();
    uint32_t colour = SUBJ_NO_COLOR;
    if (!s || s->IsReadOnly() || (id != ID_LABEL_NONE && !ColorLabelColor((unsigned)id, &colour)))
        return;
    std::vector<int> rows = TitleView_SelectedRows();
    s->Lock();
    for (int r : rows) {
        SubjItem* it = s->GetItemPtr(TitleView_RowToArticle(r));
        if (!it)
            continue;
        it->color = colour;
    }
    if (!rows.empty())
        s->SetModified();
    s->Unlock();
    RedrawList();
}

// ---- clipboard and addresses ------------------------------------------------------

void Copy()
{
    CSubj* s = Subj();
    if (!s)
        return;
    std::vector<int> articles;
    for (int r : TitleView_SelectedRows())
        articles.push_back(TitleView_RowToArticle(r));
    if (articles.empty())
        return;
    s->Lock();
    std::string text = TitleCopy_Text(*s, articles);
    s->Unlock();
    PutClipboard(text);
}

void Address(int id)
{
    CSubj* s = Subj();
    int a = Current();
    if (a < 0)
        return;
    s->Lock();
    std::string value = id == ID_COPY_HOMEPAGE || id == ID_OPEN_HOMEPAGE ? s->GetHp(a) : s->GetEmail(a);
    s->Unlock();
    if (value.empty())
        return;
    if (id == ID_COPY_HOMEPAGE || id == ID_COPY_EMAIL) {
        PutClipboard(value);
    } else if (id == ID_OPEN_HOMEPAGE) {
        if (Title_IsWebAddress(value.c_str()))
            ShellExecuteA(g_shell.main, "open", value.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    } else {
        ShellExecuteA(g_shell.main, "open", ("mailto:" + value).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

// ---- delete and properties --------------------------------------------------------

void Delete()
{
    CSubj* s = Subj();
    std::vector<int> rows = TitleView_SelectedRows();
    if (!s || rows.empty())
        return;
    char path[MAX_PATH];
    Str_Copy(path, sizeof path, g_shell.openPath);
    s->Lock();
    TitleRemovePlan plan = Title_PlanRemove(TitleView_Rows(), rows);
    std::vector<TitleArticleKey> keys = Title_KeysOf(*s, plan.articles);
    s->Unlock();
    if (MessageBoxA(g_shell.main, "選択されている記事を削除します", "ZEVA", MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
        return;
    // A patrol may have reloaded the collection (or another store been
    // opened) while the question was on screen: the indices would then
    // stand for articles the user never chose.
    if (Subj() != s || Str_ICmp(path, g_shell.openPath) != 0)
        return;
    s->Lock();
    int held = !s->IsReadOnly() && Title_KeysHold(*s, keys);
    if (held)
        s->DeleteMany(plan.articles);
    s->Unlock();
    if (held)
        TitleView_RefreshAtRow(plan.rowAfter);
}

// The article at index is still the one a command began with: a patrol may
// reload the collection while a dialog is open, the composer's thread may
// append meanwhile (which moves no record; its text stays where it is).
struct ArticleKey {
    int32_t no, pno;
    uint16_t date, time;
    const char* msg;
    char path[MAX_PATH];
};

ArticleKey KeyOf(CSubj* s, int a)
{
    ArticleKey k = {};
    const SubjItem& it = s->GetItem(a);
    k.no = it.no;
    k.pno = it.pno;
    k.date = it.date;
    k.time = it.time;
    k.msg = it.msg;
    Str_Copy(k.path, sizeof k.path, g_shell.openPath);
    return k;
}

bool SameArticle(CSubj* s, int a, const ArticleKey& k)
{
    if (!s || a < 0 || a >= s->GetCount() || s->IsReadOnly())
        return false;
    ArticleKey now = KeyOf(s, a);
    return now.no == k.no && now.pno == k.pno && now.date == k.date && now.time == k.time && now.msg == k.msg &&
           Str_ICmp(now.path, k.path) == 0;
}

void Properties()
{
    CSubj* s = Subj();
    int a = Current();
    if (a < 0)
        return;
    ArticleProps form;
    s->Lock();
    int ok = ArticleProps_Read(*s, a, &form);
    ArticleKey key = KeyOf(s, a);
    s->Unlock();
    if (!ok || ArticleProps_Dialog(g_shell.main, &form) != IDOK)
        return;
    s->Lock();
    if (SameArticle(s, a, key)) {
        ArticleProps_Apply(*s, a, form);
        s->SetModified();
    }
    s->Unlock();
    TitleView_Refresh(0);
}

// ---- composer ---------------------------------------------------------------------

void Compose(int id)
{
    CSubj* s = Subj();
    int a = Current();
    if (a < 0 || !g_shell.composer)
        return;
    TitleMenuFacts facts;
    TitleView_CurrentFacts(&facts);
    if (!TitleMenu_Allowed(id, facts))
        return;
    TitleCompose c;
    s->Lock();
    int ok = Title_ComposeFor(id, *s, a, g_shell.opt.replyHeader, &c);
    ArticleKey key = KeyOf(s, a);
    // An edit removes the article, which a read-only collection can't.
    if (id == ID_EDIT && s->IsReadOnly())
        ok = 0;
    s->Unlock();
    if (!ok)
        return;
    char store[MAX_PATH];
    Str_Copy(store, sizeof store, g_shell.openPath);
    ComposeRequest r;
    r.store = store;
    r.no = c.no;
    r.pno = c.pno;
    r.noText = c.noText.c_str();
    r.pnoText = c.pnoText.c_str();
    r.title = c.hasTitle ? c.title.c_str() : nullptr;
    r.author = c.hasAuthor ? c.author.c_str() : nullptr;
    r.text = c.hasText ? c.text.c_str() : nullptr;
    r.tmpl = c.tmpl.c_str();
    r.reply = c.reply;
    r.edit = c.edit;
    if (!g_shell.composer->Start(r) || id != ID_EDIT)
        return;
    // The editor runs: the composer stores the edited version when it ends.
    s->Lock();
    int removed = SameArticle(s, a, key);
    if (removed)
        s->Delete(a);
    s->Unlock();
    if (removed)
        TitleView_RefreshAtRow(TitleView_CurrentRow());
}

// ---- rows dropped on a folder -----------------------------------------------------

void CannotMove()
{
    MessageBoxA(g_shell.main, "メッセージの移動はできません", "ZEVA", MB_OK | MB_ICONEXCLAMATION);
}

// The articles go into the target's file first; only once it is saved do
// they leave the open collection. A failed save leaves both as they were.
void OnDrop(const char* target, int copy)
{
    CSubj* src = Subj();
    std::vector<int> rows = TitleView_SelectedRows();
    if (!src || rows.empty())
        return;
    char path[MAX_PATH];
    int t = Title_DropTarget(target, g_shell.openPath, '\\', path, sizeof path);
    if (t == 0)
        return;
    // A store a patrol is rewriting is registered by this thread and let go
    // only by it: waiting for it here would never end.
    if (t < 0 || (!copy && src->IsReadOnly()) || g_shell.lockFile.IsLocked(path)) {
        CannotMove();
        return;
    }
    int held = g_shell.lockFile.Lock(path);
    std::unique_ptr<CSubj> dst(new CSubj);
    int ok = dst->LoadFile(path);
    int rowAfter = -1;
    if (ok) {
        src->Lock();
        std::vector<int> order;
        if (copy) {
            order = Title_CopyOrder(TitleView_Rows(), rows);
        } else {
            TitleRemovePlan plan = Title_PlanRemove(TitleView_Rows(), rows);
            order = plan.articles;
            rowAfter = plan.rowAfter;
        }
        for (int a : order)
            if (!src->Copy(a, dst.get())) {
                ok = 0;
                break;
            }
        if (ok)
            ok = dst->Update();
        if (ok && !copy)
            src->DeleteMany(order);
        if (ok)
            src->Update();
        src->Unlock();
    }
    dst.reset();
    if (held)
        g_shell.lockFile.Unlock(path);
    if (!ok) {
        CannotMove();
        return;
    }
    if (copy)
        TitleView_Refresh(0);
    else
        TitleView_RefreshAtRow(rowAfter);
    // The target's counts in the folder view.
    FolderView_Refresh();
}

}  // namespace

void TitleCommands_Init()
{
    FolderView_SetTitleDropHandler(OnDrop);
}

int TitleCommands_Run(int id)
{
    if (id >= ID_LABEL_NONE && id <= ID_LABEL_LAST) {
        Label(id);
        return 1;
    }
    switch (id) {
    case ID_BACK:
    case ID_FORWARD:
        GoHistory(id == ID_FORWARD);
        return 1;
    case ID_GO_PARENT:
        GoParent();
        return 1;
    case ID_SHOW_WITH_PARENT:
        ShowWithParent();
        return 1;
    case ID_MARK_UNREAD:
    case ID_MARK_READ:
    case ID_HOLD:
    case ID_SEND_NEXT:
    case ID_PATROL_MARK:
    case ID_PATROL_UNMARK:
        Mark(id);
        return 1;
    case ID_COPY:
        Copy();
        return 1;
    case ID_SELECT_ALL:
        if (HWND list = TitleView_List()) {
            // Without drawing meanwhile: the list control would otherwise
            // invalidate every row on its own (seconds at 200,000 rows).
            SendMessageA(list, WM_SETREDRAW, FALSE, 0);
            ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
            SendMessageA(list, WM_SETREDRAW, TRUE, 0);
            RedrawList();
        }
        return 1;
    case ID_COPY_HOMEPAGE:
    case ID_COPY_EMAIL:
    case ID_OPEN_HOMEPAGE:
    case ID_MAIL_AUTHOR:
        Address(id);
        return 1;
    case ID_DELETE_ARTICLE:
        Delete();
        return 1;
    case ID_ARTICLE_PROPERTIES:
        Properties();
        return 1;
    case ID_NEW_ARTICLE:
    case ID_REPLY:
    case ID_EDIT:
        Compose(id);
        return 1;
    }
    return 0;
}
