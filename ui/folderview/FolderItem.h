// The record behind every folder-view item, and the folder view's image
// indices. Portable: the tree's decisions are made on these records.
#pragma once
#include <stdint.h>

enum FolderItemKind { FIK_NONE = 0, FIK_FOLDER = 1, FIK_ROOT = 2, FIK_STORE = 3, FIK_LOG = 4 };

// BBSFOLDER of a folder's zeva_BBS.ini.
typedef uint8_t BbsFlags;
enum : uint8_t {
    BBS_PATROL = 0x01,   // normal patrol target
    BBS_TICKED = 0x02,   // temporary patrol
};

struct FolderItem {
    char name[260];   // display name: a store's board title, else its file name without extension
    int unread;       // a store's own count; a folder's sum over the stores below it
    int unsent;
    char file[260];   // file or folder name on disk
    char path[260];   // full path; a folder's ends with the separator
    BbsFlags flags;
    int kind;         // FolderItemKind
};

// Images of the normal list (16x16 cells).
enum {
    FV_IMG_FOLDER = 1,    // +1 unread below, +2 unsent below
    FV_IMG_BBS = 5,       // the same for a BBS folder
    FV_IMG_STORE = 9,     // +1 unread, +2 unsent
    FV_IMG_LOG = 13,
    FV_IMG_ROOT = 14,
    FV_IMG_SENT = 15,
};
// State images (12x12 cells), folders only.
enum { FV_STATE_NONE = 0, FV_STATE_UNTICKED = 1, FV_STATE_TICKED = 2 };

// The path separator of folder paths: a backslash on Windows; the native
// build (tests on real folders) uses '/'.
#ifdef _WIN32
const char kFolderSep = '\\';
#else
const char kFolderSep = '/';
#endif
