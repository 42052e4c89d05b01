// Texts of the system are OLE strings: UTF-16 code units. Every length, position and
// comparison below counts code units, exactly as the string functions of the automation
// runtime do. Conversions to and from UTF-8 and Windows-1252 live here and nowhere else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::automation {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 <-> UTF-16. Invalid UTF-8 bytes become U+FFFD; lone surrogates become U+FFFD in UTF-8.
Text fromUtf8(std::string_view utf8);
std::string toUtf8(TextView text);

// Windows-1252 (the system's ANSI code page) <-> UTF-16. Characters that have no
// Windows-1252 byte become '?', as WideCharToMultiByte does with its default character.
// The five bytes that Windows-1252 leaves undefined map to the C1 controls of the same value.
Text fromCp1252(std::string_view bytes);
// The lines of a Windows-1252 file's bytes: split at LF, a CR at a line's end dropped, a last line
// without LF kept, none after a final LF.
std::vector<Text> cp1252Lines(std::string_view bytes);
std::string toCp1252(TextView text);

// Shorthand for literals in code: T("Ligação") gives the UTF-16 text.
inline Text T(std::string_view utf8) {
    return fromUtf8(utf8);
}

// String functions with the automation runtime's semantics (positions are 1-based).
Text ucase(TextView text);  // ASCII and Latin-1 letters, as the runtime's default upper-casing
Text lcase(TextView text);
Text trim(TextView text);  // spaces only, as Trim does
Text ltrim(TextView text);
Text rtrim(TextView text);
Text left(TextView text, std::size_t count);
Text right(TextView text, std::size_t count);
// Mid(text, start, count); start is 1-based. A start past the end gives an empty text.
Text mid(TextView text, std::size_t start, std::size_t count = Text::npos);
// InStr(start, text, what) with binary comparison; 0 when not found.
std::size_t instr(std::size_t start, TextView text, TextView what);
inline std::size_t instr(TextView text, TextView what) {
    return instr(1, text, what);
}
// Replace every occurrence of `what` by `with`, scanning left to right.
Text replaceAll(TextView text, TextView what, TextView with);
bool startsWith(TextView text, TextView prefix);
bool endsWith(TextView text, TextView suffix);
// Case-insensitive equality as the runtime's text comparison does it for member names.
bool equalsIgnoreCase(TextView a, TextView b);

}  // namespace vantrel::automation
