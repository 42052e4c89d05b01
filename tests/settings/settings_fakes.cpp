#include "settings/settings_fakes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vantrel::tests::settings {

using automation::Argument;
using automation::CallKind;
using automation::Text;
using automation::Variant;

TempFolder::TempFolder() {
    static std::atomic<int> serial{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        info ? std::string(info->test_suite_name()) + "_" + info->name() : "settings";
    for (auto& c : name) {
        if (c == '/') c = '_';
    }
    path_ = std::filesystem::path(::testing::TempDir()) /
            ("vantrel_" + name + "_" + std::to_string(serial++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

Text TempFolder::windowsPath(const std::string& name) const {
    std::string p = "Z:" + (path_ / name).string();
    for (auto& c : p) {
        if (c == '/') c = '\\';
    }
    return automation::fromUtf8(p);
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    if (!in) return "<absent>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << bytes;
}

namespace {
std::optional<std::string> text(const char* p) {
    return p ? std::optional<std::string>(p) : std::nullopt;
}
}  // namespace

std::uint32_t RecordingProfile::getString(const char* section, const char* key, const char*,
                                          char* buffer, std::uint32_t size, const char* file) {
    calls.push_back(Call{text(section), text(key), std::nullopt, size, std::string(buffer, size),
                         file ? file : ""});
    std::memcpy(buffer, answer.data(), std::min<std::size_t>(answer.size(), size));
    return count;
}

std::int32_t RecordingProfile::writeString(const char* section, const char* key, const char* t,
                                           const char* file) {
    calls.push_back(Call{text(section), text(key), text(t), 0, std::string(), file ? file : ""});
    return writeResult;
}

Variant FakeWindow::invoke(automation::TextView member, CallKind kind, std::span<Argument> args) {
    using automation::isMember;
    if (!missing.empty() && isMember(member, missing)) automation::unknownMember(member);
    Variant* property = isMember(member, u"WindowState") ? &windowState
                        : isMember(member, u"Left")      ? &left
                        : isMember(member, u"Top")       ? &top
                        : isMember(member, u"Width")     ? &width
                        : isMember(member, u"Height")    ? &height
                                                         : nullptr;
    if (property && kind == CallKind::Get) return *property;
    if (property && kind == CallKind::Put) {
        *property = automation::argumentAt(args, 0);
        return Variant();
    }
    if (isMember(member, u"Move") && kind == CallKind::Method) {
        std::vector<std::int32_t> m;
        for (std::size_t i = 0; i < 4; ++i) m.push_back(automation::argumentAt(args, i).toLong());
        moves.push_back(m);
        left = static_cast<double>(m[0]);
        top = static_cast<double>(m[1]);
        width = static_cast<double>(m[2]);
        height = static_cast<double>(m[3]);
        return Variant();
    }
    automation::unknownMember(member);
}

}  // namespace vantrel::tests::settings
