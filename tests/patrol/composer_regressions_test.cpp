// One test per fault found in the composer.
#include "patrol/Composer.h"

#include "store/LockFile.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One editor that has ended at once.
class EndedEditor : public IEditorLauncher {
public:
    intptr_t Start(const char*) override { return 1; }
    int HasEnded(intptr_t) override { return 1; }
    void Close(intptr_t) override {}
};

// While the article is stored, the main window takes the store's path (a
// slot of the full table has come free meanwhile).
class MainWindow : public IComposerHost {
public:
    CSubj* OpenCollection() override
    {
        locks->Unlock(freed.c_str());
        locks->Lock(store.c_str());
        return nullptr;
    }
    const char* OpenStorePath() override { return ""; }
    void RefreshTitleView() override {}
    CLockFile* locks = nullptr;
    std::string store, freed;
};

// With the lock table full, Lock returned 0 but the composer still unlocked
// the path afterwards, releasing the lock the main window had taken since.
TEST(ComposerRegressions, FullLockTableNeverReleasesAnotherThreadsLock)
{
    subjtest::TempDir dir;
    CLockFile locks;
    for (int i = 0; i < CLockFile::kSlots; ++i)
        ASSERT_EQ(locks.Lock(dir.File("other" + std::to_string(i) + ".zvt").c_str()), 1);
    MainWindow window;
    window.locks = &locks;
    window.store = dir.File("board.zvt");
    window.freed = dir.File("other0.zvt");
    EndedEditor editor;
    ComposerSettings settings;
#ifdef _WIN32
    ComposerSettings_Init(&settings, (dir.Path() + "\\").c_str());
#else
    ComposerSettings_Init(&settings, (dir.Path() + "/").c_str());
#endif
    CComposer composer(settings, &window, &locks, &editor);
    ComposeRequest r;
    r.store = window.store.c_str();
    ASSERT_EQ(composer.Start(r), 1);
    EXPECT_EQ(composer.Poll(), 1);
    EXPECT_EQ(locks.IsLocked(window.store.c_str()), 1);
}

}  // namespace
