// The energy surcharge ("Taxa Energética"): when a qualifying sales document is saved, the
// stored document is rebuilt through the ERP API with one more line whose unit price is a
// percentage of the document's four tax bases.
//
// The rebuilt document is validated before the stored one is removed, and if it cannot be
// inserted afterwards the stored document is put back from its own rows, so a failing save
// never loses the document.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "automation/object.h"
#include "automation/variant.h"
#include "documents/dal_comandos.h"
#include "documents/result.h"
#include "interfaces/dialogs.h"
#include "interfaces/next_api_connection.h"

namespace vantrel::documents {

using automation::ObjectRef;
using automation::Text;
using automation::Variant;

// The settings of the section "Documentos com taxa", as the open company holds them. The
// rate is normalised in place on every rewrite (comma to point, blanks trimmed).
struct SurchargeSettings {
    const Text& documentos;  // "FT,A;FR,A": type, comma, series; entries split by ";"
    Text& taxa;              // percentage, decimal comma or point
    const Text& artigo;      // article of the surcharge line
    const Text& pergunta;    // "S..." asks before adding
};

// What the save hook needs from the open company besides its settings.
struct SurchargeContext {
    interfaces::Dialogs& dialogs;
    const DalComandos& dal;
    const ObjectRef& apiNext;             // the ERP API connection
    std::function<bool()> pVerificarApi;  // warns and answers false when it is closed
};

// One stored line of a document (a row of DOCGCLIN), as the rewrite copies it.
struct StoredLine {
    Variant tipoDeLinha, artigo, armazem, descricao, quantidade, precoUnitario, taxaIva, desconto,
        taxaDesconto, data, unidade, factor, orano, ordoc, orserie, ornum, orlin, linhaRel,
        ordenacao;
};

class EnergySurcharge {
public:
    EnergySurcharge(SurchargeContext context, SurchargeSettings settings)
        : ctx_(std::move(context)), settings_(settings) {}

    // The save hook. Errors are the caller's (its event frame reports them).
    void Vendas_OnGravar(const ObjectRef& oApi);
    // Whether type and series are in the qualifying list. Errors are raised again with the
    // source "pDocumentoInteressa".
    bool pDocumentoInteressa(const Variant& tipo, const Variant& serie) const;
    // The rewrite; never raises, every failure is an Erro result.
    Result pAdicionaTaxaEnergetica(const Text& tipo, const Text& serie, std::int32_t numero,
                                   std::int16_t ano);

    // The rate read from the (already normalised) setting: the leading number, as a
    // fraction. Raises error 6 when it does not fit a double.
    static double rateOf(const Text& taxa);
    static Text normaliseRate(const Text& taxa);

private:
    interfaces::NextApiConnection api() const {
        return interfaces::NextApiConnection(ctx_.apiNext);
    }
    std::vector<StoredLine> readStoredLines(const Text& tipo, std::int32_t numero,
                                            const Text& serie, std::int16_t ano) const;
    void addStoredLines(const interfaces::HostDocument& doc,
                        const std::vector<StoredLine>& lines) const;
    void addSurchargeLine(const interfaces::HostDocument& doc, double price) const;
    Text restoreStored(const interfaces::HostDocument& backup,
                       const std::vector<StoredLine>& lines) const;

    SurchargeContext ctx_;
    SurchargeSettings settings_;
};

// Document key as the messages show it: type-series-number-year.
Text documentKey(const Text& tipo, const Text& serie, std::int32_t numero, std::int16_t ano);

}  // namespace vantrel::documents
