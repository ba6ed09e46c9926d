// The framing of the HTTP reply, on any bytes a peer could send and on
// replies built around any body. However the receives cut the bytes, the
// kept text and the verdict are the same; the kept text stays within its
// limit and terminated, and stops changing once the reply is over; a smaller
// limit keeps the start of the same text and makes the reply too long just
// when the text would not fit it; a body framed by Content-Length, by chunks
// of any size or by the close comes out as it went in.
#include "fuzz/fuzz_check.h"
#include "update/http_reply.h"
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char target[] = "http_reply";
// Any limit does: the smaller ones below reach theirs with short inputs, and
// filling a buffer of the download's size for every feed would slow the run.
const int reply_limit = 30000;
// Up to this size an input is also fed in two receives cut at every place.
const size_t every_cut_size = 200;

struct Outcome {
    ReplyState before_close;
    ReplyState state;  // after the peer closed
    std::string text;  // what was kept, up to its terminator
    int status = 0;
};

bool operator==(const Outcome& a, const Outcome& b)
{
    return a.before_close == b.before_close && a.state == b.state && a.text == b.text && a.status == b.status;
}

// Receive sizes and other choices drawn from the input itself, so that a
// saved input replays the same run.
class Dice {
public:
    Dice(const std::string& bytes, std::uint64_t salt) : state(salt ^ 14695981039346656037u)
    {
        for (unsigned char c : bytes)
            state = (state ^ c) * 1099511628211u;
    }
    // 0 .. n - 1 (0 when n is 0).
    size_t below(size_t n) { return n ? static_cast<size_t>(next() % n) : 0; }
    bool coin() { return next() & 1; }

private:
    std::uint64_t state;
    std::uint64_t next()
    {
        std::uint64_t z = state += 0x9E3779B97F4A7C15u;
        z = (z ^ z >> 30) * 0xBF58476D1CE4E5B9u;
        z = (z ^ z >> 27) * 0x94D049BB133111EBu;
        return z ^ z >> 31;
    }
};

// Feeds the bytes in receives of the given sizes (what they leave over in
// one more), then the peer closes. Receives after the end of the reply are
// fed too: they must change nothing.
Outcome feed(const std::string& bytes, std::vector<size_t> sizes, int limit = reply_limit)
{
    // The buffer has exactly its room, so the sanitizer sees a byte past it;
    // the one of full size is made once, as making it each time costs more
    // than the framing.
    static std::vector<char> full_size(reply_limit + 1);
    std::vector<char> other_size;
    if (limit != reply_limit)
        other_size.resize(static_cast<size_t>(limit) + 1);
    std::vector<char>& text = limit == reply_limit ? full_size : other_size;
    std::fill(text.begin(), text.end(), '\x7f');
    HttpReply reply;
    begin_reply(reply, text.data(), limit);
    ReplyState state = reply_state(reply);
    std::string at_end;  // the kept text when the reply ended
    sizes.push_back(bytes.size());
    size_t at = 0;
    for (size_t size : sizes) {
        size = std::min(size, bytes.size() - at);
        if (size == 0)
            continue;
        int kept_before = reply.kept;
        ReplyState now = add_reply_bytes(reply, bytes.data() + at, static_cast<int>(size));
        at += size;
        if (reply.kept < kept_before || reply.kept > limit || text[static_cast<size_t>(reply.kept)] != '\0')
            report_violation(target, "the kept text shrank, outgrew its limit or lost its terminator");
        if (state != ReplyState::receiving && (now != state || reply.kept != kept_before))
            report_violation(target, "a reply that was over took more bytes or changed its verdict");
        if (state == ReplyState::receiving && now != ReplyState::receiving)
            at_end.assign(text.data(), static_cast<size_t>(reply.kept));
        state = now;
    }
    ReplyState closed = close_reply(reply);
    if (closed == ReplyState::receiving)
        report_violation(target, "a closed reply still waits for bytes");
    if (state != ReplyState::receiving && closed != state)
        report_violation(target, "closing changed the verdict on a reply that was over");
    Outcome outcome = {state, closed, std::string(text.data(), static_cast<size_t>(reply.kept)), reply.status};
    if (state != ReplyState::receiving && outcome.text != at_end)
        report_violation(target, "the kept text changed after the reply was over");
    return outcome;
}

std::vector<size_t> byte_by_byte(const std::string& bytes)
{
    return std::vector<size_t>(bytes.size(), 1);
}

// Receives of random sizes, small or large as the dice say.
std::vector<size_t> random_receives(const std::string& bytes, Dice& dice)
{
    static const size_t largest[] = {2, 4, 17, 100, 1500};
    size_t most = largest[dice.below(std::size(largest))];
    std::vector<size_t> sizes;
    for (size_t total = 0; total < bytes.size(); total += sizes.back())
        sizes.push_back(dice.below(most) + 1);
    return sizes;
}

void expect_same_however_received(const std::string& bytes, const Outcome& expected, Dice& dice, int rounds)
{
    if (!(feed(bytes, byte_by_byte(bytes)) == expected))
        report_violation(target, "byte by byte the reply came out otherwise than in one receive");
    for (int round = 0; round < rounds; round++)
        if (!(feed(bytes, random_receives(bytes, dice)) == expected))
            report_violation(target, "in random receives the reply came out otherwise than in one receive");
}

// With room for fewer bytes the same bytes keep the start of the same text;
// a text that fits its room comes out as with any larger room, one that does
// not makes the reply too long.
void check_smaller_limit(const std::string& bytes, const Outcome& whole, int limit, Dice& dice)
{
    Outcome small = feed(bytes, random_receives(bytes, dice), limit);
    size_t room = static_cast<size_t>(limit);
    bool right;
    if (whole.text.size() <= room)
        right = small == whole;
    else
        right = small.before_close == ReplyState::too_long && small.state == ReplyState::too_long &&
                small.text == whole.text.substr(0, room);
    if (!right)
        report_violation(target, "a smaller limit kept something else than the start of the text");
}

bool may_be_http(const std::string& bytes)
{
    const std::string name = "HTTP/";
    size_t length = std::min(bytes.size(), name.size());
    return bytes.compare(0, length, name, 0, length) == 0;
}

void check_any_bytes(const std::string& bytes)
{
    Dice dice(bytes, 1);
    Outcome whole = feed(bytes, {});
    expect_same_however_received(bytes, whole, dice, 3);
    if (bytes.size() <= every_cut_size)
        for (size_t cut = 1; cut < bytes.size(); cut++)
            if (!(feed(bytes, {cut}) == whole))
                report_violation(target, "two receives gave another outcome than one");

    if (whole.text.size() > bytes.size())
        report_violation(target, "more was kept than came");
    // Something else than HTTP is kept as it comes, until the peer closes
    // or a byte comes that has no room.
    bool fits = bytes.size() <= static_cast<size_t>(reply_limit);
    Outcome raw = fits ? Outcome{ReplyState::receiving, ReplyState::complete, bytes, 0}
                       : Outcome{ReplyState::too_long, ReplyState::too_long, bytes.substr(0, reply_limit), 0};
    if (!may_be_http(bytes) && !(whole == raw))
        report_violation(target, "a reply that is not HTTP was not kept as it came");

    check_smaller_limit(bytes, whole, static_cast<int>(dice.below(std::min<size_t>(whole.text.size(), 600) + 2)), dice);
    check_smaller_limit(bytes, whole, static_cast<int>(whole.text.size()), dice);
    if (!whole.text.empty())
        check_smaller_limit(bytes, whole, static_cast<int>(whole.text.size()) - 1, dice);
}

std::string line_end(Dice& dice)
{
    return dice.below(4) ? "\r\n" : "\n";
}

// The body in chunks of random sizes, written in the ways servers write
// them: hex digits in either case, leading zeros, extensions, a trailer.
std::string chunked(const std::string& body, Dice& dice)
{
    static const size_t largest[] = {1, 3, 16, 300, 5000};
    size_t most = largest[dice.below(std::size(largest))];
    std::string framed;
    for (size_t at = 0; at < body.size();) {
        size_t size = std::min(dice.below(most) + 1, body.size() - at);
        std::string digits;
        for (size_t rest = size; rest; rest >>= 4)
            digits.insert(digits.begin(), "0123456789abcdef"[rest & 15]);
        if (dice.coin())
            for (char& c : digits)
                c = c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c;
        if (dice.below(8) == 0)
            digits.insert(0, "00");
        std::string extension = dice.below(6) ? "" : dice.coin() ? " ;name=\"a;b\"" : ";x";
        framed += digits + extension + line_end(dice) + body.substr(at, size) + line_end(dice);
        at += size;
    }
    framed += "0" + line_end(dice);
    if (dice.coin())
        framed += "Expires: 0" + line_end(dice);
    return framed + line_end(dice);
}

// A reply of a known body comes out as its header and that body; a reply
// framed by its length or its chunks ends at its last byte, so what follows
// on a kept-alive connection is no part of it; cut short it is cut off.
void check_framed(const std::string& head, const std::string& framed_body, const std::string& body, bool ends_itself,
                  Dice& dice)
{
    const std::string next = "HTTP/1.1 200 OK\r\n";
    std::string reply = head + framed_body;
    std::string text = (head + body).substr(0, reply_limit);
    bool fits = head.size() + body.size() <= static_cast<size_t>(reply_limit);
    Outcome expected = !fits         ? Outcome{ReplyState::too_long, ReplyState::too_long, text, 200}
                       : ends_itself ? Outcome{ReplyState::complete, ReplyState::complete, text, 200}
                                     : Outcome{ReplyState::receiving, ReplyState::complete, text, 200};
    std::string bytes = ends_itself ? reply + next : reply;
    Outcome whole = feed(bytes, {});
    if (!(whole == expected))
        report_violation(target, "a framed body did not come out as it went in");
    expect_same_however_received(bytes, expected, dice, 1);

    size_t room = dice.below(text.size() + 1);
    Outcome small = feed(bytes, random_receives(bytes, dice), static_cast<int>(room));
    ReplyState verdict = room < text.size() ? ReplyState::too_long : expected.state;
    if (small.state != verdict || small.text != text.substr(0, room))
        report_violation(target, "a smaller limit kept something else than the start of a framed body");

    if (ends_itself && !framed_body.empty() && reply.size() <= static_cast<size_t>(reply_limit)) {
        std::string cut = reply.substr(0, reply.size() - 1 - dice.below(framed_body.size()));
        if (feed(cut, random_receives(cut, dice)).state != ReplyState::cut_off)
            report_violation(target, "a reply cut short of its framing did not count as cut off");
    }
}

void check_known_body(const std::string& body)
{
    Dice dice(body, 2);
    std::string length = std::to_string(body.size());
    check_framed("HTTP/1.1 200 OK\r\nServer: nginx\r\nContent-Length: " + length + "\r\n\r\n", body, body, true, dice);
    std::string head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n" +
                       (dice.coin() ? "Content-Length: " + length + "\r\n" : "") + "\r\n";
    check_framed(head, chunked(body, dice), body, true, dice);
    check_framed("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n", body, body, false, dice);
}

}  // namespace

void check_http_reply(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    check_any_bytes(bytes);
    check_known_body(bytes);
}
