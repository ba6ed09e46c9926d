#include "update/download_page.h"
#include <windows.h>
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/window_text.h"
#include "update/download_log.h"

void fill_download_list()
{
    BulkFill fill = begin_bulk_fill(download_list);
    // The list does not sort, so list row and catalogue row coincide.
    for (int row = 0; row < quotation_table_count; row++)
        send_text_message(download_list, LB_ADDSTRING, 0, quotation_tables[row].list_text);
    SendMessageA(download_list, LB_SETCURSEL, 0, 0);
    end_bulk_fill(fill);
}

const char* download_status_text()
{
    int row = list_selection(download_list);
    if (row < 0 || row >= quotation_table_count)
        return nullptr;
    read_today();
    return record_status_text(download_log.records[row], today);
}
