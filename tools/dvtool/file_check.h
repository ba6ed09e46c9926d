#pragma once
// What the program makes of a dv.dat: the file is walked field by field in
// the order and with the rules of load_database, and the walk tells where it
// stopped and why.

enum class CheckOutcome {
    loads,            // a database of at least one group
    missing,          // no such file
    unopenable,       // the file exists but cannot be opened
    unreadable,       // a read failed for another reason than the end
    too_short,        // fewer than 4 bytes: no group count
    count_below_one,  // the group count is 0 or negative
    cut_off,          // the file ends inside a group record
};

struct FileCheck {
    CheckOutcome outcome;
    long size;         // bytes that could be read
    long used;         // bytes the loader reads; the rest is ignored
    int group_count;   // as stored
    int member_total;  // members of every group read
    // Where a cut-off file ends: the group (from 1) and member (from 1, 0
    // for the group's own fields) being read, the field and its offset.
    int stop_group;
    int stop_member;
    const char* stop_field;
    long field_offset;
    int field_size;
};

void check_database_file(const char* file_name, FileCheck& check);
