#pragma once
// The numbers GNU units answers with, as the checks use them. units prints
// 15 significant digits of a computation in doubles.
#include <string>

// Relative error of an answer: the 15 digits and the double arithmetic both
// stay far below it, and it is still far below the spacing of floats (about
// 6e-8 relative), so it decides nearly every coefficient alone.
const long double reference_tolerance = 1e-13L;

// The value of a number as units prints it.
long double reference_value(const std::string& number);

// What the Convert page would show if it computed this number exactly: the
// "%.3lf" form rounded half away from zero, with trailing zeros trimmed.
std::string exact_result_text(const std::string& number);

// Whether a text the Convert page shows is the exact result of a number as
// units prints it. Its 15 digits reach the fourth decimal only below about
// 10^11; above, the third decimal is not known, and a shown text that agrees
// with the number to within half a unit of its last digit counts as exact.
bool shows_exactly(const std::string& shown, const std::string& number);

// Every float that is nearest to some value within radius of center: one,
// or two neighbours when a halfway point lies within reach.
struct FloatRange {
    float low;
    float high;
};
FloatRange nearest_floats(long double center, long double radius);
bool in_range(float value, const FloatRange& range);
