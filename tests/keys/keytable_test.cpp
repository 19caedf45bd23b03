#include "ui/keys/KeyTable.h"

#include "base/fileio.h"

#include <gtest/gtest.h>
#include <string.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;
// A private folder for key files, removed afterwards.
struct TempDir {
    fs::path path = fs::temp_directory_path() /
                    ("zeva_keys_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    std::string Folder() const { return (path / "").string(); }
    std::string File(const char* name) const { return (path / name).string(); }
};

// Every binding of a table as "key text=command".
std::vector<std::string> Listed(const KeyTable& t)
{
    std::vector<std::string> out;
    char buf[64];
    for (const KeyBinding& b : t.items) {
        KeyBindingText(b, buf, sizeof buf);
        out.push_back(std::string(buf) + "=" + std::to_string(b.cmd));
    }
    return out;
}

std::string Bytes(const std::string& path)
{
    std::vector<char> b;
    File_ReadAll(path.c_str(), b);
    return std::string(b.begin(), b.end());
}

void Write(const std::string& path, const std::string& bytes)
{
    ASSERT_EQ(File_Replace(path.c_str(), bytes.data(), bytes.size()), 1);
}
}

TEST(KeyTable, DefaultsAreTheBuiltInTables)
{
    const std::vector<std::string> global = {
        "A=104", "Ctrl+A=32809", "Ctrl+B=32821", "Ctrl+Shift+B=32820", "Ctrl+C=32771", "Ctrl+E=32816",
        "Ctrl+F=32780", "Ctrl+R=32815", "Delete=32887", "Alt+↓=32847", "Esc=32879", "F3=32886",
        "Shift+F3=32885", "F5=32798", "Ctrl+F5=32779", "Ctrl+Insert=32882", "Ctrl+←=32937", "Alt+←=32883",
        "Num 0=32852", "Num 1=32848", "Num 3=32847", "Alt+Enter=32880", "Alt+→=32938", "Tab=32803",
        "Shift+Tab=32804", "Alt+↑=32848", "Ctrl+W=32814"};
    const std::vector<std::string> folder = {"F2=32807", "Alt+Enter=32880", "Space=32895"};
    const std::vector<std::string> title = {"BackSpace=32883", "↓=115", "F2=32807", "←=32894",
                                            "Enter=32891", "Shift+Enter=32890", "→=32893", "Space=117",
                                            "Shift+Space=32892", "↑=116"};
    const struct {
        KeyScope scope;
        const std::vector<std::string>* rows;
        const char* file;
        int resource;
    } cases[] = {{KeyScope::Global, &global, "KeyGlobal.dat", 109},
                 {KeyScope::FolderView, &folder, "KeyFolder.dat", 171},
                 {KeyScope::TitleView, &title, "KeyTitle.dat", 175}};
    for (const auto& c : cases) {
        KeyTable t;
        KeyTable_SetDefaults(t, c.scope);
        EXPECT_EQ(Listed(t), *c.rows) << c.file;
        for (const KeyBinding& b : t.items) {
            EXPECT_EQ(b.flags & KEYF_BASE, KEYF_BASE);
            EXPECT_EQ(b.reserved, 0);
        }
        EXPECT_STREQ(KeyFileName(c.scope), c.file);
        EXPECT_EQ(KeyResourceId(c.scope), c.resource);
    }
    int n = 0;
    DefaultKeys(KeyScope::Global, &n);
    EXPECT_EQ(n, 27);
}

TEST(KeyTable, FileRoundTripKeepsReservedByte)
{
    TempDir dir;
    std::string path = dir.File("KeyGlobal.dat");
    // Ctrl+Q → 32773 with reserved 0x5A; F24 → 0x1234 with reserved 0xFF.
    const std::string file("\x0B\x5A\x51\x00\x05\x80" "\x03\xFF\x87\x00\x34\x12", 12);
    Write(path, file);
    KeyTable t;
    ASSERT_EQ(KeyTable_Load(t, path.c_str(), KeyScope::Global), 1);
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.At(0).flags, 0x0B);
    EXPECT_EQ(t.At(0).key, 'Q');
    EXPECT_EQ(t.At(0).cmd, 32773);
    EXPECT_EQ(t.At(1).reserved, 0xFF);
    EXPECT_EQ(t.At(1).cmd, 0x1234);
    std::string copy = dir.File("KeyTitle.dat");
    ASSERT_EQ(SaveKeyTable(t, copy.c_str()), 1);
    EXPECT_EQ(Bytes(copy), file);

    // A binding added by the page is written with reserved 0.
    t.Add(KeyFlagsOf(true, false, true), 'Z', 104);
    ASSERT_EQ(SaveKeyTable(t, copy.c_str()), 1);
    EXPECT_EQ(Bytes(copy), file + std::string("\x1B\x00\x5A\x00\x68\x00", 6));
}

TEST(KeyTable, FileShapesAndFailures)
{
    TempDir dir;
    const struct {
        const char* name;
        std::string bytes;   // "-" = no file
        int fromFile;
        int count;
    } cases[] = {
        {"empty", "", 1, 0},
        {"partial", std::string("\x03\x00\x41\x00\x68\x00\x03\x00\x42\x00\x69", 11), 1, 1},
        {"seven", std::string(7, '\x10'), 1, 1},
        {"missing", "-", 0, 10},
        {"10 MB", std::string(10 << 20, '\xA5'), 1, (10 << 20) / 6},
    };
    for (const auto& c : cases) {
        std::string path = dir.File(c.name);
        if (c.bytes != "-")
            Write(path, c.bytes);
        KeyTable t;
        t.Add(KEYF_BASE, 'X', 1);   // the old content goes in every case
        EXPECT_EQ(KeyTable_Load(t, path.c_str(), KeyScope::TitleView), c.fromFile) << c.name;
        EXPECT_EQ(t.Count(), c.count) << c.name;
    }
    // A folder where the file should be cannot be read: defaults.
    KeyTable t;
    EXPECT_EQ(KeyTable_Load(t, dir.Folder().c_str(), KeyScope::FolderView), 0);
    EXPECT_EQ(t.Count(), 3);
    EXPECT_EQ(KeyTable_Load(t, nullptr, KeyScope::Global), 0);
    EXPECT_EQ(t.Count(), 27);

    // A save that fails half-way leaves the old file as it was.
    std::string path = dir.File("KeyFolder.dat");
    Write(path, "old!!!");
    FileFault_Set(2);
    EXPECT_EQ(SaveKeyTable(t, path.c_str()), 0);
    FileFault_Set(0);
    EXPECT_EQ(Bytes(path), "old!!!");
}

TEST(KeyTable, KeyTextsAndNames)
{
    const struct {
        uint8_t flags;
        uint16_t key;
        const char* text;
    } cases[] = {
        {KEYF_BASE | KEYF_ALT | KEYF_CONTROL | KEYF_SHIFT, 135, "Alt+Ctrl+Shift+F24"},
        {KEYF_BASE | KEYF_SHIFT | KEYF_ALT, 1, "Alt+Shift+左ボタン"},
        {KEYF_BASE | KEYF_CONTROL, 111, "Ctrl+Num /"},
        {KEYF_BASE, 145, "Scroll Lock"},
        {KEYF_BASE | KEYF_CONTROL, 108, "????"},   // no name for 108
        {KEYF_BASE | KEYF_ALT, 0x5B, "????"},
        {KEYF_BASE, 0x1000, "????"},
    };
    for (const auto& c : cases) {
        char buf[64];
        KeyBindingText(KeyBinding{c.flags, 0, c.key, 1}, buf, sizeof buf);
        EXPECT_STREQ(buf, c.text);
    }
    char small[6];
    KeyBindingText(KeyBinding{KEYF_BASE | KEYF_CONTROL, 'A', 1}, small, sizeof small);
    EXPECT_STREQ(small, "Ctrl+");

    ASSERT_EQ(KeyNameCount, 98);
    for (int i = 1; i < KeyNameCount; ++i)
        EXPECT_LT(KeyNameTable[i - 1].code, KeyNameTable[i].code);
    EXPECT_STREQ(KeyNameTable[0].name, "左ボタン");
    EXPECT_STREQ(KeyNameOf(4), "中央ボタン");
    EXPECT_STREQ(KeyNameOf(57), "9");
    EXPECT_STREQ(KeyNameOf(90), "Z");
    EXPECT_STREQ(KeyNameOf(105), "Num 9");
    EXPECT_STREQ(KeyNameOf(144), "Num Lock");
    EXPECT_EQ(KeyNameOf(3), nullptr);
}

TEST(KeyTable, CurrentKeysAndConflicts)
{
    KeyTable t;
    t.Add(KEYF_BASE | KEYF_CONTROL, 'F', 32780);   // 0
    t.Add(KEYF_BASE, 114, 32886);                  // 1: F3
    t.Add(KEYF_BASE, 114, 32780);                  // 2: F3 again (conflict with 1)
    t.Add(KEYF_BASE | KEYF_SHIFT, 114, 32780);     // 3: Shift+F3, differs by flags
    t.Add(KEYF_BASE, 0x5B, 32780);                 // 4: no name

    char buf[64];
    EXPECT_EQ(KeyText(t, 32780, 0, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "Ctrl+F");
    EXPECT_EQ(KeyText(t, 32780, 1, buf, sizeof buf), 2);
    EXPECT_EQ(KeyText(t, 32780, 5, buf, sizeof buf), -1);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(KeyText(t, 104, 0, buf, sizeof buf), -1);

    const bool conflicts[] = {false, true, true, false, false};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(HasConflict(t, i), conflicts[i]) << i;
    EXPECT_FALSE(HasConflict(t, 5));

    EXPECT_EQ(CurrentKeysText(t, 32780), "Ctrl+F,F3 * ,Shift+F3,????");
    EXPECT_EQ(CurrentKeysText(t, 32886), "F3 * ");
    EXPECT_EQ(CurrentKeysText(t, 104), "");
    std::vector<KeyEntry> e = KeyEntries(t, 32780);
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[1].index, 2);
    EXPECT_EQ(e[1].text, "F3 *");
    EXPECT_EQ(e[3].text, "????");

    // Removing the first F3 ends the conflict; later bindings move up.
    ASSERT_EQ(t.Remove(1), 1);
    EXPECT_EQ(CurrentKeysText(t, 32780), "Ctrl+F,F3,Shift+F3,????");
    EXPECT_EQ(t.Remove(4), 0);
}

TEST(KeyTable, FunctionListGroups)
{
    ASSERT_EQ(FunctionCount, 81);
    const struct {
        const char* header;
        int rows;
    } groups[] = {{"--- ファイル ---", 9}, {"--- 記事 ---", 18}, {"--- 表示 ---", 15}, {"--- ツール ---", 8},
                  {"--- 移動 ---", 15}, {"--- 状況依存 ---", 1}, {"--- ウインドウ ---", 3}, {"--- ヘルプ ---", 4}};
    int row = 0;
    std::set<int> ids;
    for (const auto& g : groups) {
        ASSERT_EQ(FunctionList[row].id, 0);
        EXPECT_STREQ(FunctionList[row].name, g.header);
        for (int i = 1; i <= g.rows; ++i) {
            EXPECT_NE(FunctionList[row + i].id, 0) << FunctionList[row + i].name;
            EXPECT_TRUE(ids.insert(FunctionList[row + i].id).second) << FunctionList[row + i].id;
        }
        row += g.rows + 1;
    }
    EXPECT_EQ(row, 81);
    EXPECT_STREQ(FunctionList[1].name, "フォルダにチェックを付ける");
    EXPECT_EQ(FunctionList[28].id, 121);
    EXPECT_STREQ(FunctionList[80].name, "バージョン情報表示");

    char path[23];
    EXPECT_EQ(KeyFilePath("C:\\z\\data\\", KeyScope::TitleView, path, sizeof path), 1);
    EXPECT_STREQ(path, "C:\\z\\data\\KeyTitle.dat");
    EXPECT_EQ(KeyFilePath("C:\\z\\data\\", KeyScope::TitleView, path, 22), 0);
    EXPECT_STREQ(path, "C:\\z\\data\\KeyTitle.da");
}
