// The plug-in's settings description and what the folder properties sheet
// stores: block reading, item parsing and actions, field labels, OK's keys.
#include "pluginhost/DialogDesc.h"
#include "store/Profile.h"

#include <gtest/gtest.h>

namespace {

std::string Dialog(const std::string& fileText, int* found = nullptr)
{
    CProfile ini;
    int f = DialogDesc_ReadBlock(fileText.data(), fileText.size(), ini);
    if (found)
        *found = f;
    std::string out;
    ini.Serialize(out);
    return out;
}

void Load(CProfile& ini, const std::string& text)
{
    ini.Parse(text.data(), text.size());
}

std::string Bytes(CProfile& ini)
{
    std::string out;
    ini.Serialize(out);
    return out;
}

} // namespace

TEST(DialogBlock, EntriesBetweenTheMarkersEndedByCrLfOrBackslashN)
{
    struct Case {
        const char* file;
        const char* dialog;
        int found;
    } cases[] = {
        {"#!perl\r\n#[DIALOG]\r\n#_URL=アドレス(&A):\\nURL=1\r\n#[/DIALOG]\r\n#KEY=1\r\n",
         "[DIALOG]\r\n_URL=アドレス(&A):\r\nURL=1\r\n", 1},
        // The first line never starts the block.
        {"#[DIALOG]\r\n#URL=1\r\n", "", 0},
        // A line without CR LF keeps none of its entries.
        {"x\n#[DIALOG]\n#URL=1\\nNAME=1\n#KEY=1\r\n", "[DIALOG]\r\nKEY=1\r\n", 1},
        // A later "#" starts the key anew; the first "=" ends it.
        {"x\r\n#[DIALOG]\r\n##junk#L000=T,A=B,ラベル\r\n", "[DIALOG]\r\nL000=T,A=B,ラベル\r\n", 1},
        // "ソ" ends in a backslash byte: no escape there.
        {"x\r\n#[DIALOG]\r\n#_NAME=ソnです\r\n", "[DIALOG]\r\n_NAME=ソnです\r\n", 1},
        // No "#": no key; lines outside the block are passed over.
        {"x\r\nURL=1\r\n#[DIALOG]\r\nURL=1\r\n#[/DIALOG]\r\n#NAME=1\r\n", "", 1},
        // Keys that would make a broken line are dropped.
        {"x\r\n#[DIALOG]\r\n#=1\\n[BASIC]=2\\nPASS=1\r\n", "[DIALOG]\r\nPASS=1\r\n", 1},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        int found = -1;
        EXPECT_EQ(Dialog(c.file, &found), c.dialog) << c.file;
        EXPECT_EQ(found, c.found) << c.file;
    }
}

TEST(DialogItem, ParsesTypeKeyOwnValueAndLabel)
{
    struct Case {
        const char* desc;
        DialogItemType type;
        const char* key;
        const char* own;
        const char* label;
    } cases[] = {
        {"L,,見出し", DITEM_HEADING, "", "", "見出し"},
        {"C,SAGE,sageる", DITEM_CHECK, "SAGE", "", "sageる"},
        {"R,MODE=2,ツリー", DITEM_RADIO, "MODE", "2", "ツリー"},
        {"P,COLOR,背景色", DITEM_COLOR, "COLOR", "", "背景色"},
        {"F,SOUND,音(*.wav)", DITEM_FILE, "SOUND", "", "音(*.wav)"},
        {"T,TAG,タグ,カンマ入り", DITEM_TEXT, "TAG", "", "タグ,カンマ入り"},
        {"TS,SUB,件名", DITEM_TEXT_S, "SUB", "", "件名"},
        {"X,KEY=a=b", DITEM_TEXT, "KEY", "a=b", ""},
        {",K,L", DITEM_TEXT, "K", "", "L"},
    };
    for (const Case& c : cases) {
        DialogItem item;
        ASSERT_EQ(DialogItem_Parse(c.desc, &item), 1) << c.desc;
        EXPECT_EQ(item.type, c.type) << c.desc;
        EXPECT_EQ(item.key, c.key) << c.desc;
        EXPECT_EQ(item.ownValue, c.own) << c.desc;
        EXPECT_EQ(item.label, c.label) << c.desc;
    }
    DialogItem item;
    EXPECT_EQ(DialogItem_Parse("C SAGE sage", &item), 0);
}

TEST(DialogItems, ListEndsAtADotAnEmptyValueOrAMalformedItem)
{
    CProfile ini;
    Load(ini, "[BASIC]\r\nMODE=2\r\nSAGE=1\r\nTAG=前の値\r\n"
              "[DIALOG]\r\nL000=L,,設定\r\nL001=C,SAGE,sage\r\nL002=C,AGE,age\r\n"
              "L003=R,MODE=1,一覧\r\nL004=R,MODE=2,ツリー\r\nL005=T,TAG,タグ\r\nL006=.\r\nL007=T,X,後\r\n");
    std::vector<DialogItem> items;
    EXPECT_EQ(DialogItems_Read(ini, items), DITEMS_OK);
    ASSERT_EQ(items.size(), 6u);
    const char* values[] = {"", "1", "0", "", "2", "前の値"};
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].value, values[i]) << i;

    Load(ini, "[DIALOG]\r\nL000=C,A,a\r\nL001=壊れた項目\r\nL002=C,B,b\r\n");
    EXPECT_EQ(DialogItems_Read(ini, items), DITEMS_MALFORMED);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].key, "A");

    Load(ini, "[DIALOG]\r\nL000=\r\nL001=C,A,a\r\n");
    EXPECT_EQ(DialogItems_Read(ini, items), DITEMS_OK);
    EXPECT_TRUE(items.empty());
}

TEST(DialogItems, AtMost999ItemsAndValuesCutAt255Bytes)
{
    std::string text = "[BASIC]\r\nK=" + std::string(400, 'v') + "\r\n[DIALOG]\r\n";
    for (int i = 0; i < 1000; ++i) {
        char line[64];
        snprintf(line, sizeof line, "L%03d=T,K,%d\r\n", i, i);
        text += line;
    }
    CProfile ini;
    Load(ini, text);
    std::vector<DialogItem> items;
    EXPECT_EQ(DialogItems_Read(ini, items), DITEMS_OK);
    ASSERT_EQ(items.size(), 999u);
    EXPECT_EQ(items[998].label, "998");
    EXPECT_EQ(items[0].value.size(), 255u);
}

TEST(DialogItems, CheckTogglesAndRadioChoosesWithinItsRun)
{
    std::vector<DialogItem> items(6);
    DialogItemType types[] = {DITEM_RADIO, DITEM_CHECK, DITEM_RADIO, DITEM_RADIO, DITEM_RADIO, DITEM_CHECK};
    const char* own[] = {"x", "", "1", "2", "3", ""};
    const char* start[] = {"x", "7", "", "2", "", "abc"};
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].type = types[i];
        items[i].key = i == 0 ? "OTHER" : "MODE";
        items[i].ownValue = own[i];
        items[i].value = start[i];
    }
    EXPECT_EQ(DialogItems_Act(items, 4), 1);
    EXPECT_EQ(items[2].value, "");
    EXPECT_EQ(items[3].value, "");
    EXPECT_EQ(items[4].value, "3");
    EXPECT_EQ(items[0].value, "x");   // another run keeps its choice
    DialogItems_Act(items, 1);
    DialogItems_Act(items, 5);
    EXPECT_EQ(items[1].value, "0");   // a non-zero number turns off
    EXPECT_EQ(items[5].value, "1");   // anything else turns on
    EXPECT_EQ(DialogItems_Act(items, 6), 0);
}

TEST(DialogItems, ImagesTextsAndIndents)
{
    struct Case {
        DialogItemType type;
        const char* value;
        const char* own;
        int image;
        const char* text;
        int indent;
    } cases[] = {
        {DITEM_HEADING, "", "", DIMG_HEADING, "項目", 0},
        {DITEM_CHECK, "0", "", DIMG_CHECK_OFF, "項目", 1},
        {DITEM_CHECK, "1", "", DIMG_CHECK_ON, "項目", 1},
        {DITEM_RADIO, "", "a", DIMG_RADIO_OFF, "項目", 1},
        {DITEM_RADIO, "a", "a", DIMG_RADIO_ON, "項目", 1},
        {DITEM_COLOR, "FF0000", "", DIMG_COLOR, "項目 \"FF0000\"", 1},
        {DITEM_FILE, "C:\\a.wav", "", DIMG_FILE, "項目 \"C:\\a.wav\"", 1},
        {DITEM_TEXT, "値", "", DIMG_TEXT, "項目 \"値\"", 1},
        {DITEM_TEXT_S, "", "", DIMG_TEXT, "項目 \"\"", 1},
    };
    for (const Case& c : cases) {
        DialogItem item;
        item.type = c.type;
        item.label = "項目";
        item.value = c.value;
        item.ownValue = c.own;
        EXPECT_EQ(DialogItem_Image(item), c.image) << c.type;
        EXPECT_EQ(DialogItem_Text(item), c.text) << c.type;
        EXPECT_EQ(DialogItem_Indent(item), c.indent) << c.type;
    }
}

TEST(DialogItems, ColoursFilePatternsAndCutValues)
{
    EXPECT_EQ(DialogColor_ToColorRef("FF0000"), 0x0000FFul);   // red as the chooser takes it
    EXPECT_EQ(DialogColor_FromColorRef(DialogColor_ToColorRef("FF0000")), "FF0000");
    EXPECT_EQ(DialogColor_FromColorRef(0x00563412), "123456");
    EXPECT_EQ(DialogColor_ToColorRef("緑"), 0ul);
    EXPECT_EQ(DialogItem_FilePattern("音声(WAVE)ファイル(*.wav;*.wv)"), "*.wav;*.wv");
    EXPECT_EQ(DialogItem_FilePattern("括弧なし"), "");
    DialogItem item;
    DialogItem_SetValue(&item, (std::string(254, 'a') + "漢").c_str());
    EXPECT_EQ(item.value, std::string(254, 'a'));   // no half character
}

TEST(SettingsFields, LabelsAndEnablesFromTheDescription)
{
    CProfile ini;
    // zv_Orbiloom's description: an empty label stays empty, "0" disables.
    Load(ini, "[DIALOG]\r\nURL=1\r\nUPURL=0\r\n_URL=rnall.cgi のアドレス(URL)(&A):\r\n_UPURL=\r\n");
    EXPECT_EQ(Settings_FieldLabel(ini, 0), "rnall.cgi のアドレス(URL)(&A):");
    EXPECT_TRUE(Settings_FieldEnabled(ini, 0));
    EXPECT_EQ(Settings_FieldLabel(ini, 1), "");
    EXPECT_FALSE(Settings_FieldEnabled(ini, 1));
    // Nothing described: the host's labels, every field disabled.
    Load(ini, "[BASIC]\r\nURL=1\r\n");
    const char* defaults[] = {"URL(&A)", "アップロード用URL(&A)", "名前(&N)", "e-mail(&E)", "ホームページ(&H)",
                              "キー(&K)", "パラメータ1(&1)", "パラメータ2(&2)", "ユーザ(&U)", "パスワード(&P)"};
    for (int i = 0; i < SETTINGS_FIELD_COUNT; ++i) {
        EXPECT_EQ(Settings_FieldLabel(ini, i), defaults[i]);
        EXPECT_FALSE(Settings_FieldEnabled(ini, i));
    }
}

TEST(FolderSettingsStore, OkWritesTheKeysOfTheAppliedPages)
{
    FolderSettingsOutput out;
    out.lib = "Orbiloom";
    out.patrol = true;
    out.temporary = true;
    const char* fields[] = {"http://h/rnall.cgi", "", "1:なまえ", "", "", "kanri", "50", "1234", "u", "p"};
    for (int i = 0; i < SETTINGS_FIELD_COUNT; ++i)
        out.fields[i] = fields[i];
    out.charset = "EUC";
    DialogItem h, c, r1, r2, t, blank;
    h.type = DITEM_HEADING, h.key = "H", h.value = "x";
    c.type = DITEM_CHECK, c.key = "SAGE", c.value = "1";
    r1.type = DITEM_RADIO, r1.key = "MODE", r1.ownValue = "1";
    r2.type = DITEM_RADIO, r2.key = "MODE", r2.ownValue = "2", r2.value = "2";
    t.type = DITEM_TEXT, t.key = "TAG", t.value = "タグ";
    blank.type = DITEM_TEXT, blank.value = "v";
    out.items = {h, c, r1, r2, t, blank};

    const char* before = "[BASIC]\r\nLIB=ZVT\r\nERROR=正常終了\r\n[DIALOG]\r\nURL=1\r\n";
    struct Case {
        unsigned pages;
        const char* after;
    } cases[] = {
        {0, "[BASIC]\r\nLIB=ZVT\r\nERROR=正常終了\r\n[DIALOG]\r\nURL=1\r\n"},
        {SETTINGS_PAGE_BASIC, "[BASIC]\r\nLIB=Orbiloom\r\nERROR=正常終了\r\nBBSFOLDER=3\r\n[DIALOG]\r\nURL=1\r\n"},
        {SETTINGS_PAGE_BASIC | SETTINGS_PAGE_PATROL | SETTINGS_PAGE_DETAIL,
         "[BASIC]\r\nLIB=Orbiloom\r\nERROR=正常終了\r\nBBSFOLDER=3\r\nURL=http://h/rnall.cgi\r\nUPURL=\r\n"
         "NAME=1:なまえ\r\nEMAIL=\r\nHP=\r\nKEY=kanri\r\nPARAM1=50\r\nPARAM2=1234\r\nUSER=u\r\nPASS=p\r\n"
         "CHARSET=EUC\r\nSAGE=1\r\nMODE=2\r\nTAG=タグ\r\n[DIALOG]\r\nURL=1\r\n"},
    };
    for (const Case& cs : cases) {
        CProfile ini;
        Load(ini, before);
        out.pages = cs.pages;
        FolderSettings_Store(ini, out);
        EXPECT_EQ(Bytes(ini), cs.after) << cs.pages;
    }
    EXPECT_EQ(FolderSettings_Marks(false, true), 2);
}
