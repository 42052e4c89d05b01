// The cases of variant_cases.txt, read the same way by the oleaut32 runner (mingw, under
// Wine) and by the runner over automation::Variant, so the two reports line up. Header only:
// the Windows runner is built from its own source and this file, nothing else.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <string>
#include <vector>

namespace vantrel::tests::variantcases {

// One operand: kind 's' text (UTF-16), 'i' Integer, 'l' Long, 'r' Double, 'c' Currency
// (scaled by 10,000), 'd' Date, 'b' Boolean, 'e' Empty, 'n' Null.
struct Operand {
    char kind = 'e';
    std::u16string text;
    double number = 0;
};

struct Case {
    std::string op;      // str int lng dbl cur bool date cmp
    std::string source;  // the line as written, repeated in the report
    std::vector<Operand> operands;
};

inline bool decodeUtf8(const std::string& s, std::size_t& i, char32_t& c) {
    unsigned char b = static_cast<unsigned char>(s[i++]);
    int extra = b < 0x80 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra > s.size()) return false;
    c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return true;
}

// A quoted text: UTF-8 of the file, with \" \\ \t and \uXXXX escapes.
inline bool parseText(const std::string& s, std::size_t& i, std::u16string& out) {
    ++i;
    while (i < s.size() && s[i] != '"') {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char e = s[i + 1];
            i += 2;
            if (e == 'u') {
                std::string hex = s.substr(i, 4);
                char* end = nullptr;
                unsigned long unit = std::strtoul(hex.c_str(), &end, 16);
                if (hex.size() != 4 || end != hex.c_str() + 4) return false;
                out.push_back(static_cast<char16_t>(unit));
                i += 4;
            } else {
                out.push_back(e == 't' ? u'\t' : static_cast<char16_t>(e));
            }
            continue;
        }
        char32_t c;
        if (!decodeUtf8(s, i, c)) return false;
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            c = 0xDC00 + ((c - 0x10000) & 0x3FF);
        }
        out.push_back(static_cast<char16_t>(c));
    }
    if (i >= s.size()) return false;
    ++i;
    return true;
}

// Lines "OP OPERAND [OPERAND]"; '#' starts a comment line. Operands: "text", i:N, l:N,
// r:N, c:N, d:N, b:0|b:1, empty, null.
inline bool parseCases(std::istream& in, std::vector<Case>& cases, std::string& error) {
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        Case c;
        c.source = line;
        std::size_t i = line.find(' ');
        c.op = line.substr(0, i);
        while (i != std::string::npos && i < line.size()) {
            while (i < line.size() && line[i] == ' ') ++i;
            if (i >= line.size()) break;
            Operand o;
            if (line[i] == '"') {
                o.kind = 's';
                if (!parseText(line, i, o.text)) break;
            } else {
                std::size_t end = line.find(' ', i);
                std::string word = line.substr(i, end - i);
                i = end;
                if (word == "empty" || word == "null") {
                    o.kind = word[0];
                } else if (word.size() > 2 && word[1] == ':' &&
                           std::string("ilrcdb").find(word[0]) != std::string::npos) {
                    o.kind = word[0];
                    o.number = std::strtod(word.c_str() + 2, nullptr);
                } else {
                    o.kind = '?';
                }
            }
            c.operands.push_back(o);
        }
        bool known = std::string(" str int lng dbl cur bool date cmp ").find(" " + c.op + " ") !=
                     std::string::npos;
        std::size_t want = c.op == "cmp" ? 2 : 1;
        bool operandsOk = c.operands.size() == want;
        for (const auto& o : c.operands) operandsOk = operandsOk && o.kind != '?';
        if (!known || !operandsOk) {
            error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
        cases.push_back(std::move(c));
    }
    return true;
}

// How a text result is written: printable ASCII as itself, the rest as \uXXXX.
inline std::string escapeText(const std::u16string& text) {
    std::string out = "\"";
    for (char16_t c : text) {
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out + "\"";
}

// Doubles and dates with every digit, so a last-bit difference shows.
inline std::string formatDouble(double value) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    return buf;
}

// The locales every case runs under.
inline constexpr std::uint32_t kLocales[] = {0x0816, 0x0409};

inline std::string reportLine(std::uint32_t lcid, const Case& c, const std::string& result) {
    char id[8];
    std::snprintf(id, sizeof id, "%04X", static_cast<unsigned>(lcid));
    return std::string(id) + " " + c.source + " => " + result + "\n";
}

}  // namespace vantrel::tests::variantcases
