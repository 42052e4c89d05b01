// The ERP's sales document object, as NextApiConnection.NewSalesDocument hands it out, with
// its header (Cab) and its lines (Linhas). Every operation works on the company database
// of the connection; status results are 0 for success, and on failure AllLogFileMessages
// holds the reasons, one a line.
//
// Document: Ler(type, number, series, year) -> Boolean (found); Cab; Linhas [(i)]; Origem;
//   Remover; CalculaTotaisCabecalho; SugereValoresLin(line, 7 Booleans: description, unit,
//   VAT rate, price, warehouse (only for a line without one), movement date, factor 1);
//   AdicionaLinha(line) (adds a copy); Validar(0); Inserir; Finalizar(year, type, series,
//   number) (on success the object holds the finalised document); AllLogFileMessages.
// Header (Cab): TipoDocumento, serie, serieOriginal, NossoNoDocumento, NumeroOriginal, ano,
//   Data, Entidade, Nome; read-only Base1..Base4, TotalIva, TotalDocumento, Finalizado;
//   Clona(otherHeader): the other document takes this header and a copy of these lines;
//   Documento: the document the header belongs to.
// Linhas: Count, Item(i) (also the default member), Remove(i); positions from 1.
#pragma once

#include "automation/members.h"
#include "erp/document_state.h"

namespace vantrel::substitutes::erp {

class SalesDocument : public automation::TableObject<SalesDocument, CountedObject> {
public:
    explicit SalesDocument(std::shared_ptr<DocumentState> state) : state_(std::move(state)) {}
    static const automation::Members<SalesDocument>& members();
    const std::shared_ptr<DocumentState>& state() const { return state_; }

private:
    bool adicionaLinha(const automation::ObjectRef& line);
    std::int32_t validar();
    std::int32_t inserir();
    std::int32_t remover();
    std::int32_t finalizar(automation::Call& call);
    std::shared_ptr<DocumentState> state_;
};

class DocumentHeader : public automation::TableObject<DocumentHeader, CountedObject> {
public:
    explicit DocumentHeader(std::shared_ptr<DocumentState> state) : state_(std::move(state)) {}
    static const automation::Members<DocumentHeader>& members();

private:
    void clona(const automation::ObjectRef& target);
    std::shared_ptr<DocumentState> state_;
};

class DocumentLines : public automation::TableObject<DocumentLines, CountedObject> {
public:
    explicit DocumentLines(std::shared_ptr<DocumentState> state) : state_(std::move(state)) {}
    static const automation::Members<DocumentLines>& members();

private:
    std::shared_ptr<DocumentState> state_;
};

}  // namespace vantrel::substitutes::erp
