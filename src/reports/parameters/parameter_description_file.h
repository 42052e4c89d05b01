// The report's parameter description file, read one line per prompt row. The file is a text
// file in the system's ANSI code page (Windows-1252) with CR LF or LF line ends.
#pragma once

#include <optional>
#include <vector>

#include "automation/text.h"
#include "interfaces/platform.h"

namespace vantrel::reports::parameters {

class ParameterDescriptionFile {
public:
    // No file: every row reads an empty line.
    ParameterDescriptionFile() = default;
    // An empty path means no file; a path that does not exist raises error 53.
    static ParameterDescriptionFile open(interfaces::Platform& platform, automation::TextView path);

    bool isOpen() const { return lines_.has_value(); }
    // The next line of an open file, or an empty text without a file. Reading past the end of
    // the file raises error 62 (Input past end of file).
    automation::Text nextLine();

private:
    std::optional<std::vector<automation::Text>> lines_;
    std::size_t next_ = 0;
};

}  // namespace vantrel::reports::parameters
