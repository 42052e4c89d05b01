// The reference side of the Variant differential test: every case of variant_cases.txt
// through oleaut32 (VariantChangeTypeEx and VarCmp), under each locale of the table.
//   variant_runner.exe CASES_FILE REPORT_FILE
#include <windows.h>

#include <oleauto.h>

#include <fstream>

#include "case_file.h"
#include "variant_cases.h"

namespace {

using namespace vantrel::tests::variantcases;

VARIANT toVariant(const Operand& o) {
    VARIANT v;
    VariantInit(&v);
    switch (o.kind) {
        case 's':
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(o.text.data()),
                                          static_cast<UINT>(o.text.size()));
            break;
        case 'i':
            v.vt = VT_I2;
            v.iVal = static_cast<SHORT>(o.number);
            break;
        case 'l':
            v.vt = VT_I4;
            v.lVal = static_cast<LONG>(o.number);
            break;
        case 'r':
            v.vt = VT_R8;
            v.dblVal = o.number;
            break;
        case 'c':
            v.vt = VT_CY;
            v.cyVal.int64 = static_cast<LONGLONG>(o.number);
            break;
        case 'd':
            v.vt = VT_DATE;
            v.date = o.number;
            break;
        case 'b':
            v.vt = VT_BOOL;
            v.boolVal = o.number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case 'n':
            v.vt = VT_NULL;
            break;
        default:
            break;
    }
    return v;
}

// The runtime's error numbers for the HRESULTs a conversion can give.
std::string failure(HRESULT hr) {
    if (hr == DISP_E_OVERFLOW) return "error 6";
    if (hr == DISP_E_TYPEMISMATCH) return "error 13";
    char buf[32];
    std::snprintf(buf, sizeof buf, "hresult %08lX", static_cast<unsigned long>(hr));
    return buf;
}

std::string convert(const Case& c, LCID lcid) {
    static const struct {
        const char* op;
        VARTYPE vt;
    } kTargets[] = {{"str", VT_BSTR}, {"int", VT_I2},    {"lng", VT_I4},   {"dbl", VT_R8},
                    {"cur", VT_CY},   {"bool", VT_BOOL}, {"date", VT_DATE}};
    VARIANT in = toVariant(c.operands[0]), out;
    VariantInit(&out);
    std::string result;
    for (const auto& t : kTargets) {
        if (c.op != t.op) continue;
        if (in.vt == VT_NULL) {
            result = "error 94";  // the runtime's C functions refuse Null before converting
            break;
        }
        // Booleans are written True and False whatever the locale, as CStr writes them, and
        // read in English or in the locale's language.
        USHORT flags = t.vt == VT_BSTR   ? VARIANT_ALPHABOOL
                       : t.vt == VT_BOOL ? VARIANT_LOCALBOOL
                                         : 0;
        HRESULT hr = VariantChangeTypeEx(&out, &in, lcid, flags, t.vt);
        if (FAILED(hr)) {
            result = failure(hr);
            break;
        }
        switch (t.vt) {
            case VT_BSTR:
                result = escapeText(std::u16string(reinterpret_cast<const char16_t*>(out.bstrVal),
                                                   SysStringLen(out.bstrVal)));
                break;
            case VT_I2:
                result = std::to_string(out.iVal);
                break;
            case VT_I4:
                result = std::to_string(out.lVal);
                break;
            case VT_R8:
                result = formatDouble(out.dblVal);
                break;
            case VT_CY:
                result = std::to_string(out.cyVal.int64);
                break;
            case VT_BOOL:
                result = out.boolVal ? "True" : "False";
                break;
            default:
                result = formatDouble(out.date);
                break;
        }
    }
    VariantClear(&in);
    VariantClear(&out);
    return result;
}

std::string compare(const Case& c, LCID lcid) {
    VARIANT a = toVariant(c.operands[0]), b = toVariant(c.operands[1]);
    HRESULT hr = VarCmp(&a, &b, lcid, 0);
    VariantClear(&a);
    VariantClear(&b);
    if (hr == VARCMP_NULL) return "error 94";
    if (FAILED(hr)) return failure(hr);
    return std::to_string(static_cast<int>(hr) - 1);
}

std::string info(LCID lcid, LCTYPE type) {
    wchar_t buffer[100] = {};
    int n = GetLocaleInfoW(lcid, type, buffer, 100);
    return escapeText(std::u16string(reinterpret_cast<const char16_t*>(buffer), n > 0 ? n - 1 : 0));
}

// The locale data the conversions ran with, for the native side to mirror.
std::string localeLine(LCID lcid) {
    std::string months, abbreviations;
    for (LCTYPE m = 0; m < 12; ++m) {
        months += " " + info(lcid, LOCALE_SMONTHNAME1 + m);
        abbreviations += " " + info(lcid, LOCALE_SABBREVMONTHNAME1 + m);
    }
    Case c;
    c.source = "locale";
    return reportLine(lcid, c,
                      info(lcid, LOCALE_SDECIMAL) + " " + info(lcid, LOCALE_STHOUSAND) + " " +
                          info(lcid, LOCALE_SSHORTDATE) + " " + info(lcid, LOCALE_STIMEFORMAT) +
                          " " + info(lcid, LOCALE_SCURRENCY) + months + abbreviations);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: variant_runner CASES_FILE REPORT_FILE\n", stderr);
        return 2;
    }
    std::vector<Case> cases;
    if (!vantrel::tests::loadCases(argv[1], cases, parseCases)) return 2;
    std::ofstream out(argv[2], std::ios::binary);
    for (LCID lcid : kLocales) {
        out << localeLine(lcid);
        for (const auto& c : cases)
            out << reportLine(lcid, c, c.op == "cmp" ? compare(c, lcid) : convert(c, lcid));
    }
    return out ? 0 : 1;
}
