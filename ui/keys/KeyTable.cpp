#include "ui/keys/KeyTable.h"

#include "base/fileio.h"
#include "base/sjis.h"

#include <new>
#include <string.h>

#include <unordered_map>

namespace {
// Virtual-key codes the default tables use.
enum : uint16_t {
    VK_BACK_ = 0x08, VK_TAB_ = 0x09, VK_RETURN_ = 0x0D, VK_ESCAPE_ = 0x1B, VK_SPACE_ = 0x20,
    VK_LEFT_ = 0x25, VK_UP_ = 0x26, VK_RIGHT_ = 0x27, VK_DOWN_ = 0x28,
    VK_INSERT_ = 0x2D, VK_DELETE_ = 0x2E,
    VK_NUM0_ = 0x60, VK_NUM1_ = 0x61, VK_NUM3_ = 0x63,
    VK_F2_ = 0x71, VK_F3_ = 0x72, VK_F5_ = 0x74,
};
const uint8_t N = KEYF_BASE;
const uint8_t C = KEYF_BASE | KEYF_CONTROL;
const uint8_t S = KEYF_BASE | KEYF_SHIFT;
const uint8_t A = KEYF_BASE | KEYF_ALT;
const uint8_t CS = KEYF_BASE | KEYF_CONTROL | KEYF_SHIFT;

const KeyBinding kGlobal[] = {
    {N, 0, 'A', 104},            {C, 0, 'A', 32809},           {C, 0, 'B', 32821},
    {CS, 0, 'B', 32820},         {C, 0, 'C', 32771},           {C, 0, 'E', 32816},
    {C, 0, 'F', 32780},          {C, 0, 'R', 32815},           {N, 0, VK_DELETE_, 32887},
    {A, 0, VK_DOWN_, 32847},     {N, 0, VK_ESCAPE_, 32879},    {N, 0, VK_F3_, 32886},
    {S, 0, VK_F3_, 32885},       {N, 0, VK_F5_, 32798},        {C, 0, VK_F5_, 32779},
    {C, 0, VK_INSERT_, 32882},   {C, 0, VK_LEFT_, 32937},      {A, 0, VK_LEFT_, 32883},
    {N, 0, VK_NUM0_, 32852},     {N, 0, VK_NUM1_, 32848},      {N, 0, VK_NUM3_, 32847},
    {A, 0, VK_RETURN_, 32880},   {A, 0, VK_RIGHT_, 32938},     {N, 0, VK_TAB_, 32803},
    {S, 0, VK_TAB_, 32804},      {A, 0, VK_UP_, 32848},        {C, 0, 'W', 32814},
};
const KeyBinding kFolder[] = {
    {N, 0, VK_F2_, 32807}, {A, 0, VK_RETURN_, 32880}, {N, 0, VK_SPACE_, 32895},
};
const KeyBinding kTitle[] = {
    {N, 0, VK_BACK_, 32883},  {N, 0, VK_DOWN_, 115},    {N, 0, VK_F2_, 32807},
    {N, 0, VK_LEFT_, 32894},  {N, 0, VK_RETURN_, 32891}, {S, 0, VK_RETURN_, 32890},
    {N, 0, VK_RIGHT_, 32893}, {N, 0, VK_SPACE_, 117},   {S, 0, VK_SPACE_, 32892},
    {N, 0, VK_UP_, 116},
};

int ScopeIndex(KeyScope scope)
{
    int i = (int)scope;
    return i >= 0 && i < KeyScopeCount ? i : 0;
}
}

const char* KeyFileName(KeyScope scope)
{
    static const char* const names[] = {"KeyGlobal.dat", "KeyFolder.dat", "KeyTitle.dat"};
    return names[ScopeIndex(scope)];
}

int KeyResourceId(KeyScope scope)
{
    static const int ids[] = {109, 171, 175};
    return ids[ScopeIndex(scope)];
}

const char* KeyScopeName(KeyScope scope)
{
    static const char* const names[] = {"全体", "フォルダビュー", "タイトルビュー"};
    return names[ScopeIndex(scope)];
}

int KeyFilePath(const char* folder, KeyScope scope, char* out, size_t size)
{
    if (!size)
        return 0;
    size_t n = Str_Copy(out, size, folder);
    size_t m = Str_Copy(out + n, size - n, KeyFileName(scope));
    return m == strlen(KeyFileName(scope)) && n == strlen(folder ? folder : "");
}

int KeyTable::Add(uint8_t flags, uint16_t key, uint16_t cmd)
{
    try {
        items.push_back(KeyBinding{flags, 0, key, cmd});
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return Count() - 1;
}

int KeyTable::Remove(int i)
{
    if (i < 0 || i >= Count())
        return 0;
    items.erase(items.begin() + i);
    return 1;
}

const KeyBinding* DefaultKeys(KeyScope scope, int* count)
{
    switch (scope) {
    case KeyScope::FolderView:
        *count = (int)(sizeof kFolder / sizeof kFolder[0]);
        return kFolder;
    case KeyScope::TitleView:
        *count = (int)(sizeof kTitle / sizeof kTitle[0]);
        return kTitle;
    default:
        *count = (int)(sizeof kGlobal / sizeof kGlobal[0]);
        return kGlobal;
    }
}

void KeyTable_SetDefaults(KeyTable& table, KeyScope scope)
{
    int n = 0;
    const KeyBinding* d = DefaultKeys(scope, &n);
    table.items.assign(d, d + n);
}

int KeyTable_Parse(KeyTable& table, const void* data, size_t size)
{
    table.Clear();
    const unsigned char* p = (const unsigned char*)data;
    size_t n = size / sizeof(KeyBinding);
    try {
        table.items.reserve(n);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (size_t i = 0; i < n; ++i, p += sizeof(KeyBinding)) {
        KeyBinding b;
        b.flags = p[0];
        b.reserved = p[1];
        b.key = (uint16_t)(p[2] | p[3] << 8);
        b.cmd = (uint16_t)(p[4] | p[5] << 8);
        table.items.push_back(b);
    }
    return table.Count();
}

void KeyTable_Serialize(const KeyTable& table, std::vector<char>& out)
{
    out.clear();
    out.reserve(table.items.size() * sizeof(KeyBinding));
    for (const KeyBinding& b : table.items) {
        const char rec[6] = {(char)b.flags, (char)b.reserved, (char)(b.key & 0xFF), (char)(b.key >> 8),
                             (char)(b.cmd & 0xFF), (char)(b.cmd >> 8)};
        out.insert(out.end(), rec, rec + 6);
    }
}

int KeyTable_ReadFile(KeyTable& table, const char* path)
{
    table.Clear();
    std::vector<char> bytes;
    if (!path || !*path || !File_ReadAll(path, bytes))
        return 0;
    KeyTable_Parse(table, bytes.data(), bytes.size());
    return 1;
}

int KeyTable_Load(KeyTable& table, const char* path, KeyScope scope)
{
    if (KeyTable_ReadFile(table, path))
        return 1;
    KeyTable_SetDefaults(table, scope);
    return 0;
}

int SaveKeyTable(const KeyTable& table, const char* path)
{
    std::vector<char> bytes;
    try {
        KeyTable_Serialize(table, bytes);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return File_Replace(path, bytes.data(), bytes.size());
}

int SaveKeyTables(const char* dataFolder, const KeyTable tables[KeyScopeCount])
{
    int ok = 1;
    for (int s = 0; s < KeyScopeCount; ++s) {
        char path[260];
        if (!KeyFilePath(dataFolder, (KeyScope)s, path, sizeof path) || !SaveKeyTable(tables[s], path))
            ok = 0;
    }
    return ok;
}

const KeyName KeyNameTable[] = {
    {1, "左ボタン"}, {2, "右ボタン"}, {4, "中央ボタン"}, {8, "BackSpace"}, {9, "Tab"},
    {12, "Clear"}, {13, "Enter"}, {27, "Esc"}, {32, "Space"}, {33, "Page Up"},
    {34, "Page Down"}, {35, "End"}, {36, "Home"}, {37, "←"}, {38, "↑"}, {39, "→"}, {40, "↓"},
    {44, "Print Screen"}, {45, "Insert"}, {46, "Delete"}, {47, "Help"},
    {48, "0"}, {49, "1"}, {50, "2"}, {51, "3"}, {52, "4"},
    {53, "5"}, {54, "6"}, {55, "7"}, {56, "8"}, {57, "9"},
    {65, "A"}, {66, "B"}, {67, "C"}, {68, "D"}, {69, "E"}, {70, "F"}, {71, "G"},
    {72, "H"}, {73, "I"}, {74, "J"}, {75, "K"}, {76, "L"}, {77, "M"}, {78, "N"},
    {79, "O"}, {80, "P"}, {81, "Q"}, {82, "R"}, {83, "S"}, {84, "T"}, {85, "U"},
    {86, "V"}, {87, "W"}, {88, "X"}, {89, "Y"}, {90, "Z"},
    {96, "Num 0"}, {97, "Num 1"}, {98, "Num 2"}, {99, "Num 3"}, {100, "Num 4"},
    {101, "Num 5"}, {102, "Num 6"}, {103, "Num 7"}, {104, "Num 8"}, {105, "Num 9"},
    {106, "Num *"}, {107, "Num +"}, {109, "Num -"}, {110, "Num ."}, {111, "Num /"},
    {112, "F1"}, {113, "F2"}, {114, "F3"}, {115, "F4"}, {116, "F5"}, {117, "F6"},
    {118, "F7"}, {119, "F8"}, {120, "F9"}, {121, "F10"}, {122, "F11"}, {123, "F12"},
    {124, "F13"}, {125, "F14"}, {126, "F15"}, {127, "F16"}, {128, "F17"}, {129, "F18"},
    {130, "F19"}, {131, "F20"}, {132, "F21"}, {133, "F22"}, {134, "F23"}, {135, "F24"},
    {144, "Num Lock"}, {145, "Scroll Lock"},
};
const int KeyNameCount = (int)(sizeof KeyNameTable / sizeof KeyNameTable[0]);

const char* KeyNameOf(unsigned code)
{
    int lo = 0, hi = KeyNameCount - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if (KeyNameTable[mid].code == code)
            return KeyNameTable[mid].name;
        if (KeyNameTable[mid].code < code)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return nullptr;
}

size_t KeyBindingText(const KeyBinding& b, char* out, size_t size)
{
    const char* name = KeyNameOf(b.key);
    if (!name)
        return Str_Copy(out, size, "????");
    Str_Format(out, size, "%s%s%s%s", (b.flags & KEYF_ALT) ? "Alt+" : "",
               (b.flags & KEYF_CONTROL) ? "Ctrl+" : "", (b.flags & KEYF_SHIFT) ? "Shift+" : "", name);
    return size ? strlen(out) : 0;
}

int KeyText(const KeyTable& table, int command, int start, char* out, size_t size)
{
    for (int i = start < 0 ? 0 : start; i < table.Count(); ++i)
        if (table.At(i).cmd == command) {
            KeyBindingText(table.At(i), out, size);
            return i;
        }
    Str_Copy(out, size, "");
    return -1;
}

bool HasConflict(const KeyTable& table, int index)
{
    if (index < 0 || index >= table.Count())
        return false;
    const KeyBinding& b = table.At(index);
    for (int i = 0; i < table.Count(); ++i)
        if (i != index && table.At(i).flags == b.flags && table.At(i).key == b.key)
            return true;
    return false;
}

namespace {

struct BindingOf {
    int index;
    bool conflict;
};

// The bindings of command in table order, each with whether another binding
// has its key: two passes over the table, so that a command bound many
// times does not cost a pass per binding.
std::vector<BindingOf> BindingsOf(const KeyTable& table, int command)
{
    std::vector<BindingOf> out;
    std::unordered_map<uint32_t, int> uses;   // (flags, key) of command's bindings -> bindings with it
    auto keyOf = [](const KeyBinding& b) { return (uint32_t)b.flags << 16 | b.key; };
    for (int i = 0; i < table.Count(); ++i)
        if (table.At(i).cmd == command) {
            out.push_back(BindingOf{i, false});
            uses[keyOf(table.At(i))] = 0;
        }
    if (out.empty())
        return out;
    for (int i = 0; i < table.Count(); ++i) {
        auto it = uses.find(keyOf(table.At(i)));
        if (it != uses.end())
            ++it->second;
    }
    for (BindingOf& b : out)
        b.conflict = uses[keyOf(table.At(b.index))] > 1;
    return out;
}

}  // namespace

std::string CurrentKeysText(const KeyTable& table, int command)
{
    std::string text;
    char buf[64];
    for (const BindingOf& b : BindingsOf(table, command)) {
        KeyBindingText(table.At(b.index), buf, sizeof buf);
        if (!text.empty())
            text += ',';
        text += buf;
        if (b.conflict)
            text += " * ";
    }
    return text;
}

std::vector<KeyEntry> KeyEntries(const KeyTable& table, int command)
{
    std::vector<KeyEntry> entries;
    char buf[64];
    for (const BindingOf& b : BindingsOf(table, command)) {
        KeyBindingText(table.At(b.index), buf, sizeof buf);
        std::string text = buf;
        if (b.conflict)
            text += " *";
        entries.push_back(KeyEntry{b.index, text});
    }
    return entries;
}

uint8_t KeyFlagsOf(bool ctrl, bool shift, bool alt)
{
    return (uint8_t)(KEYF_BASE | (ctrl ? KEYF_CONTROL : 0) | (shift ? KEYF_SHIFT : 0) | (alt ? KEYF_ALT : 0));
}

const FunctionRow FunctionList[] = {
    {0, "--- ファイル ---"},
    {32895, "フォルダにチェックを付ける"}, {32842, "インポート"}, {32795, "名前を付けて保存"},
    {32775, "フォルダ作成"}, {32777, "ファイル削除"}, {32807, "名前の変更"},
    {32782, "フォルダプロパティ"}, {32863, "URLを開く"}, {105, "終了"},
    {0, "--- 記事 ---"},
    {32771, "コピー"}, {32809, "すべて選択"}, {32780, "検索"}, {32853, "記事プロパティ"},
    {32820, "記事を未読にする"}, {32821, "記事を既読にする"}, {32831, "記事を送信保留にする"},
    {32818, "記事を次回送信にする"}, {32896, "記事を巡回指定にする"}, {32814, "記事を新規作成"},
    {32815, "返信記事を作成"}, {32816, "記事を再編集"}, {32832, "記事を削除"},
    {32871, "ホームページURLをコピー"}, {32875, "ホームページURLを開く"},
    {32874, "e-mailアドレスをコピー"}, {32873, "e-mail作成"}, {121, "親記事の内容をメッセージに追加表示"},
    {0, "--- 表示 ---"},
    {32798, "再読込"}, {32851, "ツールバー表示"}, {32850, "ステータスバー表示"},
    {32879, "フォルダビュー表示"}, {32961, "HTMLビュー表示"}, {32860, "ログファイル表示"},
    {32855, "ツリー表示"}, {32856, "番号順でソート"}, {32857, "タイトル順でソート"},
    {32858, "発言者順でソート"}, {32859, "日付順でソート"}, {32890, "タイトルビュー最大化"},
    {32891, "テキストビュー最大化"}, {32803, "次のウインドウへ"}, {32804, "前のウインドウへ"},
    {0, "--- ツール ---"},
    {32778, "フォルダ巡回"}, {32862, "送信有りのフォルダのみ巡回"}, {32779, "全巡回"},
    {32877, "一時巡回のみ巡回"}, {32865, "ダイヤルアップ切断"}, {32773, "オプション"},
    {32861, "インターネットオプション"}, {32802, "エクスプローラ起動"},
    {0, "--- 移動 ---"},
    {32883, "戻る"}, {32938, "進む"}, {32937, "親記事へ"}, {117, "読み進める"},
    {116, "前の記事へ"}, {115, "次の記事へ"}, {32884, "検索し読み進める"},
    {32885, "上方向へ検索"}, {32886, "下方向へ検索"}, {32852, "未読を読み進める"},
    {32848, "上方向へ未読を検索"}, {32847, "下方向へ未読を検索"}, {32892, "記事を逆スクロール"},
    {32894, "1行スクロールアップ"}, {32893, "1行スクロールダウン"},
    {0, "--- 状況依存 ---"},
    {32880, "プロパティ"},
    {0, "--- ウインドウ ---"},
    {32964, "元のサイズに戻す"}, {32963, "最大化"}, {32962, "最小化"},
    {0, "--- ヘルプ ---"},
    {32834, "目次"}, {32866, "ZEVAホームページへ"}, {32867, "作者へメール"}, {104, "バージョン情報表示"},
};
const int FunctionCount = (int)(sizeof FunctionList / sizeof FunctionList[0]);
