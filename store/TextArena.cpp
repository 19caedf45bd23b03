#include "store/TextArena.h"

#include <stdint.h>
#include <stdlib.h>

#include <atomic>
#include <map>
#include <new>
#include <mutex>

struct TextArena {
    char* block;
    size_t size;
    size_t live;     // texts handed out and not yet released
    bool settled;    // loading is over: the last release frees the block
};

namespace {
// Blocks by start address. Stores of several threads share it; it is never
// destroyed, so that a store released at exit still finds it.
struct Registry {
    std::mutex mutex;
    std::map<uintptr_t, TextArena*> blocks;
    std::atomic<size_t> count{0};
};

Registry& Reg()
{
    static Registry* r = new Registry;
    return *r;
}

void Drop(Registry& r, std::map<uintptr_t, TextArena*>::iterator it)
{
    TextArena* a = it->second;
    r.blocks.erase(it);
    r.count = r.blocks.size();
    free(a->block);
    delete a;
}
}

TextArena* TextArena_Adopt(char* block, size_t size)
{
    TextArena* a = new (std::nothrow) TextArena{block, size, 0, false};
    if (!a)
        return nullptr;
    Registry& r = Reg();
    std::lock_guard<std::mutex> lock(r.mutex);
    try {
        r.blocks[(uintptr_t)block] = a;
    } catch (...) {
        delete a;
        return nullptr;
    }
    r.count = r.blocks.size();
    return a;
}

// No lock: until the arena is settled its texts belong to the loading
// thread alone, and Settle publishes the count.
char* TextArena_Take(TextArena* arena, char* text, size_t n)
{
    text[n] = 0;
    ++arena->live;
    return text;
}

void TextArena_Settle(TextArena* arena)
{
    Registry& r = Reg();
    std::lock_guard<std::mutex> lock(r.mutex);
    arena->settled = true;
    if (arena->live == 0)
        Drop(r, r.blocks.find((uintptr_t)arena->block));
}

int TextArena_Release(char* text)
{
    Registry& r = Reg();
    if (!text || r.count.load(std::memory_order_relaxed) == 0)
        return 0;
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.blocks.upper_bound((uintptr_t)text);
    if (it == r.blocks.begin())
        return 0;
    --it;
    TextArena* a = it->second;
    if ((uintptr_t)text >= (uintptr_t)a->block + a->size)
        return 0;
    if (--a->live == 0 && a->settled)
        Drop(r, it);
    return 1;
}

size_t TextArena_Blocks()
{
    return Reg().count.load();
}
