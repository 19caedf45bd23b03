// CSubj::Merge: a plug-in's output joins the store.
#include "store/Subj.h"

#include "base/debug.h"

#include <string.h>

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
    const SubjItem& p = incoming->m_items[i];
    *replace = 0;
    *markUnread = 0;
    const char* pid = IsId(p.no) ? incoming->GetIdText(p.no) : nullptr;
    const char* ptitle = incoming->m_atoms[A_TITLE].Get(p.title);
    const char* pname = incoming->m_atoms[A_NAME].Get(p.name);
    for (int j = 0; j < m_count; ++j) {
        const SubjItem& s = m_items[j];
        if (pid ? !(IsId(s.no) && strcmp(GetIdText(s.no), pid) == 0) : s.no != p.no)
            continue;
        if (p.atr & ATR_D)
            return j;
        bool same = s.date == p.date && s.time == p.time &&
                    strcmp(m_atoms[A_NAME].Get(s.name), pname) == 0 &&
                    strcmp(m_atoms[A_TITLE].Get(s.title), ptitle) == 0;
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

int CSubj::Merge(CSubj* incoming)
{
    if (m_readOnly)
        return 1;
    if (!incoming || incoming == this)
        return 0;
    bool changed = false;
    int arrived = 0;
    for (int i = 0; i < incoming->m_count; ++i) {
        const SubjItem& p = incoming->m_items[i];
        int replace, markUnread;
        int j = FindPartner(incoming, i, &replace, &markUnread);
        if (p.atr & ATR_D) {
            if (j >= 0) {
                Delete(j);
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
            if (Append(n) >= 0) {
                ++arrived;
                changed = true;
                Debug_Out("+");
            }
        }
    }
    Debug_Out("\n");

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
