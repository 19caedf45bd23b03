// Import of plug-in output into a board's stores.
#include "patrol/Import.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "patrol/StoreNotify.h"
#include "patrol/StoreUtil.h"
#include "store/Subj.h"

#include <string.h>

#include <memory>
#include <string>
#include <vector>

void Import_StorePath(char* out, unsigned size, const char* file)
{
    size_t n = Str_Copy(out, size, file);
    if (n > 0)
        out[n - 1] = 't';
}

int Import_HasExt(const char* name, const char* ext)
{
    const char* dot = Sjis_StrRChr(name, '.');
    return dot && Str_ICmp(dot, ext) == 0;
}

int Import_FindSame(CSubj& store, CSubj& from, int i)
{
    if (i < 0 || i >= from.GetCount())
        return -1;
    const SubjItem& a = from.GetItem(i);
    auto sameNo = [&](int32_t x, int32_t y) {
        if ((x & SUBJ_NO_ID) || (y & SUBJ_NO_ID))
            return (x & SUBJ_NO_ID) && (y & SUBJ_NO_ID) && strcmp(store.GetIdText(x), from.GetIdText(y)) == 0;
        return x == y;
    };
    for (int j = 0; j < store.GetCount(); ++j) {
        const SubjItem& b = store.GetItem(j);
        if (b.date == a.date && b.time == a.time && sameNo(b.no, a.no) && sameNo(b.pno, a.pno) &&
            strcmp(store.GetTitle(j), from.GetTitle(i)) == 0 && strcmp(store.GetName(j), from.GetName(i)) == 0 &&
            strcmp(store.GetMsg(j), from.GetMsg(i)) == 0)
            return j;
    }
    return -1;
}

int Import_Pending(const char* boardFolder)
{
    std::vector<DirEntry> list;
    if (!Dir_List(boardFolder, list))
        return 0;
    for (const DirEntry& e : list)
        if (!e.isDir && (Import_HasExt(e.name.c_str(), ".zv$") || Import_HasExt(e.name.c_str(), ".zvw")))
            return 1;
    return 0;
}

namespace {

// One ".zv$" file: merged into its store; deleted once the store is saved.
int ImportOutput(const char* file, CStoreNotify* notify)
{
    auto incoming = std::make_unique<CSubj>();
    if (!incoming->LoadFile(file)) {
        // Unreadable now (still being written, no memory): left for the next
        // import rather than deleted with its articles.
        Debug_Printf("Import - %s を読めません\n", file);
        return 0;
    }
    char storePath[260];
    Import_StorePath(storePath, sizeof storePath, file);
    Notify_AboutToChange(notify, storePath);

    auto store = std::make_unique<CSubj>();
    if (!Store_Load(*store, storePath)) {
        // A store that exists but can't be read must not be replaced by the
        // new articles alone.
        Notify_Changed(notify, storePath, 0);
        return 0;
    }
    int n = store->Merge(incoming.get());
    if (store->IsModified())
        store->Update();   // the merge's own write failed: one more try
    if (store->IsModified()) {
        Debug_Printf("Import - %s を保存できません\n", storePath);
        Notify_Changed(notify, storePath, 0);
        return 0;
    }
    File_Delete(file);
    Notify_Changed(notify, storePath, n != 0);
    return n;
}

// One ".zvw" file: articles still flagged for sending go back into their
// store; the others were posted by the plug-in and go into "送信済み.zvt".
void ImportHandOver(const char* boardFolder, const char* file, CStoreNotify* notify)
{
    auto handed = std::make_unique<CSubj>();
    if (!handed->LoadFile(file)) {
        Debug_Printf("Import - %s を読めません\n", file);
        return;
    }
    char storePath[260];
    Import_StorePath(storePath, sizeof storePath, file);
    Notify_AboutToChange(notify, storePath);
    auto store = std::make_unique<CSubj>();
    if (!Store_Load(*store, storePath)) {
        Notify_Changed(notify, storePath, 0);
        return;
    }

    enum { TO_STORE = 1, TO_SENT = 2 };
    int count = handed->GetCount();
    std::vector<char> dest(count, 0);      // where each article went
    std::vector<char> copied(count, 0);    // the copy succeeded
    std::unique_ptr<CSubj> sent;
    char sentPath[260];
    Str_Format(sentPath, sizeof sentPath, "%s%s", boardFolder, kSentStoreName);
    bool sentUsable = false;
    int back = 0, posted = 0, removed = 0;

    // An article already where it belongs (a hand-over settled before whose
    // file stayed, a store whose save failed after the hand-over was saved)
    // is not added a second time.
    for (int i = 0; i < count; ++i) {
        if (handed->GetAtr(i, ATR_U)) {
            dest[i] = TO_STORE;
            if (Import_FindSame(*store, *handed, i) >= 0) {
                copied[i] = 1;
                continue;
            }
            copied[i] = (char)handed->Copy(i, store.get());
            if (copied[i])
                ++back;
            continue;
        }
        dest[i] = TO_SENT;
        if (!sent) {
            sent = std::make_unique<CSubj>();
            Notify_AboutToChange(notify, sentPath);
            sentUsable = Store_Load(*sent, sentPath) != 0;
        }
        if (!sentUsable)
            continue;
        // Posted: a copy still due in the store must not go out again.
        int due = Import_FindSame(*store, *handed, i);
        if (due >= 0 && store->GetAtr(due, ATR_U | ATR_B) == ATR_U) {
            store->Delete(due);
            ++removed;
        }
        handed->SetAtr(i, 0, ATR_U);
        if (Import_FindSame(*sent, *handed, i) >= 0) {
            copied[i] = 1;
            continue;
        }
        copied[i] = (char)handed->Copy(i, sent.get());
        if (copied[i])
            ++posted;
    }
    int storeSaved = !store->IsModified() || store->Update();
    int sentSaved = sent && !sentUsable ? 0 : (posted == 0 || sent->Update());

    bool allHome = true;
    for (int i = 0; i < count; ++i) {
        bool home = copied[i] && (dest[i] == TO_STORE ? storeSaved : sentSaved);
        if (!home)
            allHome = false;
    }
    if (allHome) {
        // A file that stays is settled again by the rule above, adding nothing.
        if (!File_Delete(file))
            Debug_Printf("Import - %s を削除できません\n", file);
    } else {
        // Keep in the hand-over file only what did not reach its place, as
        // the plug-in left it, so that the next import settles the rest once.
        for (int i = count - 1; i >= 0; --i) {
            bool home = copied[i] && (dest[i] == TO_STORE ? storeSaved : sentSaved);
            if (home)
                handed->Delete(i);
            else if (dest[i] == TO_SENT)
                handed->SetAtr(i, ATR_U, 0);
        }
        if (handed->IsModified() && !handed->Update())
            Debug_Printf("Import - %s を書き換えられません\n", file);
    }

    Debug_Out("Import Completed\n");
    Notify_Changed(notify, storePath, (back > 0 || removed > 0) && storeSaved);
    if (sent)
        Notify_Changed(notify, sentPath, posted > 0 && sentSaved);
}

}  // namespace

int Patrol_Import(const char* boardFolder, CStoreNotify* notify)
{
    if (!boardFolder)
        return 0;
    // Temporary files of a plug-in stopped in the middle of a write.
    File_RemoveStaleTemps(boardFolder);
    std::vector<DirEntry> entries;
    Dir_List(boardFolder, entries);

    int total = 0;
    for (const DirEntry& e : entries) {
        if (e.isDir)
            continue;
        char path[260];
        if (strlen(boardFolder) + e.name.size() >= sizeof path)
            continue;   // a name too long for a path field is not ours
        Str_Format(path, sizeof path, "%s%s", boardFolder, e.name.c_str());
        if (Import_HasExt(e.name.c_str(), ".zv$"))
            total += ImportOutput(path, notify);
        else if (Import_HasExt(e.name.c_str(), ".zvw"))
            ImportHandOver(boardFolder, path, notify);
    }

    char readList[260];
    Str_Format(readList, sizeof readList, "%s%s", boardFolder, "ReadList.tmp");
    File_Delete(readList);
    return total;
}
