#include "update/http_reply.h"

#include <algorithm>
#include <cstring>

// Line ends are LF with an optional CR before it, in the header and in the
// chunk framing alike: servers that write bare LF are read as they meant.

namespace {

const char http_name[] = "HTTP/";
const int http_name_length = 5;
const std::uint64_t most_bytes = UINT64_MAX;

struct Span {
    const char* begin;
    const char* end;
};

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

Span trimmed(Span span)
{
    while (span.begin != span.end && is_blank(*span.begin))
        span.begin++;
    while (span.end != span.begin && is_blank(span.end[-1]))
        span.end--;
    return span;
}

// Field names and coding names are compared without regard to case.
bool is_named(Span span, const char* lower_case_name)
{
    size_t length = std::strlen(lower_case_name);
    if (static_cast<size_t>(span.end - span.begin) != length)
        return false;
    for (size_t i = 0; i < length; i++) {
        char c = span.begin[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lower_case_name[i])
            return false;
    }
    return true;
}

// Calls take for each non-empty element of a comma-separated list.
template <typename Take> void for_each_element(Span list, Take take)
{
    for (const char* begin = list.begin;;) {
        const char* comma = std::find(begin, list.end, ',');
        Span element = trimmed({begin, comma});
        if (element.begin != element.end)
            take(element);
        if (comma == list.end)
            return;
        begin = comma + 1;
    }
}

// What the header says about the body.
struct BodyFraming {
    int status = -1;
    bool has_coding = false;    // a transfer coding other than identity
    bool chunked_last = false;  // chunked is the final coding
    bool has_length = false;
    bool bad_length = false;
    std::uint64_t length = 0;
};

// The code of a status line such as "HTTP/1.1 200 OK", or -1.
int status_code(Span line)
{
    const char* p = std::find(line.begin, line.end, ' ');
    while (p != line.end && *p == ' ')
        p++;
    if (line.end - p < 3)
        return -1;
    int code = 0;
    for (int i = 0; i < 3; i++) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        code = code * 10 + (p[i] - '0');
    }
    if (p + 3 != line.end && p[3] != ' ')
        return -1;
    return code;
}

// Repeated lengths must agree: a reply that announces two cannot be framed.
void read_length(Span value, bool first_piece, BodyFraming& framing)
{
    bool any = false;
    for_each_element(value, [&](Span element) {
        any = true;
        std::uint64_t number = 0;
        for (const char* p = element.begin; p != element.end; p++) {
            if (*p < '0' || *p > '9' || number > (most_bytes - 9) / 10) {
                framing.bad_length = true;
                return;
            }
            number = number * 10 + static_cast<unsigned>(*p - '0');
        }
        if (framing.has_length && number != framing.length)
            framing.bad_length = true;
        framing.has_length = true;
        framing.length = number;
    });
    if (!any && first_piece)
        framing.bad_length = true;
}

// Several fields and lists are one list; the last coding decides. identity
// is the absence of a coding, as older servers wrote it.
void read_codings(Span value, BodyFraming& framing)
{
    for_each_element(value, [&](Span element) {
        Span coding = trimmed({element.begin, std::find(element.begin, element.end, ';')});
        if (is_named(coding, "identity"))
            return;
        framing.has_coding = true;
        framing.chunked_last = is_named(coding, "chunked");
    });
}

enum class Field { other, content_length, transfer_encoding };

// The header from its status line to the empty line that ends it.
BodyFraming read_header(Span header)
{
    BodyFraming framing;
    Field field = Field::other;
    bool first_line = true;
    for (const char* line = header.begin; line != header.end;) {
        const char* line_end = std::find(line, header.end, '\n');
        Span content = {line, line_end};
        if (content.end != content.begin && content.end[-1] == '\r')
            content.end--;
        line = line_end == header.end ? line_end : line_end + 1;
        if (first_line) {
            framing.status = status_code(content);
            first_line = false;
            continue;
        }
        // A line that begins with a blank continues the field before it.
        bool continued = content.begin != content.end && is_blank(*content.begin);
        Span value = content;
        if (!continued) {
            // A name with blanks before its colon names no field we know.
            const char* colon = std::find(content.begin, content.end, ':');
            field = Field::other;
            if (colon == content.end)
                continue;
            if (is_named({content.begin, colon}, "content-length"))
                field = Field::content_length;
            if (is_named({content.begin, colon}, "transfer-encoding"))
                field = Field::transfer_encoding;
            value = {colon + 1, content.end};
        }
        if (field == Field::content_length)
            read_length(value, !continued, framing);
        if (field == Field::transfer_encoding)
            read_codings(value, framing);
    }
    return framing;
}

// What does not fit makes the reply too long; what fits is kept all the
// same, so that a smaller limit keeps the start of the same text.
void keep(HttpReply& reply, const char* bytes, std::uint64_t count)
{
    std::uint64_t room = static_cast<std::uint64_t>(reply.limit - reply.kept);
    int taken = static_cast<int>(std::min(count, room));
    std::memcpy(reply.text + reply.kept, bytes, static_cast<size_t>(taken));
    reply.kept += taken;
    if (count > room)
        reply.stage = ReplyStage::overflow;
}

void start_chunk_size(HttpReply& reply)
{
    reply.stage = ReplyStage::chunk_size;
    reply.remaining = 0;
    reply.size_digits = false;
}

// The header has just ended: how does the body end?
void frame_body(HttpReply& reply)
{
    BodyFraming framing = read_header({reply.text + reply.header_start, reply.text + reply.kept});
    if (framing.status >= 100 && framing.status < 200) {
        // An interim reply; the real one follows.
        reply.header_start = reply.kept;
        reply.stage = ReplyStage::status;
        return;
    }
    reply.status = framing.status;
    if (framing.status < 0) {
        // Not a reply we can frame; the peer's close ends it.
        reply.stage = ReplyStage::until_close;
    } else if (framing.status == 204 || framing.status == 304) {
        reply.stage = ReplyStage::done;
    } else if (framing.has_coding) {
        // The coding decides, whatever length the header also gives.
        if (framing.chunked_last)
            start_chunk_size(reply);
        else
            reply.stage = ReplyStage::until_close;
    } else if (framing.bad_length) {
        reply.stage = ReplyStage::failed;
    } else if (framing.has_length) {
        reply.remaining = framing.length;
        reply.stage = framing.length == 0 ? ReplyStage::done : ReplyStage::length;
    } else {
        reply.stage = ReplyStage::until_close;
    }
}

void take_header_byte(HttpReply& reply, char c)
{
    keep(reply, &c, 1);
    if (reply.stage == ReplyStage::overflow)
        return;
    if (reply.stage == ReplyStage::status) {
        int at = reply.kept - 1 - reply.header_start;
        // Only the first reply may be something else than HTTP; after an
        // interim reply the real one must follow.
        if (c != http_name[at]) {
            reply.stage = reply.header_start == 0 ? ReplyStage::raw : ReplyStage::failed;
        } else if (at + 1 == http_name_length) {
            reply.stage = ReplyStage::header;
            reply.line_start = reply.header_start;
        }
        return;
    }
    if (c != '\n')
        return;
    int length = reply.kept - 1 - reply.line_start;
    if (length > 0 && reply.text[reply.kept - 2] == '\r')
        length--;
    reply.line_start = reply.kept;
    if (length == 0)
        frame_body(reply);
}

// The value of a hex digit, or -1. Each digit stands in the table at its
// value, upper case 16 places further on; a zero byte is no digit.
int hex_value(char c)
{
    static const char digits[] = "0123456789abcdef0123456789ABCDEF";
    const void* at = std::memchr(digits, c, sizeof digits - 1);
    return at ? static_cast<int>(static_cast<const char*>(at) - digits) % 16 : -1;
}

void end_chunk_size_line(HttpReply& reply)
{
    if (!reply.size_digits)
        reply.stage = ReplyStage::failed;
    else if (reply.remaining == 0)
        reply.stage = ReplyStage::trailer_start;
    else
        reply.stage = ReplyStage::chunk_data;
}

// Blanks, an extension or the end of the line after the size digits.
void take_after_size(HttpReply& reply, char c)
{
    if (is_blank(c))
        reply.stage = ReplyStage::chunk_size_blank;
    else if (c == ';')
        reply.stage = ReplyStage::chunk_extension;
    else if (c == '\r')
        reply.stage = ReplyStage::chunk_size_cr;
    else if (c == '\n')
        end_chunk_size_line(reply);
    else
        reply.stage = ReplyStage::failed;
}

// The chunk framing, one byte at a time; the data goes to keep in bulk.
void take_framing_byte(HttpReply& reply, char c)
{
    switch (reply.stage) {
    case ReplyStage::chunk_size:
        if (int digit = hex_value(c); digit >= 0) {
            if (reply.remaining > most_bytes >> 4) {
                reply.stage = ReplyStage::failed;
                return;
            }
            reply.remaining = reply.remaining << 4 | static_cast<unsigned>(digit);
            reply.size_digits = true;
            return;
        }
        if (!reply.size_digits)
            reply.stage = ReplyStage::failed;
        else
            take_after_size(reply, c);
        return;
    case ReplyStage::chunk_size_blank: take_after_size(reply, c); return;
    case ReplyStage::chunk_extension:
        if (c == '\n')
            end_chunk_size_line(reply);
        return;
    case ReplyStage::chunk_size_cr:
        if (c == '\n')
            end_chunk_size_line(reply);
        else
            reply.stage = ReplyStage::failed;
        return;
    case ReplyStage::chunk_data_end:
        if (c == '\r')
            reply.stage = ReplyStage::chunk_data_cr;
        else if (c == '\n')
            start_chunk_size(reply);
        else
            reply.stage = ReplyStage::failed;
        return;
    case ReplyStage::chunk_data_cr:
        if (c == '\n')
            start_chunk_size(reply);
        else
            reply.stage = ReplyStage::failed;
        return;
    case ReplyStage::trailer_start:
        if (c == '\r')
            reply.stage = ReplyStage::trailer_end_cr;
        else if (c == '\n')
            reply.stage = ReplyStage::done;
        else
            reply.stage = ReplyStage::trailer_line;
        return;
    case ReplyStage::trailer_line:
        if (c == '\n')
            reply.stage = ReplyStage::trailer_start;
        return;
    case ReplyStage::trailer_end_cr: reply.stage = c == '\n' ? ReplyStage::done : ReplyStage::failed; return;
    default: return;
    }
}

bool is_over(const HttpReply& reply)
{
    return reply.stage == ReplyStage::overflow || reply.stage == ReplyStage::done || reply.stage == ReplyStage::cut ||
           reply.stage == ReplyStage::failed;
}

}  // namespace

void begin_reply(HttpReply& reply, char* text, int limit)
{
    reply = HttpReply{};
    reply.text = text;
    reply.limit = limit;
    reply.stage = ReplyStage::status;
    text[0] = '\0';
}

ReplyState add_reply_bytes(HttpReply& reply, const char* bytes, int count)
{
    const char* end = bytes + (count > 0 ? count : 0);
    while (bytes != end && !is_over(reply)) {
        std::uint64_t available = static_cast<std::uint64_t>(end - bytes);
        switch (reply.stage) {
        case ReplyStage::status:
        case ReplyStage::header: take_header_byte(reply, *bytes++); break;
        case ReplyStage::raw:
        case ReplyStage::until_close:
            keep(reply, bytes, available);
            bytes = end;
            break;
        case ReplyStage::length:
        case ReplyStage::chunk_data: {
            std::uint64_t taken = std::min(available, reply.remaining);
            keep(reply, bytes, taken);
            bytes += taken;
            reply.remaining -= taken;
            if (reply.remaining == 0 && reply.stage != ReplyStage::overflow)
                reply.stage = reply.stage == ReplyStage::length ? ReplyStage::done : ReplyStage::chunk_data_end;
            break;
        }
        default: take_framing_byte(reply, *bytes++); break;
        }
    }
    reply.text[reply.kept] = '\0';
    return reply_state(reply);
}

ReplyState close_reply(HttpReply& reply)
{
    if (is_over(reply))
        return reply_state(reply);
    // Only a body that no length announced ends with the close; a peer that
    // closes without sending anything gave an empty reply.
    bool nothing_came = reply.stage == ReplyStage::status && reply.kept == 0;
    if (reply.stage == ReplyStage::raw || reply.stage == ReplyStage::until_close || nothing_came)
        reply.stage = ReplyStage::done;
    else
        reply.stage = ReplyStage::cut;
    return reply_state(reply);
}

ReplyState reply_state(const HttpReply& reply)
{
    if (reply.stage == ReplyStage::failed)
        return ReplyState::broken;
    if (reply.stage == ReplyStage::overflow)
        return ReplyState::too_long;
    if (reply.stage == ReplyStage::done)
        return ReplyState::complete;
    if (reply.stage == ReplyStage::cut)
        return ReplyState::cut_off;
    return ReplyState::receiving;
}

bool is_success_status(int status)
{
    return status >= 200 && status < 300;
}
