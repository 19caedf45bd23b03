#include "ui/options/OptionValues.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

namespace {

// Records what a page writes, in order: "OPTION/Key=value", and "save".
class CRecorder : public COptionSink {
public:
    std::vector<std::string> log;
    std::string section;
    void SetSection(const char* name) override { section = name; }
    void SetString(const char* key, const char* value) override { log.push_back(section + "/" + key + "=" + value); }
    void SetInt(const char* key, int value) override { SetString(key, std::to_string(value).c_str()); }
    int Save() override
    {
        log.push_back("save");
        return 1;
    }
    std::vector<std::string> Keys() const
    {
        std::vector<std::string> keys;
        for (const std::string& l : log)
            keys.push_back(l.substr(0, l.find('=')));
        return keys;
    }
    std::string Value(const char* key) const
    {
        std::string prefix = section + "/" + key + "=";
        std::string v = "<none>";
        for (const std::string& l : log)
            if (l.compare(0, prefix.size(), prefix) == 0)
                v = l.substr(prefix.size());
        return v;
    }
};

AppOptions Defaults()
{
    AppOptions o;
    AppOptions_Defaults(&o, -12);
    return o;
}

std::vector<std::string> OptionKeys(std::initializer_list<const char*> names)
{
    std::vector<std::string> keys;
    for (const char* n : names) {
        std::string k = n;
        if (k.compare(0, 4, "Font") == 0) {
            for (const char* part : {"Face", "Size", "Italic", "Weight"})
                keys.push_back("OPTION/" + k + part);
        } else {
            keys.push_back(k == "save" ? k : "OPTION/" + k);
        }
    }
    return keys;
}

TEST(OptionValues, NumbersAsTyped)
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"50", 50},           {"  7", 7},          {"", 0},        {"abc", 0},
        {"-5", 0},            {"12abc", 12},       {"0008", 8},    {"2147483647", 2147483647},
        {"2147483648", 2147483647}, {"99999999999999999999999", 2147483647}, {"８", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Option_ParseNumber(c.text), c.value) << c.text;
    EXPECT_EQ(Option_ParseNumber(nullptr), 0);
}

TEST(OptionValues, ThreadCountHeldWithinOneToFive)
{
    struct Case {
        const char* typed;
        const char* stored;
    } cases[] = {{"8", "5"}, {"6", "5"}, {"5", "5"}, {"1", "1"}, {"0", "1"}, {"x", "1"}, {"3", "3"},
                 {"4294967296", "5"}};
    for (const Case& c : cases) {
        AppOptions o = Defaults();
        PatrolForm f;
        PatrolForm_Load(&f, o);
        f.threadCount = c.typed;
        CRecorder ini;
        PatrolForm_Store(f, &o, ini);
        EXPECT_EQ(ini.Value("ThreadCount"), c.stored) << c.typed;
        EXPECT_EQ(std::to_string(o.threadCount), c.stored) << c.typed;
    }
}

TEST(OptionValues, TextsCutToTheirFieldsAtCharacterBoundaries)
{
    std::string path(300, 'a'), kana;
    for (int i = 0; i < 60; ++i)
        kana += "あ";   // two bytes each: 120 bytes
    struct Case {
        std::string typed;
        size_t size;
        std::string kept;
    } cases[] = {
        {path, 260, path.substr(0, 259)},
        {std::string(259, 'b'), 260, std::string(259, 'b')},
        {"x" + kana, 80, "x" + kana.substr(0, 78)},   // 79 would split a character
        {kana, 99, kana.substr(0, 98)},
        {"", 80, ""},
    };
    for (const Case& c : cases) {
        std::vector<char> field(c.size, '#');
        Option_CutText(field.data(), field.size(), c.typed.c_str());
        EXPECT_EQ(std::string(field.data()), c.kept) << c.typed.size() << " into " << c.size;
    }
}

TEST(OptionValues, LongTextsStoredCutByTheirPages)
{
    AppOptions o = Defaults();
    ComposeForm c;
    ComposeForm_Load(&c, o);
    c.quoteMark = std::string(200, '>');
    c.editor = std::string(400, 'e');
    c.replyHeader = "RE[%s_no%]: %s_title%";
    CRecorder ci;
    ComposeForm_Store(c, &o, ci);
    EXPECT_EQ(ci.Value("QuoteMark"), std::string(79, '>'));
    EXPECT_EQ(ci.Value("Editor"), std::string(259, 'e'));
    EXPECT_EQ(ci.Value("ReplyHeader"), "RE[%s_no%]: %s_title%");

    PatrolForm p;
    PatrolForm_Load(&p, o);
    p.proxyAdr = std::string(150, 'p');
    p.perl = std::string(260, 'l');
    p.proxyPort = "8080";
    CRecorder pi;
    PatrolForm_Store(p, &o, pi);
    EXPECT_EQ(pi.Value("ProxyAdr"), std::string(98, 'p'));
    EXPECT_EQ(pi.Value("Perl"), std::string(259, 'l'));
    EXPECT_EQ(pi.Value("ProxyPort"), "8080");

    SoundForm s;
    SoundForm_Load(&s, o);
    s.paths[0] = std::string(270, 's');
    CRecorder si;
    SoundForm_Store(s, &o, si);
    EXPECT_EQ(si.Value("Sound003"), std::string(259, 's'));   // the first scene is 起動, sound 3
}

// Which keys each page writes, and whether it saves the file itself.
TEST(OptionValues, EachPageWritesItsKeys)
{
    AppOptions o = Defaults();
    CRecorder display, compose, patrol, sound, other;
    DisplayForm d;
    DisplayForm_Load(&d, o);
    DisplayForm_Store(d, &o, display);
    ComposeForm c;
    ComposeForm_Load(&c, o);
    ComposeForm_Store(c, &o, compose);
    PatrolForm p;
    PatrolForm_Load(&p, o);
    PatrolForm_Store(p, &o, patrol);
    SoundForm s;
    SoundForm_Load(&s, o);
    SoundForm_Store(s, &o, sound);
    OtherForm x;
    OtherForm_Load(&x, o, 0);
    OtherForm_Store(x, &o, other);

    struct Case {
        const char* page;
        const CRecorder& ini;
        std::vector<std::string> keys;
    } cases[] = {
        {"表示", display,
         OptionKeys({"ColTextQuote", "ColTitleNew", "ColTitleToday", "ColTitleBlend", "ColTitlePreview",
                     "ScrollLine", "ScrollWait", "ScrollPixel", "FontFolder", "FontTitle", "FontText",
                     "FontHeader", "WindowClientEdge", "TitleBlend", "SmoothScroll", "ScrollStop", "SmartFolder",
                     "Animation", "AutoCollapse"})},
        {"作成", compose, OptionKeys({"QuoteMark", "Editor", "EditorOption", "ReplyHeader", "save"})},
        {"巡回", patrol,
         OptionKeys({"ThreadCount", "ProxyPort", "CloseRunWindow", "GAMultiWindow", "AutoConnect", "AutoDisconnect",
                     "ProxyIE", "Perl", "Ruby", "ProxyAdr", "save"})},
        {"サウンド", sound, OptionKeys({"Sound000", "Sound001", "Sound002", "Sound003", "Sound004", "save"})},
        {"その他", other, OptionKeys({"PartViewRead", "NormalMenu", "UseIconTray"})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ini.Keys(), c.keys) << c.page;
}

TEST(OptionValues, DisplayPageStoresItsWorkingCopies)
{
    AppOptions o = Defaults();
    DisplayForm d;
    DisplayForm_Load(&d, o);
    EXPECT_EQ(d.colours[1], 0xFF0000u);   // 今日の記事 is the list's second entry
    d.colours[1] = 0x123456;
    d.colours[2] = 0x00FF00;
    strcpy(d.fonts[2].face, "Courier New");
    d.fonts[2].size = -20;
    d.fonts[2].italic = 1;
    d.fonts[2].weight = 700;
    d.scrollLine = "abc";
    d.scrollWait = 200;
    d.scrollPixel = 10;
    d.autoCollapse = 1;
    CRecorder ini;
    DisplayForm_Store(d, &o, ini);
    struct Case {
        const char* key;
        std::string value;
    } cases[] = {
        {"ColTitleToday", std::to_string(0x123456)}, {"ColTitleNew", std::to_string(0x00FF00)},
        {"ColTextQuote", std::to_string(0x800000)},  {"FontTextFace", "Courier New"},
        {"FontTextSize", "-20"},                     {"FontTextItalic", "1"},
        {"FontTextWeight", "700"},                   {"FontFolderFace", "ＭＳ Ｐゴシック"},
        {"ScrollLine", "0"},                         {"ScrollWait", "200"},
        {"ScrollPixel", "10"},                       {"AutoCollapse", "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.Value(c.key), c.value) << c.key;
    EXPECT_EQ(o.colTitleToday, 0x123456u);   // and in memory
    EXPECT_STREQ(o.fontText.face, "Courier New");
}

TEST(OptionValues, OtherPageShowsTheFilesTraySwitchAndKeepsTheRunningOne)
{
    AppOptions o = Defaults();
    OtherForm f;
    OtherForm_Load(&f, o, 1);
    EXPECT_EQ(f.useIconTray, 1);   // the file's value, although the program runs without
    f.normalMenu = 1;
    f.partViewRead = 1;
    f.useIconTray = 0;
    CRecorder ini;
    OtherForm_Store(f, &o, ini);
    EXPECT_EQ(o.normalMenu, 1);
    EXPECT_EQ(o.partViewRead, 1);
    EXPECT_EQ(ini.Value("UseIconTray"), "0");
    o.useIconTray = 1;
    f.useIconTray = 0;
    OtherForm_Store(f, &o, ini);
    EXPECT_EQ(o.useIconTray, 1);   // read once at start: the running value stays
}

TEST(OptionValues, SoundScenesAndChoices)
{
    AppOptions o = Defaults();
    for (int i = 0; i < 5; ++i)
        snprintf(o.sound[i], sizeof o.sound[i], "s%d.wav", i);
    SoundForm f;
    SoundForm_Load(&f, o);
    const char* shown[] = {"s3.wav", "s4.wav", "s0.wav", "s1.wav", "s2.wav"};   // 起動, 終了, 巡回開始, ...
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(f.paths[i], shown[i]) << kSoundScenes[i].name;
    EXPECT_EQ(Option_SoundChoice(0, kSoundNone), "");   // "(なし)" empties the path
    EXPECT_EQ(Option_SoundChoice(2, "C:\\W\\Media\\ding.wav"), "C:\\W\\Media\\ding.wav");
    f.paths[3] = Option_SoundChoice(0, kSoundNone);
    CRecorder ini;
    SoundForm_Store(f, &o, ini);
    EXPECT_EQ(ini.Value("Sound001"), "");
    EXPECT_EQ(ini.Value("Sound003"), "s3.wav");
}

TEST(OptionValues, FolderOfAPath)
{
    struct Case {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\Windows\\Media\\ding.wav", "C:\\Windows\\Media\\"},
        {"C:\\ソ\\a.wav", "C:\\ソ\\"},   // "ソ" ends in 0x5C
        {"ding.wav", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Option_FolderOf(c.path), c.folder) << c.path;
}

TEST(OptionValues, ReplyMacros)
{
    struct Case {
        int command;
        const char* macro;
    } cases[] = {{32776, "%s_title%"}, {32777, "%s_no%"}, {32778, "%s_date%"}, {32779, "%s_time%"},
                 {32780, "%s_name%"},  {32781, "%s_email%"}};
    for (const Case& c : cases)
        EXPECT_STREQ(Option_ReplyMacro(c.command), c.macro);
    EXPECT_EQ(Option_ReplyMacro(32775), nullptr);
    EXPECT_EQ(Option_ReplyMacro(32782), nullptr);
}

TEST(OptionValues, WriteKeyRefusesNamesOutsideTheOptionTable)
{
    AppOptions o = Defaults();
    CRecorder ini;
    ini.SetSection("OPTION");
    for (const char* bad : {"Sound005", "EnableCap", "WindowX", "Font", ""})
        EXPECT_EQ(AppOptions_WriteKey(ini, o, bad), 0) << bad;
    EXPECT_TRUE(ini.log.empty());
}

// What the pages write into zeva.ini is read back as written at the next start.
TEST(OptionValues, PagesWriteWhatTheNextStartReads)
{
    AppOptions o = Defaults();
    DisplayForm d;
    DisplayForm_Load(&d, o);
    d.colours[4] = 0x010203;
    strcpy(d.fonts[3].face, "ヘッダー書体");
    d.fonts[3].weight = 700;
    d.scrollLine = "90";
    d.smartFolder = 1;
    ComposeForm c;
    ComposeForm_Load(&c, o);
    c.editor = "C:\\エディタ\\ed.exe";
    PatrolForm p;
    PatrolForm_Load(&p, o);
    p.threadCount = "4";
    p.ruby = "C:\\ruby\\bin\\ruby.exe";
    SoundForm s;
    SoundForm_Load(&s, o);
    s.paths[4] = "C:\\音\\ある.wav";   // 巡回終了(未読有り): sound 2
    OtherForm x;
    OtherForm_Load(&x, o, 1);

    CProfile ini;
    ini.Parse("", 0);
    CProfileSink sink(ini);
    DisplayForm_Store(d, &o, sink);
    ComposeForm_Store(c, &o, sink);
    PatrolForm_Store(p, &o, sink);
    SoundForm_Store(s, &o, sink);
    OtherForm_Store(x, &o, sink);
    std::string text;
    ini.Serialize(text);
    CProfile next;
    next.Parse(text.data(), text.size());
    AppOptions r;
    AppOptions_Read(next, &r, -12);
    EXPECT_EQ(r.colTitlePreview, 0x010203u);
    EXPECT_STREQ(r.fontHeader.face, "ヘッダー書体");
    EXPECT_EQ(r.fontHeader.weight, 700);
    EXPECT_EQ(r.scrollLine, 90);
    EXPECT_EQ(r.smartFolder, 1);
    EXPECT_STREQ(r.editor, "C:\\エディタ\\ed.exe");
    EXPECT_EQ(r.threadCount, 4);
    EXPECT_STREQ(r.ruby, "C:\\ruby\\bin\\ruby.exe");
    EXPECT_STREQ(r.sound[2], "C:\\音\\ある.wav");
    EXPECT_EQ(r.useIconTray, 1);
}

}  // namespace
