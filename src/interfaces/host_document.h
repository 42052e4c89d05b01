// The ERP's document objects, reached by member name: the document, its header (Cab), its
// line collection (Linhas) and its lines. The member names used on them live here and
// nowhere else. Each facade is a thin view over a counted reference; copying one copies the
// reference, not the object.
#pragma once

#include <cstdint>

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::interfaces {

class DocumentLine {
public:
    DocumentLine() = default;
    explicit DocumentLine(automation::ObjectRef line) : o_(std::move(line)) {}
    const automation::ObjectRef& ref() const { return o_; }
    bool isNothing() const { return o_.isNothing(); }

    automation::Variant Artigo() const { return o_.get(u"Artigo"); }
    automation::Variant PrecoUnitario() const { return o_.get(u"PrecoUnitario"); }

    void setTipoDeLinha(const automation::Variant& v) const { o_.put(u"TipoDeLinha", v); }
    void setArtigo(const automation::Variant& v) const { o_.put(u"Artigo", v); }
    void setArmazem(const automation::Variant& v) const { o_.put(u"Armazem", v); }
    void setDescricao(const automation::Variant& v) const { o_.put(u"Descricao", v); }
    void setQuantidade(const automation::Variant& v) const { o_.put(u"Quantidade", v); }
    void setQuantidadeOrigem(const automation::Variant& v) const { o_.put(u"QuantidadeOrigem", v); }
    void setPrecoUnitario(const automation::Variant& v) const { o_.put(u"PrecoUnitario", v); }
    void setPrecoUnitarioIntroduzido(const automation::Variant& v) const {
        o_.put(u"PrecoUnitarioIntroduzido", v);
    }
    void setTaxaIva(const automation::Variant& v) const { o_.put(u"TaxaIva", v); }
    void setDesconto(const automation::Variant& v) const { o_.put(u"Desconto", v); }
    void setTaxaDesconto(const automation::Variant& v) const { o_.put(u"TaxaDesconto", v); }
    void setDataMvStock(const automation::Variant& v) const { o_.put(u"DataMvStock", v); }
    void setUnidade(const automation::Variant& v) const { o_.put(u"Unidade", v); }
    void setFactor(const automation::Variant& v) const { o_.put(u"Factor", v); }
    void setOrano(const automation::Variant& v) const { o_.put(u"Orano", v); }
    void setOrdoc(const automation::Variant& v) const { o_.put(u"Ordoc", v); }
    void setOrserie(const automation::Variant& v) const { o_.put(u"Orserie", v); }
    void setOrnum(const automation::Variant& v) const { o_.put(u"Ornum", v); }
    void setLinhaOriginal(const automation::Variant& v) const { o_.put(u"LinhaOriginal", v); }
    void setLinhaRelacionada(const automation::Variant& v) const { o_.put(u"LinhaRelacionada", v); }
    void setOrdenacao(const automation::Variant& v) const { o_.put(u"Ordenacao", v); }

private:
    automation::ObjectRef o_;
};

class LineCollection {
public:
    explicit LineCollection(automation::ObjectRef lines) : o_(std::move(lines)) {}
    const automation::ObjectRef& ref() const { return o_; }

    std::int32_t Count() const { return o_.get(u"Count").toLong(); }
    void Remove(std::int16_t index) const { o_.call(u"Remove", index); }

private:
    automation::ObjectRef o_;
};

class DocumentHeader {
public:
    explicit DocumentHeader(automation::ObjectRef header) : o_(std::move(header)) {}
    const automation::ObjectRef& ref() const { return o_; }

    automation::Variant TipoDocumento() const { return o_.get(u"TipoDocumento"); }
    automation::Variant serie() const { return o_.get(u"serie"); }
    automation::Variant serieOriginal() const { return o_.get(u"serieOriginal"); }
    automation::Variant NossoNoDocumento() const { return o_.get(u"NossoNoDocumento"); }
    automation::Variant ano() const { return o_.get(u"ano"); }
    automation::Variant NumeroOriginal() const { return o_.get(u"NumeroOriginal"); }
    automation::Variant Data() const { return o_.get(u"Data"); }
    automation::Variant Entidade() const { return o_.get(u"Entidade"); }
    automation::Variant Nome() const { return o_.get(u"Nome"); }
    // Whether the stored document is final; not every host's header has it.
    automation::Variant Finalizado() const { return o_.get(u"Finalizado"); }
    // Base1 to Base4, the document's tax bases.
    automation::Variant Base(int which) const;

    void setNossoNoDocumento(const automation::Variant& v) const { o_.put(u"NossoNoDocumento", v); }
    void setNumeroOriginal(const automation::Variant& v) const { o_.put(u"NumeroOriginal", v); }
    // Copies this header into `target` (another document's header).
    void Clona(const DocumentHeader& target) const;

private:
    automation::ObjectRef o_;
};

class HostDocument {
public:
    HostDocument() = default;
    explicit HostDocument(automation::ObjectRef document) : o_(std::move(document)) {}
    const automation::ObjectRef& ref() const { return o_; }
    bool isNothing() const { return o_.isNothing(); }
    void reset() { o_.reset(); }

    DocumentHeader Cab() const { return DocumentHeader(o_.object(u"Cab")); }
    LineCollection Linhas() const { return LineCollection(o_.object(u"Linhas")); }
    DocumentLine Linhas(std::int16_t position) const {
        return DocumentLine(o_.object(u"Linhas", position));
    }

    // Loads the stored document with that key; the host's answer is not meaningful (test
    // Cab().NossoNoDocumento() instead).
    void Ler(const automation::Text& tipo, std::int32_t numero, const automation::Text& serie,
             std::int16_t ano) const;
    automation::Variant Origem() const { return o_.get(u"Origem"); }
    void setOrigem(const automation::Variant& origem) const { o_.put(u"Origem", origem); }
    automation::Variant Remover() const { return o_.call(u"Remover"); }
    void CalculaTotaisCabecalho() const { o_.call(u"CalculaTotaisCabecalho"); }
    // Fills the line with the host's suggested values (seven flags, all true).
    void SugereValoresLin(const DocumentLine& line) const;
    automation::Variant AdicionaLinha(const DocumentLine& line) const;
    // The status answers below are 0 for success.
    automation::Variant Validar(std::int16_t mode) const { return o_.call(u"Validar", mode); }
    automation::Variant Inserir() const { return o_.call(u"Inserir"); }
    automation::Variant Finalizar(std::int16_t ano, const automation::Text& tipo,
                                  const automation::Text& serie, std::int32_t numero) const;
    automation::Text AllLogFileMessages() const { return o_.get(u"AllLogFileMessages").toText(); }

private:
    automation::ObjectRef o_;
};

// Out-of-line members.

inline automation::Variant DocumentHeader::Base(int which) const {
    switch (which) {
        case 1:
            return o_.get(u"Base1");
        case 2:
            return o_.get(u"Base2");
        case 3:
            return o_.get(u"Base3");
        case 4:
            return o_.get(u"Base4");
        default:
            throw automation::RuntimeError(automation::errc::SubscriptOutOfRange);
    }
}

inline void DocumentHeader::Clona(const DocumentHeader& target) const {
    automation::Variant other(target.ref());
    o_.call(u"Clona", automation::byRef(other));
}

inline void HostDocument::Ler(const automation::Text& tipo, std::int32_t numero,
                              const automation::Text& serie, std::int16_t ano) const {
    automation::Variant t(tipo), n(numero), s(serie), a(ano);
    o_.call(u"Ler", automation::byRef(t), automation::byRef(n), automation::byRef(s),
            automation::byRef(a));
}

inline void HostDocument::SugereValoresLin(const DocumentLine& line) const {
    automation::Variant l(line.ref());
    automation::Variant f1(true), f2(true), f3(true), f4(true), f5(true), f6(true), f7(true);
    o_.call(u"SugereValoresLin", automation::byRef(l), automation::byRef(f1), automation::byRef(f2),
            automation::byRef(f3), automation::byRef(f4), automation::byRef(f5),
            automation::byRef(f6), automation::byRef(f7));
}

inline automation::Variant HostDocument::AdicionaLinha(const DocumentLine& line) const {
    automation::Variant l(line.ref());
    return o_.call(u"AdicionaLinha", automation::byRef(l));
}

inline automation::Variant HostDocument::Finalizar(std::int16_t ano, const automation::Text& tipo,
                                                   const automation::Text& serie,
                                                   std::int32_t numero) const {
    automation::Variant a(ano), t(tipo), s(serie), n(numero);
    return o_.call(u"Finalizar", automation::byRef(a), automation::byRef(t), automation::byRef(s),
                   automation::byRef(n));
}

}  // namespace vantrel::interfaces
