// The stand-in report runtime's record of what the report engine did to it: one entry per
// method call or property write (and per connectivity test), in order.
#pragma once

#include <span>
#include <vector>

#include "automation/object.h"

namespace vantrel::substitutes::reports {

using automation::Text;
using automation::TextView;
using automation::Variant;

struct RuntimeCall {
    Text object;  // "Vendas.rpt", "Vendas.rpt/Resumo:ARTIGO", "Application 10"...
    Text member;
    automation::CallKind kind = automation::CallKind::Method;
    std::vector<Variant> arguments;  // for a write, the indexes and then the value
    Text note;                       // what the runtime answered, when worth telling

    // One readable line: object.member(args), object.member(index) = value, "-> note".
    Text line() const;
};

class CallLog {
public:
    void add(RuntimeCall call) { calls_.push_back(std::move(call)); }
    const std::vector<RuntimeCall>& calls() const { return calls_; }
    // The readable lines of every entry, or only of those for `member`.
    std::vector<Text> lines() const;
    std::vector<Text> linesOf(TextView member) const;
    void clear() { calls_.clear(); }

private:
    std::vector<RuntimeCall> calls_;
};

// A value as the log shows it: texts in quotes, numbers and dates by the locale.
Text describeValue(const Variant& value);

}  // namespace vantrel::substitutes::reports
