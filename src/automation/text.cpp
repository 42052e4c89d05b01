#include "automation/text.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace vantrel::automation {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F. The undefined ones (81, 8D, 8F, 90, 9D) pass through as
// the C1 control of the same value, which is what MultiByteToWideChar does with them.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t upper(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    if (c == 0xFF) return 0x178;
    if (c == 0x161 || c == 0x153 || c == 0x17E) return static_cast<char16_t>(c - 1);
    return c;
}

char16_t lower(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    if (c == 0x178) return 0xFF;
    if (c == 0x160 || c == 0x152 || c == 0x17D) return static_cast<char16_t>(c + 1);
    return c;
}

}  // namespace

Text fromUtf8(std::string_view in) {
    Text out;
    // Most texts (codes, numbers, names of members) are ASCII: copied unit by unit.
    std::size_t i = 0;
    out.resize(in.size());
    while (i < in.size() && static_cast<unsigned char>(in[i]) < 0x80) {
        out[i] = static_cast<char16_t>(in[i]);
        ++i;
    }
    out.resize(i);
    if (i == in.size()) return out;
    out.reserve(in.size());
    while (i < in.size()) {
        auto b0 = static_cast<unsigned char>(in[i]);
        char32_t cp;
        std::size_t len;
        if (b0 < 0x80) {
            cp = b0;
            len = 1;
        } else if ((b0 & 0xE0) == 0xC0) {
            cp = b0 & 0x1F;
            len = 2;
        } else if ((b0 & 0xF0) == 0xE0) {
            cp = b0 & 0x0F;
            len = 3;
        } else if ((b0 & 0xF8) == 0xF0) {
            cp = b0 & 0x07;
            len = 4;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        bool ok = i + len <= in.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            auto b = static_cast<unsigned char>(in[i + k]);
            if ((b & 0xC0) != 0x80) {
                ok = false;
            } else {
                cp = (cp << 6) | (b & 0x3F);
            }
        }
        static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

namespace {

// Long texts (a document's recovery copy, a report's rows) are runs of ASCII between a few
// accented letters: four units are looked at, and narrowed, a word at a time.
constexpr std::size_t kWord = 4;
bool asciiWord(const char16_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return (w & 0xFF80FF80FF80FF80ull) == 0;
}

// The length of the UTF-8 form: a lone surrogate becomes U+FFFD, three bytes.
std::size_t utf8Length(TextView in) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (i + kWord <= in.size() && asciiWord(in.data() + i)) {
            n += kWord;
            i += kWord - 1;
            continue;
        }
        char16_t c = in[i];
        if (c < 0x80) {
            n += 1;
        } else if (c < 0x800) {
            n += 2;
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
                   in[i + 1] <= 0xDFFF) {
            n += 4;
            ++i;
        } else {
            n += 3;
        }
    }
    return n;
}

}  // namespace

std::string toUtf8(TextView in) {
    // Written in place into room of the exact size: one allocation, and no room three times
    // the text to clear first (a long text is mostly ASCII).
    std::string out(utf8Length(in), '\0');
    std::size_t n = 0;
    auto put = [&](unsigned v) { out[n++] = static_cast<char>(v); };
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (i + kWord <= in.size() && asciiWord(in.data() + i)) {
            for (std::size_t k = 0; k < kWord; ++k) out[n + k] = static_cast<char>(in[i + k]);
            n += kWord;
            i += kWord - 1;
            continue;
        }
        char32_t c = in[i];
        if (c < 0x80) {
            put(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
            in[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        if (c < 0x800) {
            put(0xC0 | (c >> 6));
            put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | (c >> 12));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        } else {
            put(0xF0 | (c >> 18));
            put(0x80 | ((c >> 12) & 0x3F));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        }
    }
    out.resize(n);
    return out;
}

Text fromCp1252(std::string_view in) {
    Text out;
    out.reserve(in.size());
    for (char ch : in) {
        auto b = static_cast<unsigned char>(ch);
        out.push_back(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b));
    }
    return out;
}

std::vector<Text> cp1252Lines(std::string_view bytes) {
    std::vector<Text> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t nl = bytes.find('\n', pos);
        std::string_view line = bytes.substr(pos, nl == std::string_view::npos ? nl : nl - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(fromCp1252(line));
        if (nl == std::string_view::npos) break;
        pos = nl + 1;
    }
    return lines;
}

std::string toCp1252(TextView in) {
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        char16_t c = in[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        char mapped = '?';
        for (std::size_t k = 0; k < kHigh.size(); ++k) {
            if (kHigh[k] == c) {
                mapped = static_cast<char>(0x80 + k);
                break;
            }
        }
        // A surrogate pair is one character, so it becomes one '?'.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
            in[i + 1] <= 0xDFFF) {
            ++i;
        }
        out.push_back(mapped);
    }
    return out;
}

Text ucase(TextView text) {
    Text out(text);
    for (auto& c : out) c = upper(c);
    return out;
}

Text lcase(TextView text) {
    Text out(text);
    for (auto& c : out) c = lower(c);
    return out;
}

Text ltrim(TextView text) {
    std::size_t b = 0;
    while (b < text.size() && text[b] == u' ') ++b;
    return Text(text.substr(b));
}

Text rtrim(TextView text) {
    std::size_t e = text.size();
    while (e > 0 && text[e - 1] == u' ') --e;
    return Text(text.substr(0, e));
}

Text trim(TextView text) {
    return ltrim(rtrim(text));
}

Text left(TextView text, std::size_t count) {
    return Text(text.substr(0, count));
}

Text right(TextView text, std::size_t count) {
    if (count >= text.size()) return Text(text);
    return Text(text.substr(text.size() - count));
}

Text mid(TextView text, std::size_t start, std::size_t count) {
    if (start == 0 || start > text.size()) return Text();
    return Text(text.substr(start - 1, count));
}

std::size_t instr(std::size_t start, TextView text, TextView what) {
    if (start == 0 || start > text.size() + 1) return 0;
    auto pos = text.find(what, start - 1);
    return pos == TextView::npos ? 0 : pos + 1;
}

Text replaceAll(TextView text, TextView what, TextView with) {
    if (what.empty()) return Text(text);
    Text out;
    std::size_t pos = 0;
    while (true) {
        auto hit = text.find(what, pos);
        if (hit == TextView::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(with);
        pos = hit + what.size();
    }
    out.append(text.substr(pos));
    return out;
}

bool startsWith(TextView text, TextView prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(TextView text, TextView suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool equalsIgnoreCase(TextView a, TextView b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        // Member names mostly come spelled as declared: equal units need no case mapping.
        if (a[i] != b[i] && upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}

}  // namespace vantrel::automation
