// Characters of INI files as kernel32 sees them: a file is Windows-1252 unless it starts with
// a UTF-8 or UTF-16 byte-order mark, and the narrow (...A) calls pass Windows-1252 bytes.
// Inside, everything is UTF-16, as in kernel32.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::platform::posix::profile {

using Wide = std::u16string;
using WideView = std::u16string_view;

enum class Encoding { Ansi, Utf8, Utf16LE, Utf16BE };

// Splits a file into its encoding and its text (the byte-order mark removed).
Encoding decodeFile(std::string_view bytes, Wide& text);
// The bytes of a file with that encoding, byte-order mark first.
std::string encodeFile(WideView text, Encoding encoding);

// Windows-1252 <-> UTF-16 as MultiByteToWideChar / WideCharToMultiByte do it for code page
// 1252: characters without a byte of their own take their "best fit" (A for U+0100) or '?'.
Wide ansiToWide(std::string_view bytes);
std::string wideToAnsi(WideView text);

// UTF-8 as MultiByteToWideChar(CP_UTF8) reads it: each malformed sequence becomes one U+FFFD,
// where a sequence ends at the first byte that cannot continue it.
Wide utf8ToWide(std::string_view bytes);
std::string wideToUtf8(WideView text);

// White space around names and values: tab to carriage return, ^Z and space.
inline bool isBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}
WideView trimBlanks(WideView text);
WideView trimLeadingBlanks(WideView text);

// Section and key names match whatever the case of their ASCII letters; other letters
// must be identical.
bool sameName(WideView a, WideView b);

}  // namespace vantrel::platform::posix::profile
