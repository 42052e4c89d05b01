#include "documents/stored_document.h"

#include <string>

#include "automation/runtime_error.h"

namespace vantrel::documents {

using automation::fromUtf8;
using automation::Text;
using automation::Variant;

const std::array<automation::TextView, kLineColumnCount> kLineColumnNames = {
    u"TPLINHA",  u"ARTIGO", u"ARMAZEM", u"DESCR",    u"QUANT",    u"PRUNIT", u"IVA",
    u"DESCONTO", u"TXDESC", u"DATA",    u"UNIDADE",  u"FACTOR",   u"ORANO",  u"ORDOC",
    u"ORSERIE",  u"ORNUM",  u"ORLIN",   u"LINHAREL", u"ORDENACA", u"LINANU"};

Text DocumentKey::text() const {
    Text t = tipo;
    t += u'-';
    t += serie;
    t += u'-';
    t += fromUtf8(std::to_string(numero));
    t += u'-';
    t += fromUtf8(std::to_string(ano));
    return t;
}

bool StoredRow::cancelled() const {
    const Variant& linanu = (*this)[LineColumn::LINANU];
    if (linanu.isNull() || linanu.isEmpty()) return false;
    return automation::equals(linanu, Variant(std::int16_t{-1}));
}

std::size_t StoredDocument::liveRows() const {
    std::size_t n = 0;
    for (const StoredRow& r : rows) n += r.cancelled() ? 0 : 1;
    return n;
}

std::vector<StoredRow> readStoredRows(const interfaces::Recordset& rows) {
    std::vector<StoredRow> out;
    // An empty recordset is at its end at once; some providers refuse MoveFirst on it.
    if (!rows.Eof()) rows.MoveFirst();
    std::array<automation::ObjectRef, kLineColumnCount> fields;
    bool live = !rows.Eof();
    for (std::size_t c = 0; live && c < kLineColumnCount; ++c) {
        fields[c] = rows.fieldObject(kLineColumnNames[c]);
        live = !fields[c].isNothing();
    }
    while (!rows.Eof()) {
        StoredRow& row = out.emplace_back();
        for (std::size_t c = 0; c < kLineColumnCount; ++c)
            row.values[c] = live ? fields[c].get(u"Value") : rows.field(kLineColumnNames[c]);
        rows.MoveNext();
    }
    return out;
}

namespace {

// A member the host's header may lack: the recovery copy leaves it out instead of failing.
template <class Read>
std::optional<Variant> tryRead(Read&& read) {
    try {
        return read();
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

void readStoredHeader(StoredDocument& stored) {
    interfaces::DocumentHeader cab = stored.doc.Cab();
    auto add = [&](const char16_t* name, std::optional<Variant> value) {
        if (value) stored.header.emplace_back(name, std::move(*value));
    };
    add(u"TipoDocumento", cab.TipoDocumento());
    add(u"serie", cab.serie());
    add(u"NossoNoDocumento", cab.NossoNoDocumento());
    add(u"ano", cab.ano());
    add(u"serieOriginal", tryRead([&] { return cab.serieOriginal(); }));
    add(u"NumeroOriginal", tryRead([&] { return cab.NumeroOriginal(); }));
    add(u"Data", tryRead([&] { return cab.Data(); }));
    add(u"Entidade", tryRead([&] { return cab.Entidade(); }));
    add(u"Nome", tryRead([&] { return cab.Nome(); }));
    stored.bases = 0;
    for (int b = 1; b <= 4; ++b) {
        Variant base = cab.Base(b);
        stored.header.emplace_back(u"Base" + fromUtf8(std::to_string(b)), base);
        stored.bases += base.toDouble();
    }
    // An origin the host answers nothing for is not known.
    if (auto o = tryRead([&] { return stored.doc.Origem(); }); o && !o->isNull() && !o->isEmpty()) {
        stored.origem = o;
        add(u"Origem", o);
    }
    if (auto f = tryRead([&] { return cab.Finalizado(); }); f && !f->isNull() && !f->isEmpty()) {
        stored.finalizado = f->toBool();
        add(u"Finalizado", f);
    }
}

namespace {

// Appends a value as the copy writes it: Null and Empty as nothing, line breaks and
// backslashes escaped.
void appendValue(Text& out, const Variant& v) {
    if (v.isNull() || v.isEmpty()) return;
    Text converted;
    if (!v.isString()) {
        try {
            converted = v.toText();
        } catch (...) {
            out += u'?';
            return;
        }
    }
    automation::TextView raw = v.isString() ? automation::TextView(v.text()) : converted;
    if (raw.find_first_of(u"\\\r\n") == automation::TextView::npos) {
        out += raw;
        return;
    }
    for (char16_t c : raw) {
        if (c == u'\\')
            out += u"\\\\";
        else if (c == u'\r')
            out += u"\\r";
        else if (c == u'\n')
            out += u"\\n";
        else
            out += c;
    }
}

void appendEntry(Text& out, automation::TextView name, const Variant& value) {
    out += name;
    out += u'=';
    appendValue(out, value);
    out += u"\r\n";
}

}  // namespace

Text recoveryCopyText(const StoredDocument& stored, const Text& writtenAt) {
    Text t = automation::T("; Cópia de recuperação do documento ") + stored.key.text() +
             automation::T(", escrita em ") + writtenAt +
             automation::T(
                 " antes de o documento ser removido para lhe acrescentar a Taxa "
                 "Energética. As linhas com LINANU -1 (True) estavam anuladas.\r\n");
    t.reserve(t.size() + 64 * (stored.header.size() + stored.rows.size() * (kLineColumnCount + 1)));
    t += automation::T("[Cabeçalho]\r\n");
    for (const auto& [name, value] : stored.header) appendEntry(t, name, value);
    for (std::size_t i = 0; i < stored.rows.size(); ++i) {
        t += u"[Linha ";
        t += fromUtf8(std::to_string(i + 1));
        t += u"]\r\n";
        for (std::size_t c = 0; c < kLineColumnCount; ++c)
            appendEntry(t, kLineColumnNames[c], stored.rows[i].values[c]);
    }
    return t;
}

}  // namespace vantrel::documents
