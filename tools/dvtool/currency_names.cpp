#include "tools/dvtool/currency_names.h"

#include <cstring>

namespace {

// Users' databases hold every downloaded currency as a member under the name
// the page gave it: a name once published stays exactly as it is, or the
// next download would bring the currency as a second member.
const CurrencyName names[] = {
    // Every currency the European Central Bank has published a reference
    // rate for since 2010, and the euro itself.
    {"EUR", "欧元"},
    {"USD", "美元"},
    {"JPY", "日元"},
    {"BGN", "保加利亚列弗"},
    {"CZK", "捷克克朗"},
    {"DKK", "丹麦克朗"},
    {"GBP", "英镑"},
    {"HUF", "匈牙利福林"},
    {"PLN", "波兰兹罗提"},
    {"RON", "罗马尼亚列伊"},
    {"SEK", "瑞典克朗"},
    {"CHF", "瑞士法郎"},
    {"ISK", "冰岛克朗"},
    {"NOK", "挪威克朗"},
    {"TRY", "土耳其里拉"},
    {"AUD", "澳大利亚元"},
    {"BRL", "巴西雷亚尔"},
    {"CAD", "加拿大元"},
    {"CNY", "人民币"},
    {"HKD", "港币"},
    {"IDR", "印尼盾"},
    {"ILS", "以色列新谢克尔"},
    {"INR", "印度卢比"},
    {"KRW", "韩国元"},
    {"MXN", "墨西哥比索"},
    {"MYR", "马来西亚林吉特"},
    {"NZD", "新西兰元"},
    {"PHP", "菲律宾比索"},
    {"SGD", "新加坡元"},
    {"THB", "泰国铢"},
    {"ZAR", "南非兰特"},
    {"RUB", "俄罗斯卢布"},
    {"HRK", "克罗地亚库纳"},
    {"LTL", "立陶宛立特"},
    {"LVL", "拉脱维亚拉特"},
    {"EEK", "爱沙尼亚克朗"},
    // The bank's currencies of 1999 to 2009. ROL and TRL were replaced by
    // RON and TRY at 10,000 to 1 and share their successors' names: one
    // member across the re-basing, whose day dvtool page refuses as a jump
    // until the host's keeper has looked (--force).
    {"CYP", "塞浦路斯镑"},
    {"MTL", "马耳他里拉"},
    {"SIT", "托拉尔"},
    {"SKK", "斯洛伐克克朗"},
    {"ROL", "罗马尼亚列伊"},
    {"TRL", "土耳其里拉"},
    {"GRD", "希腊德拉克马"},
    // Currencies the bank does not publish that Chinese banks' boards list,
    // for a host's own price table.
    {"TWD", "新台币"},
    {"MOP", "澳门元"},
    {"AED", "阿联酋迪拉姆"},
    {"SAR", "沙特里亚尔"},
    {"KZT", "哈萨克斯坦坚戈"},
    {"BND", "文莱元"},
    {"MNT", "蒙古图格里克"},
    {"RSD", "塞尔维亚第纳尔"},
    {"KWD", "科威特第纳尔"},
    {"QAR", "卡塔尔里亚尔"},
    {"BHD", "巴林第纳尔"},
    {"OMR", "阿曼里亚尔"},
    {"JOD", "约旦第纳尔"},
    {"VND", "越南盾"},
    {"KHR", "柬埔寨瑞尔"},
    {"LAK", "老挝基普"},
    {"MMK", "缅甸元"},
    {"PKR", "巴基斯坦卢比"},
    {"LKR", "斯里兰卡卢比"},
    {"NPR", "尼泊尔卢比"},
    {"BDT", "孟加拉塔卡"},
    {"EGP", "埃及镑"},
    {"MAD", "摩洛哥迪拉姆"},
    {"TND", "突尼斯第纳尔"},
    {"NGN", "尼日利亚奈拉"},
    {"KES", "肯尼亚先令"},
    {"TZS", "坦桑尼亚先令"},
    {"ZMW", "赞比亚克瓦查"},
    {"ETB", "埃塞俄比亚比尔"},
    {"MUR", "毛里求斯卢比"},
    {"CLP", "智利比索"},
    {"ARS", "阿根廷比索"},
    {"COP", "哥伦比亚比索"},
    {"PEN", "秘鲁索尔"},
    {"UAH", "乌克兰格里夫纳"},
    {"BYN", "白俄罗斯卢布"},
    {"GEL", "格鲁吉亚拉里"},
    {"AZN", "阿塞拜疆马纳特"},
    {"FJD", "斐济元"},
};

}  // namespace

const char* currency_name(const char* code)
{
    for (const CurrencyName& entry : names)
        if (std::strcmp(entry.code, code) == 0)
            return entry.name;
    return nullptr;
}

const char* currency_code_named(const char* name)
{
    for (const CurrencyName& entry : names)
        if (std::strcmp(entry.name, name) == 0)
            return entry.code;
    return nullptr;
}

const CurrencyName* currency_names(size_t& count)
{
    count = sizeof names / sizeof names[0];
    return names;
}
