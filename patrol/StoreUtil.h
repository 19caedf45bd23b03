// Small helpers shared by the import and the posting pass.
#pragma once
#include "base/fileio.h"
#include "patrol/StoreNotify.h"
#include "store/Subj.h"

// The board's store of posted articles.
#define kSentStoreName "送信済み.zvt"

// Loads a store for rewriting. A missing file gives an empty collection and
// counts as usable; a file that exists but can't be read does not (saving
// anything over it would lose its articles). Returns 1 when usable.
inline int Store_Load(CSubj& s, const char* path)
{
    if (s.LoadFile(path))
        return 1;
    return !File_Exists(path);
}

inline void Notify_AboutToChange(CStoreNotify* notify, const char* path)
{
    if (notify)
        notify->AboutToChange(path);
}

inline void Notify_Changed(CStoreNotify* notify, const char* path, int changed)
{
    if (notify)
        notify->Changed(path, changed ? 1 : 0);
}
