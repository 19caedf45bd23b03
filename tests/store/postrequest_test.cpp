#include "store/PostRequest.h"

#include "base/debug.h"

#include <gtest/gtest.h>

#include <string.h>

#include <map>
#include <string>
#include <vector>

namespace {

const char kOrbiloomPost[] = "POST,$C,category=$#T&title=$T&name=$N&follow=&comment=$M";
const char kOrbiloomFollow[] = "POST,$C,category=$#T&title=$T&name=$N&follow=$Sr&comment=$M";

// Board settings for "$(" name ")", with the names asked for.
struct Settings {
    std::map<std::string, std::string> values;
    std::vector<std::string> asked;
};

void Lookup(void* context, const char* name, char* buf, unsigned size)
{
    Settings* s = (Settings*)context;
    s->asked.push_back(name);
    auto it = s->values.find(name);
    std::string v = it == s->values.end() ? "" : it->second;
    snprintf(buf, size, "%s", v.c_str());
}

struct Request {
    PostRequest r;
    int result;
    Request() { PostRequest_Init(&r); }
    ~Request() { PostRequest_Free(&r); }
    std::string body() const { return r.body ? r.body : "<null>"; }
};

class PostTemplate : public ::testing::Test {
protected:
    PostTemplate()
    {
        m = PostMacros{};
        m.url = "http://127.0.0.1:8080/cgi/rnall.cgi";
        m.title = "テスト";
        m.msg = "x\n";
        m.name = "A";
        m.listTitle = "雑談";
        m.setting = Lookup;
        m.settingContext = &settings;
    }
    void Build(Request& req, const char* tmpl) { req.result = Post_Build(tmpl, m, &req.r); }
    std::string Body(const char* tmpl)
    {
        Request req;
        Build(req, tmpl);
        return req.body();
    }

    PostMacros m;
    Settings settings;
};

TEST_F(PostTemplate, OrbiloomNewArticleInShiftJisAndEuc)
{
    // テスト is 83 65 83 58 83 67, 雑談 8E 47 92 6B in Shift-JIS.
    Request sjis;
    Build(sjis, kOrbiloomPost);
    ASSERT_EQ(sjis.result, 1);
    EXPECT_STREQ(sjis.r.method, "POST");
    EXPECT_STREQ(sjis.r.url, "http://127.0.0.1:8080/cgi/rnall.cgi");
    EXPECT_EQ(sjis.body(), "category=%8E%47%92%6B&title=%83%65%83%58%83%67&name=A&follow=&comment=x%0D%0A");

    m.charset = "EUC-JP";
    Request euc;
    Build(euc, kOrbiloomPost);
    EXPECT_STREQ(euc.r.url, "http://127.0.0.1:8080/cgi/rnall.cgi");
    EXPECT_EQ(euc.body(), "category=%BB%A8%C3%CC&title=%A5%C6%A5%B9%A5%C8&name=A&follow=&comment=x%0D%0A");

    // Only a setting starting with "E" converts.
    m.charset = "SJIS";
    EXPECT_EQ(Body(",,$T"), "%83%65%83%58%83%67");
    m.charset = "euc";
    EXPECT_EQ(Body(",,$T"), "%83%65%83%58%83%67");
}

TEST_F(PostTemplate, EucConversionCoversEveryTrailAndLeadRange)
{
    m.charset = "E";
    // 漢 8A BF, 亜 88 9F, 腕 98 72, ヶ 83 96, 熙 EA A4, 漾 E0 40, 騾 E9 80, ー 81 5B,
    // ideographic space 81 40.
    m.title = "漢亜腕ヶ熙漾騾ー　";
    EXPECT_EQ(Body(",,$T"), "%B4%C1%B0%A1%CF%D3%A5%F6%F4%A6%DF%A1%F1%E0%A1%BC%A1%A1");
    // Half-width katakana (single bytes) are not converted.
    m.title = "\xB1";
    EXPECT_EQ(Body(",,$T"), "%B1");
}

TEST_F(PostTemplate, EncodingKeepsOnlyLetters)
{
    m.title = "12 aZ-_.~/&=+%\r\n\t";
    EXPECT_EQ(Body(",,t=$T"), "t=%31%32%20aZ%2D%5F%2E%7E%2F%26%3D%2B%25%0D%0D%0A%09");
    // A lead byte at the end of a value has no partner and goes out alone.
    m.title = "a\x83";
    EXPECT_EQ(Body(",,$T"), "a%83");
}

TEST_F(PostTemplate, CommasSeparateTwiceThenJoinBodyParts)
{
    m.title = "t";
    m.name = "n";
    EXPECT_EQ(Body("POST,http://x/,a=$T,b=$N,c=1"), "a=t&b=n&c=1");
    // "$," is a comma that separates nothing and is not encoded.
    EXPECT_EQ(Body("POST,http://x/,a=$T$,$N"), "a=t,n");
    Request req;
    Build(req, "POST,http://x/?q=1$,2,a=1");
    EXPECT_STREQ(req.r.url, "http://x/?q=1,2");
    EXPECT_EQ(req.body(), "a=1");
    // Nor does a comma inside a value copied into the URL.
    m.url = "http://x/?a,b";
    Request fromValue;
    Build(fromValue, "POST,$C,z=$N");
    EXPECT_STREQ(fromValue.r.url, "http://x/?a,b");
    EXPECT_EQ(fromValue.body(), "z=n");
}

TEST_F(PostTemplate, ValuesBeforeTheBodyAreCopiedAsTheyAre)
{
    m.name = "P O";
    m.url = "http://h/テ";
    Request req;
    Build(req, "$N,$C/$1,x");
    EXPECT_STREQ(req.r.method, "P O");
    EXPECT_STREQ(req.r.url, "http://h/テ/");
    EXPECT_EQ(req.body(), "x");
}

TEST_F(PostTemplate, NumbersAreInsertedRaw)
{
    m.no = "12";
    m.pno = "id with space";
    Request req;
    Build(req, kOrbiloomFollow);
    EXPECT_EQ(req.body(), "category=%8E%47%92%6B&title=%83%65%83%58%83%67&name=A&follow=id with space&comment=x%0D%0A");
    EXPECT_EQ(Body(",,n=$Sn&p=$Sr"), "n=12&p=id with space");
}

TEST_F(PostTemplate, EveryBoardValueHasItsMacro)
{
    m.upurl = "";
    m.email = "e";
    m.hp = "h";
    m.key = "k";
    m.user = "u";
    m.pass = "p";
    m.param1 = "one";
    m.param2 = "two";
    m.url = "U";
    EXPECT_EQ(Body(",,$C$c$E$H$K$U$P$1$2$$"), "UUehkuponetwo$");
    m.upurl = "up";
    EXPECT_EQ(Body(",,$c"), "up");
}

TEST_F(PostTemplate, MalformedAndUndefinedMacros)
{
    Debug_BeginCapture();
    EXPECT_EQ(Body(",,a$#xb$Sqc"), "a-decode error-b-decode error-c");
    EXPECT_EQ(Debug_Take(), "");
    // An undefined macro vanishes and is reported once.
    EXPECT_EQ(Body(",,a$Xb"), "ab");
    EXPECT_EQ(Debug_Take(), "書き込みメソッドマクロ展開中に未定義のマクロが検出されました\n");
    // A "$" or "$#" ending the template.
    EXPECT_EQ(Body(",,a$"), "a");
    EXPECT_EQ(Debug_Take(), "書き込みメソッドマクロ展開中に未定義のマクロが検出されました\n");
    EXPECT_EQ(Body(",,a$#"), "a-decode error-");
    // A double-byte character after "$" is dropped whole.
    EXPECT_EQ(Body(",,a$テb"), "ab");
    Debug_EndCapture();
}

TEST_F(PostTemplate, SettingsMacroReadsTheBoardSettingsNow)
{
    settings.values["FORM"] = "a b";
    settings.values[std::string(19, 'K')] = "long";
    EXPECT_EQ(Body("POST,$(FORM),f=$(FORM)"), "f=a%20b");
    Request req;
    Build(req, "POST,$(FORM),x");
    EXPECT_STREQ(req.r.url, "a b");
    // The key name is held to 19 bytes.
    settings.asked.clear();
    EXPECT_EQ(Body((",,$(" + std::string(25, 'K') + ")!").c_str()), "long!");
    ASSERT_FALSE(settings.asked.empty());
    EXPECT_EQ(settings.asked.back(), std::string(19, 'K'));
    // A value is at most 259 bytes.
    settings.values["BIG"] = std::string(400, 'v');
    EXPECT_EQ(Body(",,$(BIG)"), std::string(259, 'v'));
    // Without ")" the name runs to the end of the template.
    settings.values["FORM,x"] = "q";
    EXPECT_EQ(Body(",,a$(FORM,x"), "aq");
    EXPECT_EQ(Body(",,a$(NONE)b"), "ab");
}

TEST_F(PostTemplate, MethodAndUrlAreCutToTheirFields)
{
    std::string url(300, 'u');
    Request req;
    Build(req, ("POSTPOSTPOST," + url + ",b=1").c_str());
    EXPECT_STREQ(req.r.method, "POSTPOSTP");
    EXPECT_EQ(std::string(req.r.url), std::string(261, 'u'));
    EXPECT_EQ(req.body(), "b=1");

    Request lib;
    Build(lib, "LIB");
    EXPECT_EQ(lib.result, 1);
    EXPECT_STREQ(lib.r.method, "LIB");
    EXPECT_STREQ(lib.r.url, "");
    EXPECT_EQ(lib.body(), "");
    Request empty;
    Build(empty, nullptr);
    EXPECT_EQ(empty.result, 1);
    EXPECT_EQ(empty.body(), "");
}

TEST_F(PostTemplate, BodyHoldsAnyExpansion)
{
    // Every LF grows to six bytes, every other encoded byte to three.
    std::string text(20000, '\n');
    text += std::string(20000, '1');
    m.msg = text.c_str();
    std::string body = Body(",,m=$M$M");
    std::string once;
    for (int i = 0; i < 20000; ++i)
        once += "%0D%0A";
    for (int i = 0; i < 20000; ++i)
        once += "%31";
    EXPECT_EQ(body, "m=" + once + once);
}

TEST_F(PostTemplate, LiteralTextIsCopiedWithDoubleByteCharacters)
{
    // The trail byte of ソ (83 5C) and of 表 (95 5C) is a backslash, and
    // a lead byte ending the template stands alone.
    EXPECT_EQ(Body(",,ソ=表&x\x83"), "ソ=表&x\x83");
}

} // namespace

// ---------------------------------------------------------------- CSubj

#include "subj_testutil.h"

namespace {

using subjtest::TempDir;
using subjtest::WriteBytes;

class MakePost : public ::testing::Test {
protected:
    void SetUp() override
    {
        ini = dir.File("zeva_BBS.ini");
        store = dir.File("001.zvt");
        ASSERT_TRUE(WriteBytes(ini, "[BASIC]\r\nURL=http://127.0.0.1:8080/rnall.cgi\r\nNAME=A\r\n"
                                    "FORM=f1\r\nCHARSET=\r\n"));
        ASSERT_TRUE(WriteBytes(store, std::string("#T:雑談\n#F:") + kOrbiloomFollow + "\n#P:" +
                                          kOrbiloomPost + "\n"
                                          "S:*,*,04/05/06,21:07,U,\nT:テスト\nM:x\n.\n"
                                          "S:Sid 7,*,04/05/06,21:08,U,\nT:b\nP:POST,$(FORM),n=$Sn\nM:y\n.\n"
                                          "S:12,Sid 7,04/05/06,21:09,U,\nT:c\nP:-\nM:z\n.\n"));
    }

    TempDir dir;
    std::string ini, store;
};

TEST_F(MakePost, ArticleAndBoardValuesMakeTheRequest)
{
    CSubj s;
    ASSERT_EQ(s.LoadFile(store.c_str()), 1);
    ASSERT_EQ(s.GetCount(), 3);
    Request req;
    ASSERT_EQ(s.MakePostRequest(0, &req.r), 1);
    EXPECT_STREQ(req.r.method, "POST");
    EXPECT_STREQ(req.r.url, "http://127.0.0.1:8080/rnall.cgi");
    EXPECT_EQ(req.body(), "category=%8E%47%92%6B&title=%83%65%83%58%83%67&name=A&follow=&comment=x%0D%0A");

    // The article's own template wins; "$(" name ")" is read when expanding.
    ASSERT_TRUE(WriteBytes(ini, "[BASIC]\r\nFORM=f2\r\n"));
    Request own;
    ASSERT_EQ(s.MakePostRequest(1, &own.r), 1);
    EXPECT_STREQ(own.r.url, "f2");
    EXPECT_EQ(own.body(), "n=id 7");
    // An own template starting with "-" gives way to the list's.
    Request dash;
    ASSERT_EQ(s.MakePostRequest(2, &dash.r), 1);
    EXPECT_STREQ(dash.r.method, "POST");
    EXPECT_EQ(dash.body(), "category=%8E%47%92%6B&title=c&name=A&follow=&comment=z%0D%0A");
}

TEST_F(MakePost, EucBoardsAndBadIndexes)
{
    ASSERT_TRUE(WriteBytes(ini, "[BASIC]\r\nURL=u\r\nNAME=A\r\nCHARSET=EUC-JP\r\n"));
    CSubj s;
    ASSERT_EQ(s.LoadFile(store.c_str()), 1);
    Request req;
    ASSERT_EQ(s.MakePostRequest(0, &req.r), 1);
    EXPECT_EQ(req.body(), "category=%BB%A8%C3%CC&title=%A5%C6%A5%B9%A5%C8&name=A&follow=&comment=x%0D%0A");

    Debug_BeginCapture();
    Request bad;
    EXPECT_EQ(s.MakePostRequest(3, &bad.r), 0);
    EXPECT_EQ(bad.r.body, nullptr);
    EXPECT_STREQ(bad.r.method, "");
    EXPECT_EQ(Debug_Take(), "CSubj::GetPostStr() - 不正なインデックスの参照\r\n");
    Debug_EndCapture();
}

} // namespace
