// ZVT reader and writer: any bytes parse without fault, and what the writer
// makes of them reads back to the same bytes. The summary read of the
// written bytes agrees with the full read; a load that leaves the texts in
// the block it read gives the same collection as one that copies them.
#include "store/Subj.h"
#include "store/TextArena.h"

#include "../store/merge_reference.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {
void Fail(int line)
{
    fprintf(stderr, "fuzz_zvt: check at line %d failed\n", line);
    abort();
}
#define CHECK(x) ((x) ? (void)0 : Fail(__LINE__))

void ParseBytes(CSubj& s, const char* data, size_t size)
{
    std::vector<char> buf(size + 2, 0);
    if (size)
        memcpy(buf.data() + 1, data, size);
    s.ParseBuffer(buf.data(), size);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = (const char*)data;

    CSubj first;
    ParseBytes(first, text, size);
    std::string w1;
    first.Serialize(w1);

    {
        size_t blocks = TextArena_Blocks();
        char* block = (char*)malloc(size + 2);
        block[0] = block[size + 1] = 0;
        if (size)
            memcpy(block + 1, text, size);
        TextArena* arena = TextArena_Adopt(block, size + 2);
        CHECK(arena != nullptr);
        std::string wa;
        {
            CSubj inPlace;
            inPlace.ParseBuffer(block, size, arena);
            TextArena_Settle(arena);
            inPlace.Serialize(wa);
        }
        CHECK(wa == w1);
        CHECK(TextArena_Blocks() == blocks);   // gone with the collection
    }

    CSubj second;
    ParseBytes(second, w1.data(), w1.size());
    CHECK(second.GetCount() == first.GetCount());
    std::string w2;
    second.Serialize(w2);
    CHECK(w1 == w2);

    // Summary read of the input's head, then of the written header block:
    // the title and the four counters always stand within its first 512
    // bytes. (Lines of message texts further on may look like header lines
    // to a summary read; they are left out here.)
    CSubj head;
    head.ParseSummary(text, size < 512 ? size : 512);
    size_t block = 0;
    for (int lines = 0; lines < 5; ++lines)
        block = w1.find('\n', block) + 1;
    CHECK(block <= 512);
    CSubj summary;
    summary.ParseSummary(w1.data(), block);
    const SubjHeader& h = summary.Header();
    const SubjHeader& f = first.Header();
    CHECK(strcmp(h.title, f.title) == 0);
    CHECK(h.unread == f.unread && h.unsent == f.unsent && h.held == f.held && h.patrol == f.patrol);

    // Merging the records into a store of their own parse, and moving and
    // copying them around, must keep both collections sound.
    if (first.GetCount() <= 64) {
        CSubj store;
        ParseBytes(store, w1.data(), w1.size());
        // The merge (partners through its index) and the literal merge (a
        // scan per article) leave the same store.
        CSubj literal;
        ParseBytes(literal, w1.data(), w1.size());
        CHECK(store.Merge(&first) == mergeref::Merge(literal, first));
        std::string wm, wl;
        store.Serialize(wm);
        literal.Serialize(wl);
        CHECK(wm == wl);
        CHECK(store.Merge(&second) == mergeref::Merge(literal, second));
        store.Serialize(wm);
        literal.Serialize(wl);
        CHECK(wm == wl);
        CSubj other;
        for (int i = store.GetCount() - 1; i >= 0; i -= 2)
            store.Copy(i, &other);
        while (other.GetCount() > 0)
            other.Move(0, &store);
        std::string w3;
        store.Serialize(w3);
        CSubj third;
        ParseBytes(third, w3.data(), w3.size());
        CHECK(third.GetCount() == store.GetCount());
    }
    return 0;
}
