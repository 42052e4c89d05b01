// Runs INI cases (tests/wine/ini_cases.txt) through a pair of profile functions and prints
// what they did in a fixed text form, so that kernel32 under Wine and our own engine can be
// compared byte for byte. Plain standard C++: it is compiled natively and with mingw-w64.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace vantrel::tests::inicases {

// An argument of a profile call: bytes in Windows-1252, or a null pointer.
struct Argument {
    bool null = false;
    std::string bytes;
    const char* pointer() const { return null ? nullptr : bytes.c_str(); }
};

struct Operation {
    enum class Kind { Get, Write };
    Kind kind = Kind::Get;
    Argument section;
    Argument key;
    Argument text;  // the default of a get, the text of a write
    std::uint32_t size = 0;
    int line = 0;
};

struct Case {
    std::string name;
    std::string file = "test.ini";     // relative to the case's own folder, '/' separated
    std::vector<std::string> folders;  // created before the operations run
    bool hasContent = false;           // without content the file does not exist
    bool readOnly = false;             // the file loses its write permission
    bool differsOnPurpose = false;     // kernel32 loses data here and our engine does not
    std::string content;
    std::vector<Operation> operations;
    int line = 0;
};

// Parses a case file. On a syntax error returns false and describes it in `error`.
bool parseCases(std::istream& in, std::vector<Case>& cases, std::string& error);

// The profile functions under test.
class Backend {
public:
    virtual ~Backend() = default;
    virtual std::uint32_t getString(const char* section, const char* key, const char* def,
                                    char* buffer, std::uint32_t size, const char* file) = 0;
    virtual std::int32_t writeString(const char* section, const char* key, const char* text,
                                     const char* file) = 0;
    // Forgets anything cached about `file` (kernel32 keeps recently used files in memory).
    virtual void forget(const char* file) { (void)file; }
};

// Where the cases' files live: `hostRoot` for our own file handling, `apiRoot` (a Windows
// path in Windows-1252) for the file argument handed to the backend. Both name one folder.
struct Workspace {
    std::string hostRoot;
    std::string apiRoot;
};

// Runs every case and returns the report; `error` is set when the workspace cannot be used.
std::string runCases(const std::vector<Case>& cases, Backend& backend, const Workspace& where,
                     std::string& error);

// Compares two reports case by case. Writes a line per differing case to `details` and
// returns the number of cases that agree; `total` gets the number of cases in `expected`.
// A case marked differs-on-purpose agrees when `actual` differs from `expected`, and, given
// `ours` (the engine's own answers to those cases), when `actual` is that answer.
int compareReports(const std::string& expected, const std::string& actual, int& total,
                   std::string& details, const std::string* ours = nullptr);

// The lines of one case in a report, from "case NAME" to "end"; empty when it is not there.
std::string caseBlock(const std::string& report, const std::string& name);

// Bytes as the reports show them: printable ASCII as is, anything else as \xHH.
std::string escapeBytes(const std::string& bytes);

}  // namespace vantrel::tests::inicases
