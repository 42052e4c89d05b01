// What vantrel host prints: for a person, each command, event call and result as lines of
// text (message boxes are printed by the terminal dialogs themselves); with --json, one JSON
// object a line, message boxes included.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "automation/variant.h"
#include "platform/posix/terminal_dialogs.h"

namespace vantrel::app::host {

// Values by name: an event's arguments, what it wrote back, a result's fields.
using Named = std::vector<std::pair<std::string, automation::Variant>>;

// A value as JSON: numbers and Booleans as themselves, Empty, Null and Nothing as null.
std::string jsonValue(const automation::Variant& v);
// A value as the person reads it: texts in quotes, Booleans as the runtime names them.
std::string displayValue(const automation::Variant& v);
// A number as the person reads it, in the locale's format; else as displayValue shows it.
std::string displayNumber(const automation::Variant& v);

class Output {
public:
    Output(std::ostream& out, bool json) : out_(out), json_(json) {}
    bool json() const { return json_; }

    void command(const std::string& line);
    // Before an event call (shown to a person only, so that its message boxes follow it).
    void calling(const std::string& name, const Named& in);
    // After it: the arguments as passed and what the event wrote back.
    void called(const std::string& name, const Named& in, const Named& out);
    void box(const platform::posix::TerminalDialogs::Box& b);
    void result(const std::string& command, const Named& fields, const std::string& text);
    void raw(const std::string& json, const std::string& text);
    void error(const std::string& command, const std::string& message);
    std::ostream& stream() { return out_; }

private:
    std::ostream& out_;
    bool json_;
};

}  // namespace vantrel::app::host
