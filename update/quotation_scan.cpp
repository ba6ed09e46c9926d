#include "update/quotation_scan.h"

#include "convert/number_text.h"
#include "database/member_index.h"

// The page is not parsed as HTML: the table is found by counting lines, so
// every operation here works on one line of at most line_limit bytes held
// in a buffer of line_limit + 1 bytes, and never looks past its zero byte.

namespace {

const int header_skip_lines = 10;  // header cells after the first <TD line
const int rate_columns = 5;

bool opens_cell(const char* line)
{
    // Upper case only: the pages write their data cells as <TD.
    return line[0] == '<' && line[1] == 'T' && line[2] == 'D';
}

// Reads and throws away count lines; false when the text ended first.
bool skip_lines(const char*& cursor, char* line, int count)
{
    for (int i = 0; i < count; ++i) {
        cursor = read_line(cursor, line, line_limit);
        if (cursor == nullptr)
            return false;
    }
    return true;
}

// Reduces the text to its first word without blanks, commas and carriage
// returns; returns its length, 0 when nothing was left.
int keep_first_word(char* text, int limit)
{
    bool started = false;
    int out = 0;
    int in = 0;
    while (in < limit && text[in] != '\0') {
        char byte = text[in];
        if (byte == ' ' && started)
            break;
        if (byte == '\r' || byte == ' ' || byte == ',') {
            ++in;
        } else if (byte == '&') {
            // An entity counts as content but leaves nothing behind; it
            // takes four more bytes, unless the text ends among them.
            started = true;
            ++in;
            for (int k = 0; k < 4 && in < limit && text[in] != '\0'; ++k)
                ++in;
        } else {
            text[out++] = byte;
            started = true;
            ++in;
        }
    }
    text[out] = '\0';
    return out;
}

// One table cell as text: markup away, then its first word. Returns whether
// the cell held a number; the "0" that stands for an empty cell is none.
bool clean_cell(char* line)
{
    strip_tags(line, line_limit);
    bool empty = keep_first_word(line, line_limit) == 0;
    if (empty)
        clean_number(line, line_limit);
    return !empty && starts_with_decimal(line);
}

void store_rate(UnitMember* member, const char* cell)
{
    // Rates are prices of 100 foreign units in yuan; the member needs the
    // number of foreign units per yuan.
    double value = read_decimal(cell);
    if (value != 0)
        member->a = static_cast<float>(100.0 / value);
    else
        member->a = static_cast<float>(value);
}

// Works through the row frame that the line just read has opened. Returns
// the cursor of the line after the frame, or nullptr when the text ended
// inside it; rated tells whether the row's rate cell held a number.
const char* scan_row(const char* cursor, char* line, MemberIndex& members, int column, bool& rated)
{
    rated = false;
    cursor = read_line(cursor, line, line_limit);
    if (cursor == nullptr)
        return nullptr;
    clean_cell(line);
    // The name is looked up in the shortened form a member stores, so a
    // name of more than 15 bytes is found again next time.
    UnitMember* member = find_indexed_member(members, line);
    if (member == nullptr)
        member = append_indexed_member(members, line, 0, 0);

    if (!skip_lines(cursor, line, column + 1))
        return nullptr;
    rated = clean_cell(line);
    if (member != nullptr)
        store_rate(member, line);

    if (!skip_lines(cursor, line, rate_columns - 1 - column))
        return nullptr;
    return cursor;
}

}  // namespace

const char* read_line(const char* cursor, char* line, int limit)
{
    if (cursor == nullptr || *cursor == '\0')
        return nullptr;
    int length = 0;
    while (length < limit) {
        char byte = *cursor;
        if (byte == '\0')
            break;
        ++cursor;
        if (byte == '\n')
            break;
        line[length++] = byte;
    }
    line[length] = '\0';
    return cursor;
}

void trim_leading_spaces(char* text, int limit)
{
    int blanks = 0;
    while (blanks < limit && text[blanks] == ' ')
        ++blanks;
    int out = 0;
    for (int in = blanks; in < limit && text[in] != '\0'; ++in)
        text[out++] = text[in];
    text[out] = '\0';
}

void strip_tags(char* text, int limit)
{
    bool inside = false;
    int out = 0;
    int in = 0;
    while (in < limit && text[in] != '\0' && text[in] != '\n') {
        char byte = text[in];
        if (inside) {
            if (byte == '>')
                inside = false;
            ++in;
        } else if (byte == '<') {
            inside = true;
            ++in;
        } else if (byte == '&' && in + 3 < limit && text[in + 1] == 'n' && text[in + 2] == 'b' && text[in + 3] == 's') {
            // Only "&nbs" is looked at; the two bytes after it (normally
            // "p;") are taken unseen, unless the text ends among them.
            text[out++] = ' ';
            in += 4;
            for (int k = 0; k < 2 && in < limit && text[in] != '\0'; ++k)
                ++in;
        } else {
            text[out++] = byte;
            ++in;
        }
    }
    text[out] = '\0';
}

void clean_number(char* text, int limit)
{
    if (keep_first_word(text, limit) == 0) {
        text[0] = '0';
        text[1] = '\0';
    }
}

namespace {

// The rows of the page after its first <TD line; returns how many held a
// rate in the column.
int scan_rows(const char* reply, MemberIndex& members, int column)
{
    char line[line_limit + 1];
    bool header_seen = false;
    int rows = 0;
    const char* cursor = read_line(reply, line, line_limit);
    while (cursor != nullptr) {
        trim_leading_spaces(line, line_limit);
        if (opens_cell(line)) {
            if (!header_seen) {
                // The first <TD line heads the table, whatever it holds.
                if (!skip_lines(cursor, line, header_skip_lines))
                    return rows;
                header_seen = true;
            } else {
                bool rated = false;
                cursor = scan_row(cursor, line, members, column, rated);
                if (rated)
                    ++rows;
                if (cursor == nullptr)
                    return rows;
            }
        }
        cursor = read_line(cursor, line, line_limit);
    }
    return rows;
}

}  // namespace

int scan_quotation(const char* reply, UnitGroup* group, int column)
{
    if (reply == nullptr || group == nullptr || column < 0 || column >= rate_columns)
        return 0;
    // A full reply may hold thousands of rows: each is looked up and
    // appended through an index rather than by walking the group.
    MemberIndex members;
    open_member_index(members, group);
    int rows = scan_rows(reply, members, column);
    close_member_index(members);
    return rows;
}
