// CrystalReportMain's public members by name, for late-bound callers (the caller's windows,
// scripts, the Windows layer). Properties read with Get (or Method), write with Put, and
// object properties also with PutRef; by-reference arguments are written back.
#include <functional>
#include <vector>

#include "automation/runtime_error.h"
#include "reports/engine/crystal_report_main.h"

namespace vantrel::reports::engine {

using automation::Argument;
using automation::CallKind;

namespace {

struct Property {
    const char16_t* name;
    std::function<Variant(CrystalReportMain&)> get;  // empty for a write-only property
    std::function<void(CrystalReportMain&, const Variant&)> set;
};

#define VANTREL_PROPERTY(name, convert)                                         \
    Property {                                                                  \
        u"" #name, [](CrystalReportMain& s) { return Variant(s.name()); },      \
            [](CrystalReportMain& s, const Variant& v) { s.name(v.convert()); } \
    }

const std::vector<Property>& properties() {
    static const std::vector<Property> table = {
        Property{u"m_Mapa", [](CrystalReportMain& s) { return Variant(s.m_Mapa); },
                 [](CrystalReportMain& s, const Variant& v) { s.m_Mapa = v.toObject(); }},
        VANTREL_PROPERTY(JanelaModal, toBool),
        Property{u"HandleFormPai", nullptr,
                 [](CrystalReportMain& s, const Variant& v) { s.HandleFormPai(v.toLong()); }},
        VANTREL_PROPERTY(FormPai, toObject),
        VANTREL_PROPERTY(in_NomeBaseDados_Next, toText),
        VANTREL_PROPERTY(in_Destino, toLong),
        VANTREL_PROPERTY(in_OrientacaoPagina, toLong),
        VANTREL_PROPERTY(in_FormatoDoPapel, toLong),
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
        VANTREL_PROPERTY(in_bd, toObject),
        VANTREL_PROPERTY(in_Password, toText),
        VANTREL_PROPERTY(in_UserId, toText),
        VANTREL_PROPERTY(In_NomeBaseDados, toText),
        VANTREL_PROPERTY(in_Servidor, toText),
        VANTREL_PROPERTY(VersaoCRYSTAL, toLong),
        VANTREL_PROPERTY(NomeDoMapa, toText),
        VANTREL_PROPERTY(JanelaParametros, toObject),
    };
    return table;
}

#undef VANTREL_PROPERTY

bool argBool(std::span<Argument> args, std::size_t i) {
    return automation::argumentAt(args, i).toBool();
}

}  // namespace

Variant CrystalReportMain::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const automation::ScopedLocale locale(services_.locale());
    using automation::isMember;
    for (const auto& p : properties()) {
        if (!isMember(member, p.name)) continue;
        if (automation::isPut(kind)) {
            if (args.empty()) throw automation::RuntimeError(automation::errc::ArgumentNotOptional);
            p.set(*this, args.back().value);
            return Variant();
        }
        if (!p.get) automation::unknownMember(member);
        return p.get(*this);
    }
    if (automation::isPut(kind)) automation::unknownMember(member);

    if (isMember(member, u"EscolheDestino")) {
        // EscolheDestino(inNumeroVias, outDestino, outNumeroVias, TituloMapa), all by
        // reference: the two choices are written back.
        std::int16_t destino = 0;
        std::int16_t vias = 0;
        EscolheDestino(automation::argumentAt(args, 0).toInteger(), destino, vias,
                       automation::argumentAt(args, 3).toText());
        automation::argumentAt(args, 1) = Variant(destino);
        automation::argumentAt(args, 2) = Variant(vias);
        return Variant();
    }
    if (isMember(member, u"Add_ParametrosRecordset")) {
        return Variant(Add_ParametrosRecordset(automation::argumentAt(args, 0).toText()));
    }
    if (isMember(member, u"ExecutaMapa_Recordset")) {
        Variant& rsCell = automation::argumentAt(args, 0);
        ObjectRef rs = rsCell.toObject();
        const bool result = ExecutaMapa_Recordset(rs, argBool(args, 1));
        rsCell = Variant(rs);
        return Variant(result);
    }
    if (isMember(member, u"ExecutaMapa")) {
        automation::Array& values = automation::argumentAt(args, 0).array();
        return Variant(ExecutaMapa(values, argBool(args, 1)));
    }
    if (isMember(member, u"QueroSair")) {
        QueroSair();
        return Variant();
    }
    if (isMember(member, u"VisualizarEmail")) {
        VisualizarEmail(argBool(args, 0));
        return Variant();
    }
    if (isMember(member, u"VisualizarExcel")) {
        VisualizarExcel(argBool(args, 0));
        return Variant();
    }
    if (isMember(member, u"VisualizarImpressora")) {
        VisualizarImpressora(argBool(args, 0), argBool(args, 1));
        return Variant();
    }
    if (isMember(member, u"CriarFicheioTTX")) {
        Variant& rsCell = automation::argumentAt(args, 0);
        Variant& nameCell = automation::argumentAt(args, 1);
        ObjectRef rs = rsCell.toObject();
        Text name = nameCell.toText();
        const bool result = CriarFicheioTTX(rs, name);
        rsCell = Variant(rs);
        nameCell = Variant(name);
        return Variant(result);
    }
    if (isMember(member, u"VisualizarEcran")) return Variant(VisualizarEcran(argBool(args, 0)));
    if (isMember(member, u"MostraLista")) {
        return Variant(MostraLista(automation::argumentAt(args, 0).toText()));
    }
    if (isMember(member, u"Substitui")) {
        return Variant(Substitui(automation::argumentAt(args, 0).toText()));
    }
    if (isMember(member, u"AbrirMapa")) return Variant(AbrirMapa());
    if (isMember(member, u"VisualizarPDF")) {
        VisualizarPDF(argBool(args, 0));
        return Variant();
    }
    automation::unknownMember(member);
}

}  // namespace vantrel::reports::engine
