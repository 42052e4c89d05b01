// The operating-system services the add-in needs besides INI files and message boxes.
// Paths are Windows paths (backslashes); the Linux implementation translates them.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "automation/datetime.h"
#include "automation/locale.h"
#include "automation/text.h"

namespace vantrel::interfaces {

struct ScreenMetrics {
    double widthTwips = 19200;   // 1280 pixels at 15 twips per pixel
    double heightTwips = 15360;  // 1024 pixels
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
};

// What can be learnt of a file by reading it, never writing.
struct FileProbe {
    bool exists = false;    // something of that name is there
    bool readable = false;  // it is a file whose bytes could be read
    std::string bytes;      // its first bytes, up to the limit asked for
};

struct PrinterInfo {
    automation::Text deviceName;
    automation::Text driverName;
    automation::Text port;
};

class Platform {
public:
    virtual ~Platform() = default;
    // Folder holding the add-in's own library file, without a final backslash.
    virtual automation::Text moduleFolder() = 0;
    // First name a directory listing of `pattern` yields (wild cards * and ? allowed in the
    // last component), as Dir() does; empty when nothing matches.
    virtual automation::Text firstMatch(automation::TextView pattern) = 0;
    bool fileExists(automation::TextView pattern) { return !firstMatch(pattern).empty(); }
    // Kill: deletes a file; RuntimeError 53 when it does not exist, 75 when it cannot go.
    virtual void deleteFile(automation::TextView path) = 0;
    // Lines of a text file in the ANSI code page (CR LF or LF ends a line);
    // RuntimeError 53 when the file does not exist.
    virtual std::vector<automation::Text> readTextLines(automation::TextView path) = 0;
    virtual const automation::Clock& clock() = 0;
    // The user's conventions for numbers and dates, which the calls into an object given this
    // platform run under. A platform that does not know them keeps the system's default.
    virtual const automation::Locale& locale() { return automation::Locale::systemDefault(); }
    virtual ScreenMetrics screen() = 0;
    // DoEvents: lets the platform process pending window messages.
    virtual void processMessages() = 0;
    // Waits until a window message (or the user's input) arrives or `milliseconds` pass, then
    // processes what is pending. Loops that wait for the user call it between passes, so they
    // do not spin. A platform with no message queue to wait on just pauses.
    virtual void waitForMessages(int milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        processMessages();
    }
    virtual std::vector<PrinterInfo> printers() = 0;
    virtual std::optional<PrinterInfo> currentPrinter() = 0;

    // Whether a folder exists. An implementation that cannot tell answers false.
    virtual bool folderExists(automation::TextView /*folder*/) { return false; }
    // Appends a text and a line break (CR LF) to a file in UTF-8, creating the file when it
    // is missing; false when that cannot be done. An implementation without files refuses.
    virtual bool appendLine(automation::TextView /*path*/, automation::TextView /*line*/) {
        return false;
    }
    // Reads up to `limit` bytes of a file. An implementation that cannot read files knows
    // only whether a listing finds it.
    virtual FileProbe probeFile(automation::TextView path, std::size_t /*limit*/) {
        FileProbe p;
        p.exists = fileExists(path);
        return p;
    }
    // Whether a new file could be made in the folder, found without making one. An
    // implementation that cannot tell answers false.
    virtual bool folderWritable(automation::TextView /*folder*/) { return false; }
};

}  // namespace vantrel::interfaces
