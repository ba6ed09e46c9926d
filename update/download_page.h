#pragma once
// The Update page's side of the download log: the list of quotation tables
// and the status shown for the selected one.

// Adds the five table texts in catalogue order and selects row 0.
void fill_download_list();

// The status of the table selected in download_list, judged against today;
// none when no row 0..4 is selected.
const char* download_status_text();
