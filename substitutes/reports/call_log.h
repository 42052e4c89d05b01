// The stand-in report runtime's record of what the report engine did to it: one entry per
// method call or property write (and per connectivity test), in order.
#pragma once

#include <span>
#include <vector>

#include "automation/object.h"

namespace vantrel::substitutes::reports {

struct RuntimeCall {
    automation::Text object;  // "Vendas.rpt", "Vendas.rpt/Resumo:ARTIGO", "Application 10"...
    automation::Text member;
    automation::CallKind kind = automation::CallKind::Method;
    std::vector<automation::Variant> arguments;  // for a write, the indexes and then the value
    automation::Text note;                       // what the runtime answered, when worth telling

    // One readable line: object.member(args), object.member(index) = value, "-> note".
    automation::Text line() const;
};

// What an export or print produced and where a user finds it: kind "PDF file", "Excel file",
// "outbox", "printer <name>" or "printed file"; location a file path or a printer's name.
struct ProducedOutput {
    automation::Text kind;
    automation::Text location;
};

class CallLog {
public:
    void add(RuntimeCall call) { calls_.push_back(std::move(call)); }
    void addOutput(ProducedOutput output) { outputs_.push_back(std::move(output)); }
    // Every output produced so far, in order.
    const std::vector<ProducedOutput>& outputs() const { return outputs_; }
    const std::vector<RuntimeCall>& calls() const { return calls_; }
    // The readable lines of every entry, or only of those for `member`.
    std::vector<automation::Text> lines() const;
    std::vector<automation::Text> linesOf(automation::TextView member) const;
    void clear() {
        calls_.clear();
        outputs_.clear();
    }

private:
    std::vector<RuntimeCall> calls_;
    std::vector<ProducedOutput> outputs_;
};

// A value as the log shows it: texts in quotes, numbers and dates by the locale.
automation::Text describeValue(const automation::Variant& value);

}  // namespace vantrel::substitutes::reports
