// CSubj::MakePostRequest: the posting request of one article, from its
// effective new-article template and the board settings of its store.
#include "store/PostRequest.h"

#include "base/profile.h"
#include "store/Subj.h"

namespace {
// "$(" name ")": read from section BASIC of the board settings file at the
// time of the expansion.
void BoardSetting(void* context, const char* name, char* buf, unsigned size)
{
    const CSubj* subj = (const CSubj*)context;
    Profile_GetString("BASIC", name, "", buf, size, subj->GetIniPath());
}
}

int CSubj::MakePostRequest(int index, PostRequest* request)
{
    PostRequest_Init(request);
    if (!request)
        return 0;
    // GetPostStr logs a bad index; there is nothing to post then.
    const char* tmpl = GetPostStr(index);
    if (index < 0 || index >= m_count || !tmpl)
        return 0;
    const BoardSettings& s = m_settings;
    PostMacros m = {};
    m.url = s.url;
    m.upurl = s.upurl;
    m.title = GetTitle(index);
    m.msg = GetMsg(index);
    m.name = s.name;
    m.email = s.email;
    m.hp = s.hp;
    m.key = s.key;
    m.user = s.user;
    m.pass = s.pass;
    m.param1 = s.param1;
    m.param2 = s.param2;
    m.listTitle = m_header.title;
    m.no = NoStr(index);
    m.pno = PnoStr(index);
    m.charset = s.charset;
    m.setting = BoardSetting;
    m.settingContext = this;
    return Post_Build(tmpl, m, request);
}
