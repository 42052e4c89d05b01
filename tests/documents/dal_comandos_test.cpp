#include <gtest/gtest.h>

#include "automation/runtime_error.h"
#include "documents/dal_comandos.h"
#include "documents/fake_erp.h"
#include "documents/result.h"

using namespace vantrel::testing;
using vantrel::automation::ObjectRef;
using vantrel::automation::RuntimeError;
using vantrel::automation::Text;
using vantrel::documents::DalComandos;
using vantrel::documents::EnumResult;
using vantrel::documents::Result;

namespace {

TEST(Result, StartsAsSuccessWithoutMessage) {
    Result r;
    EXPECT_EQ(r.Mensagem(), u"");
    EXPECT_EQ(r.tipo(), EnumResult::Sucesso);
    EXPECT_EQ(r.ErroNum(), 0);
    EXPECT_EQ(static_cast<int>(EnumResult::Erro), 1);
    EXPECT_EQ(static_cast<int>(EnumResult::Aviso), 2);
}

TEST(DalComandos, StatementHasFourAlignedLines) {
    EXPECT_EQ(DalComandos::docGcLinStatement(u"FT", 12, u"A", 2024),
              u"SELECT     * \r\n"
              u"FROM       [DOCGCLIN] \r\n"
              u"WHERE      TPDOCUM='FT' AND NNUMDOC=12 AND SERIE ='A' AND ANO =2024  \r\n"
              u"ORDER BY   ORDENACA \r\n");
    EXPECT_EQ(DalComandos::docGcLinStatement(u"NC", -7, u"", -1),
              u"SELECT     * \r\n"
              u"FROM       [DOCGCLIN] \r\n"
              u"WHERE      TPDOCUM='NC' AND NNUMDOC=-7 AND SERIE ='' AND ANO =-1  \r\n"
              u"ORDER BY   ORDENACA \r\n");
}

TEST(DalComandos, ApostrophesInTextValuesAreDoubled) {
    Text sql = DalComandos::docGcLinStatement(u"F'T", 1, u"'; DROP TABLE DOCGCLIN; --", 2024);
    EXPECT_NE(sql.find(u"TPDOCUM='F''T' AND"), Text::npos);
    EXPECT_NE(sql.find(u"SERIE ='''; DROP TABLE DOCGCLIN; --' AND"), Text::npos);
}

TEST(DalComandos, RunsTheStatementThroughTheDataAccessObject) {
    auto erp = std::make_shared<FakeErp>();
    erp->store({u"FT", u"0", 5, 2024}, {{u"A1", 2, 3}});
    DalComandos dal;
    ObjectRef dados = erp->dataAccess();
    dal.SetDataAccess(dados);
    EXPECT_EQ(dal.dataAccess(), dados);
    Text type = u"FT", series = u"0";
    std::int32_t number = 5;
    std::int16_t year = 2024;
    auto rows = dal.HlpDb_DocGcLin(type, number, series, year);
    EXPECT_FALSE(rows.Eof());
    EXPECT_EQ(rows.field(u"ARTIGO").toText(), u"A1");
    EXPECT_EQ(erp->statements.size(), 1u);
    // A document without lines is an empty recordset, not an error.
    EXPECT_TRUE(dal.HlpDb_DocGcLin(type, 6, series, year).Eof());
}

TEST(DalComandos, ErrorsComeBackUnderTheCommandsName) {
    auto erp = std::make_shared<FakeErp>();
    erp->throwOn.insert("OpenRecordset");
    DalComandos dal;
    ObjectRef dados = erp->dataAccess();
    dal.SetDataAccess(dados);
    try {
        dal.HlpDb_DocGcLin(u"FT", 1, u"0", 2024);
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 440);
        EXPECT_EQ(e.source(), u"Comandos::HlpDb_DocGcLin");
        EXPECT_EQ(e.description(), u"Falha do ERP em OpenRecordset");
    }
}

TEST(DalComandos, WithoutDataAccessTheCommandFails) {
    DalComandos dal;
    try {
        dal.HlpDb_DocGcLin(u"FT", 1, u"0", 2024);
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 91);
        EXPECT_EQ(e.source(), u"Comandos::HlpDb_DocGcLin");
    }
}

}  // namespace
