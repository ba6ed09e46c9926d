#pragma once
#include "update/calendar_date.h"

const int quotation_table_count = 5;

struct QuotationTable {
    const char* list_text;   // the entry of the download list
    const char* group_name;  // the group the rates go into
};
extern const QuotationTable quotation_tables[quotation_table_count];

// The date of a table's last download; day 0: never downloaded.
using DownloadRecord = CalendarDate;

struct DownloadLog {
    DownloadRecord records[quotation_table_count];
};
extern DownloadLog download_log;

void reset_download_log();
void load_download_log(const char* file_name);
// Returns whether the file now holds the log.
bool save_download_log(const char* file_name);

// "成功下载", "需要更新" or "无成功连接" for a record, judged against today.
const char* record_status_text(const DownloadRecord& record, const DownloadRecord& today);
