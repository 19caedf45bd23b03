// Notices to the main window around every rewrite of a store file by a
// thread other than the user-interface thread. The Win32 implementation sends
// command 32957 (about to change) and 32958 (changed; high word of wParam 1
// when articles were added or changed) with the path in lParam.
//
// Thread contract: the notices are sent, so the window thread handles them
// in order while the worker waits; the worker holds no lock the window
// thread could need meanwhile. On 32957 the window locks the path (waiting
// only for the composer's thread, which never waits for the window), saves
// its collection if it shows that store and makes it read-only; on 32958 it
// unlocks the path and reloads that store at once.
#pragma once

enum {
    CMD_STORE_ABOUT_TO_CHANGE = 32957,
    CMD_STORE_CHANGED = 32958,
};

class CStoreNotify {
public:
    virtual ~CStoreNotify() {}
    virtual void AboutToChange(const char* storePath) = 0;
    virtual void Changed(const char* storePath, int articlesChanged) = 0;
};
