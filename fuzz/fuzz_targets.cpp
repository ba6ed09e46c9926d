#include "fuzz/fuzz_check.h"

const FuzzTarget fuzz_targets[fuzz_target_count] = {
    {"database_file", check_database_file},   {"download_log", check_download_log}, {"http_reply", check_http_reply},
    {"quotation_scan", check_quotation_scan}, {"read_decimal", check_read_decimal}, {"result_text", check_result_text},
};
