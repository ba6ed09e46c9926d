#pragma once
#include <cstdint>

// A calendar date as the download log keeps it. Day 0 is no date.
struct CalendarDate {
    uint16_t year;
    uint16_t month;
    uint16_t day;
};
