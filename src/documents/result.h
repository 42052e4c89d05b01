// The outcome of a document operation: a message for the user, its kind and, when a runtime
// error caused it, the error's number. Also a public class of the add-in (the host may create
// and read one), so its members keep the property shape the type library gives them.
#pragma once

#include <cstdint>

#include "automation/text.h"

namespace vantrel::documents {

enum class EnumResult : std::int32_t {
    Sucesso = 0,
    Erro = 1,
    Aviso = 2,
};

class Result {
public:
    const automation::Text& Mensagem() const { return mensagem_; }
    void setMensagem(automation::Text value) { mensagem_ = std::move(value); }
    EnumResult tipo() const { return tipo_; }
    void setTipo(EnumResult value) { tipo_ = value; }
    std::int32_t ErroNum() const { return erroNum_; }
    void setErroNum(std::int32_t value) { erroNum_ = value; }

private:
    automation::Text mensagem_;
    EnumResult tipo_ = EnumResult::Sucesso;
    std::int32_t erroNum_ = 0;
};

}  // namespace vantrel::documents
