// CrystalReportMain's public members by name, for late-bound callers (the caller's windows,
// scripts, the Windows layer). Properties read with Get (or Method), write with Put, and
// object properties also with PutRef; by-reference arguments are written back.
#include "automation/members.h"
#include "reports/engine/crystal_report_main.h"

namespace vantrel::reports::engine {

using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

using automation::Access;
using automation::Call;
using Members = automation::Members<CrystalReportMain>;

bool argBool(const Call& c, std::size_t i) {
    return c.arg(i).toBool();
}

Variant noResult() {
    return Variant();
}

// A property stored as it is given: read back as it was set.
#define VANTREL_PROPERTY(name, convert)                                         \
    Members::Member {                                                           \
        u"" #name, Access::ReadWrite, 0, 0, [](CrystalReportMain& s, Call& c) { \
            if (!c.isPut()) return Variant(s.name());                           \
            s.name(c.value().convert());                                        \
            return noResult();                                                  \
        }                                                                       \
    }

}  // namespace

// In the order of the class's interface.
const Members& CrystalReportMain::members() {
    static const Members table{
        {u"m_Mapa", Access::ReadWrite, 0, 0,
         [](CrystalReportMain& s, Call& c) {
             if (!c.isPut()) return Variant(s.m_Mapa);
             s.m_Mapa = c.value().toObject();
             return noResult();
         }},
        VANTREL_PROPERTY(JanelaModal, toBool),
        {u"HandleFormPai", Access::Write, 0, 0,
         [](CrystalReportMain& s, Call& c) {
             s.HandleFormPai(c.value().toLong());
             return noResult();
         }},
        VANTREL_PROPERTY(FormPai, toObject),
        VANTREL_PROPERTY(in_NomeBaseDados_Next, toText),
        {u"EscolheDestino", Access::Read, 4, 4,
         [](CrystalReportMain& s, Call& c) {
             // EscolheDestino(inNumeroVias, outDestino, outNumeroVias, TituloMapa), all by
             // reference: the two choices are written back.
             std::int16_t destino = 0;
             std::int16_t vias = 0;
             s.EscolheDestino(c.arg(0).toInteger(), destino, vias, c.arg(3).toText());
             c.arg(1) = Variant(destino);
             c.arg(2) = Variant(vias);
             return noResult();
         }},
        {u"Add_ParametrosRecordset", Access::Read, 1, 1,
         [](CrystalReportMain& s, Call& c) {
             return Variant(s.Add_ParametrosRecordset(c.arg(0).toText()));
         }},
        {u"ExecutaMapa_Recordset", Access::Read, 2, 2,
         [](CrystalReportMain& s, Call& c) {
             ObjectRef rs = c.arg(0).toObject();
             const bool result = s.ExecutaMapa_Recordset(rs, argBool(c, 1));
             c.arg(0) = Variant(rs);
             return Variant(result);
         }},
        VANTREL_PROPERTY(in_Destino, toLong),
        {u"ExecutaMapa", Access::Read, 2, 2,
         [](CrystalReportMain& s, Call& c) {
             automation::Array& values = c.arg(0).array();
             return Variant(s.ExecutaMapa(values, argBool(c, 1)));
         }},
        {u"QueroSair", Access::Read, 0, 0,
         [](CrystalReportMain& s, Call&) {
             s.QueroSair();
             return noResult();
         }},
        {u"VisualizarEmail", Access::Read, 1, 1,
         [](CrystalReportMain& s, Call& c) {
             s.VisualizarEmail(argBool(c, 0));
             return noResult();
         }},
        VANTREL_PROPERTY(in_OrientacaoPagina, toLong),
        VANTREL_PROPERTY(in_FormatoDoPapel, toLong),
        {u"VisualizarExcel", Access::Read, 1, 1,
         [](CrystalReportMain& s, Call& c) {
             s.VisualizarExcel(argBool(c, 0));
             return noResult();
         }},
        {u"VisualizarImpressora", Access::Read, 2, 2,
         [](CrystalReportMain& s, Call& c) {
             s.VisualizarImpressora(argBool(c, 0), argBool(c, 1));
             return noResult();
         }},
        {u"CriarFicheioTTX", Access::Read, 2, 2,
         [](CrystalReportMain& s, Call& c) {
             ObjectRef rs = c.arg(0).toObject();
             Text name = c.arg(1).toText();
             const bool result = s.CriarFicheioTTX(rs, name);
             c.arg(0) = Variant(rs);
             c.arg(1) = Variant(name);
             return Variant(result);
         }},
        VANTREL_PROPERTY(JanelaVisualizador, toObject),
        VANTREL_PROPERTY(PodeMudarImpressora, toBool),
        VANTREL_PROPERTY(NumeroDeVias, toInteger),
        VANTREL_PROPERTY(NaoPermiteImprimir, toBool),
        VANTREL_PROPERTY(in_Pedidos, toText),
        VANTREL_PROPERTY(in_NomeDaImpressora, toText),
        VANTREL_PROPERTY(in_Mapa, toText),
        VANTREL_PROPERTY(FicheiroPDF, toText),
        VANTREL_PROPERTY(emailCC, toText),
        VANTREL_PROPERTY(emailTo, toText),
        VANTREL_PROPERTY(emailSubject, toText),
        VANTREL_PROPERTY(emailMessage, toText),
        {u"VisualizarEcran", Access::Read, 1, 1,
         [](CrystalReportMain& s, Call& c) { return Variant(s.VisualizarEcran(argBool(c, 0))); }},
        {u"MostraLista", Access::Read, 1, 1,
         [](CrystalReportMain& s, Call& c) { return Variant(s.MostraLista(c.arg(0).toText())); }},
        VANTREL_PROPERTY(in_bd, toObject),
        VANTREL_PROPERTY(in_Password, toText),
        VANTREL_PROPERTY(in_UserId, toText),
        VANTREL_PROPERTY(In_NomeBaseDados, toText),
        VANTREL_PROPERTY(in_Servidor, toText),
        {u"Substitui", Access::Read, 1, 1,
         [](CrystalReportMain& s, Call& c) { return Variant(s.Substitui(c.arg(0).toText())); }},
        VANTREL_PROPERTY(VersaoCRYSTAL, toLong),
        VANTREL_PROPERTY(NomeDoMapa, toText),
        VANTREL_PROPERTY(JanelaParametros, toObject),
        {u"AbrirMapa", Access::Read, 0, 0,
         [](CrystalReportMain& s, Call&) { return Variant(s.AbrirMapa()); }},
        {u"VisualizarPDF", Access::Read, 1, 1,
         [](CrystalReportMain& s, Call& c) {
             s.VisualizarPDF(argBool(c, 0));
             return noResult();
         }},
    };
    return table;
}

#undef VANTREL_PROPERTY

Variant CrystalReportMain::invoke(TextView member, automation::CallKind kind,
                                  std::span<automation::Argument> args) {
    const automation::ScopedLocale locale(services_.locale());
    return TableObject::invoke(member, kind, args);
}

Variant CrystalReportMain::invokeAt(std::size_t index, automation::CallKind kind,
                                    std::span<automation::Argument> args) {
    const automation::ScopedLocale locale(services_.locale());
    return TableObject::invokeAt(index, kind, args);
}

}  // namespace vantrel::reports::engine
