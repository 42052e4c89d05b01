// The report side: application, report and subreports, their layout, parameters and exports.
#include <filesystem>

#include "automation/runtime_error.h"
#include "data_folder.h"
#include "runtime_objects.h"

namespace vantrel::substitutes::reports {

using automation::Access;
using automation::Argument;
using automation::Call;
using automation::CallKind;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;
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

}  // namespace

// ---- parameter fields --------------------------------------------------------------------

ParameterField::ParameterField(std::shared_ptr<RuntimeContext> context, Text ownerLabel,
                               ParameterDefinition definition)
    : RuntimeTableObject(std::move(context),
                         ownerLabel + u".ParameterFields(" + definition.name + u")"),
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

const automation::Members<ParameterField>& ParameterField::members() {
    using Self = ParameterField;
    static const automation::Members<Self> table{{
        {u"Name", Access::Read, 0, 0, [](Self& s, Call&) { return Variant(s.definition_.name); }},
        {u"ParameterFieldName", Access::Read, 0, 0,
         [](Self& s, Call&) { return Variant(s.definition_.name); }},
        {u"Prompt", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) {
             if (!c.isPut()) return Variant(s.definition_.prompt);
             s.recordCall();
             s.definition_.prompt = c.value().toText();
             return Variant();
         }},
        {u"ValueType", Access::Read, 0, 0,
         [](Self& s, Call&) {
             return Variant(static_cast<std::int32_t>(s.definition_.valueType));
         }},
        {u"EnableMultipleValues", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) {
             if (!c.isPut()) return Variant(s.definition_.multipleValues);
             s.recordCall();
             s.definition_.multipleValues = c.value().toBool();
             return Variant();
         }},
        {u"NumberOfDefaultValues", Access::Read, 0, 0,
         [](Self& s, Call&) {
             return Variant(static_cast<std::int32_t>(s.definition_.offeredValues.size()));
         }},
        {u"GetNthDefaultValue", Access::Read, 1, 1,
         [](Self& s, Call& c) {
             const std::int32_t k = c.arg(0).toLong();
             if (k < 1 || k > static_cast<std::int32_t>(s.definition_.offeredValues.size())) {
                 throw RuntimeError(errc::SubscriptOutOfRange);
             }
             return s.definition_.offeredValues[static_cast<std::size_t>(k - 1)];
         }},
        {u"NumberOfCurrentValues", Access::Read, 0, 0,
         [](Self& s, Call&) {
             return Variant(static_cast<std::int32_t>(s.currentValues_.size()));
         }},
        {u"GetNthCurrentValue", Access::Read, 1, 1,
         [](Self& s, Call& c) {
             const std::int32_t k = c.arg(0).toLong();
             if (k < 1 || k > static_cast<std::int32_t>(s.currentValues_.size())) {
                 throw RuntimeError(errc::SubscriptOutOfRange);
             }
             return s.currentValues_[static_cast<std::size_t>(k - 1)];
         }},
        {u"AddCurrentValue", Access::Read, 1, 1,
         [](Self& s, Call& c) {
             // Recorded before the conversion, so a value the type refuses is in the log too.
             s.recordCall();
             s.currentValues_.push_back(s.converted(c.arg(0)));
             return Variant();
         }},
        {u"ClearCurrentValueAndRange", Access::Read, 0, 0,
         [](Self& s, Call&) {
             s.recordCall();
             s.currentValues_.clear();
             return Variant();
         }},
    }};
    return table;
}

// ---- export options ----------------------------------------------------------------------

ExportOptions::ExportOptions(std::shared_ptr<RuntimeContext> context, Text ownerLabel)
    : RuntimeTableObject(std::move(context), ownerLabel + u".ExportOptions") {}

Variant ExportOptions::option(TextView name) const {
    for (const auto& [n, v] : values_) {
        if (automation::equalsIgnoreCase(n, name)) return v;
    }
    return Variant();
}

const automation::Members<ExportOptions>& ExportOptions::members() {
    // Every option is kept under its own spelling, whatever the caller's.
    constexpr auto option = [](ExportOptions& s, Call& c) {
        const Text name(s.served_.declared);
        if (!c.isPut()) return s.option(name);
        s.record(name, s.served_.kind, s.served_.args);
        for (auto& [n, v] : s.values_) {
            if (n == name) {
                v = c.value();
                return Variant();
            }
        }
        s.values_.emplace_back(name, c.value());
        return Variant();
    };
    static const automation::Members<ExportOptions> table{{
        {u"FormatType", Access::ReadWrite, 0, 0, option},
        {u"DestinationType", Access::ReadWrite, 0, 0, option},
        {u"DiskFileName", Access::ReadWrite, 0, 0, option},
        {u"PDFExportAllPages", Access::ReadWrite, 0, 0, option},
        {u"MailToList", Access::ReadWrite, 0, 0, option},
        {u"MailCcList", Access::ReadWrite, 0, 0, option},
        {u"MailSubject", Access::ReadWrite, 0, 0, option},
        {u"MailMessage", Access::ReadWrite, 0, 0, option},
        {u"ExcelAreaType", Access::ReadWrite, 0, 0, option},
        {u"ExcelUseTabularFormat", Access::ReadWrite, 0, 0, option},
        {u"ExcelUseWorksheetFunctions", Access::ReadWrite, 0, 0, option},
        {u"ExcelUseConstantColumnWidth", Access::ReadWrite, 0, 0, option},
        {u"ExcelMaintainColumnAlignment", Access::ReadWrite, 0, 0, option},
        {u"ExcelShowGridlines", Access::ReadWrite, 0, 0, option},
        {u"ExcelMaintainRelativeObjectPosition", Access::ReadWrite, 0, 0, option},
    }};
    return table;
}

// ---- layout ------------------------------------------------------------------------------

ReportObjectItem::ReportObjectItem(std::shared_ptr<RuntimeContext> context, Text ownerLabel,
                                   const ReportObjectDefinition& definition)
    : RuntimeTableObject(context, ownerLabel + u"." + definition.name),
      kind_(definition.kind),
      name_(definition.name) {
    if (definition.subreport) {
        subreport_ = std::make_shared<CrystalReport>(context, ownerLabel + u"/" + definition.name,
                                                     *definition.subreport);
    }
}

const automation::Members<ReportObjectItem>& ReportObjectItem::members() {
    using Self = ReportObjectItem;
    static const automation::Members<Self> table{{
        {u"Kind", Access::Read, 0, 0, [](Self& s, Call&) { return Variant(s.kind_); }},
        {u"Name", Access::Read, 0, 0, [](Self& s, Call&) { return Variant(s.name_); }},
        // Only subreport objects have these two.
        {u"OpenSubreport", Access::Read, 0, 0,
         [](Self& s, Call&) {
             if (!s.subreport_) s.notAMember();
             s.recordCall();
             return Variant(ObjectRef(std::static_pointer_cast<automation::Object>(s.subreport_)));
         }},
        {u"SubreportName", Access::Read, 0, 0,
         [](Self& s, Call&) {
             if (!s.subreport_) s.notAMember();
             return Variant(s.name_);
         }},
    }};
    return table;
}

const automation::Members<ReportPart>& ReportPart::members() {
    // An area answers Sections and a section ReportObjects, each only its own.
    constexpr auto collection = [](ReportPart& s, Call&) {
        if (!automation::equalsIgnoreCase(s.served_.declared, s.collectionMember_)) s.notAMember();
        return Variant(s.collection_);
    };
    static const automation::Members<ReportPart> table{{
        {u"Name", Access::Read, 0, 0, [](ReportPart& s, Call&) { return Variant(s.name_); }},
        {u"Sections", Access::Read, 0, 0, collection},
        {u"ReportObjects", Access::Read, 0, 0, collection},
    }};
    return table;
}

// ---- report ------------------------------------------------------------------------------

CrystalReport::CrystalReport(std::shared_ptr<RuntimeContext> context, Text label,
                             const ReportDefinition& definition)
    : RuntimeTableObject(context, std::move(label)),
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

const automation::Members<CrystalReport>& CrystalReport::members() {
    using Self = CrystalReport;
    // The settings a caller writes are recorded, then kept.
    static constexpr auto int16Setting = [](Self& s, Call& c, std::int16_t& field) {
        if (!c.isPut()) return Variant(field);
        s.recordCall();
        field = c.value().toInteger();
        return Variant();
    };
    static constexpr auto int32Setting = [](Self& s, Call& c, std::int32_t& field) {
        if (!c.isPut()) return Variant(field);
        s.recordCall();
        field = c.value().toLong();
        return Variant();
    };
    static constexpr auto flag = [](Self& s, Call& c, bool& field) {
        if (!c.isPut()) return Variant(field);
        s.recordCall();
        field = c.value().toBool();
        return Variant();
    };
    static const automation::Members<Self> table{{
        {u"PaperOrientation", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return int16Setting(s, c, s.page_.paperOrientation); }},
        {u"PaperSize", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return int16Setting(s, c, s.page_.paperSize); }},
        {u"PaperSource", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return int16Setting(s, c, s.page_.paperSource); }},
        {u"BottomMargin", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return int32Setting(s, c, s.page_.bottomMargin); }},
        {u"LeftMargin", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return int32Setting(s, c, s.page_.leftMargin); }},
        {u"RightMargin", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return int32Setting(s, c, s.page_.rightMargin); }},
        {u"TopMargin", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return int32Setting(s, c, s.page_.topMargin); }},
        {u"DisplayProgressDialog", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return flag(s, c, s.displayProgressDialog_); }},
        {u"EnableParameterPrompting", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return flag(s, c, s.enableParameterPrompting_); }},
        {u"ReportTitle", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) {
             if (!c.isPut()) return Variant(s.title_);
             s.recordCall();
             s.title_ = c.value().toText();
             return Variant();
         }},
        {u"Database", Access::Read, 0, 0, [](Self& s, Call&) { return Variant(s.database_); }},
        {u"Areas", Access::Read, 0, 0, [](Self& s, Call&) { return Variant(s.areas_); }},
        {u"ParameterFields", Access::Read, 0, 0,
         [](Self& s, Call&) { return Variant(s.parameters_); }},
        {u"ExportOptions", Access::Read, 0, 0,
         [](Self& s, Call&) { return Variant(s.exportOptions_); }},
        {u"DriverName", Access::Read, 0, 0, [](Self& s, Call&) { return Variant(s.driver_); }},
        {u"PrinterName", Access::Read, 0, 0, [](Self& s, Call&) { return Variant(s.printer_); }},
        {u"PortName", Access::Read, 0, 0, [](Self& s, Call&) { return Variant(s.port_); }},
        {u"SelectPrinter", Access::Read, 3, 3,
         [](Self& s, Call& c) {
             s.recordCall();
             s.driver_ = c.arg(0).toText();
             s.printer_ = c.arg(1).toText();
             s.port_ = c.arg(2).toText();
             return Variant();
         }},
        // PrinterSetup([hWnd]): the owner of the printer dialog the stand-in never shows.
        {u"PrinterSetup", Access::Read, 0, 1,
         [](Self& s, Call&) {
             s.recordCall();
             return Variant();
         }},
        // PrintOut([prompt], [copies], [collated], [startPage], [stopPage]).
        {u"PrintOut", Access::Read, 0, 5,
         [](Self& s, Call& c) {
             s.printOut(c.arguments());
             return Variant();
         }},
        {u"Export", Access::Read, 0, 1,
         [](Self& s, Call& c) {
             s.exportReport(c.arguments());
             return Variant();
         }},
    }};
    return table;
}

// ---- application -------------------------------------------------------------------------

CrystalApplication::CrystalApplication(RuntimeVersion version, std::shared_ptr<CallLog> log)
    : RuntimeTableObject(
          std::make_shared<RuntimeContext>(RuntimeContext{version, std::move(log)}),
          version == RuntimeVersion::Crystal10 ? u"Application 10" : u"Application 8.5") {}

const automation::Members<CrystalApplication>& CrystalApplication::members() {
    // OpenReport(path, [openMethod]).
    static const automation::Members<CrystalApplication> table{{
        {u"OpenReport", Access::Read, 1, 2,
         [](CrystalApplication& s, Call& c) {
             const Text path = c.arg(0).toText();
             try {
                 ReportDefinition definition = loadReportFile(path);
                 auto report =
                     std::make_shared<CrystalReport>(s.context_, definition.name, definition);
                 s.recordCall();
                 s.opened_.push_back(report);
                 return Variant(ObjectRef(std::static_pointer_cast<automation::Object>(report)));
             } catch (const RuntimeError& e) {
                 s.recordCall(u"failed: " + e.description());
                 throw;
             }
         }},
    }};
    return table;
}

}  // namespace vantrel::substitutes::reports
