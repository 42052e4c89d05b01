#include "documents/fake_erp.h"

#include "automation/runtime_error.h"
#include "documents/dal_comandos.h"

namespace vantrel::testing {

using automation::Argument;
using automation::argumentAt;
using automation::CallKind;
using automation::isMember;
using automation::Object;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::ucase;
using automation::Variant;

namespace {

// Line property -> DOCGCLIN column.
const std::pair<const char16_t*, const char16_t*> kColumns[] = {
    {u"TIPODELINHA", u"TPLINHA"}, {u"ARTIGO", u"ARTIGO"},       {u"ARMAZEM", u"ARMAZEM"},
    {u"DESCRICAO", u"DESCR"},     {u"QUANTIDADE", u"QUANT"},    {u"PRECOUNITARIO", u"PRUNIT"},
    {u"TAXAIVA", u"IVA"},         {u"DESCONTO", u"DESCONTO"},   {u"TAXADESCONTO", u"TXDESC"},
    {u"DATAMVSTOCK", u"DATA"},    {u"UNIDADE", u"UNIDADE"},     {u"FACTOR", u"FACTOR"},
    {u"ORANO", u"ORANO"},         {u"ORDOC", u"ORDOC"},         {u"ORSERIE", u"ORSERIE"},
    {u"ORNUM", u"ORNUM"},         {u"LINHAORIGINAL", u"ORLIN"}, {u"LINHARELACIONADA", u"LINHAREL"},
    {u"ORDENACAO", u"ORDENACA"},
};

DocKey keyOf(const Row& cab) {
    auto get = [&](const char16_t* k) {
        auto it = cab.find(k);
        return it == cab.end() ? Variant() : it->second;
    };
    return {get(u"TIPODOCUMENTO").toText(), get(u"SERIE").toText(),
            get(u"NOSSONODOCUMENTO").toLong(), get(u"ANO").toInteger()};
}

class Line : public Object {
public:
    Line(std::shared_ptr<FakeErp> erp, Row props)
        : props_(std::move(props)), erp_(std::move(erp)) {}
    Row props_;
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override {
        Text key = ucase(member);
        if (kind == CallKind::Put) {
            props_[key] = argumentAt(args, args.size() - 1);
            return Variant();
        }
        auto it = props_.find(key);
        return it == props_.end() ? Variant() : it->second;
    }

private:
    std::shared_ptr<FakeErp> erp_;
};

class Document;

class Header : public Object {
public:
    explicit Header(std::shared_ptr<Document> doc) : doc_(std::move(doc)) {}
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;

private:
    std::shared_ptr<Document> doc_;
};

class Lines : public Object {
public:
    explicit Lines(std::shared_ptr<Document> doc) : doc_(std::move(doc)) {}
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;

private:
    std::shared_ptr<Document> doc_;
};

class Document : public Object, public std::enable_shared_from_this<Document> {
public:
    explicit Document(std::shared_ptr<FakeErp> erp) : erp_(std::move(erp)) {}
    FakeDoc data;
    Text messages;
    std::shared_ptr<FakeErp> erp_;

    void log(const std::string& what) { erp_->log->push_back(what); }

    Variant invoke(TextView member, CallKind, std::span<Argument> args) override {
        std::string name = automation::toUtf8(member);
        if (isMember(member, u"Cab"))
            return Variant(ObjectRef(std::make_shared<Header>(shared_from_this())));
        if (isMember(member, u"Linhas")) {
            if (args.empty())
                return Variant(ObjectRef(std::make_shared<Lines>(shared_from_this())));
            std::int32_t i = argumentAt(args, 0).toLong();
            if (i < 1 || i > static_cast<std::int32_t>(data.lines.size())) throw RuntimeError(9);
            Row props;
            for (auto [prop, col] : kColumns) {
                auto it = data.lines[i - 1].find(col);
                if (it != data.lines[i - 1].end()) props[prop] = it->second;
            }
            return Variant(ObjectRef(std::make_shared<Line>(erp_, props)));
        }
        if (isMember(member, u"AllLogFileMessages")) return Variant(messages);
        log("Doc." + name);
        erp_->maybeThrow(name);
        if (isMember(member, u"Origem")) {
            if (args.empty()) return data.cab.count(u"ORIGEM") ? data.cab[u"ORIGEM"] : Variant();
            data.cab[u"ORIGEM"] = argumentAt(args, 0);
            return Variant();
        }
        if (isMember(member, u"Ler")) {
            DocKey k{argumentAt(args, 0).toText(), argumentAt(args, 2).toText(),
                     argumentAt(args, 1).toLong(), argumentAt(args, 3).toInteger()};
            auto it = erp_->stored.find(k);
            if (it != erp_->stored.end()) {
                data = it->second;
            } else {
                data = FakeDoc{};
                data.cab[u"NOSSONODOCUMENTO"] = Variant(std::int32_t{0});
            }
            return Variant(it != erp_->stored.end());
        }
        if (isMember(member, u"Remover")) {
            int status = erp_->takeFailure(name);
            if (status) {
                messages = u"Remover falhou";
                return Variant(std::int32_t{status});
            }
            if (!erp_->removerKeepsDocument) erp_->stored.erase(keyOf(data.cab));
            return Variant(std::int32_t{0});
        }
        if (isMember(member, u"CalculaTotaisCabecalho")) {
            double base = 0;
            for (const Row& r : data.lines) {
                if (r.count(u"QUANT") && r.count(u"PRUNIT"))
                    base += r.at(u"QUANT").toDouble() * r.at(u"PRUNIT").toDouble();
            }
            data.cab[u"BASE1"] = Variant(base);
            for (const char16_t* b : {u"BASE2", u"BASE3", u"BASE4"}) data.cab[b] = Variant(0.0);
            return Variant();
        }
        if (isMember(member, u"SugereValoresLin")) {
            if (args.size() != 8) throw RuntimeError(450);
            for (std::size_t i = 1; i < 8; ++i) {
                if (!args[i].value.toBool()) throw RuntimeError(5, u"Doc", u"flag not true");
            }
            auto line = std::dynamic_pointer_cast<Line>(argumentAt(args, 0).toObject().shared());
            Text artigo = line->props_[u"ARTIGO"].toText();
            line->props_[u"DESCRICAO"] = Variant(u"Artigo " + artigo);
            line->props_[u"UNIDADE"] = Variant(Text(u"UN"));
            auto price = erp_->articles.find(artigo);
            line->props_[u"PRECOUNITARIO"] =
                Variant(price == erp_->articles.end() ? 0.0 : price->second);
            return Variant();
        }
        if (isMember(member, u"AdicionaLinha")) {
            auto line = std::dynamic_pointer_cast<Line>(argumentAt(args, 0).toObject().shared());
            Row row;
            for (auto [prop, col] : kColumns) {
                auto it = line->props_.find(prop);
                if (it != line->props_.end()) row[col] = it->second;
            }
            row[u"LINANU"] = Variant(false);
            if (erp_->takeFailure(name)) {
                messages = u"Linha recusada";
                return Variant(false);
            }
            if (erp_->dropLinesSilently) return Variant();
            data.lines.push_back(row);
            return Variant(true);
        }
        if (isMember(member, u"Validar")) {
            if (argumentAt(args, 0).toLong() != 0) throw RuntimeError(5);
            for (const Row& r : data.lines) {
                Text artigo = r.count(u"ARTIGO") ? r.at(u"ARTIGO").toText() : Text();
                if (r.at(u"TPLINHA").toLong() == 1 && !erp_->articles.count(artigo)) {
                    messages = u"Artigo '" + artigo + u"' inexistente.";
                    return Variant(std::int32_t{1});
                }
            }
            int status = erp_->takeFailure(name);
            if (status) messages = u"Validar falhou";
            return Variant(std::int32_t{status});
        }
        if (isMember(member, u"Inserir")) {
            int status = erp_->takeFailure(name);
            if (status) {
                messages = u"Inserir falhou";
                return Variant(std::int32_t{status});
            }
            std::int32_t n = data.cab[u"NOSSONODOCUMENTO"].toLong();
            if (n == 0 || !erp_->insertKeepsNumber) n = erp_->nextNumber++;
            data.cab[u"NOSSONODOCUMENTO"] = Variant(n);
            if (erp_->stored.count(keyOf(data.cab))) {
                messages = u"Documento repetido";
                return Variant(std::int32_t{2});
            }
            erp_->stored[keyOf(data.cab)] = data;
            return Variant(std::int32_t{0});
        }
        if (isMember(member, u"Finalizar")) {
            DocKey k{argumentAt(args, 1).toText(), argumentAt(args, 2).toText(),
                     argumentAt(args, 3).toLong(), argumentAt(args, 0).toInteger()};
            int status = erp_->takeFailure(name);
            auto it = erp_->stored.find(k);
            if (status || it == erp_->stored.end()) {
                messages = u"Finalizar falhou";
                return Variant(std::int32_t{status ? status : 3});
            }
            it->second.finalised = true;
            data = it->second;
            return Variant(std::int32_t{0});
        }
        automation::unknownMember(member);
    }
};

Variant Header::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    Text key = ucase(member);
    if (isMember(member, u"Clona")) {
        auto target = std::dynamic_pointer_cast<Header>(argumentAt(args, 0).toObject().shared());
        target->doc_->data.cab = doc_->data.cab;
        target->doc_->data.lines = doc_->data.lines;  // the copy brings the lines along
        return Variant();
    }
    if (kind == CallKind::Put) {
        doc_->data.cab[key] = argumentAt(args, args.size() - 1);
        return Variant();
    }
    if (key == u"SERIEORIGINAL") key = u"SERIE";
    if (key == u"FINALIZADO") return Variant(doc_->data.finalised);
    auto it = doc_->data.cab.find(key);
    return it == doc_->data.cab.end() ? Variant() : it->second;
}

Variant Lines::invoke(TextView member, CallKind, std::span<Argument> args) {
    if (isMember(member, u"Count"))
        return Variant(static_cast<std::int32_t>(doc_->data.lines.size()));
    if (isMember(member, u"Remove")) {
        std::int32_t i = argumentAt(args, 0).toLong();
        if (i < 1 || i > static_cast<std::int32_t>(doc_->data.lines.size())) throw RuntimeError(9);
        doc_->data.lines.erase(doc_->data.lines.begin() + (i - 1));
        return Variant();
    }
    automation::unknownMember(member);
}

class Recordset : public Object {
public:
    explicit Recordset(std::vector<Row> rows) : rows_(std::move(rows)) {}
    Variant invoke(TextView member, CallKind, std::span<Argument> args) override {
        if (isMember(member, u"EOF")) return Variant(pos_ >= rows_.size());
        if (isMember(member, u"MoveFirst")) {
            pos_ = 0;
            return Variant();
        }
        if (isMember(member, u"MoveNext")) {
            if (pos_ >= rows_.size()) throw RuntimeError(3021, u"ADODB.Recordset", u"EOF");
            ++pos_;
            return Variant();
        }
        if (isMember(member, u"Fields")) {
            if (pos_ >= rows_.size()) throw RuntimeError(3021, u"ADODB.Recordset", u"EOF");
            auto it = rows_[pos_].find(ucase(argumentAt(args, 0).toText()));
            return it == rows_[pos_].end() ? Variant::null() : it->second;
        }
        automation::unknownMember(member);
    }

private:
    std::vector<Row> rows_;
    std::size_t pos_ = 0;
};

}  // namespace

int FakeErp::takeFailure(const std::string& op) {
    auto it = failNext.find(op);
    if (it == failNext.end()) return 0;
    int status = it->second;
    failNext.erase(it);
    return status;
}

void FakeErp::maybeThrow(const std::string& op) {
    if (throwOn.count(op))
        throw RuntimeError(440, u"ERP", u"Falha do ERP em " + automation::fromUtf8(op));
}

void FakeErp::store(const DocKey& key, const std::vector<StoredRow>& lines,
                    std::array<double, 4> bases) {
    FakeDoc d;
    d.cab[u"TIPODOCUMENTO"] = Variant(std::get<0>(key));
    d.cab[u"SERIE"] = Variant(std::get<1>(key));
    d.cab[u"NOSSONODOCUMENTO"] = Variant(std::get<2>(key));
    d.cab[u"ANO"] = Variant(std::get<3>(key));
    const char16_t* names[] = {u"BASE1", u"BASE2", u"BASE3", u"BASE4"};
    for (int i = 0; i < 4; ++i) d.cab[names[i]] = Variant(bases[i]);
    d.cab[u"ORIGEM"] = Variant(std::int16_t{0});
    std::int32_t order = 1;
    for (const StoredRow& l : lines) {
        Row r;
        r[u"TPLINHA"] = Variant(l.tipo);
        r[u"ARTIGO"] = Variant(l.artigo);
        r[u"ARMAZEM"] = Variant(Text(u"A1"));
        r[u"DESCR"] = Variant(u"Linha " + l.artigo);
        r[u"QUANT"] = Variant(l.quantidade);
        r[u"PRUNIT"] = Variant(l.preco);
        r[u"IVA"] = Variant(23.0);
        r[u"DESCONTO"] = Variant(0.0);
        r[u"TXDESC"] = Variant(0.0);
        r[u"DATA"] = Variant::date(automation::makeDate(2024, 3, 1));
        r[u"UNIDADE"] = Variant(Text(u"UN"));
        r[u"FACTOR"] = Variant(1.0);
        for (const char16_t* c : {u"ORANO", u"ORNUM", u"ORLIN", u"LINHAREL"})
            r[c] = Variant(std::int32_t{0});
        r[u"ORDOC"] = Variant(Text());
        r[u"ORSERIE"] = Variant(Text());
        r[u"ORDENACA"] = Variant(order++);
        r[u"LINANU"] = l.anulada ? Variant(true) : Variant(std::int16_t{0});
        d.lines.push_back(r);
    }
    stored[key] = d;
}

const FakeDoc* FakeErp::find(const Text& type, const Text& series, std::int32_t number,
                             std::int16_t year) const {
    auto it = stored.find(DocKey{type, series, number, year});
    return it == stored.end() ? nullptr : &it->second;
}

ObjectRef FakeErp::api() {
    auto self = shared_from_this();
    auto o = std::make_shared<ScriptedObject>("Api", nullptr);
    o->on(u"NewSalesDocument", [self](CallKind, std::span<Argument>) {
        self->log->push_back("Api.NewSalesDocument");
        return Variant(ObjectRef(std::make_shared<Document>(self)));
    });
    o->on(u"NewDocumentLine", [self](CallKind, std::span<Argument>) {
        return Variant(ObjectRef(std::make_shared<Line>(self, Row{})));
    });
    return ObjectRef(o);
}

ObjectRef FakeErp::dataAccess() {
    auto self = shared_from_this();
    auto o = std::make_shared<ScriptedObject>("Dados", nullptr);
    o->on(u"OpenRecordset", [self](CallKind, std::span<Argument> args) {
        Text sql = argumentAt(args, 1).toText();
        self->statements.push_back(sql);
        self->maybeThrow("OpenRecordset");
        std::vector<Row> rows;
        for (const auto& [key, doc] : self->stored) {
            auto [t, s, n, y] = key;
            if (documents::DalComandos::docGcLinStatement(t, n, s, y) == sql) rows = doc.lines;
        }
        argumentAt(args, 2) = Variant(ObjectRef(std::make_shared<Recordset>(rows)));
        return Variant(std::int32_t{0});
    });
    return ObjectRef(o);
}

}  // namespace vantrel::testing
