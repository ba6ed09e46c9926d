#include "update/http_reply.h"

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>
#include <gtest/gtest.h>

namespace {

const int reply_limit = 30000;

struct Outcome {
    ReplyState state;
    std::string text;  // what was kept, up to its terminator
};

bool operator==(const Outcome& a, const Outcome& b)
{
    return a.state == b.state && a.text == b.text;
}

std::ostream& operator<<(std::ostream& out, const Outcome& outcome)
{
    return out << "state " << static_cast<int>(outcome.state) << ", text \"" << outcome.text << "\"";
}

// Feeds the bytes in receives of the given sizes (the last one repeated)
// as long as the reply is receiving; then the peer closes if asked to.
Outcome feed(const std::string& bytes, std::vector<size_t> sizes, bool close = false, int limit = reply_limit)
{
    std::vector<char> text(static_cast<size_t>(limit) + 1, 'X');
    HttpReply reply;
    begin_reply(reply, text.data(), limit);
    ReplyState state = ReplyState::receiving;
    for (size_t at = 0, i = 0; at < bytes.size() && state == ReplyState::receiving; i++) {
        size_t size = std::min(sizes[std::min(i, sizes.size() - 1)], bytes.size() - at);
        state = add_reply_bytes(reply, bytes.data() + at, static_cast<int>(size));
        at += size;
        EXPECT_EQ(text[static_cast<size_t>(reply.kept)], '\0');
    }
    if (close && state == ReplyState::receiving)
        state = close_reply(reply);
    return {state, std::string(text.data(), static_cast<size_t>(reply.kept))};
}

// How many bytes, fed one by one, the reply takes before it stops
// receiving.
size_t end_of_reply(const std::string& bytes, int limit = reply_limit)
{
    std::vector<char> text(static_cast<size_t>(limit) + 1);
    HttpReply reply;
    begin_reply(reply, text.data(), limit);
    size_t at = 0;
    while (at < bytes.size() && add_reply_bytes(reply, bytes.data() + at, 1) == ReplyState::receiving)
        at++;
    return at < bytes.size() ? at + 1 : at;
}

Outcome feed_whole(const std::string& bytes, bool close = false, int limit = reply_limit)
{
    return feed(bytes, {bytes.size() ? bytes.size() : 1}, close, limit);
}

// The same outcome however the receives split the reply: in two pieces at
// every position, and byte by byte.
void expect_same_wherever_split(const std::string& bytes, const Outcome& expected, bool close = false,
                                int limit = reply_limit)
{
    EXPECT_EQ(feed_whole(bytes, close, limit), expected) << "in one piece";
    EXPECT_EQ(feed(bytes, {1}, close, limit), expected) << "byte by byte";
    for (size_t at = 1; at < bytes.size(); at++)
        EXPECT_EQ(feed(bytes, {at, bytes.size()}, close, limit), expected) << "split at " << at;
}

std::string header(const std::string& fields, const char* status = "HTTP/1.1 200 OK")
{
    return std::string(status) + "\r\n" + fields + "\r\n";
}

std::string read_file(const std::string& name)
{
    std::ifstream file(name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace

TEST(HttpReplyLengthTest, TheReplyEndsAtItsLastBodyByteWhereverTheReceivesSplitIt)
{
    std::string reply = header("Content-Type: text/html\r\nContent-Length: 12\r\n") + "<TD>1.5</TD>";
    // What follows on a kept-alive connection is no part of it.
    std::string next = "HTTP/1.1 200 OK\r\n";
    expect_same_wherever_split(reply + next, {ReplyState::complete, reply});
    EXPECT_EQ(end_of_reply(reply + next), reply.size());
}

TEST(HttpReplyLengthTest, NamesInAnyCaseBlanksAroundValuesAndRepeatsThatAgree)
{
    for (std::string fields : {"content-LENGTH:\t 5 \t\r\n", "Content-Length:5\r\n", "Content-Length: 5, 5\r\n",
                               "Content-Length: 5\r\nServer: x\r\nContent-Length: 005\r\n",
                               "Content-Length: 5,\r\n 5\r\n", "Content-Length: 5\n"}) {
        std::string reply = header(fields) + "hello";
        EXPECT_EQ(end_of_reply(reply + "more"), reply.size()) << fields;
        EXPECT_EQ(feed_whole(reply + "more"), (Outcome{ReplyState::complete, reply})) << fields;
    }
    // Bare LF line ends throughout.
    std::string reply = "HTTP/1.1 200 OK\nContent-Length: 2\n\nok";
    EXPECT_EQ(end_of_reply(reply + "!"), reply.size());
    EXPECT_EQ(feed_whole(reply + "!"), (Outcome{ReplyState::complete, reply}));
}

TEST(HttpReplyLengthTest, LengthsThatCannotFrameTheReplyBreakItAtTheEndOfTheHeader)
{
    for (std::string fields :
         {"Content-Length: 5, 6\r\n", "Content-Length: 5\r\nContent-Length: 6\r\n", "Content-Length: five\r\n",
          "Content-Length: -5\r\n", "Content-Length: +5\r\n", "Content-Length: 0x5\r\n", "Content-Length: 5 5\r\n",
          "Content-Length:\r\n", "Content-Length: 99999999999999999999999\r\n"}) {
        std::string head = header(fields);
        EXPECT_EQ(end_of_reply(head + "hello"), head.size()) << fields;
        EXPECT_EQ(feed_whole(head + "hello"), (Outcome{ReplyState::broken, head})) << fields;
    }
}

TEST(HttpReplyLengthTest, RepliesWithoutABodyEndWithTheirHeader)
{
    for (std::string head :
         {header("Content-Length: 20\r\n", "HTTP/1.1 204 No Content"),
          header("Content-Length: 20\r\n", "HTTP/1.1 304 Not Modified"), header("Content-Length: 0\r\n")}) {
        EXPECT_EQ(end_of_reply(head + "x"), head.size()) << head;
        EXPECT_EQ(feed_whole(head + "x"), (Outcome{ReplyState::complete, head})) << head;
    }
    // An interim reply is kept with the real one, whose framing counts.
    std::string reply = header("", "HTTP/1.1 100 Continue") + header("Content-Length: 3\r\n") + "abc";
    expect_same_wherever_split(reply + "x", {ReplyState::complete, reply});
    EXPECT_EQ(end_of_reply(reply + "x"), reply.size());
}

TEST(HttpReplyLengthTest, ANameWithABlankBeforeItsColonIsNoLength)
{
    std::string reply = header("Content-Length : 5\r\n") + "hello";
    EXPECT_EQ(feed_whole(reply).state, ReplyState::receiving);
    EXPECT_EQ(feed_whole(reply, true), (Outcome{ReplyState::complete, reply}));
}

TEST(HttpReplyChunkedTest, TheBodyLosesItsFramingAndEndsAfterTheTrailer)
{
    std::string head = header("Transfer-Encoding: chunked\r\n");
    std::string body = "5\r\n<TD>1\r\n"
                       "19;name=\"va;lue\"\r\n.5</TD>\r\n<TD>2,345.6</TD>\r\n"
                       "c ; x\r\n\r\n</TR>\r\n<TR\r\n"
                       "000\r\nExpires: never\r\nX: y\r\n\r\n";
    std::string reply = head + body;
    expect_same_wherever_split(reply + "HTTP/1.1",
                               {ReplyState::complete, head + "<TD>1.5</TD>\r\n<TD>2,345.6</TD>\r\n</TR>\r\n<TR"});
    EXPECT_EQ(end_of_reply(reply + "HTTP/1.1"), reply.size());
    // Bare LF in the framing, and no trailer.
    std::string bare = head + "3\nabc\n0\n\n";
    EXPECT_EQ(end_of_reply(bare + "x"), bare.size());
    EXPECT_EQ(feed_whole(bare + "x"), (Outcome{ReplyState::complete, head + "abc"}));
}

TEST(HttpReplyChunkedTest, ThePageComesOutWholeWhateverTheChunksAndReceives)
{
    std::string page = read_file(DUVARIN_SOURCE_DIR "/docs/sample-site/index.html");
    ASSERT_GT(page.size(), 1000u);
    std::string head = header("Transfer-Encoding: chunked\r\n");
    std::mt19937 random(11);
    for (int round = 0; round < 200; round++) {
        std::string reply = head;
        for (size_t at = 0; at < page.size();) {
            size_t size = std::min<size_t>(random() % 60 + 1, page.size() - at);
            std::ostringstream line;
            line << std::hex << (random() % 2 ? std::uppercase : std::nouppercase) << size;
            reply += line.str() + (random() % 4 == 0 ? ";x=1" : "") + "\r\n" + page.substr(at, size) + "\r\n";
            at += size;
        }
        reply += "0\r\n\r\n";
        std::vector<size_t> receives;
        for (size_t total = 0; total < reply.size(); total += receives.back())
            receives.push_back(random() % 40 + 1);
        ASSERT_EQ(feed(reply, receives), (Outcome{ReplyState::complete, head + page})) << round;
    }
}

TEST(HttpReplyChunkedTest, TheFinalCodingDecidesOverAnyLength)
{
    std::string chunked_body = "3\r\nabc\r\n0\r\n\r\n";
    for (std::string fields :
         {"Transfer-Encoding: chunked\r\nContent-Length: 99\r\n",
          "Content-Length: 1, 2\r\nTransfer-Encoding: CHUNKED\r\n", "Transfer-Encoding: gzip, chunked\r\n",
          "Transfer-Encoding: gzip\r\nTransfer-Encoding: identity, chunked;x=1\r\n",
          "Transfer-Encoding: gzip,\r\n\tchunked\r\n", "transfer-encoding:chunked , \r\n"}) {
        std::string reply = header(fields) + chunked_body;
        EXPECT_EQ(end_of_reply(reply + "x"), reply.size()) << fields;
        EXPECT_EQ(feed_whole(reply + "x"), (Outcome{ReplyState::complete, header(fields) + "abc"})) << fields;
    }
    // Not chunked last: the body runs until the peer closes.
    for (std::string fields : {"Transfer-Encoding: chunked, gzip\r\nContent-Length: 3\r\n",
                               "Transfer-Encoding: chunked\r\nTransfer-Encoding: gzip\r\n"}) {
        std::string reply = header(fields) + chunked_body;
        EXPECT_EQ(feed_whole(reply).state, ReplyState::receiving) << fields;
        EXPECT_EQ(feed_whole(reply, true), (Outcome{ReplyState::complete, reply})) << fields;
    }
    // identity alone is no coding: the length counts.
    std::string reply = header("Transfer-Encoding: identity\r\nContent-Length: 3\r\n") + "abc";
    EXPECT_EQ(feed_whole(reply + "x"), (Outcome{ReplyState::complete, reply}));
}

TEST(HttpReplyChunkedTest, FramingThatCannotBeReadBreaksTheReplyAtTheFirstWrongByte)
{
    std::string head = header("Transfer-Encoding: chunked\r\n");
    struct Case {
        std::string body;
        size_t wrong;      // where in the body
        std::string data;  // what was kept of it
    } cases[] = {
        {"\r\n", 0, ""},
        {"g\r\nabc", 0, ""},
        {" 3\r\nabc", 0, ""},
        {"3x\r\nabc", 1, ""},
        {";x\r\nabc", 0, ""},
        {"3 4\r\nabc", 2, ""},
        {"3\rabc\r\n", 2, ""},
        {"3\r\nabcd\r\n", 6, "abc"},
        {"3\r\nabc\rx", 7, "abc"},
        {"0\r\n\rx", 4, ""},
        {"10000000000000000\r\n", 16, ""},
    };
    for (const Case& c : cases) {
        std::string reply = head + c.body + "\r\n0\r\n\r\n";
        EXPECT_EQ(end_of_reply(reply), head.size() + c.wrong + 1) << c.body;
        EXPECT_EQ(feed_whole(reply), (Outcome{ReplyState::broken, head + c.data})) << c.body;
    }
}

TEST(HttpReplyCloseTest, AClosedConnectionEndsOnlyABodyOfNoAnnouncedLength)
{
    std::string page = "<TD>1</TD>\r\n";
    for (std::string reply :
         {header("") + page, header("Transfer-Encoding: gzip\r\n") + page, page, "HTTP/1.1 OK\r\n\r\n" + page,
          "HTTP/1.1 2000 OK\r\nContent-Length: 1\r\n\r\n" + page, std::string()}) {
        EXPECT_EQ(feed_whole(reply).state, ReplyState::receiving) << reply;
        EXPECT_EQ(feed_whole(reply, true), (Outcome{ReplyState::complete, reply})) << reply;
    }
    std::string length = header("Content-Length: 20\r\n");
    std::string chunked = header("Transfer-Encoding: chunked\r\n");
    struct Cut {
        std::string reply;
        std::string text;
    } cuts[] = {
        {length + page, length + page},
        {chunked + "c\r\n" + page + "\r\n", chunked + page},
        {chunked + "0\r\nX: y\r\n", chunked},
        {"HTTP/1.1 200 OK\r\nContent-Le", "HTTP/1.1 200 OK\r\nContent-Le"},
        {"HTT", "HTT"},
        {header("", "HTTP/1.1 100 Continue"), header("", "HTTP/1.1 100 Continue")},
    };
    for (const Cut& cut : cuts)
        EXPECT_EQ(feed_whole(cut.reply, true), (Outcome{ReplyState::cut_off, cut.text})) << cut.reply;
}

TEST(HttpReplyCloseTest, OnlyTheFirstReplyMayBeSomethingElseThanHttp)
{
    // Kept byte for byte, however it looks further on.
    for (std::string raw : {"<html>\r\nContent-Length: 2\r\n\r\n<TD>", "http/1.1 200 OK\r\nContent-Length: 1\r\n\r\nab",
                            " HTTP/1.1 200 OK\r\n\r\n"}) {
        EXPECT_EQ(feed(raw, {1}).state, ReplyState::receiving) << raw;
        EXPECT_EQ(feed(raw, {1}, true), (Outcome{ReplyState::complete, raw})) << raw;
    }
    std::string interim = header("", "HTTP/1.1 100 Continue");
    EXPECT_EQ(feed_whole(interim + "<html>"), (Outcome{ReplyState::broken, interim + "<"}));
}

TEST(HttpReplyLimitTest, AReplyWithMoreToKeepThanTheLimitIsTooLongAndKeepsItsStart)
{
    const int limit = 60;
    std::string page(100, 'p');
    std::string chunked_head = header("Transfer-Encoding: chunked\r\n");
    struct Case {
        std::string reply;
        std::string text;
        size_t framing;  // bytes of chunk framing before the first byte without room
    } cases[] = {
        {header("Content-Length: 100\r\n") + page, header("Content-Length: 100\r\n") + page, 0},
        {chunked_head + "64\r\n" + page + "\r\n0\r\n\r\n", chunked_head + page, 4},
        {"<html>" + page, "<html>" + page, 0},
        {header("X: " + page + "\r\nContent-Length: 1\r\n") + "p", header("X: " + page), 0},
    };
    for (const Case& c : cases) {
        for (size_t receive : {size_t{1}, size_t{7}, c.reply.size()})
            EXPECT_EQ(feed(c.reply, {receive}, true, limit), (Outcome{ReplyState::too_long, c.text.substr(0, limit)}))
                << c.reply << " in receives of " << receive;
        // Over with the first byte that has no room.
        EXPECT_EQ(end_of_reply(c.reply, limit), limit + 1 + c.framing) << c.reply;
    }
}

TEST(HttpReplyLimitTest, AReplyThatFillsTheLimitExactlyIsWhole)
{
    std::string head = header("Content-Length: 10\r\n");
    std::string body = "<TD>1</TD>";
    int limit = static_cast<int>((head + body).size());
    expect_same_wherever_split(head + body + "HTTP/1.1", {ReplyState::complete, head + body}, false, limit);
    std::string chunked = header("Transfer-Encoding: chunked\r\n") + "a\r\n" + body + "\r\n0\r\n\r\n";
    std::string chunked_text = header("Transfer-Encoding: chunked\r\n") + body;
    expect_same_wherever_split(chunked, {ReplyState::complete, chunked_text}, false,
                               static_cast<int>(chunked_text.size()));
    // Without framing only the close tells whether more was to come.
    expect_same_wherever_split(body, {ReplyState::complete, body}, true, static_cast<int>(body.size()));
    EXPECT_EQ(feed(body + "x", {1}, true, static_cast<int>(body.size())), (Outcome{ReplyState::too_long, body}));
}

TEST(HttpReplyStatusTest, TheStatusOfTheFinalReplyIsKnownOnceItsHeaderIsWhole)
{
    struct Case {
        std::string reply;
        int status;
    } cases[] = {
        {header("Content-Length: 2\r\n") + "ok", 200},
        {header("Content-Length: 2\r\n", "HTTP/1.0 203 Non-Authoritative Information") + "ok", 203},
        {header("", "HTTP/1.1 100 Continue") + header("Content-Length: 2\r\n", "HTTP/1.1 500 Oops") + "ok", 500},
        {header("Location: https://example.com/\r\nContent-Length: 0\r\n", "HTTP/1.1 301 Moved Permanently"), 301},
        {header("", "HTTP/1.1 404"), 404},
        {header("", "HTTP/1.1 OK"), -1},
        {"<html><TD>1</TD>", 0},
    };
    for (const Case& c : cases) {
        std::vector<char> text(reply_limit + 1);
        HttpReply reply;
        begin_reply(reply, text.data(), reply_limit);
        // Not before the line that ends the header.
        size_t header_end = c.reply.rfind("\r\n\r\n");
        size_t known_at = header_end == std::string::npos ? c.reply.size() : header_end + 4;
        add_reply_bytes(reply, c.reply.data(), static_cast<int>(known_at - 1));
        EXPECT_EQ(reply.status, 0) << c.reply;
        add_reply_bytes(reply, c.reply.data() + known_at - 1, 1);
        EXPECT_EQ(reply.status, c.status) << c.reply;
        add_reply_bytes(reply, c.reply.data() + known_at, static_cast<int>(c.reply.size() - known_at));
        close_reply(reply);
        EXPECT_EQ(reply.status, c.status) << c.reply;
    }
    for (int status : {200, 204, 299})
        EXPECT_TRUE(is_success_status(status)) << status;
    for (int status : {-1, 0, 199, 300, 301, 404, 500, 503})
        EXPECT_FALSE(is_success_status(status)) << status;
}
