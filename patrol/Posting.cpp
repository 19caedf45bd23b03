// The posting pass over a board's stores, and the judging of a response.
#include "patrol/Posting.h"

#include "base/clock.h"
#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "patrol/Import.h"
#include "patrol/StoreUtil.h"
#include "pluginhost/PluginRun.h"
#include "store/PostRequest.h"
#include "store/Subj.h"

#include <string.h>

#include <memory>
#include <string>
#include <vector>

void Post_ShowStatus(CPluginStatusSink* row, const char* text, unsigned waitMs, PostSleepFn sleep)
{
    if (row)
        row->ShowStatus(text);
    if (waitMs)
        (sleep ? sleep : Clock_SleepMs)(waitMs);
}

namespace {

// First occurrence of what in [p, end), p at the start of a character: the
// scan steps over double-byte characters, so that a second byte never starts
// a match.
const char* Find(const char* p, const char* end, const char* what)
{
    size_t n = strlen(what);
    while (p + n <= end) {
        if (memcmp(p, what, n) == 0)
            return p;
        p += (IsSjisLead((unsigned char)*p) && p + 1 < end) ? 2 : 1;
    }
    return nullptr;
}

}  // namespace

int Post_JudgeResponse(const char* data, size_t size, CPluginStatusSink* row, PostSleepFn sleep)
{
    int ok = 1;
    const char* end = data + size;
    const char* p = data;
    while (p < end) {
        const char* open = Find(p, end, "<!--");
        if (!open)
            break;
        const char* text = open + 4;
        const char* close = Find(text, end, "-->");
        const char* textEnd = close ? close : end;
        const char* err = Find(text, textEnd, "ERROR:");
        if (err) {
            char reason[260];
            err += 6;
            Str_CopyN(reason, sizeof reason, err, (size_t)(textEnd - err));
            Post_ShowStatus(row, reason, POST_STATUS_WAIT_MS, sleep);
            ok = 0;
        }
        p = close ? close + 3 : end;
    }
    return ok;
}

namespace {

bool Cancelled(const PostingContext& ctx)
{
    return ctx.cancel && ctx.cancel->load() != 0;
}

struct Pass {
    const char* folder;
    const PostingContext& ctx;
    PostingResult& result;
    CSubj* sent;
    bool sentUsable;
    char logPath[260];
    CAtomicFile list;
    bool listOpen;
    int counter;
};

// Moves the last n records of from back to the end of to.
void MoveBackLast(CSubj* from, CSubj* to, int n)
{
    int first = from->GetCount() - n;
    for (int k = 0; k < n; ++k)
        from->Move(first, to);
}

// Whether the due article i is already in "送信済み.zvt" or the hand-over file.
bool SettledBefore(Pass& pass, CSubj& store, CSubj* hand, bool handUsable, int i)
{
    return (pass.sentUsable && Import_FindSame(*pass.sent, store, i) >= 0) ||
           (handUsable && Import_FindSame(*hand, store, i) >= 0);
}

void PostStore(Pass& pass, const char* storePath)
{
    const PostingContext& ctx = pass.ctx;
    {
        CSubj head;
        if (!head.LoadHeader(storePath))
            return;
        if (head.Header().unsent == 0 && head.Header().patrol == 0)
            return;
    }
    Notify_AboutToChange(ctx.notify, storePath);
    auto store = std::make_unique<CSubj>();
    if (!Store_Load(*store, storePath)) {
        Notify_Changed(ctx.notify, storePath, 0);
        return;
    }
    char handPath[260];
    Str_Copy(handPath, sizeof handPath, storePath);
    size_t len = strlen(handPath);
    if (len)
        handPath[len - 1] = 'w';
    auto hand = std::make_unique<CSubj>();
    bool handUsable = Store_Load(*hand, handPath) != 0;

    int toSent = 0, toHand = 0;
    for (int i = 0; i < store->GetCount();) {
        if (Cancelled(ctx))
            break;
        bool left = false;
        if (store->GetAtr(i, ATR_U | ATR_B) == ATR_U && SettledBefore(pass, *store, hand.get(), handUsable, i)) {
            // Posted or handed over by an earlier patrol whose save of this
            // store failed: it goes no second time.
            store->Delete(i);
            continue;
        }
        if (store->GetAtr(i, ATR_U | ATR_B) == ATR_U) {
            PostRequest req;
            PostRequest_Init(&req);
            if (store->MakePostRequest(i, &req)) {
                if (Str_ICmp(req.method, "LIB") == 0) {
                    if (handUsable && store->Move(i, hand.get())) {
                        left = true;
                        ++toHand;
                    }
                } else if (ctx.poster && pass.sentUsable) {
                    char text[64];
                    Str_Format(text, sizeof text, "送信中(%d)", pass.counter++);
                    Post_ShowStatus(ctx.row, text, 0, ctx.sleep);
                    const BoardSettings& bs = store->Settings();
                    if (ctx.poster->Post(ctx.row, pass.logPath, req.url, req.body ? req.body : "", bs.user,
                                         bs.pass)) {
                        if (ctx.openStore)
                            ctx.openStore->SaveOpenStore();
                        if (store->Move(i, pass.sent)) {
                            left = true;
                            ++toSent;
                        }
                    } else {
                        ++pass.result.failed;
                    }
                }
            }
            PostRequest_Free(&req);
        }
        if (left)
            continue;   // the next article took this one's place
        if (store->GetAtr(i, ATR_R) && pass.listOpen) {
            const char* no = store->NoStr(i);
            pass.list.Write(no, strlen(no));
            pass.list.Write("\r\n", 2);
        }
        ++i;
    }

    // "送信済み.zvt" first: a posted article leaves its store on disk only
    // once it is saved there. When it can't be saved, the posted articles
    // stay in their store, no longer due: never lost, never posted again.
    if (toSent && !pass.sent->Update()) {
        Debug_Printf("Posting - %s を保存できません\n", pass.sent->GetPath());
        MoveBackLast(pass.sent, store.get(), toSent);
        for (int k = store->GetCount() - toSent; k < store->GetCount(); ++k)
            store->SetAtr(k, ATR_U, 0);
        toSent = 0;
    }
    if (hand->IsModified() && !hand->Update()) {
        Debug_Printf("Posting - %s を保存できません\n", handPath);
        MoveBackLast(hand.get(), store.get(), toHand);   // not handed over: due again
        toHand = 0;
    }
    hand.reset();
    int changed = 0;
    if (store->IsModified())
        changed = store->Update();
    if (store->IsModified()) {
        // The store on disk is unchanged: what it holds is still due there
        // (what went out meanwhile is settled by the next pass).
        changed = 0;
    }
    pass.result.posted += toSent;
    pass.result.handedOver += toHand;
    Notify_Changed(ctx.notify, storePath, changed);
}

}  // namespace

int Patrol_PostArticles(const char* boardFolder, const PostingContext& ctx, PostingResult* result)
{
    PostingResult local;
    PostingResult& r = result ? *result : local;
    r = PostingResult();
    if (!boardFolder)
        return 0;

    std::vector<DirEntry> entries;
    Dir_List(boardFolder, entries);
    std::vector<std::string> stores;
    size_t folderLen = strlen(boardFolder);
    for (const DirEntry& e : entries) {
        if (!e.isDir && Import_HasExt(e.name.c_str(), ".zvt") && folderLen + e.name.size() < 260)
            stores.push_back(e.name);
    }
    if (stores.empty())
        return 0;

    char sentPath[260];
    Str_Format(sentPath, sizeof sentPath, "%s%s", boardFolder, kSentStoreName);
    Notify_AboutToChange(ctx.notify, sentPath);
    auto sent = std::make_unique<CSubj>();
    Pass pass{boardFolder, ctx, r, sent.get(), Store_Load(*sent, sentPath) != 0, {}, {}, false, 1};
    if (!pass.sentUsable)
        Debug_Printf("Posting - %s を読めないため送信しません\n", sentPath);
    Str_Format(pass.logPath, sizeof pass.logPath, "%s%s", boardFolder, "送信LOG.html");

    char listPath[260];
    Str_Format(listPath, sizeof listPath, "%s%s", boardFolder, "ReadList.tmp");
    pass.listOpen = pass.list.Open(listPath) != 0;
    if (!pass.listOpen)
        Post_ShowStatus(ctx.row, "巡回リスト作成失敗", POST_READLIST_WAIT_MS, ctx.sleep);

    for (const std::string& name : stores) {
        if (Str_ICmp(name.c_str(), kSentStoreName) == 0)
            continue;
        char storePath[260];
        Str_Format(storePath, sizeof storePath, "%s%s", boardFolder, name.c_str());
        PostStore(pass, storePath);
    }

    int added = r.posted > 0;
    if (sent->IsModified() && added)
        sent->Update();
    Notify_Changed(ctx.notify, sentPath, added);
    if (pass.listOpen && !pass.list.Commit())
        Debug_Printf("Posting - %s を作成できません\n", listPath);
    return 1;
}
