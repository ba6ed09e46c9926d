#pragma once
// The framing of the quotation host's HTTP/1.1 reply: where the header ends,
// how the end of the body is known (Content-Length, the chunked transfer
// coding, or the peer closing), and the body without its chunk framing. It
// is fed one receive at a time and tells the download when to stop waiting.
//
// What is kept for the scan: the header bytes as they came (the status line
// and header lines never look like table lines), then the body as the
// server meant it. A reply that does not begin with "HTTP/" is not framed:
// it is kept as it comes and ends when the peer closes. A reply with more
// bytes to keep than the text has room for is too long: the scan must never
// see a page cut short at the limit.
#include <cstdint>

enum class ReplyState {
    receiving,  // more is to come
    complete,   // the whole reply came and fits the kept text
    too_long,   // more came than the kept text has room for
    cut_off,    // the peer closed before the reply was whole
    broken,     // the framing cannot be read: a bad length or chunk size line
};

// The part of the reply that the next byte belongs to.
enum class ReplyStage {
    status,            // the first bytes of a status line, until they show "HTTP/" or not
    header,            // header lines, up to the empty one
    raw,               // not HTTP: everything until the peer closes
    until_close,       // an HTTP body of no announced length
    length,            // a body of Content-Length bytes
    chunk_size,        // the hex digits of a chunk size line
    chunk_size_blank,  // blanks after them
    chunk_extension,   // skipped up to the end of the line
    chunk_size_cr,
    chunk_data,
    chunk_data_end,  // the line end after chunk data
    chunk_data_cr,
    trailer_start,  // a trailer line, or the empty line that ends the body
    trailer_line,
    trailer_end_cr,
    done,
    cut,
    failed,
    overflow,
};

struct HttpReply {
    char* text;  // limit + 1 bytes, always zero-terminated
    int limit;
    int kept;
    ReplyStage stage;
    int header_start;         // where the status line being read begins
    int line_start;           // where the header line being read begins
    std::uint64_t remaining;  // body or chunk bytes still to come
    bool size_digits;         // the chunk size line has a digit yet
    // The code of the final reply once its header is whole: 0 before that
    // and for a reply that is not HTTP, -1 for a status line without one.
    int status;
};

// Only a 2xx reply carries the resource that was asked for.
bool is_success_status(int status);

// Starts reading a reply into text, which has room for limit + 1 bytes.
void begin_reply(HttpReply& reply, char* text, int limit);
// Takes the bytes of one receive.
ReplyState add_reply_bytes(HttpReply& reply, const char* bytes, int count);
// The peer closed the connection (or failed after some bytes).
ReplyState close_reply(HttpReply& reply);
ReplyState reply_state(const HttpReply& reply);
