// One test per fault found in the article collection.
#include "store/Subj.h"

#include "alloc_fault.h"
#include "subj_testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace subjtest;

namespace {

const char kStore[] =
    "#T:board\n"
    "S:1,*,04/01/02,12:00\nT:one\nN:a\nM:first\n.\n"
    "S:2,1,04/01/02,12:05,V\nT:two\nN:b\nM:second\n.\n"
    "S:*,*,04/01/03,08:00\nT:anon\nN:c\nM:unnumbered\n.\n"
    "S:Sab12,*,04/01/04,09:00\nT:id\nN:d\nM:by id\n.\n"
    "S:3,*,04/01/05,10:00\nT:three\nN:e\nM:to go\n.\n";

const char kIncoming[] =
    "#T:board 2\n"
    "S:1,*,04/01/02,12:00\nT:one\nN:a\nM:first\n.\n"                 // already here
    "S:2,1,04/01/02,12:05\nT:two\nN:b\nM:second\n.\n"                // replaces the virtual one
    "S:*,*,04/01/03,08:00\nT:anon\nN:c\nM:other text\n.\n"           // the same unknown number
    "S:Sab12,*,04/01/04,09:00,O\nT:id\nN:d\nM:changed\n.\n"          // overwrites
    "S:3,*,04/01/05,10:00,D\nT:\nN:\nM:\n.\n"                        // deletes
    "S:4,3,04/01/06,11:00\nT:four\nN:f\nM:new\n.\n";                 // arrives

// A merge index that could not get its memory threw out of the merge and
// ended the program. Without it the merge now scans the store and leaves it
// exactly as the indexed merge does.
TEST(SubjRegressions, MergeWithoutMemoryForItsIndexGivesTheSameStore)
{
    CSubj want, wantIn;
    Parse(want, kStore);
    Parse(wantIn, kIncoming);
    int wantArrived = want.Merge(&wantIn);
    ASSERT_EQ(wantArrived, 2);   // the overwritten one and the new one
    for (int k = 1;; ++k) {
        CSubj store, in;
        Parse(store, kStore);
        Parse(in, kIncoming);
        AllocFault_Set(k);
        int arrived = store.Merge(&in);
        bool done = AllocFault_Count() < k;
        AllocFault_Set(0);
        EXPECT_EQ(arrived, wantArrived) << "allocation " << k;
        EXPECT_EQ(Written(store), Written(want)) << "allocation " << k;
        if (done) {
            EXPECT_GT(k, 1);
            break;
        }
    }
}

// Write buffers that could not be had threw out of CSubj::Update. Now the
// write fails: the old file stays, nothing is left beside it, and the
// collection stays modified for the next try.
TEST(SubjRegressions, WriteWithoutMemoryKeepsTheOldFile)
{
    TempDir dir;
    std::string path = dir.File("001.zvt");
    ASSERT_TRUE(WriteBytes(path, RoundTrip(kStore)));
    const std::string before = ReadBytes(path);
    int failures = 0;
    for (int k = 1;; ++k) {
        ASSERT_TRUE(WriteBytes(path, before));
        CSubj s;
        ASSERT_EQ(s.LoadFile(path.c_str()), 1);
        s.SetAtr(0, 0, ATR_R);
        const std::string after = Written(s);
        AllocFault_Set(k);
        int ok = s.Update();
        bool done = AllocFault_Count() < k;
        AllocFault_Set(0);
        failures += !ok;
        EXPECT_EQ(ReadBytes(path), ok ? after : before) << "allocation " << k;
        EXPECT_EQ(s.IsModified(), ok ? 0 : 1);
        std::vector<DirEntry> files;
        Dir_List(dir.Path().c_str(), files);
        for (const DirEntry& e : files)
            EXPECT_TRUE(e.name == "001.zvt" || e.name == "zeva_BBS.ini") << e.name;
        if (done) {
            EXPECT_EQ(ok, 1);
            break;
        }
    }
    EXPECT_GT(failures, 0);
}

// The temporary file of a save is the store's name with ".~<process>.<n>.tmp"
// added: beside a store path of more than about 243 bytes it passed the
// 259 bytes of the system's ANSI functions, and every save on Windows failed.
TEST(SubjRegressions, StoreWithAPathOf259BytesIsSaved)
{
    TempDir dir;
#ifdef _WIN32
    const char sep = '\\';
#else
    const char sep = '/';
#endif
    const std::string name = "0123456789abcdef.zvt";
    std::string path = dir.Path();
    size_t room = 259 - (path.size() + 1 + name.size());   // for folders and their separators
    ASSERT_LT(path.size(), 200u);
    while (room > 0) {
        size_t n = room > 121 ? 100 : room - 1;
        path += sep + std::string(n, 'd');
        ASSERT_EQ(Dir_Create(path.c_str()), 1) << path.size();
        room -= n + 1;
    }
    path += sep + name;
    ASSERT_EQ(path.size(), 259u);

    CSubj s;
    EXPECT_EQ(s.LoadFile(path.c_str()), 0);   // not there yet
    Parse(s, kStore);
    ASSERT_EQ(s.Update(), 1);
    CSubj back;
    ASSERT_EQ(back.LoadFile(path.c_str()), 1);
    EXPECT_EQ(Written(back), Written(s));
    back.SetAtr(0, 0, ATR_R);
    EXPECT_EQ(back.Update(), 1);   // replacing the file works as well
    std::vector<DirEntry> files;
    Dir_List(path.substr(0, path.size() - name.size() - 1).c_str(), files);
    std::vector<std::string> names;
    for (const DirEntry& e : files)
        names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{name, "zeva_BBS.ini"}));   // no temporary file left
}

}  // namespace
