// The output destinations other than the screen: printer, PDF file, e-mail and Excel file,
// their save dialogs, and the field definition file. Each output gives the parameters their
// values first, then sets the runtime's print or export options and prints or exports.
//
// A failed output marks the run as failed, so ExecutaMapa does not report a report that did
// not come out as a success. A cancelled save dialog ends its output quietly: nothing is
// exported under an empty name.
#include "interfaces/crystal_runtime.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/engine/report_error_box.h"

namespace vantrel::reports::engine {

using automation::ObjectRef;
using automation::RuntimeError;
using automation::T;
using automation::Text;
using automation::Variant;
namespace crystal = interfaces::crystal;
namespace errc = automation::errc;

namespace {

// Export option values.
namespace formato {
constexpr std::int16_t PDF = 31;
constexpr std::int16_t Excel97 = 36;  // version 10
constexpr std::int16_t Excel8 = 29;   // version 8.5
}  // namespace formato
namespace destinoExport {
constexpr std::int16_t Ficheiro = 1;
constexpr std::int16_t Email = 2;
}  // namespace destinoExport
constexpr std::int16_t kExcelDetailArea = 4;
constexpr std::int32_t kHideReadOnly = 4;

// The options an export leaves on the report stay there, so an Excel output for a version it
// does not know would write a workbook in whatever format an earlier output left behind,
// under an .xls name.
[[noreturn]] void unknownVersion(std::int32_t versao) {
    throw RuntimeError(errc::InvalidProcedureCall, u"CrystalReportMain",
                       T("Versão do Crystal Reports desconhecida: ") + Variant(versao).toText() +
                           T(" (0 é a versão 10, 1 a versão 8.5)"));
}

std::int16_t int16(std::int32_t value) {
    return Variant(value).toInteger();  // error 6 past 16 bits
}

}  // namespace

// ---- printer ----------------------------------------------------------------------------

void CrystalReportMain::VisualizarImpressora(bool MostraMenuImpressora, bool pPedidosEcran) {
    const automation::ScopedLocale locale(services_.locale());
    guarded(
        where::VisualizarImpressora,
        [&] {
            Executar(T("Inicio da visualização na impressora"));
            parameterStep(pPedidosEcran);
            const crystal::Report report(m_Mapa);
            const crystal::PageSettings saved = report.pageSettings();
            auto imposePaper = [&] {
                if (formatoDoPapel_ > 0 && formatoDoPapel_ != report.PaperSize())
                    report.PaperSize(int16(formatoDoPapel_));
                if (orientacaoPagina_ > 0 && orientacaoPagina_ != report.PaperOrientation())
                    report.PaperOrientation(int16(orientacaoPagina_));
            };
            imposePaper();
            if (podeMudarImpressora_) {
                if (nomeDaImpressora_.empty()) {
                    report.PrinterSetup();
                } else {
                    for (const auto& printer : services_.platform->printers()) {
                        if (!automation::equalsIgnoreCase(printer.deviceName, nomeDaImpressora_))
                            continue;
                        report.SelectPrinter(printer.driverName, printer.deviceName, printer.port);
                        // Selecting a printer resets the page; the report's own settings come
                        // back, and then what the caller imposed.
                        report.setPageSettings(saved);
                        imposePaper();
                        break;
                    }
                }
            }
            if (MostraMenuImpressora || numeroDeVias_ < 2)
                report.PrintOut(MostraMenuImpressora);
            else
                report.PrintOut(MostraMenuImpressora, numeroDeVias_, false);
            Executar(T("Fim da visualização na impressora"));
        },
        true);
}

// ---- PDF file ---------------------------------------------------------------------------

void CrystalReportMain::VisualizarPDF(bool PedidosEcran) {
    const automation::ScopedLocale locale(services_.locale());
    guarded(
        where::VisualizarPDF,
        [&] {
            Executar(T("Inicio da Visualização PDF"));
            parameterStep(PedidosEcran);
            // The chosen name stays for later calls; a cancelled dialog leaves it empty, so
            // the next call asks again.
            if (ficheiroPDF_.empty()) ficheiroPDF_ = pEscolheFicheiroPDF();
            if (ficheiroPDF_.empty()) {
                m_FalhouSaida = true;
                return;
            }
            if (services_.platform->fileExists(ficheiroPDF_))
                services_.platform->deleteFile(ficheiroPDF_);
            const crystal::Report report(m_Mapa);
            const crystal::ExportOptions options = report.exportOptions();
            options.FormatType(formato::PDF);
            options.DestinationType(destinoExport::Ficheiro);
            options.DiskFileName(ficheiroPDF_);
            options.PDFExportAllPages(true);
            report.Export(false);
            Executar(T("FIm da Visualização PDF"));
        },
        true);
}

// ---- e-mail -----------------------------------------------------------------------------

void CrystalReportMain::VisualizarEmail(bool PedidosEcran) {
    const automation::ScopedLocale locale(services_.locale());
    guarded(
        where::VisualizarEmail,
        [&] {
            Executar(T("Inicio da visualização por email"));
            parameterStep(PedidosEcran);
            const crystal::Report report(m_Mapa);
            if (versao_ == versao::Crystal10) {
                // No file name is asked for: an empty FicheiroPDF stays empty.
                if (!ficheiroPDF_.empty() && services_.platform->fileExists(ficheiroPDF_))
                    services_.platform->deleteFile(ficheiroPDF_);
                const crystal::ExportOptions options = report.exportOptions();
                options.DiskFileName(ficheiroPDF_);
                options.FormatType(formato::PDF);
                options.PDFExportAllPages(true);
                options.DestinationType(destinoExport::Email);
                options.MailToList(emailTo_);
                if (!emailCC_.empty()) options.MailCcList(emailCC_);
                options.MailSubject(emailSubject_);
                options.MailMessage(emailMessage_);
            }
            // Any other version sends with the options the report already holds: the mail
            // system picks up whatever format the runtime has, so nothing is written under a
            // name that claims another format.
            report.DisplayProgressDialog(true);
            report.EnableParameterPrompting(true);
            report.Export(false);
            Executar(T("Fim da visualização por email"));
        },
        true);
}

// ---- Excel file -------------------------------------------------------------------------

void CrystalReportMain::VisualizarExcel(bool PedidosEcran) {
    const automation::ScopedLocale locale(services_.locale());
    guarded(
        where::VisualizarExcel,
        [&] {
            Executar(T("Inicio da visualização por Excel"));
            parameterStep(PedidosEcran);
            if (versao_ != versao::Crystal10 && versao_ != versao::Crystal85)
                unknownVersion(versao_);
            // Asked every time: the name is not kept.
            const Text file = pEscolheFicheiroExcel();
            if (file.empty()) {
                m_FalhouSaida = true;
                return;
            }
            const crystal::Report report(m_Mapa);
            const crystal::ExportOptions options = report.exportOptions();
            options.DestinationType(destinoExport::Ficheiro);
            options.DiskFileName(file);
            options.ExcelAreaType(kExcelDetailArea);
            options.ExcelUseTabularFormat(true);
            options.ExcelUseWorksheetFunctions(true);
            options.ExcelUseConstantColumnWidth(false);
            if (versao_ == versao::Crystal10) {
                options.FormatType(formato::Excel97);
                options.ExcelMaintainColumnAlignment(true);
                options.ExcelShowGridlines(false);
                options.ExcelMaintainRelativeObjectPosition(true);
            } else {
                options.FormatType(formato::Excel8);
            }
            report.DisplayProgressDialog(false);
            report.Export(false);
            Executar(T("Fim da visualização por Excel"));
        },
        true);
}

// ---- save dialogs -----------------------------------------------------------------------

Text CrystalReportMain::pEscolheFicheiroPDF() {
    return askFileName(u"Ficheiro PDF  (*.pdf)|*.pdf");
}

Text CrystalReportMain::pEscolheFicheiroExcel() {
    return askFileName(u"Ficheiro Excel  (*.xls)|*.xls");
}

Text CrystalReportMain::askFileName(const Text& filter) {
    // Without a dialog component the calling output fails with the creation's error.
    const crystal::SaveDialog dialog(services_.createComponent(interfaces::component::SaveDialog));
    dialog.CancelError(true);
    try {
        dialog.Flags(kHideReadOnly);
        dialog.Filter(filter);
        dialog.FilterIndex(0);
        dialog.ShowSave();
        return dialog.fileName();
    } catch (...) {
        // Cancelled (the dialog's cancel error) or failed: no name.
        return Text();
    }
}

// ---- field definition file --------------------------------------------------------------

bool CrystalReportMain::CriarFicheioTTX(ObjectRef& rs, Text& NomeFicheiro) {
    const automation::ScopedLocale locale(services_.locale());
    return guarded(where::CriarFicheioTTX, [&] {
        if (!services_.fieldDefinitions) {
            throw RuntimeError(errc::FileNotFound, u"CrystalReportMain",
                               u"File not found: p2smon.dll");
        }
        ObjectRef recordset = rs;
        Text name = NomeFicheiro;
        const std::int32_t answer =
            services_.fieldDefinitions->createFieldDefFile(recordset, name, -1);
        rs = recordset;
        NomeFicheiro = name;
        return answer == 1;
    });
}

}  // namespace vantrel::reports::engine
