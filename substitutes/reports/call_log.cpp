#include "call_log.h"

namespace vantrel::substitutes::reports {

using automation::Text;
using automation::TextView;
using automation::Variant;

Text describeValue(const Variant& value) {
    using automation::VarType;
    switch (value.type()) {
        case VarType::Empty:
            return u"Empty";
        case VarType::Null:
            return u"Null";
        case VarType::String:
            return u"\"" + value.text() + u"\"";
        case VarType::Object:
            return value.isSetObject() ? u"<object>" : u"Nothing";
        case VarType::Date:
            return u"#" + value.toText() + u"#";
        default:
            break;
    }
    if (value.isArray()) return u"<array>";
    try {
        return value.toText();
    } catch (...) {
        return u"<value>";
    }
}

Text RuntimeCall::line() const {
    using automation::CallKind;
    Text out = object + u"." + member;
    const bool write = kind == CallKind::Put || kind == CallKind::PutRef;
    const std::size_t indexes =
        write && !arguments.empty() ? arguments.size() - 1 : arguments.size();
    if (indexes > 0 || (!write && kind == CallKind::Method)) {
        out += u"(";
        for (std::size_t i = 0; i < indexes; ++i) {
            if (i > 0) out += u", ";
            out += describeValue(arguments[i]);
        }
        out += u")";
    }
    if (write && !arguments.empty()) out += u" = " + describeValue(arguments.back());
    if (!note.empty()) out += u" -> " + note;
    return out;
}

std::vector<Text> CallLog::lines() const {
    std::vector<Text> out;
    out.reserve(calls_.size());
    for (const auto& c : calls_) out.push_back(c.line());
    return out;
}

std::vector<Text> CallLog::linesOf(TextView member) const {
    std::vector<Text> out;
    for (const auto& c : calls_) {
        if (automation::equalsIgnoreCase(c.member, member)) out.push_back(c.line());
    }
    return out;
}

}  // namespace vantrel::substitutes::reports
