#include "Telemetry/Purchases/CurrencyRates.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantory::CurrencyRates {

namespace {

struct Rate {
    std::string_view code;
    double unitsPerUSDollar;
};

// Units of each currency per US dollar, in alphabetical order of code. AED, CAD, CHF,
// EUR, GBP, INR, JPY, SLL and ZWL are the client's reference rates. The others were
// taken once from the currency table of GNU units 2.22 (FloatRates, US dollar base,
// 2022-09-05), inverted and rounded to four decimals. That table lacks a few codes,
// which follow their pegs: BMD at par with the dollar, KYD at 1.20 dollars, BTN at par
// with INR, FKP and SHP at par with GBP, SLE at 1000 SLL; XDR is the 2022 basket
// (0.57813 USD, 0.37379 EUR, 1.0993 CNY, 13.452 JPY, 0.08087 GBP) at that table's rates.
constexpr std::array<Rate, 161> rates = {{
    {"AED", 3.6725},     {"AFN", 89.0237},    {"ALL", 118.2348},   {"AMD", 406.2410},   {"ANG", 1.8044},    {"AOA", 429.6396},
    {"ARS", 139.5007},   {"AUD", 1.4725},     {"AWG", 1.8268},     {"AZN", 1.7055},     {"BAM", 1.9780},    {"BBD", 2.0377},
    {"BDT", 95.2517},    {"BGN", 1.9634},     {"BHD", 0.3778},     {"BIF", 2081.6237},  {"BMD", 1.0000},    {"BND", 1.4106},
    {"BOB", 6.9243},     {"BRL", 5.1906},     {"BSD", 1.0070},     {"BTN", 86.7955},    {"BWP", 12.9557},   {"BYN", 2.9855},
    {"BZD", 2.0342},     {"CAD", 1.4182},     {"CDF", 2071.6768},  {"CHF", 0.8997},     {"CLP", 881.9578},  {"CNY", 6.9316},
    {"COP", 4474.5080},  {"CRC", 656.4273},   {"CUP", 1.0070},     {"CVE", 111.6862},   {"CZK", 24.6302},   {"DJF", 179.6639},
    {"DKK", 7.4627},     {"DOP", 53.0311},    {"DZD", 140.8261},   {"EGP", 19.2535},    {"ERN", 15.2121},   {"ETB", 53.2849},
    {"EUR", 0.9533},     {"FJD", 2.2362},     {"FKP", 0.7948},     {"FOK", 7.4627},     {"GBP", 0.7948},    {"GEL", 2.9259},
    {"GGP", 0.8708},     {"GHS", 10.0676},    {"GIP", 0.8650},     {"GMD", 56.1720},    {"GNF", 8718.4644}, {"GTQ", 7.8116},
    {"GYD", 211.1392},   {"HKD", 7.8491},     {"HNL", 24.8385},    {"HRK", 7.5521},     {"HTG", 117.1097},  {"HUF", 402.6262},
    {"IDR", 14920.7320}, {"ILS", 3.3964},     {"IMP", 0.8708},     {"INR", 86.7955},    {"IQD", 1466.4110}, {"IRR", 42101.7930},
    {"ISK", 141.7665},   {"JEP", 0.8708},     {"JMD", 151.8790},   {"JOD", 0.7109},     {"JPY", 152.3479},  {"KES", 121.1544},
    {"KGS", 81.1100},    {"KHR", 4143.3536},  {"KID", 1.4725},     {"KMF", 496.2539},   {"KRW", 1371.4880}, {"KWD", 0.3091},
    {"KYD", 0.8333},     {"KZT", 474.0487},   {"LAK", 15584.9670}, {"LBP", 1514.3461},  {"LKR", 362.4567},  {"LRD", 155.3420},
    {"LSL", 17.1732},    {"LYD", 4.9526},     {"MAD", 10.6038},    {"MDL", 19.4955},    {"MGA", 4246.6607}, {"MKD", 62.1490},
    {"MMK", 2119.5556},  {"MNT", 3253.0696},  {"MOP", 8.1619},     {"MRU", 38.0303},    {"MUR", 45.4623},   {"MVR", 15.6003},
    {"MWK", 1035.8384},  {"MXN", 20.0373},    {"MYR", 4.4875},     {"MZN", 64.7083},    {"NAD", 17.1670},   {"NGN", 425.6531},
    {"NIO", 36.2662},    {"NOK", 10.0055},    {"NPR", 127.9569},   {"NZD", 1.6422},     {"OMR", 0.3862},    {"PAB", 1.0035},
    {"PEN", 3.8679},     {"PGK", 3.5555},     {"PHP", 56.8835},    {"PKR", 219.0919},   {"PLN", 4.7385},    {"PYG", 6940.5940},
    {"QAR", 3.6843},     {"RON", 4.8469},     {"RSD", 118.1369},   {"RUB", 63.3447},    {"RWF", 1042.1766}, {"SAR", 3.7614},
    {"SBD", 8.2083},     {"SCR", 12.9698},    {"SDG", 574.5783},   {"SEK", 10.7747},    {"SGD", 1.4047},    {"SHP", 0.7948},
    {"SLE", 22.8772},    {"SLL", 22877.1788}, {"SOS", 573.7488},   {"SRD", 25.1132},    {"SSP", 650.5252},  {"STN", 24.7227},
    {"SYP", 2510.0000},  {"SZL", 17.1732},    {"THB", 36.7361},    {"TJS", 10.2781},    {"TMT", 3.5132},    {"TND", 3.2126},
    {"TOP", 2.3812},     {"TRY", 18.2197},    {"TTD", 6.8412},     {"TVD", 1.4725},     {"TWD", 30.7524},   {"TZS", 2353.8993},
    {"UAH", 36.9216},    {"UGX", 3839.7746},  {"UYU", 40.9635},    {"UZS", 10984.6910}, {"VES", 7.8657},    {"VND", 23535.0560},
    {"VUV", 118.2026},   {"WST", 2.7495},     {"XAF", 658.6271},   {"XCD", 2.7344},     {"XDR", 0.7717},    {"XOF", 661.8511},
    {"XPF", 120.4022},   {"YER", 252.5017},   {"ZAR", 17.2906},    {"ZMW", 15.9712},    {"ZWL", 26.4365},
}};

static_assert(std::ranges::is_sorted(rates, {}, &Rate::code), "the lookup needs the codes in order");

} // namespace

std::optional<double> unitsPerUSDollar(std::string_view code)
{
    const auto found = std::ranges::lower_bound(rates, code, {}, &Rate::code);
    if (found == rates.end() || found->code != code)
        return std::nullopt;
    return found->unitsPerUSDollar;
}

} // namespace vantory::CurrencyRates
