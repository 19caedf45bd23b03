// The article properties form (ArticleProps.h).
#include "ui/textview/ArticleProps.h"

#include "base/sjis.h"
#include "store/Subj.h"
#include "ui/textview/TextFormat.h"

#include <string.h>

namespace {

// A template as stored: at most 254 bytes; a text that fills the field and
// ends in the first byte of a character was cut there, and loses it.
void TemplateOf(char (&dst)[ARTICLE_TEMPLATE_MAX + 1], const char* src)
{
    size_t n = TextFormat_CopyChars(dst, sizeof dst, src);
    if (n < ARTICLE_TEMPLATE_MAX)
        return;
    size_t j = 0, last = 0;
    while (j < n) {
        last = j;
        j += (IsSjisLead((unsigned char)dst[j]) && j + 1 < n) ? 2 : 1;
    }
    if (last == n - 1 && IsSjisLead((unsigned char)dst[last]))
        dst[last] = 0;
}

}  // namespace

int32_t ArticleProps_ParseNo(const char* text)
{
    if (!text)
        return 0;
    if (text[0] == '*')
        return SUBJ_NO_UNKNOWN;
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    uint32_t v = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        v = v * 10u + (uint32_t)(*p - '0');
    if (negative)
        v = 0u - v;
    return (int32_t)(v & 0x7FFFFFFFu);
}

int ArticleProps_Read(CSubj& subj, int index, ArticleProps* f)
{
    memset(f, 0, sizeof *f);
    SubjItem* item = subj.GetItemPtr(index);
    if (!item)
        return 0;
    TextFormat_CopyChars(f->no, sizeof f->no, subj.NoStr(index));
    TextFormat_CopyChars(f->pno, sizeof f->pno, subj.PnoStr(index));
    f->noEditable = (item->no & SUBJ_NO_ID) == 0;
    f->pnoEditable = (item->pno & SUBJ_NO_ID) == 0;
    subj.DateStr(index, f->date);
    subj.TimeStr(index, f->time);
    TextFormat_CopyChars(f->name, sizeof f->name, subj.GetName(index));
    TextFormat_CopyChars(f->title, sizeof f->title, subj.GetTitle(index));
    // The record's own templates, not the list's defaults they fall back to.
    TextFormat_CopyChars(f->post, sizeof f->post, subj.Atoms(CSubj::A_POST).Get(item->post));
    TextFormat_CopyChars(f->follow, sizeof f->follow, subj.Atoms(CSubj::A_FOLLOW).Get(item->follow));
    f->unread = (item->atr & ATR_N) != 0;
    f->unsent = (item->atr & ATR_U) != 0;
    f->held = (item->atr & ATR_B) != 0;
    f->virt = (item->atr & ATR_V) != 0;
    return 1;
}

int ArticleProps_Apply(CSubj& subj, int index, const ArticleProps& f)
{
    SubjItem* item = subj.GetItemPtr(index);
    if (!item || subj.IsReadOnly())
        return 0;
    int changed = 0;
    if (f.noEditable && !(item->no & SUBJ_NO_ID)) {
        int32_t no = ArticleProps_ParseNo(f.no);
        changed |= no != item->no;
        item->no = no;
    }
    if (f.pnoEditable && !(item->pno & SUBJ_NO_ID)) {
        int32_t pno = ArticleProps_ParseNo(f.pno);
        changed |= pno != item->pno;
        item->pno = pno;
    }
    int set = (f.unread ? ATR_N : 0) | (f.unsent ? ATR_U : 0) | (f.held ? ATR_B : 0) | (f.virt ? ATR_V : 0);
    changed |= subj.SetAtr(index, ATR_N | ATR_U | ATR_B | ATR_V, set);
    char post[ARTICLE_TEMPLATE_MAX + 1], follow[ARTICLE_TEMPLATE_MAX + 1];
    TemplateOf(post, f.post);
    TemplateOf(follow, f.follow);
    if (strcmp(post, subj.Atoms(CSubj::A_POST).Get(item->post)) != 0) {
        subj.SetPostStr(index, post);
        changed = 1;
    }
    if (strcmp(follow, subj.Atoms(CSubj::A_FOLLOW).Get(item->follow)) != 0) {
        subj.SetFollowStr(index, follow);
        changed = 1;
    }
    return changed;
}
