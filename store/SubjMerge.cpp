// CSubj::Merge: a plug-in's output joins the store.
//
// The partner of an incoming article is the first stored record, in array
// order, that meets the rules below. Scanning the whole store for every
// incoming article costs incoming x stored; the merge instead looks only at
// the records that share the article's number (or, for an unknown number,
// its date, time, name and title), kept in array order in lists built once
// per merge and kept up to date as the merge appends, replaces and deletes.
// Deleted records stay in the array, marked, until the merge is done, so
// that the positions in the lists stay valid; the array is closed up once
// at the end.
#include "store/Subj.h"

#include "base/debug.h"

#include <string.h>

#include <algorithm>
#include <new>
#include <vector>

namespace {
bool IsId(int32_t no)
{
    return (no & SUBJ_NO_ID) != 0;
}

bool IsBlankOrLf(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

const char* Text(const char* s)
{
    return s ? s : "";
}

// The incoming article p as the partner rules see it.
struct Incoming {
    const SubjItem* p;
    const char* id;      // identifier text, or nullptr for a plain number
    const char* title;
    const char* name;
};

bool SameNumber(CSubj& store, const SubjItem& s, const Incoming& in)
{
    if (in.id)
        return IsId(s.no) && strcmp(store.GetIdText(s.no), in.id) == 0;
    return s.no == in.p->no;
}

// The rules for a stored record s with p's number: 1 if s is the partner
// (with what the merge does with it), 0 if the search goes on.
int IsPartner(CSubj& store, const SubjItem& s, const Incoming& in, int* replace, int* markUnread)
{
    const SubjItem& p = *in.p;
    if (p.atr & ATR_D)
        return 1;
    bool same = s.date == p.date && s.time == p.time &&
                strcmp(store.Atoms(CSubj::A_NAME).Get(s.name), in.name) == 0 &&
                strcmp(store.Atoms(CSubj::A_TITLE).Get(s.title), in.title) == 0;
    if (p.no == SUBJ_NO_UNKNOWN)
        return same ? 1 : 0;   // never replaced
    if (same && strcmp(Text(s.msg), Text(p.msg)) == 0) {
        *replace = (s.atr & ATR_V) || (p.atr & ATR_O);
        return 1;
    }
    if (p.atr & ATR_O) {
        *replace = 1;
        *markUnread = 1;
        return 1;
    }
    return 0;
}

Incoming Describe(CSubj& from, const SubjItem& p)
{
    Incoming in;
    in.p = &p;
    in.id = IsId(p.no) ? from.GetIdText(p.no) : nullptr;
    in.title = from.Atoms(CSubj::A_TITLE).Get(p.title);
    in.name = from.Atoms(CSubj::A_NAME).Get(p.name);
    return in;
}

uint64_t Mix(uint64_t x)
{
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDULL;
    x ^= x >> 33;
    x *= 0xC4CEB9FE1A85EC53ULL;
    return x ^ (x >> 33);
}

// What a record is filed under: its number, or for an unknown number the
// fields an unknown number is matched on. Records filed apart can never be
// partners; records filed together still go through the rules. Texts count
// by their keys (CAtom::TextKey), which the store's tables keep for every
// atom, so filing the stored records reads none of their texts.
uint64_t FileKey(int32_t no, bool hasId, uint32_t idKey, uint16_t date, uint16_t time, uint32_t nameKey,
                 uint32_t titleKey)
{
    if (hasId)
        return Mix((uint64_t)idKey << 1 | 1);
    if (no != SUBJ_NO_UNKNOWN)
        return Mix((uint64_t)(uint32_t)no << 1);
    return Mix((uint64_t)nameKey * 31 + (uint64_t)titleKey * 7 + ((uint64_t)date << 16 | time) * 3 + 2);
}

// The stored records of every file key that the incoming list asks for, as
// lists in array order.
class PartnerIndex {
public:
    // Everything the index needs is had here, so that the merge itself asks
    // for no memory; without it the index is not usable (Usable() false)
    // and the merge scans the store instead, with the same results.
    PartnerIndex(CSubj& store, CSubj& in) : m_store(store), m_deadCount(0), m_unknownCursor(0), m_usable(false)
    {
        try {
            Build(in);
            m_usable = true;
        } catch (const std::bad_alloc&) {
        }
    }

    bool Usable() const { return m_usable; }

    void Build(CSubj& in)
    {
        int n = in.GetCount();
        m_key.resize((size_t)n);
        size_t size = 16;
        while (size < (size_t)n * 2)
            size *= 2;
        m_table.assign(size, -1);
        bool wantNumbers = false, wantIds = false, wantUnknown = false;
        for (int i = 0; i < n; ++i) {
            const SubjItem& p = in.GetItem(i);
            if ((p.atr & ATR_D) && p.no == SUBJ_NO_UNKNOWN)
                continue;   // the first unknown number of all: found by a walk
            Incoming d = Describe(in, p);
            m_key[(size_t)i] = FileKey(p.no, d.id != nullptr, d.id ? CAtom::TextKey(d.id) : 0, p.date, p.time,
                                       CAtom::TextKey(d.name), CAtom::TextKey(d.title));
            Slot(m_key[(size_t)i], true);
            wantIds |= d.id != nullptr;
            wantUnknown |= p.no == SUBJ_NO_UNKNOWN;
            wantNumbers |= !d.id && p.no != SUBJ_NO_UNKNOWN;
        }
        CSubj& store = m_store;
        int count = store.GetCount();
        // Room for every record the merge may append.
        size_t most = (size_t)count + (size_t)n;
        for (std::vector<int>* v : {&m_next, &m_prev, &m_list, &m_to}) {
            v->reserve(most);
            v->assign((size_t)count, -1);
        }
        m_dead.assign(most, 0);
        if (m_lists.empty())
            return;
        for (int j = 0; j < count; ++j) {
            const SubjItem& s = store.GetItem(j);
            uint64_t key;
            if (IsId(s.no)) {
                if (!wantIds)
                    continue;
                key = FileKey(s.no, true, store.Atoms(CSubj::A_ID).KeyAt(s.no & 0x7FFFFFFF), 0, 0, 0, 0);
            } else if (s.no != SUBJ_NO_UNKNOWN) {
                if (!wantNumbers)
                    continue;
                key = FileKey(s.no, false, 0, 0, 0, 0, 0);
            } else {
                if (!wantUnknown)
                    continue;
                key = FileKey(s.no, false, 0, s.date, s.time, store.Atoms(CSubj::A_NAME).KeyAt(s.name),
                              store.Atoms(CSubj::A_TITLE).KeyAt(s.title));
            }
            int list = Slot(key, false);
            if (list >= 0)
                Link(j, list);
        }
    }

    // Partner of incoming record i, as the scan from the first record finds it.
    int Find(CSubj& in, int i, int* replace, int* markUnread)
    {
        const SubjItem& p = in.GetItem(i);
        *replace = 0;
        *markUnread = 0;
        if ((p.atr & ATR_D) && p.no == SUBJ_NO_UNKNOWN) {
            // Records before the cursor are deleted or numbered; neither
            // changes back, and new records come at the end.
            int count = m_store.GetCount();
            while (m_unknownCursor < count &&
                   (Dead(m_unknownCursor) || m_store.GetItem(m_unknownCursor).no != SUBJ_NO_UNKNOWN))
                ++m_unknownCursor;
            return m_unknownCursor < count ? m_unknownCursor : -1;
        }
        Incoming d = Describe(in, p);
        int list = Slot(m_key[(size_t)i], false);
        for (int j = list >= 0 ? m_lists[(size_t)list].first : -1; j >= 0; j = m_next[(size_t)j]) {
            const SubjItem& s = m_store.GetItem(j);
            if (SameNumber(m_store, s, d) && IsPartner(m_store, s, d, replace, markUnread))
                return j;
        }
        return -1;
    }

    // Record j was appended for incoming record i.
    void Appended(int j, int i)
    {
        if ((size_t)j >= m_next.size()) {
            m_next.resize((size_t)j + 1, -1);
            m_prev.resize((size_t)j + 1, -1);
            m_list.resize((size_t)j + 1, -1);
        }
        int list = Slot(m_key[(size_t)i], false);
        if (list >= 0)
            Link(j, list);
    }

    // Record j is deleted: it leaves its list and is skipped from now on.
    void Removed(int j)
    {
        m_dead[(size_t)j] = 1;
        ++m_deadCount;
        int list = m_list[(size_t)j];
        if (list < 0)
            return;
        List& l = m_lists[(size_t)list];
        int p = m_prev[(size_t)j], n = m_next[(size_t)j];
        if (p >= 0)
            m_next[(size_t)p] = n;
        else
            l.first = n;
        if (n >= 0)
            m_prev[(size_t)n] = p;
        else
            l.last = p;
        m_list[(size_t)j] = -1;
    }

    // Where each record goes when the deleted ones are taken out (-1 for a
    // deleted one), count records in all; memory had when the index was built.
    std::vector<int>& Targets(int count)
    {
        m_to.resize((size_t)count);
        return m_to;
    }

    // The deleted records are gone: record j is now at to[j] (-1 for a
    // deleted one), kept records in all. Done in place: to[j] <= j.
    void Renumber(const std::vector<int>& to, int kept)
    {
        auto map = [&](int j) { return j >= 0 ? to[(size_t)j] : -1; };
        for (List& l : m_lists) {
            l.first = map(l.first);
            l.last = map(l.last);
        }
        for (size_t j = 0; j < to.size() && j < m_next.size(); ++j) {
            if (to[j] < 0)
                continue;
            size_t at = (size_t)to[j];
            m_next[at] = map(m_next[j]);
            m_prev[at] = map(m_prev[j]);
            m_list[at] = m_list[j];
        }
        m_next.resize((size_t)kept);
        m_prev.resize((size_t)kept);
        m_list.resize((size_t)kept);
        int cursor = m_unknownCursor;
        while (cursor < (int)to.size() && to[(size_t)cursor] < 0)
            ++cursor;
        m_unknownCursor = cursor < (int)to.size() ? to[(size_t)cursor] : kept;
        std::fill(m_dead.begin(), m_dead.end(), 0);
        m_deadCount = 0;
    }

    bool Dead(int j) const { return (size_t)j < m_dead.size() && m_dead[(size_t)j]; }
    int DeadCount() const { return m_deadCount; }

private:
    struct List {
        uint64_t key;
        int first, last;
    };

    // The list of key (made when add is set); -1 if there is none.
    int Slot(uint64_t key, bool add)
    {
        size_t mask = m_table.size() - 1;
        for (size_t at = (size_t)key & mask;; at = (at + 1) & mask) {
            int list = m_table[at];
            if (list < 0) {
                if (!add)
                    return -1;
                m_table[at] = (int)m_lists.size();
                m_lists.push_back(List{key, -1, -1});
                return m_table[at];
            }
            if (m_lists[(size_t)list].key == key)
                return list;
        }
    }

    void Link(int j, int list)
    {
        List& l = m_lists[(size_t)list];
        m_list[(size_t)j] = list;
        m_prev[(size_t)j] = l.last;
        m_next[(size_t)j] = -1;
        if (l.last >= 0)
            m_next[(size_t)l.last] = j;
        else
            l.first = j;
        l.last = j;
    }

    CSubj& m_store;
    std::vector<uint64_t> m_key;   // file key of every incoming record
    std::vector<int> m_table;      // open addressing: key -> list
    std::vector<List> m_lists;
    std::vector<int> m_next, m_prev, m_list;   // by stored record
    std::vector<int> m_to;                     // scratch of Targets
    std::vector<uint8_t> m_dead;
    int m_deadCount;
    int m_unknownCursor;
    bool m_usable;
};
}

char* CSubj::NormalizedText(const char* text)
{
    text = Text(text);
    size_t n = strlen(text);
    size_t last = n;
    while (last > 0 && IsBlankOrLf(text[last - 1]))
        --last;
    if (last == 0)
        return AllocText(text, n);   // nothing but blanks and line ends: as it is
    const char* lf = (const char*)memchr(text + last, '\n', n - last);
    if (lf)
        return AllocText(text, (size_t)(lf - text) + 1);
    char* out = AllocText(text, n + 1);   // room for the missing LF
    if (out) {
        out[n] = '\n';
        out[n + 1] = 0;
    }
    return out;
}

int CSubj::FindPartner(CSubj* incoming, int i, int* replace, int* markUnread)
{
    *replace = 0;
    *markUnread = 0;
    Incoming d = Describe(*incoming, incoming->m_items[i]);
    for (int j = 0; j < m_count; ++j) {
        const SubjItem& s = m_items[j];
        if (SameNumber(*this, s, d) && IsPartner(*this, s, d, replace, markUnread))
            return j;
    }
    return -1;
}

int CSubj::Merge(CSubj* incoming)
{
    if (m_readOnly)
        return 1;
    if (!incoming || incoming == this)
        return 0;
    bool changed = false;
    int arrived = 0;
    PartnerIndex index(*this, *incoming);
    // Closes the gaps of the deleted records; done before the array would
    // grow, so that it grows exactly when a merge that deletes at once would.
    if (!index.Usable())
        Debug_Out("CSubj::Merge() - メモリが足りません\n");
    auto closeGaps = [&]() {
        std::vector<int>& to = index.Targets(m_count);
        int kept = 0;
        for (int j = 0; j < m_count; ++j) {
            to[(size_t)j] = index.Dead(j) ? -1 : kept;
            if (!index.Dead(j))
                m_items[kept++] = m_items[j];
        }
        m_count = kept;
        m_modified = 1;
        index.Renumber(to, kept);
    };
    for (int i = 0; i < incoming->m_count; ++i) {
        const SubjItem& p = incoming->m_items[i];
        int replace, markUnread;
        int j = index.Usable() ? index.Find(*incoming, i, &replace, &markUnread)
                               : FindPartner(incoming, i, &replace, &markUnread);
        if (p.atr & ATR_D) {
            if (j >= 0 && !index.Usable()) {
                Delete(j);
                changed = true;
            } else if (j >= 0) {
                // Deleted as Delete does, the gap closed at the end.
                ReleaseAtoms(m_items[j]);
                FreeText(m_items[j].msg);
                m_items[j].msg = nullptr;
                --m_msgCount;
                index.Removed(j);
                changed = true;
            }
            continue;
        }
        if (j >= 0 && !replace)
            continue;   // already here: the stored article keeps its marks
        char* text = NormalizedText(p.msg);
        if (!text) {
            Debug_Out("CSubj::Merge() - メモリが足りません\n");
            continue;
        }
        if (j >= 0) {
            // Replaced in place; the stored colour label stays.
            SubjItem& s = m_items[j];
            ReleaseAtoms(s);
            FreeText(s.msg);
            EnterStrings(s, p, incoming);
            s.msg = text;
            s.date = p.date;
            s.time = p.time;
            s.atr = (uint8_t)(p.atr | (markUnread ? ATR_N : 0));
            if (markUnread)
                ++arrived;
            changed = true;
        } else {
            SubjItem n;
            InitItem(&n);
            EnterStrings(n, p, incoming);
            n.msg = text;
            n.date = p.date;
            n.time = p.time;
            n.color = p.color;
            n.atr = (uint8_t)(p.atr | ((p.atr & ATR_V) ? 0 : ATR_N));
            if (m_count >= m_capacity && index.DeadCount())
                closeGaps();
            int at = Append(n);
            if (at >= 0) {
                if (index.Usable())
                    index.Appended(at, i);
                ++arrived;
                changed = true;
                Debug_Out("+");
            }
        }
    }
    Debug_Out("\n");
    if (index.DeadCount())
        closeGaps();

    SubjHeader& h = incoming->m_header;
    if (strcmp(m_header.title, h.title) || strcmp(m_header.post, h.post) ||
        strcmp(m_header.follow, h.follow)) {
        memcpy(m_header.title, h.title, sizeof h.title);
        memcpy(m_header.post, h.post, sizeof h.post);
        memcpy(m_header.follow, h.follow, sizeof h.follow);
        changed = true;
    }
    if (changed)
        m_modified = 1;
    if (changed || m_count == 0)
        Update();
    return arrived;
}
