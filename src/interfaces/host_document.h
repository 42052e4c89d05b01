// The ERP's document objects, reached by member name: the document, its header (Cab), its
// line collection (Linhas) and its lines. The member names used on them live here and
// nowhere else. Each facade is a thin view over a counted reference; copying one copies the
// reference, not the object.
#pragma once

#include <cstdint>

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::interfaces {

using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

class DocumentLine {
public:
    DocumentLine() = default;
    explicit DocumentLine(ObjectRef line) : o_(std::move(line)) {}
    const ObjectRef& ref() const { return o_; }
    bool isNothing() const { return o_.isNothing(); }

    Variant Artigo() const { return o_.get(u"Artigo"); }
    Variant PrecoUnitario() const { return o_.get(u"PrecoUnitario"); }

    void setTipoDeLinha(const Variant& v) const { o_.put(u"TipoDeLinha", v); }
    void setArtigo(const Variant& v) const { o_.put(u"Artigo", v); }
    void setArmazem(const Variant& v) const { o_.put(u"Armazem", v); }
    void setDescricao(const Variant& v) const { o_.put(u"Descricao", v); }
    void setQuantidade(const Variant& v) const { o_.put(u"Quantidade", v); }
    void setQuantidadeOrigem(const Variant& v) const { o_.put(u"QuantidadeOrigem", v); }
    void setPrecoUnitario(const Variant& v) const { o_.put(u"PrecoUnitario", v); }
    void setPrecoUnitarioIntroduzido(const Variant& v) const {
        o_.put(u"PrecoUnitarioIntroduzido", v);
    }
    void setTaxaIva(const Variant& v) const { o_.put(u"TaxaIva", v); }
    void setDesconto(const Variant& v) const { o_.put(u"Desconto", v); }
    void setTaxaDesconto(const Variant& v) const { o_.put(u"TaxaDesconto", v); }
    void setDataMvStock(const Variant& v) const { o_.put(u"DataMvStock", v); }
    void setUnidade(const Variant& v) const { o_.put(u"Unidade", v); }
    void setFactor(const Variant& v) const { o_.put(u"Factor", v); }
    void setOrano(const Variant& v) const { o_.put(u"Orano", v); }
    void setOrdoc(const Variant& v) const { o_.put(u"Ordoc", v); }
    void setOrserie(const Variant& v) const { o_.put(u"Orserie", v); }
    void setOrnum(const Variant& v) const { o_.put(u"Ornum", v); }
    void setLinhaOriginal(const Variant& v) const { o_.put(u"LinhaOriginal", v); }
    void setLinhaRelacionada(const Variant& v) const { o_.put(u"LinhaRelacionada", v); }
    void setOrdenacao(const Variant& v) const { o_.put(u"Ordenacao", v); }

private:
    ObjectRef o_;
};

class LineCollection {
public:
    explicit LineCollection(ObjectRef lines) : o_(std::move(lines)) {}
    const ObjectRef& ref() const { return o_; }

    std::int32_t Count() const { return o_.get(u"Count").toLong(); }
    void Remove(std::int16_t index) const { o_.call(u"Remove", index); }

private:
    ObjectRef o_;
};

class DocumentHeader {
public:
    explicit DocumentHeader(ObjectRef header) : o_(std::move(header)) {}
    const ObjectRef& ref() const { return o_; }

    Variant TipoDocumento() const { return o_.get(u"TipoDocumento"); }
    Variant serie() const { return o_.get(u"serie"); }
    Variant serieOriginal() const { return o_.get(u"serieOriginal"); }
    Variant NossoNoDocumento() const { return o_.get(u"NossoNoDocumento"); }
    Variant ano() const { return o_.get(u"ano"); }
    Variant NumeroOriginal() const { return o_.get(u"NumeroOriginal"); }
    Variant Data() const { return o_.get(u"Data"); }
    Variant Entidade() const { return o_.get(u"Entidade"); }
    Variant Nome() const { return o_.get(u"Nome"); }
    // Whether the stored document is final; not every host's header has it.
    Variant Finalizado() const { return o_.get(u"Finalizado"); }
    // Base1 to Base4, the document's tax bases.
    Variant Base(int which) const;

    void setNossoNoDocumento(const Variant& v) const { o_.put(u"NossoNoDocumento", v); }
    void setNumeroOriginal(const Variant& v) const { o_.put(u"NumeroOriginal", v); }
    // Copies this header into `target` (another document's header).
    void Clona(const DocumentHeader& target) const;

private:
    ObjectRef o_;
};

class HostDocument {
public:
    HostDocument() = default;
    explicit HostDocument(ObjectRef document) : o_(std::move(document)) {}
    const ObjectRef& ref() const { return o_; }
    bool isNothing() const { return o_.isNothing(); }
    void reset() { o_.reset(); }

    DocumentHeader Cab() const { return DocumentHeader(o_.object(u"Cab")); }
    LineCollection Linhas() const { return LineCollection(o_.object(u"Linhas")); }
    DocumentLine Linhas(std::int16_t position) const {
        return DocumentLine(o_.object(u"Linhas", position));
    }

    // Loads the stored document with that key; the host's answer is not meaningful (test
    // Cab().NossoNoDocumento() instead).
    void Ler(const Text& tipo, std::int32_t numero, const Text& serie, std::int16_t ano) const;
    Variant Origem() const { return o_.get(u"Origem"); }
    void setOrigem(const Variant& origem) const { o_.put(u"Origem", origem); }
    Variant Remover() const { return o_.call(u"Remover"); }
    void CalculaTotaisCabecalho() const { o_.call(u"CalculaTotaisCabecalho"); }
    // Fills the line with the host's suggested values (seven flags, all true).
    void SugereValoresLin(const DocumentLine& line) const;
    Variant AdicionaLinha(const DocumentLine& line) const;
    // The status answers below are 0 for success.
    Variant Validar(std::int16_t mode) const { return o_.call(u"Validar", mode); }
    Variant Inserir() const { return o_.call(u"Inserir"); }
    Variant Finalizar(std::int16_t ano, const Text& tipo, const Text& serie,
                      std::int32_t numero) const;
    Text AllLogFileMessages() const { return o_.get(u"AllLogFileMessages").toText(); }

private:
    ObjectRef o_;
};

// Out-of-line members.

inline Variant DocumentHeader::Base(int which) const {
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
    Variant other(target.ref());
    o_.call(u"Clona", automation::byRef(other));
}

inline void HostDocument::Ler(const Text& tipo, std::int32_t numero, const Text& serie,
                              std::int16_t ano) const {
    Variant t(tipo), n(numero), s(serie), a(ano);
    o_.call(u"Ler", automation::byRef(t), automation::byRef(n), automation::byRef(s),
            automation::byRef(a));
}

inline void HostDocument::SugereValoresLin(const DocumentLine& line) const {
    Variant l(line.ref());
    Variant f1(true), f2(true), f3(true), f4(true), f5(true), f6(true), f7(true);
    o_.call(u"SugereValoresLin", automation::byRef(l), automation::byRef(f1), automation::byRef(f2),
            automation::byRef(f3), automation::byRef(f4), automation::byRef(f5),
            automation::byRef(f6), automation::byRef(f7));
}

inline Variant HostDocument::AdicionaLinha(const DocumentLine& line) const {
    Variant l(line.ref());
    return o_.call(u"AdicionaLinha", automation::byRef(l));
}

inline Variant HostDocument::Finalizar(std::int16_t ano, const Text& tipo, const Text& serie,
                                       std::int32_t numero) const {
    Variant a(ano), t(tipo), s(serie), n(numero);
    return o_.call(u"Finalizar", automation::byRef(a), automation::byRef(t), automation::byRef(s),
                   automation::byRef(n));
}

}  // namespace vantrel::interfaces
