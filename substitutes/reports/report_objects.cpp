// The report side: application, report and subreports, their layout, parameters and exports.
#include <filesystem>

#include "automation/runtime_error.h"
#include "data_folder.h"
#include "runtime_objects.h"

namespace vantrel::substitutes::reports {

using automation::isMember;
using automation::RuntimeError;
namespace errc = automation::errc;

namespace {

// Destination types and formats of ExportOptions.
constexpr std::int32_t kDiskFile = 1;
constexpr std::int32_t kMail = 2;
constexpr std::int32_t kPdf = 31;
constexpr std::int32_t kExcel8 = 29;
constexpr std::int32_t kExcel97 = 36;

// A folder of the data folder for the outputs that make their own files ("outbox",
// "printed"); the system's temporary folder stands in when no data folder is set.
Text dataSubfolder(const char16_t* name) {
    Text base = dataFolder();
    if (base.empty()) base = automation::fromUtf8(std::filesystem::temp_directory_path().string());
    return base + u"\\" + name;
}

// The last path element of a Windows- or POSIX-style path.
Text baseName(const Text& path) {
    const auto cut = path.find_last_of(u"\\/");
    return cut == Text::npos ? path : path.substr(cut + 1);
}

const char16_t* const kExportOptionNames[] = {
    u"FormatType",
    u"DestinationType",
    u"DiskFileName",
    u"PDFExportAllPages",
    u"MailToList",
    u"MailCcList",
    u"MailSubject",
    u"MailMessage",
    u"ExcelAreaType",
    u"ExcelUseTabularFormat",
    u"ExcelUseWorksheetFunctions",
    u"ExcelUseConstantColumnWidth",
    u"ExcelMaintainColumnAlignment",
    u"ExcelShowGridlines",
    u"ExcelMaintainRelativeObjectPosition",
};

}  // namespace

// ---- parameter fields --------------------------------------------------------------------

ParameterField::ParameterField(std::shared_ptr<RuntimeContext> context, Text ownerLabel,
                               ParameterDefinition definition)
    : RuntimeObject(std::move(context), ownerLabel + u".ParameterFields(" + definition.name + u")"),
      definition_(std::move(definition)) {}

Variant ParameterField::converted(const Variant& value) const {
    switch (definition_.valueType) {
        case 7:
            return Variant(value.toDouble());
        case 8:
            return Variant(value.toCurrency());
        case 9:
            return Variant(value.toBool());
        case 10:
        case 11:
        case 16:
            return Variant::date(value.toDate());
        case 12:
            return Variant(value.toText());
        default:
            return value;
    }
}

Variant ParameterField::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const bool put = isPut(kind);
    if (isMember(member, u"Name") || isMember(member, u"ParameterFieldName")) {
        if (put) automation::unknownMember(member);
        return Variant(definition_.name);
    }
    if (isMember(member, u"Prompt")) {
        if (put) {
            record(member, kind, args);
            definition_.prompt = automation::argumentAt(args, 0).toText();
            return Variant();
        }
        return Variant(definition_.prompt);
    }
    if (isMember(member, u"ValueType")) {
        if (put) automation::unknownMember(member);
        return Variant(static_cast<std::int32_t>(definition_.valueType));
    }
    if (isMember(member, u"EnableMultipleValues")) {
        if (put) {
            record(member, kind, args);
            definition_.multipleValues = automation::argumentAt(args, 0).toBool();
            return Variant();
        }
        return Variant(definition_.multipleValues);
    }
    if (put) automation::unknownMember(member);
    if (isMember(member, u"NumberOfDefaultValues")) {
        return Variant(static_cast<std::int32_t>(definition_.offeredValues.size()));
    }
    if (isMember(member, u"GetNthDefaultValue")) {
        const std::int32_t k = automation::argumentAt(args, 0).toLong();
        if (k < 1 || k > static_cast<std::int32_t>(definition_.offeredValues.size())) {
            throw RuntimeError(errc::SubscriptOutOfRange);
        }
        return definition_.offeredValues[static_cast<std::size_t>(k - 1)];
    }
    if (isMember(member, u"NumberOfCurrentValues")) {
        return Variant(static_cast<std::int32_t>(currentValues_.size()));
    }
    if (isMember(member, u"GetNthCurrentValue")) {
        const std::int32_t k = automation::argumentAt(args, 0).toLong();
        if (k < 1 || k > static_cast<std::int32_t>(currentValues_.size())) {
            throw RuntimeError(errc::SubscriptOutOfRange);
        }
        return currentValues_[static_cast<std::size_t>(k - 1)];
    }
    if (isMember(member, u"AddCurrentValue")) {
        record(member, kind, args);
        currentValues_.push_back(converted(automation::argumentAt(args, 0)));
        return Variant();
    }
    if (isMember(member, u"ClearCurrentValueAndRange")) {
        record(member, kind, args);
        currentValues_.clear();
        return Variant();
    }
    automation::unknownMember(member);
}

// ---- export options ----------------------------------------------------------------------

ExportOptions::ExportOptions(std::shared_ptr<RuntimeContext> context, Text ownerLabel)
    : RuntimeObject(std::move(context), ownerLabel + u".ExportOptions") {}

Variant ExportOptions::option(TextView name) const {
    for (const auto& [n, v] : values_) {
        if (automation::equalsIgnoreCase(n, name)) return v;
    }
    return Variant();
}

Variant ExportOptions::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const char16_t* known = nullptr;
    for (const char16_t* name : kExportOptionNames) {
        if (isMember(member, name)) known = name;
    }
    if (!known) automation::unknownMember(member);
    if (!isPut(kind)) return option(known);
    record(known, kind, args);
    const Variant& value = automation::argumentAt(args, 0);
    for (auto& [n, v] : values_) {
        if (n == known) {
            v = value;
            return Variant();
        }
    }
    values_.emplace_back(known, value);
    return Variant();
}

// ---- layout ------------------------------------------------------------------------------

ReportObjectItem::ReportObjectItem(std::shared_ptr<RuntimeContext> context, Text ownerLabel,
                                   const ReportObjectDefinition& definition)
    : RuntimeObject(context, ownerLabel + u"." + definition.name),
      kind_(definition.kind),
      name_(definition.name) {
    if (definition.subreport) {
        subreport_ = std::make_shared<CrystalReport>(context, ownerLabel + u"/" + definition.name,
                                                     *definition.subreport);
    }
}

Variant ReportObjectItem::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (isPut(kind)) automation::unknownMember(member);
    if (isMember(member, u"Kind")) return Variant(kind_);
    if (isMember(member, u"Name")) return Variant(name_);
    if (isMember(member, u"OpenSubreport") || isMember(member, u"SubreportName")) {
        // Only subreport objects have these members.
        if (!subreport_) automation::unknownMember(member);
        if (isMember(member, u"SubreportName")) return Variant(name_);
        record(member, kind, args);
        return Variant(ObjectRef(std::static_pointer_cast<automation::Object>(subreport_)));
    }
    automation::unknownMember(member);
}

Variant ReportPart::invoke(TextView member, CallKind kind, std::span<Argument>) {
    if (isPut(kind)) automation::unknownMember(member);
    if (isMember(member, u"Name")) return Variant(name_);
    if (isMember(member, collectionMember_)) return Variant(collection_);
    automation::unknownMember(member);
}

// ---- report ------------------------------------------------------------------------------

CrystalReport::CrystalReport(std::shared_ptr<RuntimeContext> context, Text label,
                             const ReportDefinition& definition)
    : RuntimeObject(context, std::move(label)),
      title_(definition.title),
      driver_(definition.driverName),
      printer_(definition.printerName),
      port_(definition.portName),
      query_(definition.query) {
    page_.paperOrientation = definition.paperOrientation;
    page_.paperSize = definition.paperSize;
    page_.paperSource = definition.paperSource;
    page_.bottomMargin = definition.bottomMargin;
    page_.leftMargin = definition.leftMargin;
    page_.rightMargin = definition.rightMargin;
    page_.topMargin = definition.topMargin;
    database_ = automation::makeObject<ReportDatabase>(context, label_, definition.tables);

    std::vector<ObjectRef> areas;
    for (const auto& area : definition.areas) {
        const Text areaLabel = label_ + u"." + area.name;
        std::vector<ObjectRef> sections;
        for (const auto& section : area.sections) {
            const Text sectionLabel = areaLabel + u"." + section.name;
            std::vector<ObjectRef> objects;
            for (const auto& object : section.objects) {
                objects.push_back(
                    automation::makeObject<ReportObjectItem>(context, label_, object));
            }
            sections.push_back(automation::makeObject<ReportPart>(
                context, sectionLabel, section.name, u"ReportObjects",
                automation::makeObject<ItemCollection>(context, sectionLabel + u".ReportObjects",
                                                       objects)));
        }
        areas.push_back(automation::makeObject<ReportPart>(
            context, areaLabel, area.name, u"Sections",
            automation::makeObject<ItemCollection>(context, areaLabel + u".Sections", sections)));
    }
    areas_ = automation::makeObject<ItemCollection>(context, label_ + u".Areas", areas);

    std::vector<ObjectRef> parameters;
    for (const auto& p : definition.parameters) {
        parameters.push_back(automation::makeObject<ParameterField>(context, label_, p));
    }
    parameters_ =
        automation::makeObject<ItemCollection>(context, label_ + u".ParameterFields", parameters);
    exportOptions_ = automation::makeObject<ExportOptions>(context, label_);
}

std::shared_ptr<ReportDatabase> CrystalReport::database() const {
    return std::static_pointer_cast<ReportDatabase>(database_.shared());
}

std::shared_ptr<ExportOptions> CrystalReport::exportOptions() const {
    return std::static_pointer_cast<ExportOptions>(exportOptions_.shared());
}

std::vector<std::shared_ptr<ParameterField>> CrystalReport::parameters() const {
    std::vector<std::shared_ptr<ParameterField>> out;
    for (const auto& p : static_cast<ItemCollection*>(parameters_.get())->items()) {
        out.push_back(std::static_pointer_cast<ParameterField>(p.shared()));
    }
    return out;
}

std::vector<std::shared_ptr<CrystalReport>> CrystalReport::subreports() const {
    std::vector<std::shared_ptr<CrystalReport>> out;
    auto items = [](const ObjectRef& collection) -> const std::vector<ObjectRef>& {
        return static_cast<ItemCollection*>(collection.get())->items();
    };
    for (const auto& area : items(areas_)) {
        for (const auto& section : items(area.object(u"Sections"))) {
            for (const auto& object : items(section.object(u"ReportObjects"))) {
                auto item = std::static_pointer_cast<ReportObjectItem>(object.shared());
                if (item->subreport()) out.push_back(item->subreport());
            }
        }
    }
    return out;
}

ReportContent CrystalReport::content() const {
    ReportContent c;
    c.label = label_;
    c.title = title_;
    c.landscape = page_.paperOrientation == 2;
    c.formatType = exportOptions()->option(u"FormatType").toText();
    std::vector<QueryParameter> values;
    for (const auto& p : parameters()) {
        c.parameters.push_back(ShownParameter{p->definition().prompt, p->currentValues()});
        values.push_back(QueryParameter{p->definition().name, p->currentValues()});
    }
    const auto tableList = tables();
    for (const auto& t : tableList) c.tables.emplace_back(t->name(), t->catalog());
    if (!query_.empty()) {
        const Text first = tableList.empty() ? Text() : tableList.front()->catalog();
        std::vector<Text> others;
        for (const auto& [name, catalog] : c.tables) {
            if (!catalog.empty()) others.push_back(catalog);
        }
        c.data = runReportQuery(first, others, spliceParameters(query_, values));
    }
    return c;
}

void CrystalReport::produced(TextView member, std::span<Argument> args,
                             const OutputResult& result) {
    record(member, CallKind::Method, args, result.note);
    if (result.produced) context_->log->addOutput(*result.produced);
}

void CrystalReport::exportReport(std::span<Argument> args) {
    auto options = exportOptions();
    const Variant destination = options->option(u"DestinationType");
    const std::int32_t where = destination.isEmpty() ? 0 : destination.toLong();
    if (where != kDiskFile && where != kMail) {
        record(u"Export", CallKind::Method, args,
               u"nothing written (destination is not a disk file)");
        return;
    }
    try {
        if (where == kMail) {
            MailFields mail{options->option(u"MailToList").toText(),
                            options->option(u"MailCcList").toText(),
                            options->option(u"MailSubject").toText(),
                            options->option(u"MailMessage").toText(), Text()};
            if (mail.to.empty()) {
                throw RuntimeError(errc::ApplicationDefined, u"CrystalRuntime",
                                   u"Export: no recipient (MailToList is empty)");
            }
            const Text file = baseName(options->option(u"DiskFileName").toText());
            mail.attachmentName = file.empty() ? title_ + u".pdf" : file;
            produced(u"Export", args, mailReport(content(), mail, dataSubfolder(u"outbox")));
            return;
        }
        const Text file = options->option(u"DiskFileName").toText();
        if (file.empty()) {
            throw RuntimeError(errc::BadFileNameOrNumber, u"CrystalRuntime",
                               u"Export: no disk file name");
        }
        const Variant format = options->option(u"FormatType");
        const std::int32_t type = format.isEmpty() ? 0 : format.toLong();
        const ReportContent c = content();
        if (type == kPdf) {
            produced(u"Export", args, exportPdf(c, file));
        } else if (type == kExcel97 || type == kExcel8) {
            produced(u"Export", args, exportSpreadsheet(c, file));
        } else {
            produced(u"Export", args, exportTextAccount(c, file));
        }
    } catch (const RuntimeError& e) {
        record(u"Export", CallKind::Method, args, u"failed: " + e.description());
        throw;
    }
}

void CrystalReport::printOut(std::span<Argument> args) {
    // The prompt (first argument) would show the print dialog: the stand-in never waits for
    // anybody, it only says it was asked.
    const bool prompt = !args.empty() && !args[0].value.isMissing() && args[0].value.toBool();
    int copies = 1;
    if (args.size() > 1 && !args[1].value.isMissing()) copies = args[1].value.toInteger();
    try {
        OutputResult result = printReport(content(), printer_, copies, dataSubfolder(u"printed"));
        if (prompt) result.note = u"print dialog not shown; " + result.note;
        produced(u"PrintOut", args, result);
    } catch (const RuntimeError& e) {
        record(u"PrintOut", CallKind::Method, args, u"failed: " + e.description());
        throw;
    }
}

Variant CrystalReport::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const bool put = isPut(kind);
    auto int16Setting = [&](std::int16_t& field) -> Variant {
        if (!put) return Variant(field);
        record(member, kind, args);
        field = automation::argumentAt(args, 0).toInteger();
        return Variant();
    };
    auto int32Setting = [&](std::int32_t& field) -> Variant {
        if (!put) return Variant(field);
        record(member, kind, args);
        field = automation::argumentAt(args, 0).toLong();
        return Variant();
    };
    auto flag = [&](bool& field) -> Variant {
        if (!put) return Variant(field);
        record(member, kind, args);
        field = automation::argumentAt(args, 0).toBool();
        return Variant();
    };
    if (isMember(member, u"PaperOrientation")) return int16Setting(page_.paperOrientation);
    if (isMember(member, u"PaperSize")) return int16Setting(page_.paperSize);
    if (isMember(member, u"PaperSource")) return int16Setting(page_.paperSource);
    if (isMember(member, u"BottomMargin")) return int32Setting(page_.bottomMargin);
    if (isMember(member, u"LeftMargin")) return int32Setting(page_.leftMargin);
    if (isMember(member, u"RightMargin")) return int32Setting(page_.rightMargin);
    if (isMember(member, u"TopMargin")) return int32Setting(page_.topMargin);
    if (isMember(member, u"DisplayProgressDialog")) return flag(displayProgressDialog_);
    if (isMember(member, u"EnableParameterPrompting")) return flag(enableParameterPrompting_);
    if (isMember(member, u"ReportTitle")) {
        if (!put) return Variant(title_);
        record(member, kind, args);
        title_ = automation::argumentAt(args, 0).toText();
        return Variant();
    }
    if (put) automation::unknownMember(member);
    if (isMember(member, u"Database")) return Variant(database_);
    if (isMember(member, u"Areas")) return Variant(areas_);
    if (isMember(member, u"ParameterFields")) return Variant(parameters_);
    if (isMember(member, u"ExportOptions")) return Variant(exportOptions_);
    if (isMember(member, u"DriverName")) return Variant(driver_);
    if (isMember(member, u"PrinterName")) return Variant(printer_);
    if (isMember(member, u"PortName")) return Variant(port_);
    if (isMember(member, u"SelectPrinter")) {
        record(member, kind, args);
        driver_ = automation::argumentAt(args, 0).toText();
        printer_ = automation::argumentAt(args, 1).toText();
        port_ = automation::argumentAt(args, 2).toText();
        return Variant();
    }
    if (isMember(member, u"PrinterSetup")) {
        record(member, kind, args);
        return Variant();
    }
    if (isMember(member, u"PrintOut")) {
        printOut(args);
        return Variant();
    }
    if (isMember(member, u"Export")) {
        exportReport(args);
        return Variant();
    }
    automation::unknownMember(member);
}

// ---- application -------------------------------------------------------------------------

CrystalApplication::CrystalApplication(RuntimeVersion version, std::shared_ptr<CallLog> log)
    : RuntimeObject(std::make_shared<RuntimeContext>(RuntimeContext{version, std::move(log)}),
                    version == RuntimeVersion::Crystal10 ? u"Application 10" : u"Application 8.5") {
}

Variant CrystalApplication::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (isMember(member, u"OpenReport") && !isPut(kind)) {
        const Text path = automation::argumentAt(args, 0).toText();
        try {
            ReportDefinition definition = loadReportFile(path);
            auto report = std::make_shared<CrystalReport>(context_, definition.name, definition);
            record(member, kind, args);
            opened_.push_back(report);
            return Variant(ObjectRef(std::static_pointer_cast<automation::Object>(report)));
        } catch (const RuntimeError& e) {
            record(member, kind, args, u"failed: " + e.description());
            throw;
        }
    }
    automation::unknownMember(member);
}

}  // namespace vantrel::substitutes::reports
