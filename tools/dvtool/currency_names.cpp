#include "tools/dvtool/currency_names.h"

#include <cstring>

namespace {

struct CurrencyName {
    const char* code;
    const char* name;
};

// Every currency the European Central Bank has published a reference rate
// for since 2010, and the euro itself.
const CurrencyName names[] = {
    {"EUR", "欧元"},         {"USD", "美元"},           {"JPY", "日元"},         {"BGN", "保加利亚列弗"},
    {"CZK", "捷克克朗"},     {"DKK", "丹麦克朗"},       {"GBP", "英镑"},         {"HUF", "匈牙利福林"},
    {"PLN", "波兰兹罗提"},   {"RON", "罗马尼亚列伊"},   {"SEK", "瑞典克朗"},     {"CHF", "瑞士法郎"},
    {"ISK", "冰岛克朗"},     {"NOK", "挪威克朗"},       {"TRY", "土耳其里拉"},   {"AUD", "澳大利亚元"},
    {"BRL", "巴西雷亚尔"},   {"CAD", "加拿大元"},       {"CNY", "人民币"},       {"HKD", "港币"},
    {"IDR", "印尼盾"},       {"ILS", "以色列新谢克尔"}, {"INR", "印度卢比"},     {"KRW", "韩国元"},
    {"MXN", "墨西哥比索"},   {"MYR", "马来西亚林吉特"}, {"NZD", "新西兰元"},     {"PHP", "菲律宾比索"},
    {"SGD", "新加坡元"},     {"THB", "泰国铢"},         {"ZAR", "南非兰特"},     {"RUB", "俄罗斯卢布"},
    {"HRK", "克罗地亚库纳"}, {"LTL", "立陶宛立特"},     {"LVL", "拉脱维亚拉特"}, {"EEK", "爱沙尼亚克朗"},
};

}  // namespace

const char* currency_name(const char* code)
{
    for (const CurrencyName& entry : names)
        if (std::strcmp(entry.code, code) == 0)
            return entry.name;
    return nullptr;
}
