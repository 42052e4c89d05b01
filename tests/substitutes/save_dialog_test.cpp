#include <gtest/gtest.h>

#include "automation/runtime_error.h"
#include "dialogs/save_dialog.h"

namespace {

using vantrel::automation::ObjectRef;
using vantrel::automation::RuntimeError;
using vantrel::automation::T;
using vantrel::automation::Text;
using vantrel::automation::Variant;
using namespace vantrel::substitutes::dialogs;

TEST(SaveDialogFilter, PairsOfDescriptionAndPattern) {
    struct Case {
        const char* filter;
        std::vector<FilterEntry> want;
    };
    const Case cases[] = {
        {"Ficheiro PDF  (*.pdf)|*.pdf", {{u"Ficheiro PDF  (*.pdf)", u"*.pdf"}}},
        {"Excel (*.xls)|*.xls|Todos|*.*", {{u"Excel (*.xls)", u"*.xls"}, {u"Todos", u"*.*"}}},
        {"Só texto", {{T("Só texto"), u""}}},
        {"A|*.a|B", {{u"A", u"*.a"}, {u"B", u""}}},
        {"A|*.a|", {{u"A", u"*.a"}}},
        {"|*.a", {{u"", u"*.a"}}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(parseFilter(T(c.filter)), c.want) << c.filter;
}

TEST(SaveDialogFilter, IndexZeroAndOutOfRangeShowTheFirst) {
    SaveRequest r;
    r.filters = parseFilter(u"A|*.a|B|*.b|C|*.c");
    const std::pair<int, std::size_t> cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 0}, {-1, 0}};
    for (auto [index, want] : cases) {
        r.filterIndex = index;
        EXPECT_EQ(r.selectedFilter(), want) << index;
    }
}

// The members set as the report outputs set them, then ShowSave.
struct ShowSaveCase {
    std::optional<Text> answer;
    bool cancelError;
    Text fileNameBefore;
    std::optional<std::int32_t> error;
    Text fileNameAfter;
};

TEST(SaveDialog, ShowSaveAnswersOrCancels) {
    const ShowSaveCase runs[] = {
        {u"/tmp/out.pdf", true, u"", std::nullopt, u"/tmp/out.pdf"},
        {u"/tmp/out.pdf", false, u"old.pdf", std::nullopt, u"/tmp/out.pdf"},
        {std::nullopt, true, u"old.pdf", kCancelError, u"old.pdf"},
        {std::nullopt, false, u"old.pdf", std::nullopt, u"old.pdf"},
    };
    for (const auto& r : runs) {
        SaveRequest seen;
        auto log = std::make_shared<SaveDialogLog>();
        SaveChooser chooser = [&](const SaveRequest& req) {
            seen = req;
            return r.answer;
        };
        ObjectRef d = vantrel::automation::makeObject<SaveDialog>(chooser, log);
        d.put(u"CancelError", Variant(r.cancelError));
        d.put(u"Flags", Variant(std::int32_t{4}));
        d.put(u"Filter", Variant(T("Ficheiro PDF  (*.pdf)|*.pdf")));
        d.put(u"FilterIndex", Variant(std::int32_t{0}));
        if (!r.fileNameBefore.empty()) d.put(u"FILENAME", Variant(r.fileNameBefore));
        std::optional<std::int32_t> error;
        try {
            d.call(u"showsave");
        } catch (const RuntimeError& e) {
            error = e.number();
            EXPECT_EQ(e.description(), u"Cancel was selected.");
        }
        EXPECT_EQ(error, r.error);
        EXPECT_EQ(d.get(u"fileName").toText(), r.fileNameAfter);
        EXPECT_EQ(seen.flags, 4);
        EXPECT_EQ(seen.fileName, r.fileNameBefore) << "the chooser starts from FileName";
        ASSERT_EQ(seen.filters.size(), 1u);
        EXPECT_EQ(seen.filters[0].pattern, u"*.pdf");
        std::vector<Text> want = {u"CancelError", u"Flags", u"Filter", u"FilterIndex"};
        if (!r.fileNameBefore.empty()) want.push_back(u"FileName");
        want.push_back(u"ShowSave");
        EXPECT_EQ(log->membersOf(1), want);
        EXPECT_EQ(log->events().back().value.isEmpty(), !r.answer.has_value());
    }
}

TEST(SaveDialog, PropertiesReadBackAndACancelIsSilentWithoutCancelError) {
    ObjectRef d = vantrel::automation::makeObject<SaveDialog>(SaveChooser{});
    d.put(u"DialogTitle", Variant(T("Guardar relatório")));
    d.put(u"InitDir", Variant(u"C:\\Relatórios"));
    d.put(u"DefaultExt", Variant(u"pdf"));
    d.put(u"FilterIndex", Variant(u"2"));
    EXPECT_EQ(d.get(u"dialogtitle").toText(), T("Guardar relatório"));
    EXPECT_EQ(d.get(u"INITDIR").toText(), u"C:\\Relatórios");
    EXPECT_EQ(d.get(u"DefaultExt").toText(), u"pdf");
    EXPECT_EQ(d.get(u"FilterIndex").toLong(), 2);
    // No chooser at all: a cancel, silent while CancelError is false.
    EXPECT_NO_THROW(d.call(u"ShowSave"));
}

TEST(SaveDialog, QueuedAnswersThenFallbackThroughTheRegistry) {
    int fallbackCalls = 0;
    QueuedChooser chooser([&](const SaveRequest&) -> std::optional<Text> {
        ++fallbackCalls;
        return u"typed.xls";
    });
    chooser.queue(u"first.pdf");
    chooser.queue(std::nullopt);
    vantrel::substitutes::StandInRegistry registry;
    auto log = registerSaveDialog(registry, chooser);
    std::vector<Text> got;
    for (int i = 0; i < 3; ++i) {
        ObjectRef d = registry.create(u"quorilvantrel.standins.savedialog");
        d.call(u"ShowSave");
        got.push_back(d.get(u"FileName").toText());
    }
    EXPECT_EQ(got, (std::vector<Text>{u"first.pdf", u"", u"typed.xls"}));
    EXPECT_EQ(fallbackCalls, 1);
    EXPECT_EQ(chooser.pending(), 0u);
    ASSERT_EQ(log->events().size(), 3u);
    EXPECT_EQ(log->events()[2].dialog, 3);
}

}  // namespace
