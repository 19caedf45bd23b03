// The merge written literally: for every incoming article the store is
// scanned from its first record for the partner. CSubj::Merge finds partners
// through an index; the differential tests and the benchmarks hold it
// against this version, which must give the same file bytes and counts.
#pragma once
#include "base/debug.h"
#include "store/Subj.h"

#include <string.h>

namespace mergeref {

inline bool IsId(int32_t no)
{
    return (no & SUBJ_NO_ID) != 0;
}

inline const char* Text(const char* s)
{
    return s ? s : "";
}

// Partner of incoming record i: its index in store or -1, with what the
// merge does with it.
inline int FindPartner(CSubj& store, CSubj& in, int i, int* replace, int* markUnread)
{
    const SubjItem& p = in.GetItem(i);
    *replace = 0;
    *markUnread = 0;
    const char* pid = IsId(p.no) ? in.GetIdText(p.no) : nullptr;
    const char* ptitle = in.Atoms(CSubj::A_TITLE).Get(p.title);
    const char* pname = in.Atoms(CSubj::A_NAME).Get(p.name);
    for (int j = 0; j < store.GetCount(); ++j) {
        const SubjItem& s = store.GetItem(j);
        if (pid ? !(IsId(s.no) && strcmp(store.GetIdText(s.no), pid) == 0) : s.no != p.no)
            continue;
        if (p.atr & ATR_D)
            return j;
        bool same = s.date == p.date && s.time == p.time &&
                    strcmp(store.Atoms(CSubj::A_NAME).Get(s.name), pname) == 0 &&
                    strcmp(store.Atoms(CSubj::A_TITLE).Get(s.title), ptitle) == 0;
        if (p.no == SUBJ_NO_UNKNOWN) {
            if (same)
                return j;   // never replaced
            continue;
        }
        if (same && strcmp(Text(s.msg), Text(p.msg)) == 0) {
            *replace = (s.atr & ATR_V) || (p.atr & ATR_O);
            return j;
        }
        if (p.atr & ATR_O) {
            *replace = 1;
            *markUnread = 1;
            return j;
        }
    }
    return -1;
}

// The strings of src (atoms of from) entered into store's tables, in the
// order the store enters them.
inline void EnterStrings(CSubj& store, SubjItem& dst, const SubjItem& src, CSubj& from)
{
    auto add = [&](CSubj::AtomTable t, int32_t atom) {
        return store.Atoms(t).Add(from.Atoms(t).Get(atom));
    };
    dst.title = add(CSubj::A_TITLE, src.title);
    dst.name = add(CSubj::A_NAME, src.name);
    dst.post = add(CSubj::A_POST, src.post);
    dst.follow = add(CSubj::A_FOLLOW, src.follow);
    dst.email = add(CSubj::A_EMAIL, src.email);
    dst.hp = add(CSubj::A_HP, src.hp);
    dst.image = add(CSubj::A_IMAGE, src.image);
    dst.no = IsId(src.no) ? store.MakeIdNo(from.GetIdText(src.no)) : src.no;
    dst.pno = IsId(src.pno) ? store.MakeIdNo(from.GetIdText(src.pno)) : src.pno;
}

inline void ReleaseAtoms(CSubj& store, SubjItem& s)
{
    store.Atoms(CSubj::A_TITLE).Delete(s.title);
    store.Atoms(CSubj::A_NAME).Delete(s.name);
    store.Atoms(CSubj::A_POST).Delete(s.post);
    store.Atoms(CSubj::A_FOLLOW).Delete(s.follow);
    store.Atoms(CSubj::A_EMAIL).Delete(s.email);
    store.Atoms(CSubj::A_HP).Delete(s.hp);
    store.Atoms(CSubj::A_IMAGE).Delete(s.image);
    if (IsId(s.no))
        store.Atoms(CSubj::A_ID).Delete(s.no & 0x7FFFFFFF);
    if (IsId(s.pno))
        store.Atoms(CSubj::A_ID).Delete(s.pno & 0x7FFFFFFF);
    s.title = s.name = s.post = s.follow = 0;
    s.email = s.hp = s.image = 0;
}

// CSubj::Merge with the literal partner scan: the count of articles that
// arrived; the store is written when something changed or it is empty.
inline int Merge(CSubj& store, CSubj& in)
{
    if (store.IsReadOnly())
        return 1;
    if (&in == &store)
        return 0;
    bool changed = false;
    int arrived = 0;
    for (int i = 0; i < in.GetCount(); ++i) {
        const SubjItem& p = in.GetItem(i);
        int replace, markUnread;
        int j = FindPartner(store, in, i, &replace, &markUnread);
        if (p.atr & ATR_D) {
            if (j >= 0) {
                store.Delete(j);
                changed = true;
            }
            continue;
        }
        if (j >= 0 && !replace)
            continue;
        char* text = CSubj::NormalizedText(p.msg);
        if (!text)
            continue;
        if (j >= 0) {
            SubjItem& s = *store.GetItemPtr(j);
            ReleaseAtoms(store, s);
            CSubj::FreeText(s.msg);
            EnterStrings(store, s, p, in);
            s.msg = text;
            s.date = p.date;
            s.time = p.time;
            s.atr = (uint8_t)(p.atr | (markUnread ? ATR_N : 0));
            if (markUnread)
                ++arrived;
            changed = true;
        } else {
            SubjItem n;
            CSubj::InitItem(&n);
            EnterStrings(store, n, p, in);
            n.msg = text;
            n.date = p.date;
            n.time = p.time;
            n.color = p.color;
            n.atr = (uint8_t)(p.atr | ((p.atr & ATR_V) ? 0 : ATR_N));
            if (store.Append(n) >= 0) {
                ++arrived;
                changed = true;
                Debug_Out("+");
            }
        }
    }
    Debug_Out("\n");

    SubjHeader& h = in.Header();
    SubjHeader& mine = store.Header();
    if (strcmp(mine.title, h.title) || strcmp(mine.post, h.post) || strcmp(mine.follow, h.follow)) {
        memcpy(mine.title, h.title, sizeof h.title);
        memcpy(mine.post, h.post, sizeof h.post);
        memcpy(mine.follow, h.follow, sizeof h.follow);
        changed = true;
    }
    if (changed)
        store.SetModified();
    if (changed || store.GetCount() == 0)
        store.Update();
    return arrived;
}

}  // namespace mergeref
