#include "reports/parameters/parameter_description_file.h"

#include "automation/runtime_error.h"

namespace vantrel::reports::parameters {

using automation::Text;
using automation::TextView;

ParameterDescriptionFile ParameterDescriptionFile::open(interfaces::Platform& platform,
                                                        TextView path) {
    ParameterDescriptionFile file;
    if (path.empty()) return file;
    file.lines_ = platform.readTextLines(path);
    return file;
}

Text ParameterDescriptionFile::nextLine() {
    if (!lines_) return Text();
    if (next_ >= lines_->size())
        throw automation::RuntimeError(automation::errc::InputPastEndOfFile);
    return (*lines_)[next_++];
}

}  // namespace vantrel::reports::parameters
