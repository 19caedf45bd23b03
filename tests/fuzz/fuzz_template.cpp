// Posting templates: any template and any values expand without overflow,
// and the fields of the request stay within their sizes.
#include "store/PostRequest.h"

#include "base/sjis.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <stdlib.h>
#include <string.h>

#include <string>

namespace {
void Check(bool ok)
{
    if (!ok)
        abort();
}

std::string g_setting;

void Setting(void*, const char* name, char* buf, unsigned size)
{
    Check(strlen(name) <= kPostNameMax);
    Str_Copy(buf, size, g_setting.c_str());
}

// The body a template without macros gives: the text after its second
// comma, later commas turned into "&", double-byte characters kept whole.
std::string LiteralBody(const std::string& t)
{
    std::string out;
    int commas = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        unsigned char c = (unsigned char)t[i];
        if (IsSjisLead(c) && i + 1 < t.size()) {
            if (commas >= 2)
                out += t.substr(i, 2);
            ++i;
            continue;
        }
        if (c == ',') {
            if (commas >= 2)
                out += '&';
            ++commas;
            continue;
        }
        if (commas >= 2)
            out += (char)c;
    }
    return out;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    std::string values[8];
    for (std::string& v : values)
        v = fdp.ConsumeRandomLengthString(300);
    g_setting = fdp.ConsumeRandomLengthString(400);
    bool euc = fdp.ConsumeBool();
    std::string tmpl = fdp.ConsumeRemainingBytesAsString();
    tmpl.resize(strlen(tmpl.c_str()));   // a template is text

    PostMacros m = {};
    m.url = values[0].c_str();
    m.upurl = values[1].c_str();
    m.title = values[2].c_str();
    m.msg = values[3].c_str();
    m.name = values[4].c_str();
    m.listTitle = values[5].c_str();
    m.no = values[6].c_str();
    m.pno = values[7].c_str();
    m.email = m.hp = m.key = m.user = m.pass = m.param1 = m.param2 = "e-1";
    m.charset = euc ? "EUC-JP" : "";
    m.setting = Setting;

    PostRequest r;
    Check(Post_Build(tmpl.c_str(), m, &r) == 1);
    Check(strlen(r.method) <= 9);
    Check(strlen(r.url) <= 261);
    Check(r.body != nullptr);
    if (tmpl.find('$') == std::string::npos)
        Check(LiteralBody(tmpl) == r.body);
    PostRequest_Free(&r);
    return 0;
}
