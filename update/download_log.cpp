#include "update/download_log.h"

#include <cstdio>

#include "platform/replace_file.h"

// The log file holds the five records one after another, each as year,
// month and day in two little-endian bytes: 30 bytes, nothing else.

const QuotationTable quotation_tables[quotation_table_count] = {
    {"外汇牌价表-现汇买入价", "现汇买入价"}, {"外汇牌价表-现钞买入价", "现钞买入价"},
    {"外汇牌价表-卖出价", "卖出价（汇率）"}, {"外汇牌价表-中间价", "中间价（汇率）"},
    {"外汇牌价表-基准价", "基准价（汇率）"},
};

DownloadLog download_log;

namespace {

const int log_value_count = quotation_table_count * 3;
const int log_file_size = log_value_count * 2;

uint16_t* record_value(DownloadLog& log, int index)
{
    DownloadRecord& record = log.records[index / 3];
    switch (index % 3) {
    case 0: return &record.year;
    case 1: return &record.month;
    default: return &record.day;
    }
}

bool read_value(FILE* file, uint16_t& value)
{
    unsigned char bytes[2];
    if (fread(bytes, 1, 2, file) != 2)
        return false;
    value = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    return true;
}

}  // namespace

void reset_download_log()
{
    for (DownloadRecord& record : download_log.records)
        record = DownloadRecord{0, 0, 0};
}

void load_download_log(const char* file_name)
{
    FILE* file = fopen(file_name, "rb");
    if (file == nullptr) {
        reset_download_log();
        return;
    }
    // Read into a copy first: a short file clears the whole log, including
    // the records it did hold.
    DownloadLog loaded = {};
    for (int i = 0; i < log_value_count; ++i) {
        if (!read_value(file, *record_value(loaded, i))) {
            fclose(file);
            reset_download_log();
            return;
        }
    }
    fclose(file);
    download_log = loaded;
}

bool save_download_log(const char* file_name)
{
    unsigned char bytes[log_file_size];
    for (int i = 0; i < log_value_count; ++i) {
        uint16_t value = *record_value(download_log, i);
        bytes[2 * i] = static_cast<unsigned char>(value & 0xFF);
        bytes[2 * i + 1] = static_cast<unsigned char>(value >> 8);
    }
    // Written through a replacement so that a failed write keeps the dates
    // of the last good save instead of a truncated file.
    FileReplacement file;
    if (!begin_replacement(file, file_name))
        return false;
    write_bytes(file, bytes, sizeof bytes);
    return finish_replacement(file);
}

const char* record_status_text(const DownloadRecord& record, const DownloadRecord& today)
{
    if (record.day == today.day && record.month == today.month && record.year == today.year)
        return "成功下载";
    if (record.day == 0)
        return "无成功连接";
    return "需要更新";
}
