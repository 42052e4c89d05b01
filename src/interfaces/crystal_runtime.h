// The Crystal Reports runtime's objects, reached by member name: the application, the report
// (and its subreports), its database tables, sections, parameter fields and export options.
// The member names the report engine uses live here and nowhere else. Each facade is a thin
// view over a counted reference; copying one copies the reference, not the object.
#pragma once

#include <cstdint>

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::interfaces::crystal {

// A 1-based collection of the runtime (Tables, Areas, Sections, ReportObjects).
class Collection {
public:
    explicit Collection(automation::ObjectRef o) : o_(std::move(o)) {}
    std::int32_t Count() const { return o_.get(u"Count").toLong(); }
    automation::ObjectRef Item(std::int32_t index) const { return o_.object(u"Item", index); }

    // Item(1) to Item(Count), in the runtime's order.
    template <class Visit>
    void forEach(Visit&& visit) const {
        const std::int32_t count = Count();
        for (std::int32_t i = 1; i <= count; ++i) visit(Item(i));
    }

private:
    automation::ObjectRef o_;
};

class DatabaseTable {
public:
    explicit DatabaseTable(automation::ObjectRef o) : o_(std::move(o)) {}
    const automation::ObjectRef& ref() const { return o_; }

    automation::Text Name() const { return o_.get(u"Name").toText(); }
    // ConnectionProperties(name).Value, version 10.
    automation::Text ConnectionProperty(automation::TextView name) const {
        return o_.object(u"ConnectionProperties", name).get(u"Value").toText();
    }
    void setConnectionProperty(automation::TextView name, const automation::Text& value) const {
        o_.object(u"ConnectionProperties", name).put(u"Value", value);
    }
    // Version 8.5.
    void SetLogOnInfo(const automation::Text& server, const automation::Text& database,
                      const automation::Text& user, const automation::Text& password) const {
        o_.call(u"SetLogOnInfo", server, database, user, password);
    }
    bool TestConnectivity() const { return o_.get(u"TestConnectivity").toBool(); }
    // SetPrivateData(kind, data): `data` by reference, as the runtime may replace it.
    void SetPrivateData(std::int16_t kind, automation::Variant& data) const {
        o_.call(u"SetPrivateData", kind, automation::byRef(data));
    }

private:
    automation::ObjectRef o_;
};

class ReportDatabase {
public:
    explicit ReportDatabase(automation::ObjectRef o) : o_(std::move(o)) {}
    Collection Tables() const { return Collection(o_.object(u"Tables")); }

private:
    automation::ObjectRef o_;
};

// ValueType codes of parameter fields.
namespace tipo {
inline constexpr std::int32_t Numero = 7;
inline constexpr std::int32_t Moeda = 8;
inline constexpr std::int32_t Booleano = 9;
inline constexpr std::int32_t Data = 10;
inline constexpr std::int32_t Texto = 12;
inline constexpr std::int32_t DataHora = 16;
}  // namespace tipo

class ParameterField {
public:
    explicit ParameterField(automation::ObjectRef o) : o_(std::move(o)) {}

    automation::Text Prompt() const { return o_.get(u"Prompt").toText(); }
    std::int32_t ValueType() const { return o_.get(u"ValueType").toLong(); }
    bool EnableMultipleValues() const { return o_.get(u"EnableMultipleValues").toBool(); }
    std::int32_t NumberOfDefaultValues() const { return o_.get(u"NumberOfDefaultValues").toLong(); }
    automation::Variant GetNthDefaultValue(std::int32_t n) const {
        return o_.call(u"GetNthDefaultValue", n);
    }
    void AddCurrentValue(const automation::Variant& value) const {
        o_.call(u"AddCurrentValue", value);
    }
    void ClearCurrentValueAndRange() const { o_.call(u"ClearCurrentValueAndRange"); }

private:
    automation::ObjectRef o_;
};

class ParameterFieldList {
public:
    explicit ParameterFieldList(automation::ObjectRef o) : o_(std::move(o)) {}
    std::int32_t Count() const { return o_.get(u"Count").toLong(); }
    ParameterField Item(std::int32_t index) const {
        return ParameterField(o_.object(u"Item", index));
    }

private:
    automation::ObjectRef o_;
};

// ExportOptions: numbers are 16-bit, flags Boolean.
class ExportOptions {
public:
    explicit ExportOptions(automation::ObjectRef o) : o_(std::move(o)) {}

    void FormatType(std::int16_t v) const { o_.put(u"FormatType", v); }
    void DestinationType(std::int16_t v) const { o_.put(u"DestinationType", v); }
    void DiskFileName(const automation::Text& v) const { o_.put(u"DiskFileName", v); }
    void PDFExportAllPages(bool v) const { o_.put(u"PDFExportAllPages", v); }
    void MailToList(const automation::Text& v) const { o_.put(u"MailToList", v); }
    void MailCcList(const automation::Text& v) const { o_.put(u"MailCcList", v); }
    void MailSubject(const automation::Text& v) const { o_.put(u"MailSubject", v); }
    void MailMessage(const automation::Text& v) const { o_.put(u"MailMessage", v); }
    void ExcelAreaType(std::int16_t v) const { o_.put(u"ExcelAreaType", v); }
    void ExcelUseTabularFormat(bool v) const { o_.put(u"ExcelUseTabularFormat", v); }
    void ExcelUseWorksheetFunctions(bool v) const { o_.put(u"ExcelUseWorksheetFunctions", v); }
    void ExcelUseConstantColumnWidth(bool v) const { o_.put(u"ExcelUseConstantColumnWidth", v); }
    void ExcelMaintainColumnAlignment(bool v) const { o_.put(u"ExcelMaintainColumnAlignment", v); }
    void ExcelShowGridlines(bool v) const { o_.put(u"ExcelShowGridlines", v); }
    void ExcelMaintainRelativeObjectPosition(bool v) const {
        o_.put(u"ExcelMaintainRelativeObjectPosition", v);
    }

private:
    automation::ObjectRef o_;
};

// The seven page settings a report keeps; the printer output saves and restores them.
struct PageSettings {
    std::int16_t paperOrientation = 0;
    std::int16_t paperSize = 0;
    std::int16_t paperSource = 0;
    std::int32_t bottomMargin = 0;
    std::int32_t leftMargin = 0;
    std::int32_t rightMargin = 0;
    std::int32_t topMargin = 0;
};

class Report {
public:
    Report() = default;
    explicit Report(automation::ObjectRef o) : o_(std::move(o)) {}
    const automation::ObjectRef& ref() const { return o_; }

    ReportDatabase Database() const { return ReportDatabase(o_.object(u"Database")); }
    Collection Areas() const { return Collection(o_.object(u"Areas")); }
    ParameterFieldList ParameterFields() const {
        return ParameterFieldList(o_.object(u"ParameterFields"));
    }
    ExportOptions exportOptions() const { return ExportOptions(o_.object(u"ExportOptions")); }
    automation::Text ReportTitle() const { return o_.get(u"ReportTitle").toText(); }
    automation::Text DriverName() const { return o_.get(u"DriverName").toText(); }

    std::int16_t PaperOrientation() const { return o_.get(u"PaperOrientation").toInteger(); }
    void PaperOrientation(std::int16_t v) const { o_.put(u"PaperOrientation", v); }
    std::int16_t PaperSize() const { return o_.get(u"PaperSize").toInteger(); }
    void PaperSize(std::int16_t v) const { o_.put(u"PaperSize", v); }
    // Read in the order the runtime is asked for them, written back in the same order.
    PageSettings pageSettings() const;
    void setPageSettings(const PageSettings& s) const;

    void PrinterSetup() const { o_.call(u"PrinterSetup"); }
    // PrinterSetup(hWnd): the printer dialog owned by the window `owner` (0: none).
    void PrinterSetup(std::int32_t owner) const { o_.call(u"PrinterSetup", owner); }
    void SelectPrinter(const automation::Text& driver, const automation::Text& device,
                       const automation::Text& port) const {
        o_.call(u"SelectPrinter", driver, device, port);
    }
    void PrintOut(bool prompt) const { o_.call(u"PrintOut", prompt); }
    void PrintOut(bool prompt, std::int16_t copies, bool collated) const {
        o_.call(u"PrintOut", prompt, copies, collated);
    }
    void DisplayProgressDialog(bool v) const { o_.put(u"DisplayProgressDialog", v); }
    void EnableParameterPrompting(bool v) const { o_.put(u"EnableParameterPrompting", v); }
    void Export(bool prompt) const { o_.call(u"Export", prompt); }

private:
    automation::ObjectRef o_;
};

inline PageSettings Report::pageSettings() const {
    PageSettings s;
    s.paperOrientation = o_.get(u"PaperOrientation").toInteger();
    s.paperSize = o_.get(u"PaperSize").toInteger();
    s.paperSource = o_.get(u"PaperSource").toInteger();
    s.bottomMargin = o_.get(u"BottomMargin").toLong();
    s.leftMargin = o_.get(u"LeftMargin").toLong();
    s.rightMargin = o_.get(u"RightMargin").toLong();
    s.topMargin = o_.get(u"TopMargin").toLong();
    return s;
}

inline void Report::setPageSettings(const PageSettings& s) const {
    o_.put(u"PaperOrientation", s.paperOrientation);
    o_.put(u"PaperSize", s.paperSize);
    o_.put(u"PaperSource", s.paperSource);
    o_.put(u"BottomMargin", s.bottomMargin);
    o_.put(u"LeftMargin", s.leftMargin);
    o_.put(u"RightMargin", s.rightMargin);
    o_.put(u"TopMargin", s.topMargin);
}

// A report object of a section; kind 5 holds a subreport.
class ReportObject {
public:
    explicit ReportObject(automation::ObjectRef o) : o_(std::move(o)) {}
    static constexpr std::int32_t kSubreport = 5;
    std::int32_t Kind() const { return o_.get(u"Kind").toLong(); }
    Report OpenSubreport() const { return Report(o_.call(u"OpenSubreport").toObject()); }

private:
    automation::ObjectRef o_;
};

inline Collection Sections(const automation::ObjectRef& area) {
    return Collection(area.object(u"Sections"));
}
inline Collection ReportObjects(const automation::ObjectRef& section) {
    return Collection(section.object(u"ReportObjects"));
}

class Application {
public:
    explicit Application(automation::ObjectRef o) : o_(std::move(o)) {}
    Report OpenReport(const automation::Text& path) const {
        return Report(o_.call(u"OpenReport", path).toObject());
    }

private:
    automation::ObjectRef o_;
};

// A report viewer control (Visu_10 or Visu_85 of the viewer window). Members without a name
// here are reached by their dispatch identifier, spelled "#" and the number ("#343").
class ViewerControl {
public:
    explicit ViewerControl(automation::ObjectRef o) : o_(std::move(o)) {}
    const automation::ObjectRef& ref() const { return o_; }

    void ReportSource(const automation::ObjectRef& report) const {
        o_.putRef(u"ReportSource", report);
    }
    void ViewReport() const { o_.call(u"ViewReport"); }
    void Refresh() const { o_.call(u"Refresh"); }
    bool IsBusy() const { return o_.get(u"IsBusy").toBool(); }
    void Zoom(std::int16_t percentOrFit) const { o_.call(u"Zoom", percentOrFit); }
    void Visible(bool v) const { o_.put(u"Visible", v); }
    void EnablePrintButton(bool v) const { o_.put(u"EnablePrintButton", v); }
    void EnableExportButton(bool v) const { o_.put(u"EnableExportButton", v); }
    void Move(double left, double top, double width, double height) const {
        o_.call(u"Move", left, top, width, height);
    }
    void setById(std::int32_t dispatchId, const automation::Variant& value) const {
        o_.put(byId(dispatchId), value);
    }
    void callById(std::int32_t dispatchId) const { o_.call(byId(dispatchId)); }

    static automation::Text byId(std::int32_t dispatchId) {
        return u"#" + automation::Variant(dispatchId).toText();
    }

private:
    automation::ObjectRef o_;
};

// The save-file dialog (a common dialog control): members set in the order the outputs need.
class SaveDialog {
public:
    explicit SaveDialog(automation::ObjectRef o) : o_(std::move(o)) {}
    // Error number of a cancelled dialog whose CancelError is True.
    static constexpr std::int32_t kCancelled = 32755;

    void CancelError(bool v) const { o_.put(u"CancelError", v); }
    void Flags(std::int32_t v) const { o_.put(u"Flags", v); }
    void Filter(const automation::Text& v) const { o_.put(u"Filter", v); }
    void FilterIndex(std::int16_t v) const { o_.put(u"FilterIndex", v); }
    void ShowSave() const { o_.call(u"ShowSave"); }
    automation::Text fileName() const { return o_.get(u"fileName").toText(); }

private:
    automation::ObjectRef o_;
};

}  // namespace vantrel::interfaces::crystal
