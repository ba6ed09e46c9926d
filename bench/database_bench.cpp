// The unit database: the file reader and writer on a big file, and the
// chain operations whose cost grows with the chain.
#include "bench/bench_data.h"
#include "database/database_file.h"
#include "database/unit_database.h"
#include "testing/files.h"
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

std::string database_path(int groups, int members)
{
    std::string path =
        scratch_path(("bench-" + std::to_string(groups) + "x" + std::to_string(members) + ".dat").c_str());
    write_database_file(path, groups, members);
    return path;
}

// Loading dv.dat: 1,000 groups of 24 members, about 600 kB.
void load_database_1000x24(benchmark::State& state)
{
    std::string path = database_path(1000, 24);
    for (auto _ : state) {
        load_database(path.c_str());
        benchmark::DoNotOptimize(unit_database.next);
        state.PauseTiming();
        free_database();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000 * 24);
    std::remove(path.c_str());
}
BENCHMARK(load_database_1000x24)->Unit(benchmark::kMillisecond);

// Saving the same database; each save writes a temporary file, flushes it
// to the disk and renames it over the old one.
void save_database_1000x24(benchmark::State& state)
{
    std::string path = database_path(1000, 24);
    load_database(path.c_str());
    for (auto _ : state)
        benchmark::DoNotOptimize(save_database(path.c_str()));
    state.SetItemsProcessed(state.iterations() * 1000 * 24);
    free_database();
    std::remove(path.c_str());
}
BENCHMARK(save_database_1000x24)->Unit(benchmark::kMillisecond);

// One group of n members: the reader links each member after the one read
// before, so the time per member must not grow with n.
void load_database_one_long_group(benchmark::State& state)
{
    int members = static_cast<int>(state.range(0));
    std::string path = database_path(1, members);
    for (auto _ : state) {
        load_database(path.c_str());
        state.PauseTiming();
        free_database();
        state.ResumeTiming();
    }
    state.SetComplexityN(members);
    std::remove(path.c_str());
}
BENCHMARK(load_database_one_long_group)
    ->RangeMultiplier(4)
    ->Range(1024, 65536)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// n groups of one member: the same for the group chain.
void load_database_many_groups(benchmark::State& state)
{
    int groups = static_cast<int>(state.range(0));
    std::string path = database_path(groups, 1);
    for (auto _ : state) {
        load_database(path.c_str());
        state.PauseTiming();
        free_database();
        state.ResumeTiming();
    }
    state.SetComplexityN(groups);
    std::remove(path.c_str());
}
BENCHMARK(load_database_many_groups)
    ->RangeMultiplier(4)
    ->Range(1024, 65536)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Saving one long group: counting by walking is one more pass, still linear.
void save_database_one_long_group(benchmark::State& state)
{
    int members = static_cast<int>(state.range(0));
    std::string path = database_path(1, members);
    load_database(path.c_str());
    for (auto _ : state)
        benchmark::DoNotOptimize(save_database(path.c_str()));
    state.SetComplexityN(members);
    free_database();
    std::remove(path.c_str());
}
BENCHMARK(save_database_one_long_group)
    ->RangeMultiplier(4)
    ->Range(1024, 65536)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// find_member on a group of 100: the last name (the longest walk) and a
// name that is not there (the whole walk).
void find_member_100(benchmark::State& state)
{
    UnitGroup* group = build_group(100);
    std::string last = unit_name(99);
    const char* name = state.range(0) ? last.c_str() : "absent";
    for (auto _ : state)
        benchmark::DoNotOptimize(find_member(group, name));
    free_database();
}
BENCHMARK(find_member_100)->ArgName("found")->Arg(1)->Arg(0);

// append_member walks to the end each time: building a group of n members
// one by one is quadratic by the data model (no link to the last member).
void append_members(benchmark::State& state)
{
    int members = static_cast<int>(state.range(0));
    for (auto _ : state) {
        build_group(members);
        state.PauseTiming();
        free_database();
        state.ResumeTiming();
    }
    state.SetComplexityN(members);
}
BENCHMARK(append_members)->RangeMultiplier(4)->Range(256, 16384)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
