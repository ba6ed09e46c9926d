#include "update/download_page.h"
#include <windows.h>
#include "shell/app_state.h"
#include "shell/controls.h"
#include "update/download_log.h"

void fill_download_list()
{
    // The list does not sort, so list row and catalogue row coincide.
    for (int row = 0; row < quotation_table_count; row++)
        SendMessageA(download_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(quotation_tables[row].list_text));
    SendMessageA(download_list, LB_SETCURSEL, 0, 0);
}

const char* download_status_text()
{
    // Without a list the message yields 0, which is no selection either.
    if (!download_list) return nullptr;
    int row = static_cast<int>(SendMessageA(download_list, LB_GETCURSEL, 0, 0));
    if (row < 0 || row >= quotation_table_count) return nullptr;
    return record_status_text(download_log.records[row], today);
}
