// What every benchmark program here shares: the best iteration of each
// benchmark by key, and the summary lines that compare them with a goal.
#pragma once
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>

namespace bench {

// The calling thread's CPU time (user and system), as a clock.
struct CpuClock {
    using time_point = std::chrono::duration<double>;
    static time_point now()
    {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return time_point((double)ts.tv_sec + (double)ts.tv_nsec * 1e-9);
    }
};

inline std::map<std::string, double>& Bests()
{
    static std::map<std::string, double> best;
    return best;
}

// Reports sec as the iteration's time and keeps the best one under key.
inline void Record(benchmark::State& state, const std::string& key, double sec)
{
    state.SetIterationTime(sec);
    double& best = Bests()[key];
    if (best == 0 || sec < best)
        best = sec;
}

// The best iteration under key, 0 when it did not run.
inline double Best(const std::string& key)
{
    auto it = Bests().find(key);
    return it == Bests().end() ? 0 : it->second;
}

// verdict: 1 met, 0 missed, -1 no goal
inline void Line(const char* what, double value, const char* unit, const char* goal, int verdict)
{
    printf("  %-62s %9.2f %-3s %-22s %s\n", what, value, unit, goal,
           verdict < 0 ? "" : (verdict ? "met" : "MISSED"));
}

}  // namespace bench
