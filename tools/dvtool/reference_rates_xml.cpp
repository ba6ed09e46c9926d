#include "tools/dvtool/reference_rates_xml.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <pugixml.hpp>

namespace {

// The file names its elements with namespace prefixes (gesmes:Envelope);
// what matters is the name after the prefix.
bool is_named(const pugi::xml_node& node, const char* local_name)
{
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return std::strcmp(colon ? colon + 1 : name, local_name) == 0;
}

pugi::xml_node child_named(const pugi::xml_node& parent, const char* local_name)
{
    for (pugi::xml_node child : parent.children())
        if (child.type() == pugi::node_element && is_named(child, local_name))
            return child;
    return pugi::xml_node();
}

// A rate as the bank writes it: a plain decimal above zero.
bool read_rate(const char* text, double& rate)
{
    const char* end = text + std::strlen(text);
    auto result = std::from_chars(text, end, rate, std::chars_format::fixed);
    return result.ec == std::errc() && result.ptr == end && *text != '-' && std::isfinite(rate) && rate > 0;
}

// The Cube elements that carry a day: the daily file has one.
std::string find_day(const pugi::xml_node& cubes, pugi::xml_node& day)
{
    int days = 0;
    for (pugi::xml_node child : cubes.children())
        if (child.type() == pugi::node_element && is_named(child, "Cube")) {
            if (days++ == 0)
                day = child;
        }
    if (days == 0)
        return "no day of rates (Cube) in it";
    if (days > 1)
        return "it holds " + std::to_string(days) + " days of rates; give it the daily file";
    return "";
}

std::string read_day(const pugi::xml_node& day, ReferenceRates& rates)
{
    rates.date = day.attribute("time").value();
    for (pugi::xml_node cube : day.children()) {
        if (cube.type() != pugi::node_element || !is_named(cube, "Cube"))
            continue;
        std::string code = cube.attribute("currency").value();
        const char* rate_text = cube.attribute("rate").value();
        if (code.empty())
            return "a rate without a currency";
        ReferenceRate rate = {code, 0};
        if (!read_rate(rate_text, rate.rate))
            return code + ": its rate \"" + rate_text + "\" is not a positive number";
        rates.rates.push_back(rate);
    }
    if (rates.rates.empty())
        return "no rates in it";
    return "";
}

}  // namespace

std::string read_reference_rates(const std::string& xml, ReferenceRates& rates)
{
    rates = ReferenceRates();
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(xml.data(), xml.size());
    if (!parsed)
        return std::string("not XML: ") + parsed.description() + " at byte " + std::to_string(parsed.offset);
    pugi::xml_node envelope = document.document_element();
    pugi::xml_node cubes = child_named(envelope, "Cube");
    if (!is_named(envelope, "Envelope") || !cubes)
        return "not the European Central Bank's reference rates (eurofxref-daily.xml)";
    pugi::xml_node day;
    std::string error = find_day(cubes, day);
    if (error.empty())
        error = read_day(day, rates);
    return error;
}
