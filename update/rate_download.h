#pragma once
// The Download button: fetches the quotation page and writes the rates of
// the table selected in download_list into its currency group.

// The host name of the quotation web site, used for the name lookup and in
// the request's Host line. Set at configure time (DUVARIN_QUOTATION_HOST).
extern const char quotation_host[];

// Where a download connects: port 80 of the quotation host. The program
// never changes it; the download tests point it at their own servers on
// loopback ports, and the request, Host line included, stays the same.
struct QuotationAddress {
    const char* host;
    unsigned short port;
};
extern QuotationAddress quotation_address;

// Bytes of the reply that are kept, status line and header lines included:
// real quotation pages carry scripts and navigation around the table. A
// reply with more is not taken at all.
const int reply_limit = 256 * 1024;

// Runs one download of the selected table, asking the user first. Changes
// reach the database and the download log only when a whole 2xx reply (or
// a page without HTTP framing) with a rate table arrived.
void download_rates();
