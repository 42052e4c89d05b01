#include "documents/dal_comandos.h"

#include <string>

#include "automation/runtime_error.h"

namespace vantrel::documents {

using automation::currentError;
using automation::fromUtf8;
using automation::RuntimeError;
using automation::Text;

Text sqlText(const Text& value) {
    Text out;
    out.reserve(value.size() + 2);
    out.push_back(u'\'');
    for (char16_t c : value) {
        out.push_back(c);
        if (c == u'\'') out.push_back(u'\'');
    }
    out.push_back(u'\'');
    return out;
}

Text DalComandos::docGcLinStatement(const Text& tipo, std::int32_t numero, const Text& serie,
                                    std::int16_t ano) {
    Text sql;
    sql += u"SELECT     * \r\n";
    sql += u"FROM       [DOCGCLIN] \r\n";
    sql += u"WHERE      TPDOCUM=" + sqlText(tipo) + u" AND NNUMDOC=" +
           fromUtf8(std::to_string(numero)) + u" AND SERIE =" + sqlText(serie) + u" AND ANO =" +
           fromUtf8(std::to_string(ano)) + u"  \r\n";
    sql += u"ORDER BY   ORDENACA \r\n";
    return sql;
}

interfaces::Recordset DalComandos::HlpDb_DocGcLin(const Text& tipo, const std::int32_t& numero,
                                                  const Text& serie,
                                                  const std::int16_t& ano) const {
    try {
        // Without a database object the command fails like a call on an unset reference.
        interfaces::CoreDataAccess dados(dados_);
        return dados.OpenRecordset(docGcLinStatement(tipo, numero, serie, ano));
    } catch (...) {
        throw currentError().withSource(u"Comandos::HlpDb_DocGcLin");
    }
}

}  // namespace vantrel::documents
