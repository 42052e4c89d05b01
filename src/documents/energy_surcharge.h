// The energy surcharge ("Taxa Energética"): when a qualifying sales document is saved, the
// stored document is rebuilt through the ERP API with one more line whose unit price is a
// percentage of the document's four tax bases.
//
// The rewrite runs in four steps: load (the stored document and its rows), build (the new
// document, every line checked), validate, and commit. Nothing is removed until the new
// document is valid; before the stored document is removed a recovery copy is written, the
// removal is confirmed by loading the key again, and if the insert then fails the stored
// document is put back as close to the original as the ERP allows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "automation/object.h"
#include "automation/variant.h"
#include "documents/dal_comandos.h"
#include "documents/result.h"
#include "documents/stored_document.h"
#include "interfaces/dialogs.h"
#include "interfaces/next_api_connection.h"
#include "interfaces/platform.h"

namespace vantrel::documents {

// The settings of the section "Documentos com taxa", as the open company holds them.
struct SurchargeSettings {
    automation::Text documentos;  // "FT,A;FR,A": type, comma, series; entries split by ";"
    automation::Text taxa;        // percentage, decimal comma or point; normalised by each rewrite
    automation::Text artigo;      // article of the surcharge line
    automation::Text pergunta;    // "S..." asks before adding
};

// What the save hook needs from the open company besides its settings.
struct SurchargeContext {
    interfaces::Dialogs& dialogs;
    const DalComandos& dal;
    const automation::ObjectRef& apiNext;  // the ERP API connection
    std::function<bool()> pVerificarApi;   // warns and answers false when it is closed
    interfaces::Platform& platform;        // writes and removes the recovery copy
    automation::Text recoveryFolder;       // where the recovery copy goes, ends with "\"
};

class EnergySurcharge {
public:
    EnergySurcharge(SurchargeContext context, SurchargeSettings settings)
        : ctx_(std::move(context)), settings_(std::move(settings)) {}

    // The save hook. Errors are the caller's (its event frame reports them).
    void Vendas_OnGravar(const automation::ObjectRef& oApi);
    // Whether type and series are in the qualifying list. Errors are raised again with the
    // source "pDocumentoInteressa".
    bool pDocumentoInteressa(const automation::Variant& tipo,
                             const automation::Variant& serie) const;
    // The rewrite; never raises, every failure is an Erro result.
    Result pAdicionaTaxaEnergetica(const automation::Text& tipo, const automation::Text& serie,
                                   std::int32_t numero, std::int16_t ano);

    // The settings, with the rate as the last rewrite normalised it.
    const SurchargeSettings& settings() const { return settings_; }

    // The rate read from the (already normalised) setting: the leading number, as a
    // fraction; none when the text does not start with a number. Raises error 6 when it
    // does not fit a double.
    [[nodiscard]] static std::optional<double> rateOf(const automation::Text& taxa);
    static automation::Text normaliseRate(const automation::Text& taxa);
    // Whether a header series lets the save hook go on: it must compare equal to the number
    // 0 (Null compares with nothing).
    static bool seriesTakesSurcharge(const automation::Variant& serie);
    // Whether the "Documentos" list holds type and series (the series trimmed, the type not,
    // case-sensitive).
    static bool listHolds(const automation::Text& documentos, const automation::Text& tipo,
                          const automation::Text& serie);

private:
    interfaces::NextApiConnection api() const {
        return interfaces::NextApiConnection(ctx_.apiNext);
    }
    // The steps of the rewrite. Each answers a refusal (an Erro result) or lets the next go.
    std::optional<Result> load(const DocumentKey& key, StoredDocument& stored) const;
    std::optional<Result> build(const StoredDocument& stored, double price,
                                interfaces::HostDocument& novo) const;
    std::optional<Result> validate(const interfaces::HostDocument& novo) const;
    Result commit(StoredDocument& stored, interfaces::HostDocument& novo) const;

    // Adds the live rows as lines; the first line the ERP refuses ends it (its 1-based
    // position among the rows, and the ERP's messages).
    struct Refusal {
        std::size_t row;
        automation::Text messages;
    };
    std::optional<Refusal> addStoredLines(const interfaces::HostDocument& doc,
                                          const std::vector<StoredRow>& rows) const;
    std::optional<Refusal> addSurchargeLine(const interfaces::HostDocument& doc,
                                            double price) const;
    bool isStored(const DocumentKey& key) const;
    automation::Text writeRecoveryCopy(const StoredDocument& stored) const;
    void removeRecoveryCopy(const automation::Text& path) const;

    friend class RestoreGuard;

    SurchargeContext ctx_;
    SurchargeSettings settings_;
};

}  // namespace vantrel::documents
