// One keystroke on the Convert page: the 23 results of a 24-member group,
// and the result text across the magnitudes it meets.
#include "bench/bench_data.h"
#include "convert/conversion.h"
#include "convert/number_text.h"
#include "database/unit_database.h"
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

void convert_from_field_24(benchmark::State& state)
{
    UnitGroup* group = build_group(24);
    static FieldUpdate updates[field_count - 1];
    for (auto _ : state)
        benchmark::DoNotOptimize(convert_from_field(group, 3, "12.34", updates));
    state.SetItemsProcessed(state.iterations() * (field_count - 1));
    free_database();
}
BENCHMARK(convert_from_field_24);

// 1.2345678 × 10^e: small, ordinary, large and the largest magnitudes
// (whose fixed-point text has hundreds of digits).
void format_result_magnitude(benchmark::State& state)
{
    double value = 1.2345678 * std::pow(10.0, static_cast<double>(state.range(0)));
    char text[result_size];
    for (auto _ : state) {
        format_result(value, text);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(format_result_magnitude)
    ->ArgName("exponent")
    ->Arg(-5)
    ->Arg(0)
    ->Arg(3)
    ->Arg(6)
    ->Arg(12)
    ->Arg(15)
    ->Arg(20)
    ->Arg(100)
    ->Arg(300);

void format_general_magnitude(benchmark::State& state)
{
    double value = 1.2345678 * std::pow(10.0, static_cast<double>(state.range(0)));
    char text[general_text_size];
    for (auto _ : state) {
        format_general(value, text);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(format_general_magnitude)->ArgName("exponent")->Arg(-7)->Arg(0)->Arg(6)->Arg(300);

void read_decimal_text(benchmark::State& state)
{
    const char* texts[] = {"12.34", "39.3700787", "1.23456789012345678e+300"};
    const char* text = texts[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(read_decimal(text));
}
BENCHMARK(read_decimal_text)->DenseRange(0, 2);

}  // namespace
