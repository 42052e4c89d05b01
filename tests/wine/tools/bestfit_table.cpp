// Prints the table that src/platform/posix/profile_engine_text.cpp holds: for every UTF-16
// unit that Windows-1252 has no byte for, the byte WideCharToMultiByte(1252) gives it
// ("best fit"), when that byte is not the default '?'. Run under Wine:
//   x86_64-w64-mingw32-g++ -O1 -static bestfit_table.cpp -o bestfit_table.exe
//   wine64 bestfit_table.exe > table.txt
#include <windows.h>

#include <cstdio>

int main() {
    int count = 0;
    for (unsigned u = 0x80; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        WCHAR wc = static_cast<WCHAR>(u);
        char out = 0;
        if (WideCharToMultiByte(1252, 0, &wc, 1, &out, 1, nullptr, nullptr) != 1) continue;
        WCHAR back = 0;
        MultiByteToWideChar(1252, 0, &out, 1, &back, 1);
        if (back == wc || out == '?') continue;  // an exact mapping, or the default character
        std::printf("{0x%04X, 0x%02X},%s", u, static_cast<unsigned char>(out),
                    ++count % 6 ? " " : "\n");
    }
    std::printf("\n// %d entries\n", count);
    return 0;
}
