// Article store benchmarks: load, merge, write and the summary cache on
// realistic stores, each held against a baseline measured in the same run.
// Every figure is the best of a few timed iterations (the machine is shared);
// set-up (building stores, parsing incoming lists, undoing merges) is not
// timed. The summary at the end gives the ratios and the goals.
#include "base/fileio.h"
#include "bench/store_gen.h"
#include "store/Subj.h"
#include "store/SubjCache.h"
#include "store/merge_reference.h"

#include <benchmark/benchmark.h>
#include "bench/bench_summary.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

using bench::Record;
using bench::Best;
using bench::Line;

// A private folder for the run, removed at the end.
const std::string& Work()
{
    static std::string dir;
    if (dir.empty()) {
        auto p = std::filesystem::temp_directory_path() / ("zeva_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(p);
        dir = p.string();
        atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        });
    }
    return dir;
}

std::string Folder(const std::string& name)
{
    auto p = std::filesystem::path(Work()) / name;
    std::filesystem::create_directories(p);
    return p.string();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        exit(1);
    }
    fclose(f);
}

void ParseInto(CSubj& s, const std::string& text)
{
    std::vector<char> buf(text.size() + 2, 0);
    memcpy(buf.data() + 1, text.data(), text.size());
    s.ParseBuffer(buf.data(), text.size());
}

// ------------------------------------------------------------------ stores

const size_t kBigBytes = 100u << 20;
const uint32_t kMergeStore = 200000;

struct BigStore {
    std::string path;
    size_t bytes;
    uint32_t articles;
};

// The 100 MB store of a numbered board (ids = 0) or of a board that names
// its articles by identifier (ids = 1), written to disk once.
const BigStore& Big(int ids)
{
    static BigStore stores[2];
    BigStore& b = stores[ids];
    if (b.path.empty()) {
        storegen::Board board(ids ? 12 : 11, ids != 0);
        std::string text = board.Store(0, kBigBytes, &b.articles);
        b.bytes = text.size();
        b.path = Folder(ids ? "ids" : "numbers") + "/big.zvt";
        WriteFile(b.path, text);
    }
    return b;
}

storegen::Board MergeBoard(int ids)
{
    return storegen::Board(ids ? 22 : 21, ids != 0);
}

// The 200,000-article store that merges go into, parsed once; every merge
// benchmark undoes its appends.
CSubj& MergeStore(int ids)
{
    static std::unique_ptr<CSubj> stores[2];
    if (!stores[ids]) {
        stores[ids].reset(new CSubj);
        ParseInto(*stores[ids], MergeBoard(ids).Store(kMergeStore));
    }
    return *stores[ids];
}

// A plug-in's output of n articles: the last n/2 stored ones again (as a
// board lists its latest articles) and n/2 new ones.
const std::string& Incoming(int ids, uint32_t n)
{
    static std::map<std::pair<int, uint32_t>, std::string> made;
    std::string& t = made[{ids, n}];
    if (t.empty()) {
        storegen::Board board = MergeBoard(ids);
        storegen::Board::Header(t, "ベンチマーク用の掲示板", 0, 0);
        for (uint32_t k = kMergeStore - n / 2; k < kMergeStore + (n - n / 2); ++k)
            board.Article(t, k, true);
    }
    return t;
}

// ------------------------------------------------------------------ load

void BM_LoadBaseline(benchmark::State& state)
{
    const BigStore& b = Big(0);
    size_t lines = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        // Read as the load reads, into a block that is not cleared first.
        size_t size = 0;
        char* block = File_ReadBlock(b.path.c_str(), &size, 1, 1);
        const char* p = block + 1;
        const char* end = p + size;
        lines = 0;
        while ((p = (const char*)memchr(p, '\n', (size_t)(end - p))) != nullptr) {
            ++lines;
            ++p;
        }
        benchmark::DoNotOptimize(lines);
        Record(state, "load/baseline", Seconds(t0, Clock::now()));
        free(block);   // as the loaded store is released untimed
    }
    state.SetLabel("read + memchr line count, " + std::to_string(b.bytes >> 20) + " MB, " +
                   std::to_string(lines) + " lines");
}

void BM_Load(benchmark::State& state)
{
    int ids = (int)state.range(0);
    const BigStore& b = Big(ids);
    int count = 0;
    for (auto _ : state) {
        std::unique_ptr<CSubj> s(new CSubj);
        auto t0 = Clock::now();
        s->LoadFile(b.path.c_str());
        Record(state, ids ? "load/ids" : "load/numbers", Seconds(t0, Clock::now()));
        count = s->GetCount();
    }
    if ((uint32_t)count != b.articles)
        state.SkipWithError("wrong article count");
    state.SetLabel(std::string(ids ? "identifier board, " : "numbered board, ") + std::to_string(count) +
                   " articles");
}

// ------------------------------------------------------------------ merge

void MergeOnce(benchmark::State& state, int ids, uint32_t n, bool literal)
{
    CSubj& store = MergeStore(ids);
    int before = store.GetCount();
    for (auto _ : state) {
        CSubj in;
        ParseInto(in, Incoming(ids, n));
        auto t0 = Clock::now();
        int arrived = literal ? mergeref::Merge(store, in) : store.Merge(&in);
        double sec = Seconds(t0, Clock::now());
        char key[64];
        snprintf(key, sizeof key, "merge/%s/%s%u", ids ? "ids" : "numbers", literal ? "literal/" : "", n);
        Record(state, key, sec);
        if (arrived != (int)(n - n / 2) || store.GetCount() != before + (int)(n - n / 2)) {
            state.SkipWithError("unexpected merge result");
            break;
        }
        // Undo: the store goes back to its 200,000 articles.
        for (int j = store.GetCount() - 1; j >= before; --j)
            store.Delete(j);
    }
    state.SetLabel(std::to_string(n) + " incoming into " + std::to_string(before) +
                   (literal ? ", literal scan" : "") + " (store not written)");
}

void BM_Merge(benchmark::State& state)
{
    MergeOnce(state, (int)state.range(0), (uint32_t)state.range(1), false);
}

void BM_MergeLiteralScan(benchmark::State& state)
{
    MergeOnce(state, (int)state.range(0), (uint32_t)state.range(1), true);
}

// ------------------------------------------------------------------ write

struct Loaded {
    CSubj subj;
    std::string bytes;
};

Loaded& LoadedBig()
{
    static std::unique_ptr<Loaded> l;
    if (!l) {
        l.reset(new Loaded);
        l->subj.LoadFile(Big(0).path.c_str());
        l->subj.Serialize(l->bytes);
    }
    return *l;
}

// One fwrite of the store's bytes: over the stored file (mode 0; as a save
// finds it: on disk, flushed), the same with fsync (1), or into a new file
// (2: no old file to release).
void BM_WriteBaseline(benchmark::State& state)
{
    int mode = (int)state.range(0);
    Loaded& l = LoadedBig();
    std::string path = Folder("numbers") + "/copy.zvt";
    for (auto _ : state) {
        File_Delete(path.c_str());
        if (mode != 2) {
            FILE* f = fopen(path.c_str(), "wb");
            fwrite(l.bytes.data(), 1, l.bytes.size(), f);
            fflush(f);
            fsync(fileno(f));
            fclose(f);
        }
        auto t0 = Clock::now();
        FILE* f = fopen(path.c_str(), "wb");
        size_t n = fwrite(l.bytes.data(), 1, l.bytes.size(), f);
        if (mode == 1) {
            fflush(f);
            fsync(fileno(f));
        }
        fclose(f);
        static const char* const kKey[] = {"write/baseline", "write/baseline_fsync", "write/baseline_new"};
        Record(state, kKey[mode], Seconds(t0, Clock::now()));
        if (n != l.bytes.size())
            state.SkipWithError("short write");
    }
    static const char* const kLabel[] = {" over the stored file", " over the stored file + fsync",
                                         " into a new file"};
    state.SetLabel(std::string("one fwrite of ") + std::to_string(l.bytes.size() >> 20) + " MB" + kLabel[mode]);
}

void BM_Update(benchmark::State& state)
{
    Loaded& l = LoadedBig();
    for (auto _ : state) {
        l.subj.SetModified();
        auto t0 = Clock::now();
        int ok = l.subj.Update();
        Record(state, "write/update", Seconds(t0, Clock::now()));
        if (!ok)
            state.SkipWithError("Update failed");
    }
    uint64_t size = 0;
    File_Size(l.subj.GetPath(), &size);
    if (size != l.bytes.size())
        state.SkipWithError("file differs in size");
    state.SetLabel("CSubj::Update of the loaded store (atomic replace, fsync)");
}

// ------------------------------------------------------------------ delete

// Every other article of a 200,000-article store removed (a selection the
// title view scatters across the array): in one pass, and one Delete after
// another from the highest index down (for reference).
void BM_DeleteScattered(benchmark::State& state)
{
    static const std::string text = storegen::Board(77, false).Store(kMergeStore);
    std::vector<int> dead;
    for (int i = (int)kMergeStore - 1; i >= 0; i -= 2)
        dead.push_back(i);
    const bool stepwise = state.range(0) != 0;
    for (auto _ : state) {
        CSubj s;
        ParseInto(s, text);
        auto t0 = Clock::now();
        if (stepwise)
            for (int i : dead)
                s.Delete(i);
        else
            s.DeleteMany(dead);
        Record(state, stepwise ? "delete/stepwise" : "delete/onepass", Seconds(t0, Clock::now()));
        if (s.GetCount() != (int)kMergeStore / 2)
            state.SkipWithError("wrong count left");
    }
}

// ------------------------------------------------------------------ cache

const int kCacheStores = 1000;

// 100 board folders of 10 stores each.
const std::vector<std::string>& CacheStores()
{
    static std::vector<std::string> paths;
    if (paths.empty()) {
        std::string root = Folder("data");
        for (int i = 0; i < kCacheStores; ++i) {
            char rel[64];
            snprintf(rel, sizeof rel, "board%02d", i / 10);
            std::string dir = Folder("data/" + std::string(rel));
            snprintf(rel, sizeof rel, "/%03d.zvt", i % 10 + 1);
            std::string path = dir + rel;
            storegen::Board board(1000 + i, i % 7 == 0);
            WriteFile(path, board.Store(5 + i % 40));
            paths.push_back(path);
        }
    }
    return paths;
}

int FillFolderView(CSubjCache& cache)
{
    int unread = 0;
    for (const std::string& path : CacheStores()) {
        uint64_t t = 0;
        File_LastWriteTime(path.c_str(), &t);
        const SubjCacheRecord* r = cache.Lookup(path.c_str(), t);
        unread += r ? r->unread : 0;
    }
    return unread;
}

void BM_CacheUnchanged(benchmark::State& state)
{
    std::string root = Folder("data");
    CacheStores();
    {
        CSubjCache c;
        c.Load(root.c_str());
        FillFolderView(c);
        c.Save();
    }
    int unread = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        CSubjCache c;
        c.Load(root.c_str());
        unread = FillFolderView(c);
        Record(state, "cache/unchanged", Seconds(t0, Clock::now()));
        c.Save();
    }
    benchmark::DoNotOptimize(unread);
    state.SetLabel("cache file read + 1,000 x (last-write time + lookup)");
}

void BM_CacheCold(benchmark::State& state)
{
    std::string root = Folder("data");
    CacheStores();
    for (auto _ : state) {
        File_Delete((root + "/ZvtCache.tmp").c_str());
        auto t0 = Clock::now();
        CSubjCache c;
        c.Load(root.c_str());
        benchmark::DoNotOptimize(FillFolderView(c));
        Record(state, "cache/cold", Seconds(t0, Clock::now()));
    }
    state.SetLabel("no cache file: 1,000 summary reads");
}

BENCHMARK(BM_LoadBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(11);
BENCHMARK(BM_Load)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(11);
BENCHMARK(BM_Merge)
    ->Args({0, 1000})
    ->Args({0, 10000})
    ->Args({0, 100000})
    ->Args({1, 1000})
    ->Args({1, 100000})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_MergeLiteralScan)->Args({0, 1000})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WriteBaseline)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Update)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DeleteScattered)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CacheUnchanged)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_CacheCold)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void Summary()
{
    printf("\nSummary (best iteration of each; ratios against baselines of this run)\n");
    double lb = Best("load/baseline"), ln = Best("load/numbers"), li = Best("load/ids");
    if (lb > 0 && ln > 0)
        Line("load 100 MB, numbered board / read+memchr", ln / lb, "x", "goal <= 4x", ln / lb <= 4);
    if (lb > 0 && li > 0)
        Line("load 100 MB, identifier board / read+memchr", li / lb, "x", "goal <= 4x", li / lb <= 4);
    double m1 = Best("merge/numbers/1000"), m10 = Best("merge/numbers/10000"),
           m100 = Best("merge/numbers/100000");
    if (m1 > 0)
        Line("merge 1,000 into 200,000 (numbers)", m1 * 1e3, "ms", "goal <= 30 ms", m1 * 1e3 <= 30);
    double mi = Best("merge/ids/1000"), mi100 = Best("merge/ids/100000");
    if (mi > 0)
        Line("merge 1,000 into 200,000 (identifiers)", mi * 1e3, "ms", "goal <= 30 ms", mi * 1e3 <= 30);
    // A merge costs one pass over the store plus a bounded amount per
    // incoming article: the cost of 1,000 more incoming articles stays about
    // the same from 1,000 to 100,000 (the literal scan pays the whole store
    // again for every one of them).
    if (m1 > 0 && m10 > 0)
        Line("  each 1,000 more incoming, from 1,000 to 10,000", (m10 - m1) / 9 * 1e3, "ms", "linear", -1);
    if (m10 > 0 && m100 > 0)
        Line("  each 1,000 more incoming, from 10,000 to 100,000", (m100 - m10) / 90 * 1e3, "ms", "linear", -1);
    if (mi > 0 && mi100 > 0)
        Line("  each 1,000 more incoming, identifiers, 1,000 to 100,000", (mi100 - mi) / 99 * 1e3, "ms",
             "linear", -1);
    double lit = Best("merge/numbers/literal/1000");
    if (lit > 0)
        Line("  literal scan, 1,000 incoming (for reference)", lit * 1e3, "ms", "", -1);
    double wb = Best("write/baseline"), wf = Best("write/baseline_fsync"), wn = Best("write/baseline_new"),
           wu = Best("write/update");
    if (wb > 0 && wu > 0)
        Line("Update 100 MB / one fwrite over the stored file", wu / wb, "x", "goal <= 2x", wu / wb <= 2);
    if (wf > 0 && wu > 0)
        Line("Update 100 MB / the same + fsync", wu / wf, "x", "(same durability)", -1);
    if (wn > 0 && wu > 0)
        Line("Update 100 MB / one fwrite into a new file", wu / wn, "x", "(no old file)", -1);
    double dm = Best("delete/onepass"), ds = Best("delete/stepwise");
    if (dm > 0 && ds > 0)
        Line("delete every other of 200,000: one Delete each / one pass", ds / dm, "x", "(one pass is linear)", -1);
    double cu = Best("cache/unchanged"), cc = Best("cache/cold");
    if (cu > 0)
        Line("summary cache, 1,000 unchanged stores", cu * 1e3, "ms", "goal <= 20 ms", cu * 1e3 <= 20);
    if (cc > 0)
        Line("summary reads, 1,000 stores without cache", cc * 1e3, "ms", "(for reference)", -1);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Summary();
    return 0;
}
