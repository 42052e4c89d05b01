// The parts of the outputs that every build shares: how prompts and values read, the
// plain-text account and the new files of the outbox and printed folders.
#include "report_output.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <system_error>

#include "automation/datetime.h"
#include "automation/runtime_error.h"
#include "file_paths.h"
#include "output_files.h"

namespace vantrel::substitutes::reports {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;
namespace errc = automation::errc;

Text shownPrompt(const Text& prompt) {
    return prompt.size() > 2 ? prompt.substr(2) : Text();
}

Text shownValues(const std::vector<Variant>& values) {
    Text out;
    for (const auto& v : values) {
        if (!out.empty()) out += u", ";
        if (!v.isEmpty() && !v.isNull()) out += v.toText();
    }
    return out;
}

OutputResult exportTextAccount(const ReportContent& content, TextView file) {
    std::ofstream out(nativeFile(file), std::ios::binary | std::ios::trunc);
    if (!out) {
        throw RuntimeError(errc::PathFileAccessError, u"CrystalRuntime",
                           u"Export: cannot write " + Text(file));
    }
    auto line = [&](const Text& t) { out << automation::toUtf8(t) << "\n"; };
    line(u"Stand-in report export: " + content.label);
    line(u"Title: " + content.title);
    line(u"Format type: " + content.formatType);
    line(u"Parameters:");
    for (const auto& p : content.parameters) {
        Text values;
        for (const auto& v : p.values) values += (values.empty() ? u"" : u", ") + describeValue(v);
        line(u"  " + p.prompt + u": " + values);
    }
    line(u"Tables:");
    for (const auto& [name, catalog] : content.tables) line(u"  " + name + u" -> " + catalog);
    if (!content.data.columns.empty()) {
        line(u"Rows:");
        Text header;
        for (const auto& c : content.data.columns) header += (header.empty() ? u"" : u"\t") + c;
        line(u"  " + header);
        for (const auto& row : content.data.rows) {
            Text text;
            for (std::size_t i = 0; i < row.size(); ++i) text += (i ? u"\t" : u"") + row[i].text;
            line(u"  " + text);
        }
    }
    out.close();
    if (!out) {
        throw RuntimeError(errc::PathFileAccessError, u"CrystalRuntime",
                           u"Export: cannot write " + Text(file));
    }
    return {ProducedOutput{u"text file", Text(file)}, u"wrote " + Text(file)};
}

std::filesystem::path outputFolder(automation::TextView folder) {
    std::filesystem::path path = nativeFile(folder);
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (!std::filesystem::is_directory(path, ec)) {
        throw RuntimeError(errc::PathNotFound, u"CrystalRuntime",
                           u"cannot make the folder " + Text(folder));
    }
    return path;
}

std::string fileNameSafe(automation::TextView text) {
    std::string out;
    for (char16_t c : text) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u' ' || c == u'-' || c == u'_' ||
                           c == u'.';
        out += plain ? static_cast<char>(c) : '_';
    }
    return out.empty() ? std::string("report") : out;
}

std::filesystem::path createUniqueFile(const std::filesystem::path& folder, const std::string& stem,
                                       const std::string& suffix, std::FILE*& out) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::system_clock::now();
    const double days =
        std::chrono::duration<double>(now.time_since_epoch()).count() / 86400.0 + 25569.0;
    const std::string stamp = automation::toUtf8(automation::timestamp(days, true));
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::filesystem::path path =
            folder / (stem + " " + stamp + "-" + std::to_string(++counter) + suffix);
        // "x": fails when the name exists, so two processes never share a file.
        out = std::fopen(path.string().c_str(), "wbx");
        if (out) return path;
        if (errno != EEXIST) break;
    }
    throw RuntimeError(errc::PathFileAccessError, u"CrystalRuntime",
                       u"cannot make a new file in " + automation::fromUtf8(folder.string()));
}

}  // namespace vantrel::substitutes::reports
