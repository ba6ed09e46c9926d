// config.f: the log is the first 30 bytes read as fifteen little-endian
// 16-bit values, or all zero when the file is shorter; saving writes exactly
// those 30 bytes back; the status of a record follows the three-way rule.
#include "fuzz/fuzz_check.h"
#include "testing/files.h"
#include "update/download_log.h"
#include <cstring>
#include <string>
#include <vector>

namespace {

const char target[] = "download_log";
const size_t log_file_size = 30;

uint16_t le16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

DownloadRecord record_at(const uint8_t* bytes)
{
    DownloadRecord record = {le16(bytes), le16(bytes + 2), le16(bytes + 4)};
    return record;
}

bool same_record(const DownloadRecord& x, const DownloadRecord& y)
{
    return x.year == y.year && x.month == y.month && x.day == y.day;
}

void check_status(const DownloadRecord& record, const DownloadRecord& today)
{
    const char* expected = same_record(record, today) ? "成功下载" : record.day == 0 ? "无成功连接" : "需要更新";
    const char* text = record_status_text(record, today);
    if (!text || std::strcmp(text, expected) != 0)
        report_violation(target, "record_status_text breaks the three-way rule");
}

}  // namespace

void check_download_log(const uint8_t* data, size_t size)
{
    std::string input = scratch_path("input.f");
    std::string output = scratch_path("output.f");
    if (!write_file(input, std::string(reinterpret_cast<const char*>(data), size)))
        return;

    // A load must set every value, not only those it read.
    std::memset(&download_log, 0xA5, sizeof download_log);
    load_download_log(input.c_str());

    uint8_t expected_bytes[log_file_size] = {};
    if (size >= log_file_size)
        std::memcpy(expected_bytes, data, log_file_size);
    for (int row = 0; row < quotation_table_count; row++) {
        if (!same_record(download_log.records[row], record_at(expected_bytes + 6 * row)))
            report_violation(target, "a loaded record is not the file's");
    }

    if (!save_download_log(output.c_str()))
        report_violation(target, "save_download_log failed on a writable folder");
    std::string saved = read_file(output);
    if (saved.size() != log_file_size || std::memcmp(saved.data(), expected_bytes, log_file_size) != 0)
        report_violation(target, "the saved file is not the 30 bytes of the log");

    // The bytes past the log, when there are six, serve as today.
    DownloadRecord today = {2011, 7, 15};
    if (size >= log_file_size + 6)
        today = record_at(data + log_file_size);
    for (int row = 0; row < quotation_table_count; row++) {
        check_status(download_log.records[row], today);
        check_status(download_log.records[row], download_log.records[row]);
    }

    std::remove(input.c_str());
    std::remove(output.c_str());
}
