#include "ini_cases.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace vantrel::tests::inicases {

namespace fs = std::filesystem;

namespace {

// Unicode code points of the Windows-1252 bytes 0x80 to 0x9F (undefined bytes keep their value).
const char32_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool cp1252Byte(char32_t cp, char& out) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        out = static_cast<char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == cp) {
            out = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

// Decodes one UTF-8 character of the case file; false on a malformed sequence.
bool nextUtf8(const std::string& s, std::size_t& i, char32_t& cp) {
    auto b0 = static_cast<unsigned char>(s[i]);
    int extra = b0 < 0x80             ? 0
                : (b0 & 0xE0) == 0xC0 ? 1
                : (b0 & 0xF0) == 0xE0 ? 2
                : (b0 & 0xF8) == 0xF0 ? 3
                                      : -1;
    if (extra < 0) return false;
    cp = extra == 0 ? b0 : (b0 & (0x3F >> extra));
    for (int k = 1; k <= extra; ++k) {
        if (i + k >= s.size()) return false;
        auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct Token {
    enum class Kind { Word, Text, Null } kind = Kind::Word;
    std::string value;
};

// Splits a line into words, quoted texts (decoded to Windows-1252 bytes) and '-' (null).
bool tokenize(const std::string& line, std::vector<Token>& out, std::string& error) {
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        Token t;
        if (c == '"') {
            t.kind = Token::Kind::Text;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i];
                if (d == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (d == '\\') {
                    if (i + 1 >= line.size()) break;
                    char e = line[i + 1];
                    i += 2;
                    switch (e) {
                        case 'n':
                            t.value += '\n';
                            break;
                        case 'r':
                            t.value += '\r';
                            break;
                        case 't':
                            t.value += '\t';
                            break;
                        case '0':
                            t.value += '\0';
                            break;
                        case '\\':
                            t.value += '\\';
                            break;
                        case '"':
                            t.value += '"';
                            break;
                        case 'x': {
                            int h = i + 1 < line.size() ? hexDigit(line[i]) : -1;
                            int l = h >= 0 ? hexDigit(line[i + 1]) : -1;
                            if (l < 0) {
                                error = "bad \\x escape";
                                return false;
                            }
                            t.value += static_cast<char>(h * 16 + l);
                            i += 2;
                            break;
                        }
                        default:
                            error = std::string("unknown escape \\") + e;
                            return false;
                    }
                    continue;
                }
                char32_t cp = 0;
                if (!nextUtf8(line, i, cp)) {
                    error = "the case file is not UTF-8";
                    return false;
                }
                char b = 0;
                if (!cp1252Byte(cp, b)) {
                    error = "a character without a Windows-1252 byte (write it as \\xHH bytes)";
                    return false;
                }
                t.value += b;
            }
            if (!closed) {
                error = "unterminated text";
                return false;
            }
        } else {
            std::size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
            t.value = line.substr(start, i - start);
            t.kind = t.value == "-" ? Token::Kind::Null : Token::Kind::Word;
        }
        out.push_back(std::move(t));
    }
    return true;
}

bool toArgument(const Token& t, Argument& a) {
    if (t.kind == Token::Kind::Null) {
        a.null = true;
        return true;
    }
    if (t.kind != Token::Kind::Text) return false;
    a.null = false;
    a.bytes = t.value;
    return true;
}

bool toNumber(const Token& t, std::uint32_t& n) {
    if (t.kind != Token::Kind::Word || t.value.empty() || t.value.size() > 9) return false;
    n = 0;
    for (char c : t.value) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return true;
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string apiPath(const std::string& root, const std::string& relative) {
    std::string p = root + "\\" + relative;
    for (auto& c : p) {
        if (c == '/') c = '\\';
    }
    return p;
}

const unsigned char kFill = 0xA5;
const std::size_t kGuard = 16;

}  // namespace

std::string escapeBytes(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (b >= 0x20 && b < 0x7F && b != '\\' && b != '"') {
            out += static_cast<char>(b);
        } else {
            out += "\\x";
            out += digits[b >> 4];
            out += digits[b & 15];
        }
    }
    return out;
}

bool parseCases(std::istream& in, std::vector<Case>& cases, std::string& error) {
    std::string line;
    int number = 0;
    Case* current = nullptr;
    std::map<std::string, int> names;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(number) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        std::vector<Token> t;
        std::string why;
        if (!tokenize(line, t, why)) return fail(why);
        if (t.empty()) continue;
        const std::string& cmd = t[0].value;
        if (t[0].kind != Token::Kind::Word) return fail("a line must begin with a command");
        if (cmd == "case") {
            if (current) return fail("'case' inside a case (missing 'end')");
            if (t.size() != 2 || t[1].kind != Token::Kind::Word) return fail("usage: case NAME");
            for (char ch : t[1].value) {
                bool ok = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                          (ch >= '0' && ch <= '9') || ch == '_';
                if (!ok) return fail("case names are letters, digits and '_'");
            }
            if (names.count(t[1].value)) return fail("duplicate case name " + t[1].value);
            names[t[1].value] = number;
            cases.emplace_back();
            current = &cases.back();
            current->name = t[1].value;
            current->line = number;
            continue;
        }
        if (!current) return fail("'" + cmd + "' outside a case");
        if (cmd == "end") {
            if (t.size() != 1) return fail("usage: end");
            current = nullptr;
        } else if (cmd == "file" || cmd == "folder") {
            if (t.size() != 2 || t[1].kind != Token::Kind::Text || t[1].value.empty())
                return fail("usage: " + cmd + " \"relative/path\"");
            if (t[1].value.find("..") != std::string::npos || t[1].value[0] == '/')
                return fail("paths stay inside the case's folder");
            if (cmd == "file") {
                current->file = t[1].value;
            } else {
                current->folders.push_back(t[1].value);
            }
        } else if (cmd == "readonly") {
            if (t.size() != 1) return fail("usage: readonly");
            current->readOnly = true;
        } else if (cmd == "differs-on-purpose") {
            if (t.size() != 1) return fail("usage: differs-on-purpose");
            current->differsOnPurpose = true;
        } else if (cmd == "content") {
            if (t.size() != 2 || t[1].kind != Token::Kind::Text)
                return fail("usage: content \"...\"");
            current->hasContent = true;
            current->content += t[1].value;
        } else if (cmd == "content-repeat") {
            std::uint32_t n = 0;
            if (t.size() != 3 || !toNumber(t[1], n) || t[2].kind != Token::Kind::Text ||
                n > 10000000)
                return fail("usage: content-repeat COUNT \"...\"");
            current->hasContent = true;
            for (std::uint32_t k = 0; k < n; ++k) current->content += t[2].value;
        } else if (cmd == "get" || cmd == "write") {
            Operation op;
            op.line = number;
            op.kind = cmd == "get" ? Operation::Kind::Get : Operation::Kind::Write;
            std::size_t want = cmd == "get" ? 5 : 4;
            if (t.size() != want || !toArgument(t[1], op.section) || !toArgument(t[2], op.key) ||
                !toArgument(t[3], op.text) ||
                (cmd == "get" && (!toNumber(t[4], op.size) || op.size > (1u << 20)))) {
                return fail(cmd == "get"
                                ? "usage: get SECTION KEY DEFAULT SIZE (texts quoted, - for null)"
                                : "usage: write SECTION KEY TEXT (texts quoted, - for null)");
            }
            current->operations.push_back(std::move(op));
        } else {
            return fail("unknown command '" + cmd + "'");
        }
    }
    if (current) {
        error = "case " + current->name + " has no 'end'";
        return false;
    }
    return true;
}

std::string runCases(const std::vector<Case>& cases, Backend& backend, const Workspace& where,
                     std::string& error) {
    std::ostringstream out;
    std::error_code ec;
    fs::path root(where.hostRoot);
    fs::remove_all(root, ec);
    fs::create_directories(root, ec);
    if (ec) {
        error = "cannot prepare " + where.hostRoot + ": " + ec.message();
        return std::string();
    }
    int index = 0;
    for (const Case& c : cases) {
        std::string folder = "c" + std::to_string(++index);
        fs::path hostFolder = root / folder;
        fs::create_directories(hostFolder, ec);
        for (const auto& f : c.folders) fs::create_directories(hostFolder / fs::path(f), ec);
        fs::path hostFile = hostFolder / fs::path(c.file);
        if (c.hasContent) {
            std::ofstream f(hostFile, std::ios::binary);
            f.write(c.content.data(), static_cast<std::streamsize>(c.content.size()));
            if (!f) {
                error = "cannot write " + hostFile.string();
                return std::string();
            }
        }
        const auto writable =
            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if (c.readOnly) fs::permissions(hostFile, writable, fs::perm_options::remove, ec);
        std::string file = apiPath(where.apiRoot + "\\" + folder, c.file);
        out << "case " << c.name << "\n";
        if (c.differsOnPurpose) out << "differs-on-purpose\n";
        for (const Operation& op : c.operations) {
            if (op.kind == Operation::Kind::Get) {
                std::vector<char> buffer(op.size + kGuard, static_cast<char>(kFill));
                std::uint32_t n =
                    backend.getString(op.section.pointer(), op.key.pointer(), op.text.pointer(),
                                      buffer.data(), op.size, file.c_str());
                std::size_t last = 0;
                for (std::size_t k = 0; k < op.size; ++k) {
                    if (static_cast<unsigned char>(buffer[k]) != kFill) last = k + 1;
                }
                bool overflow = false;
                for (std::size_t k = op.size; k < buffer.size(); ++k) {
                    if (static_cast<unsigned char>(buffer[k]) != kFill) overflow = true;
                }
                out << "get " << n << " \"" << escapeBytes(std::string(buffer.data(), last)) << "\""
                    << (overflow ? " OVERFLOW" : "") << "\n";
            } else {
                std::int32_t r = backend.writeString(op.section.pointer(), op.key.pointer(),
                                                     op.text.pointer(), file.c_str());
                out << "write " << r << "\n";
            }
        }
        backend.forget(file.c_str());
        if (fs::is_directory(hostFile, ec)) {
            out << "file folder\n";
        } else if (!fs::exists(hostFile, ec)) {
            out << "file absent\n";
        } else {
            std::ifstream f(hostFile, std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(f)),
                              std::istreambuf_iterator<char>());
            out << "file " << bytes.size() << " " << hex(bytes) << "\n";
        }
        if (c.readOnly) fs::permissions(hostFile, writable, fs::perm_options::add, ec);
        out << "end\n";
    }
    return out.str();
}

namespace {

// Splits a report into its case blocks, keyed by case name, keeping the order.
std::vector<std::pair<std::string, std::string>> blocks(const std::string& report) {
    std::vector<std::pair<std::string, std::string>> result;
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("case ", 0) == 0) {
            result.emplace_back(line.substr(5), std::string());
        } else if (!result.empty() && line != "end") {
            result.back().second += line + "\n";
        }
    }
    return result;
}

std::string firstLines(const std::string& text, std::size_t limit) {
    return text.size() > limit ? text.substr(0, limit) + "...\n" : text;
}

}  // namespace

std::string caseBlock(const std::string& report, const std::string& name) {
    std::string head = "case " + name + "\n";
    std::size_t start = report.rfind(head, 0) == 0 ? 0 : report.find("\n" + head);
    if (start == std::string::npos) return std::string();
    if (start != 0) ++start;
    std::size_t end = report.find("\nend\n", start);
    return end == std::string::npos ? std::string() : report.substr(start, end + 5 - start);
}

int compareReports(const std::string& expected, const std::string& actual, int& total,
                   std::string& details, const std::string* ours) {
    auto want = blocks(expected);
    auto got = blocks(actual);
    std::map<std::string, std::string> byName(got.begin(), got.end());
    total = static_cast<int>(want.size());
    int passed = 0;
    for (auto [name, text] : want) {
        auto it = byName.find(name);
        if (it == byName.end()) {
            details += "FAIL " + name + ": missing from the second report\n";
            continue;
        }
        if (text.rfind("differs-on-purpose\n", 0) == 0) {
            if (it->second == text) {
                details += "FAIL " + name + ": marked differs-on-purpose, but both agree now\n";
                continue;
            }
            if (!ours) {
                ++passed;
                continue;
            }
            auto own = blocks(caseBlock(*ours, name));
            if (own.empty()) {
                details += "FAIL " + name + ": differs on purpose, without an answer of ours\n";
                continue;
            }
            text = own.front().second;
        }
        if (it->second == text) {
            ++passed;
            continue;
        }
        std::istringstream a(text), b(it->second);
        std::string la, lb;
        int n = 0;
        while (true) {
            bool ea = !std::getline(a, la), eb = !std::getline(b, lb);
            ++n;
            if (ea && eb) break;
            if (ea || eb || la != lb) {
                details += "FAIL " + name + " (output line " + std::to_string(n) + ")\n" +
                           "  reference: " + firstLines(ea ? "<nothing>" : la, 300) + "\n" +
                           "  engine:    " + firstLines(eb ? "<nothing>" : lb, 300) + "\n";
                break;
            }
        }
    }
    return passed;
}

}  // namespace vantrel::tests::inicases
