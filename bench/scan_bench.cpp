// One rate download's scan: a 30,000-byte reply and one that fills the
// download's reply buffer, into a currency group, the first time (members
// appended) and again (members found and updated).
#include "bench/bench_data.h"
#include "database/unit_database.h"
#include "update/quotation_scan.h"
#include "update/rate_download.h"
#include <benchmark/benchmark.h>

namespace {

const int usual_page = 30000;

void scan_full_page(benchmark::State& state, const std::string& page, int rows, bool again)
{
    UnitGroup* group = append_group("rates");
    append_member(group, "base", 1.0f, 0.0f);
    if (again)
        scan_quotation(page.c_str(), group, 0);
    for (auto _ : state) {
        if (!again) {
            state.PauseTiming();
            free_database();
            group = append_group("rates");
            append_member(group, "base", 1.0f, 0.0f);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(scan_quotation(page.c_str(), group, 0));
    }
    state.counters["rows"] = rows;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
    free_database();
}

void scan_quotation_30000(benchmark::State& state)
{
    int rows;
    std::string page = quotation_page(usual_page, &rows);
    scan_full_page(state, page, rows, state.range(0) != 0);
}
BENCHMARK(scan_quotation_30000)->ArgName("again")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void scan_quotation_full_buffer(benchmark::State& state)
{
    int rows;
    std::string page = quotation_page(reply_limit, &rows);
    scan_full_page(state, page, rows, state.range(0) != 0);
}
BENCHMARK(scan_quotation_full_buffer)->ArgName("again")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The most rows a reply can hold: lookup and append walk the growing group,
// so this page shows the square of the row count.
void scan_quotation_crowded_30000(benchmark::State& state)
{
    int rows;
    std::string page = crowded_quotation_page(usual_page, &rows);
    scan_full_page(state, page, rows, state.range(0) != 0);
}
BENCHMARK(scan_quotation_crowded_30000)->ArgName("again")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void scan_quotation_crowded_full_buffer(benchmark::State& state)
{
    int rows;
    std::string page = crowded_quotation_page(reply_limit, &rows);
    scan_full_page(state, page, rows, state.range(0) != 0);
}
BENCHMARK(scan_quotation_crowded_full_buffer)->ArgName("again")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
