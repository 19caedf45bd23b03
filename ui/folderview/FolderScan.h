// The folder tree as the folder view shows it, built from the data folder:
// scan, labels and images from counts, folder sums, sibling order, the
// remembered expansion ("TreeState.ini"), the AutoCollapse decision, the
// title and status texts and the store walk of the search. No window API
// here: the window code mirrors the nodes into the tree control.
#pragma once
#include "ui/folderview/FolderItem.h"

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <unordered_set>
#include <vector>

struct FolderNode {
    FolderItem item;
    int parent;                  // -1 for the root
    std::vector<int> children;   // in display order
    char text[280];              // the label
    int image;
    int state;                   // state image (folders), FV_STATE_*
    bool expanded;
    void* handle;                // the control's item, set by the window code
};

// Where a store's counts and title come from: the open collection for the
// store the title view shows, else the store cache.
class CStoreCounts {
public:
    virtual ~CStoreCounts() {}
    // *unread, *unsent and the title (may stay empty) of the store at path.
    virtual void Counts(const char* path, uint64_t writeTime, int* unread, int* unsent, char* title,
                        size_t titleSize) = 0;
};

// The folders listed in "TreeState.ini": one path per line (CR LF, a bare LF
// is taken too), compared without regard to ASCII case.
class CTreeState {
public:
    void Parse(const char* data, size_t size);
    bool Contains(const char* path) const;
    size_t Count() const { return m_paths.size(); }

private:
    std::unordered_set<std::string> m_paths;   // folded
};

struct FolderScanOptions {
    const char* dataDir = "";      // ends with the separator
    int showLogfile = 0;           // list "htm" and "html" files too
    const char* selectPath = "";   // the item with this path becomes selected
    // Alphabetical order of labels (the tree control's sorted insert);
    // nullptr: case-blind byte order.
    int (*compareText)(const char* a, const char* b) = nullptr;
};

class CFolderTree {
public:
    // Rebuilds from the data folder: the root, then every folder and listed
    // file below it. Returns the number of nodes.
    int Build(const FolderScanOptions& opt, const CTreeState& state, CStoreCounts* counts);
    void Clear();

    // Folder sums and images below start (-1: the whole tree), and the
    // state images of the folders there.
    void SetFolderIcon(int start);
    // New counts of a store; 1 when its image changed (then the caller
    // recomputes the folder icons). Nothing for other items and the sent store.
    int UpdateStore(int node, int unread, int unsent);
    // Flips the tick of a folder; returns the new flags.
    int ToggleTick(int node);

    // "TreeState.ini": every expanded folder whose ancestors were written
    // (the root when it is expanded), path and CR LF.
    std::string TreeStateText() const;

    // Visible order, as the control steps with its expansion.
    int NextVisible(int node) const;
    int PrevVisible(int node) const;
    int Find(const char* path) const;   // case-blind; -1 when absent

    int Count() const { return (int)nodes.size(); }
    FolderNode& operator[](int i) { return nodes[i]; }
    const FolderNode& operator[](int i) const { return nodes[i]; }

    std::vector<FolderNode> nodes;   // nodes[0] is the root
    int selected = -1;               // the node whose path was asked for

private:
    int Add(int parent, const FolderItem& item);
    void ScanFolder(int parent, const char* folder, const FolderScanOptions& opt, const CTreeState& state,
                    CStoreCounts* counts, int depth);
    void SortChildren(int node, const FolderScanOptions& opt);
};

// A store's label: "%s(%d)" with its unread count when there are unread
// articles, else the display name; image 9..12 by unread and unsent.
void FolderItem_StoreLabel(const FolderItem& item, char* text, size_t size, int* image);
// The sibling comparison: the sent store "送信済み" after everything, then
// Folder, ArticleStore, LogFile; equal ranks keep their alphabetical order.
int FolderItem_SiblingRank(const FolderItem& item);
// The text of the window title and status part 0: for a store the last
// folder name of its path, "/" and the display name; for a folder its name;
// else the full path.
void FolderItem_TitleText(const FolderItem& item, char* out, size_t size);
// The store of sent articles ("送信済み.zvt", any case): never summed.
bool FolderItem_IsSentStore(const FolderItem& item);
// The folder an item's commands work in: a folder's own path, else the
// folder that holds the item (with its trailing separator).
void FolderItem_Folder(const FolderItem& item, char* out, size_t size);

// AutoCollapse on a keyboard move to item (its parent given; 0 = none for
// every handle): fills collapse[0] and collapse[1] with the items to
// collapse (0 = nothing), then remembers item and parent as the last ones.
struct AutoCollapseState {
    intptr_t last = 0, lastParent = 0;
};
void AutoCollapse_Step(AutoCollapseState* s, intptr_t item, intptr_t parent, intptr_t collapse[2]);

// The search's walk from the current item to the next store to open.
struct StoreWalk {
    int direction = 1;        // > 0 down, <= 0 up
    int unreadSearch = 0;     // the unread search (else the normal search)
    int thisFolderOnly = 0;   // normal search: a folder item ends the walk
    int textGiven = 0;        // the search text is not empty
    int colorLabel = 0;
    int unread = 0;
    int own = 0;
};
// The node where the walk stops, or -1 when it ran off the tree.
int FolderTree_WalkStores(const CFolderTree& tree, int from, const StoreWalk& w);

// A folder dropped into itself or below itself is refused: the target
// folder's path begins with the dragged folder's path (case-blind).
bool FolderDrop_IntoItself(const FolderItem& dragged, const char* targetFolder);

// A name typed for a new or renamed folder: one path element only, so that
// it can never reach another folder ("..", separators, drive colons and the
// characters the system refuses are turned down).
bool FolderName_IsValid(const char* name);
