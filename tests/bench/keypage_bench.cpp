// The keyboard page's refresh (the key column of every function row and the
// key list of the selected one) over a scope whose table binds one command
// to n different keys: the time per binding should not grow with n.
#include "ui/keys/KeyTable.h"

#include <benchmark/benchmark.h>

namespace {

void KeyPageRefresh(benchmark::State& state)
{
    const int n = (int)state.range(0);
    const int command = FunctionList[1].id;
    KeyTable table;
    for (int i = 0; i < n; ++i)
        table.Add(KEYF_BASE, (uint16_t)(i + 1), (uint16_t)command);
    for (auto _ : state) {
        size_t bytes = 0;
        for (int row = 0; row < FunctionCount; ++row)
            if (FunctionList[row].id)
                bytes += CurrentKeysText(table, FunctionList[row].id).size();
        bytes += KeyEntries(table, command).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetComplexityN(n);
}
BENCHMARK(KeyPageRefresh)->Arg(500)->Arg(5000)->Arg(20000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
