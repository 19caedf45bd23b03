#include "ui/folderview/FolderScan.h"

#include "base/fileio.h"
#include "base/profile.h"
#include "base/sjis.h"

#include <string.h>

#include <algorithm>

namespace {

const char kSentName[] = "送信済み";
const char kSentFile[] = "送信済み.zvt";
const char kWorkPrefix[] = "作業ファイル";   // 12 bytes
// Folders nested deeper than this are listed without their contents; no
// path of 260 bytes goes that deep, but a loop of links might.
const int kMaxDepth = 128;

std::string Fold(const char* s, size_t n)
{
    std::string out(s, n);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return out;
}

// The name without its extension (cut before the last "."), and the
// extension after it ("" without a dot).
void SplitName(const char* name, char* base, size_t size, const char** ext)
{
    const char* dot = Sjis_StrRChr(name, '.');
    if (!dot) {
        Str_Copy(base, size, name);
        *ext = "";
        return;
    }
    Str_CopyN(base, size, name, (size_t)(dot - name));
    *ext = dot + 1;
}

}  // namespace

// ---- TreeState.ini ----------------------------------------------------------------

void CTreeState::Parse(const char* data, size_t size)
{
    m_paths.clear();
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i < size && data[i] != '\n')
            continue;
        size_t end = i;
        if (end > start && data[end - 1] == '\r')
            --end;
        // A line that can't be a path (260 bytes or more) matches nothing.
        if (end > start && end - start < 260)
            m_paths.insert(Fold(data + start, end - start));
        start = i + 1;
    }
}

bool CTreeState::Contains(const char* path) const
{
    return !m_paths.empty() && m_paths.count(Fold(path, strlen(path))) != 0;
}

// ---- labels -------------------------------------------------------------------------

void FolderItem_StoreLabel(const FolderItem& item, char* text, size_t size, int* image)
{
    if (item.unread > 0) {
        Str_Format(text, size, "%s(%d)", item.name, item.unread);
        *image = item.unsent > 0 ? FV_IMG_STORE + 3 : FV_IMG_STORE + 1;
    } else {
        Str_Copy(text, size, item.name);
        *image = item.unsent > 0 ? FV_IMG_STORE + 2 : FV_IMG_STORE;
    }
}

int FolderItem_SiblingRank(const FolderItem& item)
{
    if (strcmp(item.name, kSentName) == 0)
        return 5;
    return item.kind;
}

bool FolderItem_IsSentStore(const FolderItem& item)
{
    return item.kind == FIK_STORE && Str_ICmp(item.file, kSentFile) == 0;
}

void FolderItem_TitleText(const FolderItem& item, char* out, size_t size)
{
    if (item.kind == FIK_STORE) {
        // The folder that holds the store: between the last two separators.
        const char* last = Sjis_StrRChr(item.path, kFolderSep);
        size_t folderEnd = last ? (size_t)(last - item.path) : 0;
        const char* folderStart = item.path;
        for (const char* p = item.path; *p && (size_t)(p - item.path) < folderEnd;) {
            if (*p == kFolderSep)
                folderStart = p + 1;
            p += IsSjisLead((unsigned char)*p) && p[1] ? 2 : 1;
        }
        char folder[260];
        Str_CopyN(folder, sizeof folder, folderStart, (size_t)(item.path + folderEnd - folderStart));
        Str_Format(out, size, "%s/%s", folder, item.name);
    } else if (item.kind == FIK_FOLDER) {
        Str_Copy(out, size, item.file);
    } else {
        Str_Copy(out, size, item.path);
    }
}

void FolderItem_Folder(const FolderItem& item, char* out, size_t size)
{
    if (item.kind == FIK_FOLDER || item.kind == FIK_ROOT) {
        Str_Copy(out, size, item.path);
        return;
    }
    const char* last = Sjis_StrRChr(item.path, kFolderSep);
    Str_CopyN(out, size, item.path, last ? (size_t)(last - item.path) + 1 : 0);
}

// ---- AutoCollapse -------------------------------------------------------------------

void AutoCollapse_Step(AutoCollapseState* s, intptr_t item, intptr_t parent, intptr_t collapse[2])
{
    collapse[0] = collapse[1] = 0;
    if (item != s->last) {
        if (parent == s->lastParent)
            collapse[0] = s->last;
        if (item != s->lastParent && s->last != parent && parent != s->lastParent)
            collapse[1] = s->lastParent;
    }
    s->last = item;
    s->lastParent = parent;
}

// ---- the tree -------------------------------------------------------------------------

void CFolderTree::Clear()
{
    nodes.clear();
    selected = -1;
}

int CFolderTree::Add(int parent, const FolderItem& item)
{
    FolderNode n;
    n.item = item;
    n.parent = parent;
    n.text[0] = 0;
    n.image = 0;
    n.state = FV_STATE_NONE;
    n.expanded = false;
    n.handle = nullptr;
    nodes.push_back(std::move(n));
    int index = (int)nodes.size() - 1;
    if (parent >= 0)
        nodes[parent].children.push_back(index);
    return index;
}

int CFolderTree::Build(const FolderScanOptions& opt, const CTreeState& state, CStoreCounts* counts)
{
    Clear();
    FolderItem root = {};
    root.kind = FIK_ROOT;
    Str_Copy(root.file, sizeof root.file, "user data");
    Str_Copy(root.path, sizeof root.path, opt.dataDir);
    int r = Add(-1, root);
    Str_Copy(nodes[r].text, sizeof nodes[r].text, opt.dataDir);
    nodes[r].image = FV_IMG_ROOT;
    ScanFolder(r, opt.dataDir, opt, state, counts, 0);
    // The data folder's own entries keep the alphabetical order of their
    // insert; only folders below it are sorted by kind.
    auto cmp = opt.compareText ? opt.compareText : Str_ICmp;
    std::stable_sort(nodes[r].children.begin(), nodes[r].children.end(),
                     [&](int a, int b) { return cmp(nodes[a].text, nodes[b].text) < 0; });
    nodes[r].expanded = true;
    SetFolderIcon(-1);
    return (int)nodes.size();
}

void CFolderTree::SortChildren(int node, const FolderScanOptions& opt)
{
    auto cmp = opt.compareText ? opt.compareText : Str_ICmp;
    std::vector<int>& ch = nodes[node].children;
    // The sorted insert first (alphabetical by label), then the kinds, equal
    // ranks keeping their alphabetical order.
    std::stable_sort(ch.begin(), ch.end(), [&](int a, int b) { return cmp(nodes[a].text, nodes[b].text) < 0; });
    std::stable_sort(ch.begin(), ch.end(), [&](int a, int b) {
        return FolderItem_SiblingRank(nodes[a].item) < FolderItem_SiblingRank(nodes[b].item);
    });
}

void CFolderTree::ScanFolder(int parent, const char* folder, const FolderScanOptions& opt, const CTreeState& state,
                             CStoreCounts* counts, int depth)
{
    std::vector<DirEntry> entries;
    if (!Dir_List(folder, entries))
        return;   // a folder that can't be listed shows no children
    size_t folderLen = strlen(folder);
    for (const DirEntry& e : entries) {
        const char* name = e.name.c_str();
        // A path that would not fit its 260-byte field is left out, never cut.
        if (folderLen + e.name.size() + 1 >= 260 || e.name.size() >= 260)
            continue;
        if (e.isDir) {
            FolderItem it = {};
            it.kind = FIK_FOLDER;
            Str_Copy(it.file, sizeof it.file, name);
            Str_Format(it.path, sizeof it.path, "%s%s%c", folder, name, kFolderSep);
            int n = Add(parent, it);
            Str_Copy(nodes[n].text, sizeof nodes[n].text, name);
            char path[260];
            Str_Copy(path, sizeof path, it.path);
            if (depth < kMaxDepth)
                ScanFolder(n, path, opt, state, counts, depth + 1);
            SortChildren(n, opt);
            nodes[n].expanded = state.Contains(path);
            if (opt.selectPath && opt.selectPath[0] && Str_ICmp(path, opt.selectPath) == 0)
                selected = n;
            continue;
        }
        if (Str_ICmp(name, "zeva_BBS.ini") == 0) {
            char ini[260];
            Str_Format(ini, sizeof ini, "%s%s", folder, name);
            int flags = Profile_GetInt("BASIC", "BBSFOLDER", 0, ini);
            if (flags != 0)
                nodes[parent].item.flags = (BbsFlags)flags;
            continue;
        }
        if (strncmp(name, kWorkPrefix, sizeof kWorkPrefix - 1) == 0)
            continue;
        char base[260];
        const char* ext;
        SplitName(name, base, sizeof base, &ext);
        if (Str_ICmp(ext, "ini") == 0)
            continue;
        bool store = Str_ICmp(ext, "zvt") == 0;
        bool log = opt.showLogfile && (Str_ICmp(ext, "htm") == 0 || Str_ICmp(ext, "html") == 0);
        if (!store && !log)
            continue;
        FolderItem it = {};
        it.kind = store ? FIK_STORE : FIK_LOG;
        Str_Copy(it.file, sizeof it.file, name);
        Str_Format(it.path, sizeof it.path, "%s%s", folder, name);
        int n;
        if (store) {
            char title[260] = "";
            if (counts)
                counts->Counts(it.path, e.writeTime, &it.unread, &it.unsent, title, sizeof title);
            Str_Copy(it.name, sizeof it.name, title[0] ? title : base);
            n = Add(parent, it);
            FolderItem_StoreLabel(nodes[n].item, nodes[n].text, sizeof nodes[n].text, &nodes[n].image);
            if (strcmp(base, kSentName) == 0)
                nodes[n].image = FV_IMG_SENT;
        } else {
            n = Add(parent, it);
            Str_Copy(nodes[n].text, sizeof nodes[n].text, base);
            nodes[n].image = FV_IMG_LOG;
        }
        if (opt.selectPath && opt.selectPath[0] && Str_ICmp(it.path, opt.selectPath) == 0)
            selected = n;
    }
}

void CFolderTree::SetFolderIcon(int start)
{
    if (nodes.empty())
        return;
    // The nodes below start, in tree order (a folder before its stores).
    std::vector<int> order;
    std::vector<int> stack;
    if (start < 0) {
        stack.push_back(0);
    } else {
        for (auto it = nodes[start].children.rbegin(); it != nodes[start].children.rend(); ++it)
            stack.push_back(*it);
    }
    while (!stack.empty()) {
        int n = stack.back();
        stack.pop_back();
        order.push_back(n);
        for (auto it = nodes[n].children.rbegin(); it != nodes[n].children.rend(); ++it)
            stack.push_back(*it);
    }
    for (int n : order) {
        FolderNode& node = nodes[n];
        if (node.item.kind == FIK_FOLDER) {
            node.item.unread = node.item.unsent = 0;
            node.image = (node.item.flags & BBS_PATROL) ? FV_IMG_BBS : FV_IMG_FOLDER;
            node.state = (node.item.flags & BBS_TICKED) ? FV_STATE_TICKED : FV_STATE_UNTICKED;
        } else if (node.item.kind == FIK_STORE && !FolderItem_IsSentStore(node.item) &&
                   (node.item.unread > 0 || node.item.unsent > 0)) {
            for (int a = node.parent; a >= 0 && a != start; a = nodes[a].parent) {
                FolderNode& up = nodes[a];
                if (up.item.kind != FIK_FOLDER)
                    continue;
                up.item.unread += node.item.unread;
                up.item.unsent += node.item.unsent;
                int base = (up.item.flags & BBS_PATROL) ? FV_IMG_BBS : FV_IMG_FOLDER;
                up.image = base + (up.item.unread > 0 ? 1 : 0) + (up.item.unsent > 0 ? 2 : 0);
            }
        }
    }
}

int CFolderTree::UpdateStore(int node, int unread, int unsent)
{
    if (node < 0 || node >= Count())
        return 0;
    FolderNode& n = nodes[node];
    if (n.item.kind != FIK_STORE || FolderItem_IsSentStore(n.item))
        return 0;
    n.item.unread = unread;
    n.item.unsent = unsent;
    int old = n.image;
    FolderItem_StoreLabel(n.item, n.text, sizeof n.text, &n.image);
    return n.image != old;
}

int CFolderTree::ToggleTick(int node)
{
    if (node < 0 || node >= Count())
        return 0;
    nodes[node].item.flags ^= BBS_TICKED;
    return nodes[node].item.flags;
}

std::string CFolderTree::TreeStateText() const
{
    std::string out;
    if (nodes.empty() || !nodes[0].expanded)
        return out;
    // Only the descendants of written items can be written.
    std::vector<int> stack(1, 0);
    while (!stack.empty()) {
        int n = stack.back();
        stack.pop_back();
        out += nodes[n].item.path;
        out += "\r\n";
        const std::vector<int>& ch = nodes[n].children;
        for (auto it = ch.rbegin(); it != ch.rend(); ++it)
            if (nodes[*it].expanded && !nodes[*it].children.empty())
                stack.push_back(*it);
    }
    return out;
}

int CFolderTree::NextVisible(int node) const
{
    if (node < 0 || node >= Count())
        return -1;
    if (nodes[node].expanded && !nodes[node].children.empty())
        return nodes[node].children[0];
    for (int n = node; n >= 0; n = nodes[n].parent) {
        int p = nodes[n].parent;
        if (p < 0)
            return -1;
        const std::vector<int>& sib = nodes[p].children;
        auto it = std::find(sib.begin(), sib.end(), n);
        if (it != sib.end() && it + 1 != sib.end())
            return *(it + 1);
    }
    return -1;
}

int CFolderTree::PrevVisible(int node) const
{
    if (node <= 0 || node >= Count())
        return -1;
    int p = nodes[node].parent;
    const std::vector<int>& sib = nodes[p].children;
    auto it = std::find(sib.begin(), sib.end(), node);
    if (it == sib.begin() || it == sib.end())
        return p;
    int n = *(it - 1);
    while (nodes[n].expanded && !nodes[n].children.empty())
        n = nodes[n].children.back();
    return n;
}

int CFolderTree::Find(const char* path) const
{
    for (int i = 0; i < Count(); ++i)
        if (Str_ICmp(nodes[i].item.path, path) == 0)
            return i;
    return -1;
}

// ---- the search's walk ---------------------------------------------------------------

int FolderTree_WalkStores(const CFolderTree& tree, int from, const StoreWalk& w)
{
    if (from < 0 || from >= tree.Count())
        return -1;
    int cur = from;
    // Bounded: every node is passed at most a few times in any order.
    for (int guard = 0; guard < tree.Count() * 4 + 4; ++guard) {
        int prev = cur;
        bool firstChild = false;
        if (w.direction <= 0) {
            cur = tree.PrevVisible(cur);
        } else if (!tree[cur].children.empty()) {
            cur = tree[cur].children[0];
            firstChild = true;
        } else {
            cur = tree.NextVisible(cur);
        }
        if (cur < 0)
            return -1;
        const FolderItem& it = tree[cur].item;
        if (it.kind == FIK_FOLDER && !w.unreadSearch && w.thisFolderOnly)
            return -1;
        if (it.kind != FIK_STORE || FolderItem_IsSentStore(it))
            continue;
        if (w.direction <= 0) {
            bool stop = w.unreadSearch ? it.unread > 0
                                       : (w.unread && it.unread > 0) || (w.own && it.unsent > 0) || w.textGiven;
            if (stop)
                return cur;
        } else if (!w.unreadSearch) {
            if (w.textGiven || w.colorLabel || (w.unread && it.unread > 0) || (w.own && it.unsent > 0))
                return cur;
        } else if (it.unread > 0 || it.unsent > 0) {
            if (!firstChild)
                return cur;
            if (prev != from)
                return prev;   // the store's folder, which opens that store
        }
    }
    return -1;
}

bool FolderDrop_IntoItself(const FolderItem& dragged, const char* targetFolder)
{
    size_t n = strlen(dragged.path);
    return dragged.kind == FIK_FOLDER && n > 0 && Str_NICmp(targetFolder, dragged.path, n) == 0;
}

bool FolderName_IsValid(const char* name)
{
    if (!name || !name[0] || strcmp(name, ".") == 0 || strcmp(name, "..") == 0 || strlen(name) >= 260)
        return false;
    for (const char* p = name; *p;) {
        unsigned char c = (unsigned char)*p;
        if (IsSjisLead(c) && p[1]) {
            p += 2;
            continue;
        }
        if (c < 0x20 || strchr("\\/:*?\"<>|", c))
            return false;
        ++p;
    }
    return true;
}
