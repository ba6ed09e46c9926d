#include "convert/number_text.h"
#include <gtest/gtest.h>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

uint64_t bits_of(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string general(double value, int precision = 6)
{
    char out[general_text_size];
    format_general_digits(value, precision, out);
    return out;
}

}  // namespace

// The same values every build must read, as correctly rounded bit patterns.
struct StoredReading {
    const char* text;
    uint64_t bits;
};

namespace {

const StoredReading stored_readings[] = {
    {"0.1", 0x3fb999999999999aull},
    {"1e23", 0x44b52d02c7e14af6ull},
    {"2.2250738585072011e-308", 0x000fffffffffffffull},
    {"2.2250738585072012e-308", 0x0010000000000000ull},
    {"2.4703282292062328e-324", 0x0000000000000001ull},
    {"1e-320", 0x00000000000007e8ull},
    {"1.7976931348623158e308", 0x7fefffffffffffffull},
    {"9007199254740993", 0x4340000000000000ull},  // a tie goes to even
    {"9007199254740995", 0x4340000000000002ull},
    {"39.3700787", 0x4043af5ebd24b91dull},
    {"123456789012345678901234567890", 0x45f8ee90ff6c373eull},
    {"1.00000000000000011102230246251565404236316680908203126", 0x3ff0000000000001ull},
    {"-0.0625e-2", 0xbf447ae147ae147bull},
};

// 2^-1075 written out: exactly halfway between zero and the least double.
const char* half_least_double = "2.4703282292062327208828439643411068618252990130716238221279284125033775363510437593"
                                "264991818081799618989828234772285886546332835517796989819938739800539093906315035659"
                                "515570226392290858392449105184435931802849936536152500319370457678249219365623669863"
                                "658480757001585769269903706311928279558551332927834338409351978015531246597263579574"
                                "622766465272827220056374006485499977096599470454020828166226237857393450736339007967"
                                "761930577506740176324673600968951340535537458516661134223766678604162159680461914467"
                                "291840300530057530849048765391711386591646239524912623653881879636239373280423891018"
                                "672348497668235089863388587925628302755995657524455507255189313690836254779186948667"
                                "994968324049705821028513185451396213837722826145437693412532098591327667236328125";

}  // namespace

TEST(ReadDecimal, ReadsOnlyTheLeadingDecimalNumber)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"1e3", 1000}, {"12.5kg", 12.5}, {"1.23457e+", 1.23457}, {"2E-2x", 0.02}, {" \t\n\v\f\r+7.5", 7.5},
        {".5", 0.5},   {"5.", 5},        {"1.2.3", 1.2},         {"-5", -5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read_decimal(c.text), c.value) << c.text;
        EXPECT_TRUE(starts_with_decimal(c.text)) << c.text;
    }
    // Zero is a number too; only the texts without any give 0 unread.
    for (const char* zero : {"0", "-0.0", "0,5", ".0"})
        EXPECT_TRUE(starts_with_decimal(zero)) << zero;
    const char* no_numbers[] = {"",    ".",    "-",         "+.",   "e5",  "abc", "0x1A", "inf",
                                "nan", " -e1", "-infinity", "+nan", ".e1", "+-5", "0x1p3"};
    for (const char* text : no_numbers) {
        EXPECT_EQ(bits_of(read_decimal(text)), 0u) << text;
        EXPECT_EQ(starts_with_decimal(text), text[0] == '0') << text;
    }
    EXPECT_FALSE(starts_with_decimal(nullptr));
}

TEST(ReadDecimal, RoundsCorrectlyLikeEveryBuild)
{
    for (const StoredReading& reading : stored_readings)
        EXPECT_EQ(bits_of(read_decimal(reading.text)), reading.bits) << reading.text;
}

TEST(ReadDecimal, LongTextsStillRoundCorrectly)
{
    std::string tie = "9007199254740993.";
    EXPECT_EQ(bits_of(read_decimal((tie + std::string(800, '0')).c_str())), 0x4340000000000000ull);
    // A digit far past the kept ones still breaks the tie upwards.
    EXPECT_EQ(bits_of(read_decimal((tie + std::string(800, '0') + "1").c_str())), 0x4340000000000001ull);
    EXPECT_EQ(read_decimal(("0." + std::string(400, '0') + "1e401").c_str()), 1.0);
    EXPECT_EQ(read_decimal(("1" + std::string(400, '0') + "e-400").c_str()), 1.0);

    std::string half = half_least_double;
    EXPECT_EQ(bits_of(read_decimal((half + "e-324").c_str())), 0u);
    EXPECT_EQ(bits_of(read_decimal((half + std::string(100, '0') + "1e-324").c_str())), 1u);
    EXPECT_EQ(bits_of(read_decimal(("-" + half + "e-324").c_str())), 0x8000000000000000ull);
}

TEST(ReadDecimal, OverflowAndUnderflowKeepTheSign)
{
    EXPECT_EQ(read_decimal("1.7976931348623159e308"), HUGE_VAL);
    EXPECT_EQ(read_decimal("1e999999999"), HUGE_VAL);
    EXPECT_EQ(read_decimal("-1e99999999999999999999"), -HUGE_VAL);
    EXPECT_EQ(read_decimal(("1" + std::string(400, '0')).c_str()), HUGE_VAL);
    EXPECT_EQ(bits_of(read_decimal("1e-999999999")), 0u);
    EXPECT_EQ(bits_of(read_decimal("-1e-400")), 0x8000000000000000ull);
    EXPECT_EQ(bits_of(read_decimal("-0")), 0x8000000000000000ull);
    // Leading zeros and the exponent together place the number.
    EXPECT_EQ(read_decimal("0.01e311"), HUGE_VAL);
    EXPECT_EQ(read_decimal("0.001e311"), 1e308);
    EXPECT_EQ(bits_of(read_decimal("-100e-326")), 0x8000000000000000ull);
    EXPECT_EQ(bits_of(read_decimal(("0." + std::string(400, '0') + "1e77").c_str())), 0u);
}

TEST(FormatGeneral, WritesTheSystemsPercentG)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {1.0, "1"},
        {1.8f, "1.8"},
        {32.0, "32"},
        {0.1f, "0.1"},
        {273.15f, "273.15"},
        {39.3700787f, "39.3701"},
        {1234567.0, "1.23457e+006"},
        {1e-7, "1e-007"},
        {100000.0, "100000"},
        {1e6, "1e+006"},
        {0.0001, "0.0001"},
        {0.00001, "1e-005"},
        {FLT_MAX, "3.40282e+038"},
        {-0.146951, "-0.146951"},
        {DBL_MAX, "1.79769e+308"},
        {4.9406564584124654e-324, "4.94066e-324"},
        {0.0, "0"},
        {-0.0, "-0"},
        {HUGE_VAL, "1.#INF"},
        {-HUGE_VAL, "-1.#INF"},
        {NAN, "1.#QNAN"},
        {-NAN, "-1.#QNAN"},
    };
    for (const Case& c : cases) {
        char out[general_text_size];
        format_general(c.value, out);
        EXPECT_STREQ(out, c.text) << c.text;
    }
}

TEST(FormatGeneral, RoundsTheExactValueTiesToEvenAtAnyPrecision)
{
    EXPECT_EQ(general(999999.5), "1e+006");  // exactly halfway, 9 is odd
    EXPECT_EQ(general(999998.5), "999998");
    EXPECT_EQ(general(0.375, 2), "0.38");
    EXPECT_EQ(general(0.15, 1), "0.1");  // the double is below 0.15
    EXPECT_EQ(general(9.9999996, 7), "10");
    EXPECT_EQ(general(0.1, 17), "0.10000000000000001");
    EXPECT_EQ(general(FLT_MAX, 9), "3.40282347e+038");
    EXPECT_EQ(general(1234567890.0, 9), "1.23456789e+009");
    EXPECT_EQ(general(12.5, 0), "1e+001");  // held to precision 1
    EXPECT_EQ(general(12.5, 40), "12.5");   // held to precision 17
}

namespace {

// Deterministic spread of bit patterns, the same in both builds.
double spread_value(uint64_t* state)
{
    *state = *state * 6364136223846793005ull + 1442695040888963407ull;
    uint64_t bits = *state ^ (*state >> 29);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

TEST(FormatGeneral, SeventeenDigitsReadBackExactly)
{
    uint64_t state = 1;
    for (int i = 0; i < 3000; i++) {
        double value = spread_value(&state);
        if (!std::isfinite(value))
            continue;
        std::string text = general(value, 17);
        ASSERT_EQ(bits_of(read_decimal(text.c_str())), bits_of(value)) << text;
    }
}

#ifndef _WIN32
// glibc's strtod and printf round correctly too; only their exponent width
// differs from the system's, so here they serve as an independent check.
#include <cstdio>
#include <cstdlib>

TEST(HostAgreement, ReadDecimalMatchesStrtod)
{
    uint64_t state = 7;
    for (int i = 0; i < 20000; i++) {
        spread_value(&state);
        int length = 1 + static_cast<int>(state % (i % 10 == 0 ? 320 : 24));
        std::string text = (state & 1) ? "-" : "";
        int point = static_cast<int>((state >> 8) % (length + 1));
        for (int j = 0; j < length; j++) {
            spread_value(&state);
            if (j == point)
                text += '.';
            text += static_cast<char>('0' + (state >> 20) % 10);
        }
        if (i % 2 == 0)
            text += "e" + std::to_string(static_cast<int>((state >> 40) % 700) - 350);
        ASSERT_EQ(bits_of(read_decimal(text.c_str())), bits_of(std::strtod(text.c_str(), nullptr))) << text;
    }
}

TEST(HostAgreement, FormatGeneralMatchesPrintfButForTheExponentWidth)
{
    uint64_t state = 3;
    for (int i = 0; i < 20000; i++) {
        double value = spread_value(&state);
        if (i % 3 == 0)
            value = static_cast<double>(static_cast<float>((state >> 12) % 100000)) /
                    static_cast<double>(1 + (state >> 40) % 1000);
        if (!std::isfinite(value))
            continue;
        int precision = 1 + i % 17;
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.*g", precision, value);
        std::string wide = expected;
        size_t e = wide.find('e');
        if (e != std::string::npos && wide.size() - (e + 2) < 3)
            wide.insert(e + 2, 3 - (wide.size() - (e + 2)), '0');
        ASSERT_EQ(general(value, precision), wide) << expected;
    }
}
#endif
