#include "host_output.h"

#include <cstdio>

#include "automation/json_text.h"
#include "automation/runtime_error.h"

namespace vantrel::app::host {

using automation::jsonQuoted;
using automation::RuntimeError;
using automation::toUtf8;
using automation::Variant;
using platform::posix::TerminalDialogs;

std::string jsonValue(const Variant& v) {
    switch (v.type()) {
        case automation::VarType::Empty:
        case automation::VarType::Null:
            return "null";
        case automation::VarType::Boolean:
            return v.toBool() ? "true" : "false";
        case automation::VarType::Integer:
        case automation::VarType::Long:
            return std::to_string(v.toLong());
        case automation::VarType::Double:
        case automation::VarType::Currency: {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.15g", v.toDouble());
            return buf;
        }
        case automation::VarType::Object:
            return v.isSetObject() ? "\"<object>\"" : "null";
        default:
            try {
                return jsonQuoted(toUtf8(v.toText()));
            } catch (const RuntimeError&) {
                return "null";
            }
    }
}

std::string displayValue(const Variant& v) {
    if (v.isEmpty()) return "Empty";
    if (v.isNull()) return "Null";
    if (v.isObject()) return v.isSetObject() ? "<objecto>" : "Nothing";
    try {
        if (v.isString()) return "\"" + toUtf8(v.toText()) + "\"";
        return toUtf8(v.toText());
    } catch (const RuntimeError&) {
        return "?";
    }
}

std::string displayNumber(const Variant& v) {
    try {
        return toUtf8(automation::formatNumber(v.toDouble()));
    } catch (const RuntimeError&) {
        return displayValue(v);
    }
}

void Output::command(const std::string& line) {
    if (!json_) out_ << "vantrel> " << line << '\n';
}

void Output::calling(const std::string& name, const Named& in) {
    if (json_) return;
    out_ << "  -> " << name << '(';
    for (std::size_t i = 0; i < in.size(); ++i) {
        out_ << (i ? ", " : "") << in[i].first << '=' << displayValue(in[i].second);
    }
    out_ << ")\n";
}

void Output::called(const std::string& name, const Named& in, const Named& out) {
    if (json_) {
        std::string s = "{\"type\":\"event\",\"name\":" + jsonQuoted(name) + ",\"args\":{";
        for (std::size_t i = 0; i < in.size(); ++i) {
            s += (i ? "," : "") + jsonQuoted(in[i].first) + ":" + jsonValue(in[i].second);
        }
        s += "},\"out\":{";
        for (std::size_t i = 0; i < out.size(); ++i) {
            s += (i ? "," : "") + jsonQuoted(out[i].first) + ":" + jsonValue(out[i].second);
        }
        out_ << s << "}}\n";
        return;
    }
    for (const auto& [key, value] : out) {
        out_ << "     " << name << ": " << key << " = " << displayValue(value) << '\n';
    }
}

void Output::box(const TerminalDialogs::Box& b) {
    if (!json_) return;  // the terminal dialogs have shown it already
    out_ << "{\"type\":\"box\",\"title\":" << jsonQuoted(toUtf8(b.title))
         << ",\"text\":" << jsonQuoted(toUtf8(b.text)) << ",\"style\":" << b.style
         << ",\"answer\":" << jsonQuoted(TerminalDialogs::buttonWord(b.answer));
    if (b.refused) out_ << ",\"refused\":" << jsonQuoted(TerminalDialogs::buttonWord(b.refused));
    out_ << "}\n";
}

void Output::result(const std::string& command, const Named& fields, const std::string& text) {
    if (json_) {
        std::string s = "{\"type\":\"result\",\"command\":" + jsonQuoted(command);
        for (const auto& [key, value] : fields) s += "," + jsonQuoted(key) + ":" + jsonValue(value);
        out_ << s << "}\n";
    } else if (!text.empty()) {
        out_ << text << '\n';
    }
}

void Output::raw(const std::string& json, const std::string& text) {
    if (json_) {
        out_ << json << '\n';
    } else {
        out_ << text;
    }
}

void Output::error(const std::string& command, const std::string& message) {
    if (json_) {
        out_ << "{\"type\":\"error\",\"command\":" << jsonQuoted(command)
             << ",\"message\":" << jsonQuoted(message) << "}\n";
    } else {
        out_ << "  erro: " << message << '\n';
    }
}

}  // namespace vantrel::app::host
