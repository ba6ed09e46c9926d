#pragma once
// The property checks behind every fuzz target. Each takes one input, drives
// the code under test with it and calls report_violation for every property
// that does not hold; a memory fault is left to the sanitizers. The fuzzer
// and the regression test share these checks, so a saved input replays
// exactly what found the fault.
#include <cstddef>
#include <cstdint>

void check_database_file(const uint8_t* data, size_t size);
void check_download_log(const uint8_t* data, size_t size);
void check_http_reply(const uint8_t* data, size_t size);
void check_quotation_scan(const uint8_t* data, size_t size);
void check_read_decimal(const uint8_t* data, size_t size);
void check_result_text(const uint8_t* data, size_t size);

// The fuzzer aborts here so that libFuzzer saves the input; the regression
// test records a failure instead.
void report_violation(const char* target, const char* what);

struct FuzzTarget {
    const char* name;  // also the folder of its corpus and regressions
    void (*check)(const uint8_t* data, size_t size);
};
const int fuzz_target_count = 6;
extern const FuzzTarget fuzz_targets[fuzz_target_count];
