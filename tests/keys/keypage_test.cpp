// The keyboard page's working copies: the texts it lists per scope, keys
// added and removed, a reset that reaches the files only when saved, and
// the add-key dialog's choice.
#include "ui/keys/KeyPageModel.h"

#include "base/fileio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;
struct TempDir {
    fs::path path = fs::temp_directory_path() /
                    ("zeva_keypage_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    std::string Folder() const { return (path / "").string(); }
    std::string File(const char* name) const { return (path / name).string(); }
};

std::string Bytes(const std::string& path)
{
    std::vector<char> b;
    if (!File_ReadAll(path.c_str(), b))
        return "(none)";
    return std::string(b.begin(), b.end());
}

void Write(const std::string& path, const std::string& bytes)
{
    ASSERT_EQ(File_Replace(path.c_str(), bytes.data(), bytes.size()), 1);
}

std::string DefaultBytes(KeyScope scope)
{
    KeyTable t;
    KeyTable_SetDefaults(t, scope);
    std::vector<char> b;
    KeyTable_Serialize(t, b);
    return std::string(b.begin(), b.end());
}

int RowOf(int command)
{
    for (int r = 0; r < FunctionCount; ++r)
        if (FunctionList[r].id == command)
            return r;
    return -1;
}

std::vector<std::string> Texts(const std::vector<KeyEntry>& entries)
{
    std::vector<std::string> out;
    for (const KeyEntry& e : entries)
        out.push_back(e.text);
    return out;
}

// Title view file: F2 → 32807, Ctrl+↓ → 115, F2 again → 32883 (a conflict).
const std::string kTitleFile("\x03\x00\x71\x00\x27\x80" "\x0B\x00\x28\x00\x73\x00" "\x03\x00\x71\x00\x73\x80", 18);
}

// Each scope shows its own table (its file, or its defaults without one);
// keys added and removed change the copies only, until they are saved.
TEST(KeyPage, ScopesAddAndRemoveWorkOnTheCopies)
{
    TempDir dir;
    Write(dir.File("KeyTitle.dat"), kTitleFile);
    CKeyPageModel page;
    page.Load(dir.Folder().c_str());
    EXPECT_EQ(page.scope, KeyScope::Global);
    const int next = RowOf(115), rename = RowOf(32807), reread = RowOf(32798);
    const struct {
        KeyScope scope;
        int row;
        const char* keys;
    } shown[] = {
        {KeyScope::Global, RowOf(32847), "Alt+↓,Num 3"}, {KeyScope::Global, rename, ""},
        {KeyScope::Global, 0, ""},   // a group header
        {KeyScope::FolderView, rename, "F2"},   // no file: the defaults
        {KeyScope::TitleView, rename, "F2 * "}, {KeyScope::TitleView, RowOf(117), ""},
    };
    for (const auto& c : shown) {
        page.scope = c.scope;
        EXPECT_EQ(page.RowKeys(c.row), c.keys) << (int)c.scope << " " << c.row;
    }

    // Ctrl+↓ a second time, for 再読込, then Alt+Shift+R: the entries keep
    // the bindings' indexes; a group header takes no key.
    page.scope = KeyScope::TitleView;
    EXPECT_EQ(page.Add(reread, 0x28, KeyFlagsOf(true, false, false)), 3);
    EXPECT_EQ(page.Add(reread, 'R', KeyFlagsOf(false, true, true)), 4);
    EXPECT_EQ(page.Add(0, 'Q', KEYF_BASE), -1);
    EXPECT_EQ(page.RowKeys(next), "Ctrl+↓ * ");
    std::vector<KeyEntry> e = page.Entries(reread);
    EXPECT_EQ(Texts(e), (std::vector<std::string>{"Ctrl+↓ *", "Alt+Shift+R"}));
    EXPECT_EQ(e.at(1).index, 4);
    page.scope = KeyScope::Global;
    EXPECT_EQ(page.RowKeys(reread), "F5");   // other scopes unchanged

    // Removing the first F2 ends that conflict; later bindings move up.
    page.scope = KeyScope::TitleView;
    ASSERT_EQ(page.Remove(0), 1);
    EXPECT_EQ(page.RowKeys(RowOf(32883)), "F2");
    EXPECT_EQ(page.Entries(reread).at(0).index, 2);
    EXPECT_EQ(page.Remove(4), 0);
    EXPECT_EQ(Bytes(dir.File("KeyTitle.dat")), kTitleFile);

    ASSERT_EQ(page.Save(dir.Folder().c_str()), 1);
    KeyTable saved;
    ASSERT_EQ(KeyTable_ReadFile(saved, dir.File("KeyTitle.dat").c_str()), 1);
    ASSERT_EQ(saved.Count(), 4);
    EXPECT_EQ(saved.At(3).key, 'R');
    EXPECT_EQ(saved.At(3).flags, 0x17);
    EXPECT_EQ(saved.At(3).cmd, 32798);
    EXPECT_EQ(Bytes(dir.File("KeyGlobal.dat")), DefaultBytes(KeyScope::Global));   // written as shown
}

TEST(KeyPage, ResetReachesTheFilesOnlyWhenSaved)
{
    TempDir dir;
    Write(dir.File("KeyTitle.dat"), kTitleFile);
    Write(dir.File("KeyGlobal.dat"), "");
    {
        CKeyPageModel page;   // reset, then the sheet is cancelled: nothing saved
        page.Load(dir.Folder().c_str());
        page.ResetToDefaults();
        EXPECT_EQ(page.RowKeys(RowOf(32847)), "Alt+↓,Num 3");
    }
    EXPECT_EQ(Bytes(dir.File("KeyTitle.dat")), kTitleFile);
    EXPECT_EQ(Bytes(dir.File("KeyGlobal.dat")), "");
    EXPECT_EQ(Bytes(dir.File("KeyFolder.dat")), "(none)");

    // Reset and applied; the folder file cannot be written (a folder stands
    // in its place): the other two are, and the call says it failed.
    fs::create_directory(dir.File("KeyFolder.dat"));
    CKeyPageModel page;
    page.Load(dir.Folder().c_str());
    page.ResetToDefaults();
    EXPECT_EQ(page.Save(dir.Folder().c_str()), 0);
    EXPECT_EQ(Bytes(dir.File("KeyTitle.dat")), DefaultBytes(KeyScope::TitleView));
    EXPECT_EQ(Bytes(dir.File("KeyGlobal.dat")), DefaultBytes(KeyScope::Global));
    EXPECT_TRUE(fs::is_directory(dir.File("KeyFolder.dat")));
}

TEST(KeyPage, AddKeyChoice)
{
    const struct {
        int selected;
        bool ctrl, shift, alt;
        bool chosen;
        uint16_t key;
        uint8_t flags;
    } cases[] = {
        {-1, true, false, false, false, 0, 0},   // nothing selected: nothing to add
        {0, false, false, false, true, 1, 0x03},
        {31, true, false, false, true, 'A', 0x0B},
        {8, false, true, false, true, 32, 0x07},
        {13, false, false, true, true, 37, 0x13},
        {97, true, true, true, true, 145, 0x1F},
        {98, false, false, false, false, 0, 0},
    };
    for (const auto& c : cases) {
        uint16_t key = 0;
        uint8_t flags = 0;
        EXPECT_EQ(AddKey_Choice(c.selected, c.ctrl, c.shift, c.alt, &key, &flags), c.chosen) << c.selected;
        EXPECT_EQ(key, c.key) << c.selected;
        EXPECT_EQ(flags, c.flags) << c.selected;
    }
}
