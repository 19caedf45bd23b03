// Title list benchmarks: both tree builders on 200,000 articles against a
// sort of the same indices by the builder's first key, and the work of
// drawing a page of rows at 1,000 and at 200,000 articles. Every figure is
// the best of a few timed iterations of the thread's CPU time (the machine
// is shared: time spent waiting for a core is not the code's); building and
// parsing the stores is not timed.
#include "bench/store_gen.h"
#include "store/Subj.h"
#include "ui/titleview/TitleDraw.h"
#include "ui/titleview/TitleRows.h"
#include "ui/titleview/TitleTree.h"

#include <benchmark/benchmark.h>
#include "bench/bench_summary.h"

#include <stdio.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = bench::CpuClock;

using bench::Record;
using bench::Best;
using bench::Line;

// Stores parsed once: numbered or identifier boards of n articles.
CSubj& Store(bool ids, uint32_t n)
{
    static std::map<std::pair<bool, uint32_t>, std::unique_ptr<CSubj>> stores;
    auto& s = stores[{ids, n}];
    if (!s) {
        std::string text = storegen::Board(ids ? 11 : 7, ids).Store(n);
        std::vector<char> buf(text.size() + 2, 0);
        memcpy(buf.data() + 1, text.data(), text.size());
        s.reset(new CSubj);
        s->ParseBuffer(buf.data(), text.size());
    }
    return *s;
}

const uint32_t kArticles = 200000;

// The baseline: the indices sorted by the builder's first key (number for
// the number builder, date key for the text builder).
void BM_SortBaseline(benchmark::State& state)
{
    bool ids = state.range(0) != 0;
    std::vector<TreeArticle> a;
    Title_Articles(Store(ids, kArticles), a, nullptr);
    for (auto _ : state) {
        std::vector<int> v(a.size());
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = (int)i;
        auto t0 = Clock::now();
        if (ids)
            std::sort(v.begin(), v.end(), [&](int x, int y) {
                return Tree_DateKey(a[x].date, a[x].time) < Tree_DateKey(a[y].date, a[y].time);
            });
        else
            std::sort(v.begin(), v.end(), [&](int x, int y) { return (uint32_t)a[x].no < (uint32_t)a[y].no; });
        Record(state, ids ? "sort/ids" : "sort/numbers", (Clock::now() - t0).count());
        benchmark::DoNotOptimize(v.data());
    }
}

void BM_TreeBuild(benchmark::State& state)
{
    bool ids = state.range(0) != 0;
    std::vector<TreeArticle> a;
    Title_Articles(Store(ids, kArticles), a, nullptr);
    for (auto _ : state) {
        TitleTree t;
        auto t0 = Clock::now();
        Tree_Build(a.data(), (int)a.size(), 1, &t);
        Record(state, ids ? "tree/ids" : "tree/numbers", (Clock::now() - t0).count());
        if (t.textBuilder != (ids ? 1 : 0))
            state.SkipWithError("wrong builder");
    }
}

// What drawing a page of 40 rows decides for each row: its texts, colours,
// icons, tree lines and the cut of every column (widths from a fixed
// per-byte measure); the rows lie in the middle of the tree.
void BM_DrawPage(benchmark::State& state)
{
    uint32_t n = (uint32_t)state.range(0);
    CSubj& s = Store(false, n);
    CTitleRows rows;
    rows.Build(s, {1, 0, 1});
    TitleAgeLimits limits = Title_AgeLimits(2026, 12, 8, 600);
    TitleColours colours = {0, 0xFF0000, 0x800000, 0x96FF96, 0xFFFFFF, 0};
    std::string text;
    std::vector<char> cont;
    char when[32];
    auto width = [](size_t bytes) { return (int)bytes * 7; };
    for (auto _ : state) {
        auto t0 = Clock::now();
        int sum = 0;
        for (int r = (int)n / 2; r < (int)n / 2 + 40; ++r) {
            int a = rows.Article(r);
            const SubjItem& it = s.GetItem(a);
            RowColours c = Title_AgeColours(colours, limits, Tree_DateKey(it.date, it.time));
            sum += (int)c.text + Title_StatusIcon(it.atr, it.pno != SUBJ_NO_UNKNOWN);
            int down = 0;
            rows.Lines(r, 50, cont, &down);
            std::string no = s.NoStr(a);
            Title_NoText(66, no.c_str(), s.PnoStr(a), s.GetTitle(a), text);
            const char* cells[3] = {s.GetTitle(a), Title_Author(s.GetName(a), 0, ""), when};
            s.DateTimeStr(a, when);
            for (const char* cell : cells) {
                bool cut = false;
                sum += (int)Title_FitText(cell, strlen(cell), 150, 21, width, &cut);
            }
            Title_PreviewText(s.GetMsg(a), text);
            sum += (int)text.size() + down;
        }
        Record(state, "draw/" + std::to_string(n), (Clock::now() - t0).count());
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK(BM_SortBaseline)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_TreeBuild)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_DrawPage)->Arg(1000)->Arg(200000)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);

void Summary()
{
    printf("\nSummary (best iteration of each; ratios against baselines of this run)\n");
    double sn = Best("sort/numbers"), tn = Best("tree/numbers"), si = Best("sort/ids"), ti = Best("tree/ids");
    if (sn > 0 && tn > 0)
        Line("tree of 200,000, number builder / sort by number", tn / sn, "x", "goal <= 3x", tn / sn <= 3);
    if (si > 0 && ti > 0)
        Line("tree of 200,000, text builder / sort by date key", ti / si, "x", "goal <= 3x", ti / si <= 3);
    double d1 = Best("draw/1000"), d2 = Best("draw/200000");
    if (d1 > 0 && d2 > 0)
        Line("a page of rows, 200,000 articles / 1,000 articles", d2 / d1, "x", "goal about 1x", d2 / d1 <= 1.5);
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
