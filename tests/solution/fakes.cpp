#include "solution/fakes.h"

#include <algorithm>
#include <cstring>

#include "automation/runtime_error.h"

namespace vantrel::testing {

using automation::Argument;
using automation::CallKind;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

std::string utf8(TextView text) {
    return automation::toUtf8(text);
}

int RecordingDialogs::messageBox(TextView text, int style, const std::optional<Text>& title) {
    boxes.push_back(Box{Text(text), style, title});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    return (style & 7) == interfaces::msgbox::YesNo ? interfaces::msgbox::AnswerNo
                                                    : interfaces::msgbox::AnswerOk;
}

std::vector<std::string> RecordingDialogs::summary() const {
    std::vector<std::string> out;
    for (const Box& b : boxes) {
        out.push_back(utf8(b.title.value_or(u"<default>")) + "|" + std::to_string(b.style) + "|" +
                      utf8(b.text));
    }
    return out;
}

ScriptedObject& ScriptedObject::on(TextView member, Handler h) {
    handlers_[automation::ucase(member)] = std::move(h);
    return *this;
}

ScriptedObject& ScriptedObject::set(TextView member, Variant value) {
    properties_[automation::ucase(member)] = std::move(value);
    return *this;
}

Variant ScriptedObject::value(TextView member) const {
    auto it = properties_.find(automation::ucase(member));
    return it == properties_.end() ? Variant() : it->second;
}

Variant ScriptedObject::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    Text key = automation::ucase(member);
    if (log_) {
        const char* suffix = kind == CallKind::Put ? "=" : "";
        log_->push_back(name_ + "." + utf8(member) + suffix);
    }
    auto h = handlers_.find(key);
    if (h != handlers_.end()) return h->second(kind, args);
    if (kind == CallKind::Put || kind == CallKind::PutRef) {
        properties_[key] = automation::argumentAt(args, args.size() - 1);
        return Variant();
    }
    auto p = properties_.find(key);
    if (p != properties_.end() && args.empty()) return p->second;
    automation::unknownMember(member);
}

ObjectRef FakeFactory::create(TextView progId) {
    created.emplace_back(progId);
    auto it = creators.find(Text(progId));
    if (it == creators.end()) throw RuntimeError(automation::errc::CannotCreateObject);
    return it->second();
}

namespace {
std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

void MemoryProfile::set(const Text& file, const Text& section, const Text& key, const Text& value) {
    files[upper(automation::toCp1252(file))][upper(automation::toCp1252(section))]
         [upper(automation::toCp1252(key))] = automation::toCp1252(value);
}

std::uint32_t MemoryProfile::getString(const char* section, const char* key,
                                       const char* defaultText, char* buffer, std::uint32_t size,
                                       const char* file) {
    readFiles.emplace_back(file ? file : "");
    std::string value = defaultText ? defaultText : "";
    if (section && key && file) {
        auto f = files.find(upper(file));
        if (f != files.end()) {
            auto s = f->second.find(upper(section));
            if (s != f->second.end()) {
                auto k = s->second.find(upper(key));
                if (k != s->second.end()) value = k->second;
            }
        }
    }
    if (size == 0) return 0;
    std::uint32_t n = std::min<std::uint32_t>(static_cast<std::uint32_t>(value.size()), size - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return n;
}

std::int32_t MemoryProfile::writeString(const char*, const char*, const char*, const char*) {
    return 0;  // the add-in never writes its settings
}

bool FakePlatform::folderExists(TextView folder) {
    return std::any_of(folders.begin(), folders.end(),
                       [&](const Text& f) { return automation::equalsIgnoreCase(f, folder); });
}

bool FakePlatform::appendLine(TextView path, TextView line) {
    if (appendFails) throw RuntimeError(automation::errc::PermissionDenied);
    appended.emplace_back(Text(path), Text(line));
    return true;
}

}  // namespace vantrel::testing
