// Search benchmarks. (1) A search for a text no article holds, across 1,000
// stores of about 100 KB each (100 MB together): each store is selected by
// the store walk and opened as the program opens it (the previous one
// written back if changed, the file loaded, the rows built in tree order),
// then its rows are tested; against loading the same 1,000 files with
// CSubj::LoadFile alone. (2) A plain search through one 100 MB store (its
// messages, titles and authors), with and without case, against memmem over
// the store's bytes. Every figure is the best of a few iterations of the
// thread's CPU time; making the files is not timed.
#include "bench/store_gen.h"
#include "store/Subj.h"
#include "ui/search/SearchMatch.h"
#include "ui/titleview/TitleRows.h"

#include <benchmark/benchmark.h>
#include "bench/bench_summary.h"

#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = bench::CpuClock;

using bench::Record;
using bench::Best;
using bench::Line;

const char kAbsent[] = "どこにも無い言葉XYZ";

// 1,000 board folders under one data folder, one store in each.
class Stores {
public:
    Stores()
    {
        dir = (std::filesystem::temp_directory_path() / ("zeva_search_bench_" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(dir);
        FolderNode root = {};
        root.item.kind = FIK_ROOT;
        root.parent = -1;
        root.expanded = true;
        tree.nodes.push_back(root);
        for (int i = 0; i < 1000; ++i) {
            std::string folder = dir + "/b" + std::to_string(i);
            std::filesystem::create_directories(folder);
            std::string path = folder + "/001.zvt";
            std::string text = storegen::Board(100 + i, i % 5 == 0).Store(0, 100 * 1000);
            FILE* f = fopen(path.c_str(), "wb");
            fwrite(text.data(), 1, text.size(), f);
            fclose(f);
            bytes += text.size();
            paths.push_back(path);
            int fnode = Add(0, FIK_FOLDER, folder.c_str());
            Add(fnode, FIK_STORE, path.c_str());
        }
    }
    ~Stores()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    int Add(int parent, int kind, const char* path)
    {
        FolderNode n = {};
        n.item.kind = kind;
        snprintf(n.item.path, sizeof n.item.path, "%s", path);
        snprintf(n.item.file, sizeof n.item.file, "%s", kind == FIK_STORE ? "001.zvt" : "b");
        n.parent = parent;
        n.expanded = true;
        tree.nodes.push_back(n);
        int id = (int)tree.nodes.size() - 1;
        tree.nodes[parent].children.push_back(id);
        return id;
    }

    std::string dir;
    std::vector<std::string> paths;
    CFolderTree tree;
    size_t bytes = 0;
};

Stores& TheStores()
{
    static Stores s;
    return s;
}

void BM_LoadStores(benchmark::State& state)
{
    Stores& st = TheStores();
    for (auto _ : state) {
        auto t0 = Clock::now();
        CSubj subj;
        int articles = 0;
        for (const std::string& p : st.paths) {
            subj.LoadFile(p.c_str());
            articles += subj.GetCount();
        }
        Record(state, "stores/load", (Clock::now() - t0).count());
        benchmark::DoNotOptimize(articles);
    }
    state.counters["MB"] = (double)st.bytes / 1e6;
}

void BM_SearchStores(benchmark::State& state)
{
    Stores& st = TheStores();
    SearchSettings s;
    SearchSettings_Init(&s, nullptr, 0, 0, 0);
    Search_SetText(&s, kAbsent);
    s.thisFolderOnly = 0;
    StoreWalk walk = Search_WalkOf(s, 1, SEARCH_NORMAL);
    for (auto _ : state) {
        auto t0 = Clock::now();
        CSubj subj;
        CTitleRows rows;
        int opened = 0, found = 0;
        // From the first store on, as a search that found nothing in it.
        for (int n = FolderTree_WalkStores(st.tree, 2, walk); n >= 0; n = FolderTree_WalkStores(st.tree, n, walk)) {
            if (subj.IsModified())
                subj.Update();
            subj.LoadFile(st.tree[n].item.path);
            rows.Build(subj, {1, 0, 1});
            CArticleTest test(s, nullptr, nullptr);
            found += Search_ScanRows(rows.Count(), -1, 1, [&](int r) { return test.Matches(subj, rows.Article(r)); }) >= 0;
            ++opened;
        }
        Record(state, "stores/search", (Clock::now() - t0).count());
        if (opened != 999 || found)
            state.SkipWithError("the walk did not open every store once, or found the text");
    }
}

// One store of 100 MB, parsed once.
struct BigStore {
    BigStore()
    {
        std::string text = storegen::Board(7, false).Store(0, 100 * 1000 * 1000);
        buf.assign(text.size() + 2, 0);
        memcpy(buf.data() + 1, text.data(), text.size());
        bytes = text;
        subj.ParseBuffer(buf.data(), text.size());
    }
    std::vector<char> buf;
    std::string bytes;
    CSubj subj;
};

BigStore& TheBigStore()
{
    static BigStore b;
    return b;
}

void BM_Memmem(benchmark::State& state)
{
    BigStore& b = TheBigStore();
    for (auto _ : state) {
        auto t0 = Clock::now();
        const void* at = memmem(b.bytes.data(), b.bytes.size(), kAbsent, strlen(kAbsent));
        Record(state, "big/memmem", (Clock::now() - t0).count());
        if (at)
            state.SkipWithError("the text is there");
    }
    state.counters["MB"] = (double)b.bytes.size() / 1e6;
}

void BM_PlainSearch(benchmark::State& state)
{
    BigStore& b = TheBigStore();
    int caseSensitive = (int)state.range(0);
    SearchSettings s;
    SearchSettings_Init(&s, nullptr, caseSensitive, 0, 0);
    Search_SetText(&s, kAbsent);
    for (auto _ : state) {
        auto t0 = Clock::now();
        CArticleTest test(s, nullptr, nullptr);
        int found = Search_ScanRows(b.subj.GetCount(), -1, 1, [&](int r) { return test.Matches(b.subj, r); });
        Record(state, caseSensitive ? "big/case" : "big/folded", (Clock::now() - t0).count());
        if (found >= 0)
            state.SkipWithError("the text was found");
    }
    state.counters["articles"] = b.subj.GetCount();
}

BENCHMARK(BM_LoadStores)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SearchStores)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Memmem)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainSearch)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void Summary()
{
    printf("\nSummary (best iteration of each; ratios against baselines of this run)\n");
    double load = Best("stores/load"), search = Best("stores/search");
    if (load > 0 && search > 0)
        Line("search of 1,000 stores (100 MB) / LoadFile of the same stores", search / load, "x", "goal <= 3x",
             search / load <= 3);
    double mm = Best("big/memmem"), folded = Best("big/folded"), cs = Best("big/case");
    if (mm > 0 && folded > 0)
        Line("plain search of a 100 MB store, case folded / memmem", folded / mm, "x", "goal <= 2x", folded / mm <= 2);
    if (mm > 0 && cs > 0)
        Line("plain search of a 100 MB store, case kept / memmem", cs / mm, "x", "goal <= 2x", cs / mm <= 2);
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
