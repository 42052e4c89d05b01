#include "automation/runtime_error.h"

#include <new>

namespace vantrel::automation {

Text standardDescription(std::int32_t number) {
    switch (number) {
        case 3:
            return u"Return without GoSub";
        case 5:
            return u"Invalid procedure call or argument";
        case 6:
            return u"Overflow";
        case 7:
            return u"Out of memory";
        case 9:
            return u"Subscript out of range";
        case 10:
            return u"This array is fixed or temporarily locked";
        case 11:
            return u"Division by zero";
        case 13:
            return u"Type mismatch";
        case 14:
            return u"Out of string space";
        case 52:
            return u"Bad file name or number";
        case 53:
            return u"File not found";
        case 55:
            return u"File already open";
        case 57:
            return u"Device I/O error";
        case 61:
            return u"Disk full";
        case 62:
            return u"Input past end of file";
        case 70:
            return u"Permission denied";
        case 75:
            return u"Path/File access error";
        case 76:
            return u"Path not found";
        case 91:
            return u"Object variable or With block variable not set";
        case 94:
            return u"Invalid use of Null";
        case 380:
            return u"Invalid property value";
        case 424:
            return u"Object required";
        case 429:
            return u"ActiveX component can't create object";
        case 438:
            return u"Object doesn't support this property or method";
        case 440:
            return u"Automation error";
        case 449:
            return u"Argument not optional";
        case 450:
            return u"Wrong number of arguments or invalid property assignment";
        default:
            return u"Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(std::int32_t number, Text source, Text description)
    : number_(number), source_(std::move(source)), description_(std::move(description)) {
    what_ = toUtf8(description_);
}

RuntimeError::RuntimeError(std::int32_t number, Text source)
    : RuntimeError(number, std::move(source), standardDescription(number)) {}

RuntimeError currentError() {
    try {
        throw;
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RuntimeError(errc::OutOfMemory);
    } catch (const std::exception& e) {
        return RuntimeError(errc::ApplicationDefined, Text(), fromUtf8(e.what()));
    } catch (...) {
        return RuntimeError(errc::ApplicationDefined);
    }
}

}  // namespace vantrel::automation
