// One load or one merge for instruction counts: run under
// valgrind --tool=callgrind --instr-atstart=no, only the operation itself is
// counted (tools/bench/callgrind.sh). Natively it just runs it.
//
//   store_callgrind load <megabytes> [ids]
//   store_callgrind merge <stored articles> <incoming> [ids] [literal]
//
// "literal" merges with the literal partner scan of the tests instead.
#include "base/fileio.h"
#include "bench/store_gen.h"
#include "store/Subj.h"
#include "store/merge_reference.h"

#include <valgrind/callgrind.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {
void ParseInto(CSubj& s, const std::string& text)
{
    std::vector<char> buf(text.size() + 2, 0);
    memcpy(buf.data() + 1, text.data(), text.size());
    s.ParseBuffer(buf.data(), text.size());
}

int Usage()
{
    fprintf(stderr, "usage: store_callgrind load <MB> [ids] | merge <stored> <incoming> [ids] [literal]\n");
    return 2;
}
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    std::string op = argv[1];
    if (op == "load") {
        size_t mb = strtoul(argv[2], nullptr, 10);
        bool ids = argc > 3 && !strcmp(argv[3], "ids");
        storegen::Board board(ids ? 12 : 11, ids);
        uint32_t made = 0;
        std::string text = board.Store(0, mb << 20, &made);
        char path[64];
        snprintf(path, sizeof path, "/tmp/zeva_callgrind_%d.zvt", (int)getpid());
        if (!File_Replace(path, text.data(), text.size()))
            return 1;
        CSubj s;
        CALLGRIND_START_INSTRUMENTATION;
        s.LoadFile(path);
        CALLGRIND_STOP_INSTRUMENTATION;
        File_Delete(path);
        printf("load: %zu bytes, %d articles\n", text.size(), s.GetCount());
        return s.GetCount() == (int)made ? 0 : 1;
    }
    if (op == "merge" && argc > 3) {
        uint32_t stored = (uint32_t)strtoul(argv[2], nullptr, 10);
        uint32_t n = (uint32_t)strtoul(argv[3], nullptr, 10);
        bool ids = false, literal = false;
        for (int a = 4; a < argc; ++a) {
            ids = ids || !strcmp(argv[a], "ids");
            literal = literal || !strcmp(argv[a], "literal");
        }
        storegen::Board board(ids ? 22 : 21, ids);
        CSubj store, in;
        ParseInto(store, board.Store(stored));
        std::string t;
        storegen::Board::Header(t, "ベンチマーク用の掲示板", 0, 0);
        for (uint32_t k = stored - n / 2; k < stored + (n - n / 2); ++k)
            board.Article(t, k, true);
        ParseInto(in, t);
        CALLGRIND_START_INSTRUMENTATION;
        int arrived = literal ? mergeref::Merge(store, in) : store.Merge(&in);
        CALLGRIND_STOP_INSTRUMENTATION;
        printf("merge: %u incoming into %u, %d arrived\n", n, stored, arrived);
        return arrived == (int)(n - n / 2) ? 0 : 1;
    }
    return Usage();
}
