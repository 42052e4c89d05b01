// The save flow through COM, then bad input, object lifetimes and Result.
#include <windows.h>

#include <oleauto.h>

#include <cmath>
#include <cwchar>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "driver.h"
#include "platform/win32/com_error.h"
#include "platform/win32/variant_bridge.h"

namespace vantrel::wine {

using platform::win32::ComPtr;

// ---- one save ----------------------------------------------------------------------------

void suiteSave() {
    Erp erp;
    if (!check(erp.connect(L"DEMO"), "the ERP stand-in logs into DEMO")) return;
    long number = erp.store(L"FT", L"0", {{L"A1", 1}, {L"B1", 1}});
    if (!check(number > 0, "a document stored through the ERP's members")) return;
    ComPtr<IDispatch> s = newSolucao();
    if (!s || !check(enter(s.get(), L"DEMO").isBool(false), "save: DEMO entered")) return;
    {
        ComPtr<IDispatch> saved = erp.load(L"FT", number, L"0");
        IDispatch* oApi = saved.get();
        Outcome o = call(s.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
        check(o.hr == S_OK, "Vendas_OnGravar returns S_OK");
        check(oApi == saved.get(), "Vendas_OnGravar leaves oApi as passed");
    }
    auto boxes = watcher().take(50);
    const std::wstring prefix = L"Foi alterado e finalizado o documento FT-0-";
    long rewritten = 0;
    if (check(boxes.size() == 1, "save: one box")) {
        checkEq(boxes[0].title, L"Taxa Energética", "save: title");
        check(boxes[0].icon == Icon::Information, "save: information icon");
        check(boxes[0].text.rfind(prefix, 0) == 0, "save: \"" + narrow(boxes[0].text) + "\"");
        rewritten = std::wcstol(boxes[0].text.c_str() + prefix.size(), nullptr, 10);
        check(boxes[0].text == prefix + std::to_wstring(rewritten) + L"-" + std::to_wstring(year()),
              "save: the message names type, series, number and year");
    }
    ComPtr<IDispatch> after = erp.load(L"FT", rewritten, L"0");
    ComPtr<IDispatch> lines = getObject(after.get(), L"Linhas");
    checkEqN(numberOf(*call(lines.get(), L"Count", {}).result.get()), 3,
             "save: three lines after the rewrite");
    ComPtr<IDispatch> last = getObject(after.get(), L"Linhas", {vI2(3)});
    checkEq(textOf(*call(last.get(), L"Artigo", {}).result.get()), L"TXE",
            "save: surcharge article last");
    check(std::abs(numberOf(*call(last.get(), L"PrecoUnitario", {}).result.get()) - 2.25) < 1e-9,
          "save: unit price 2.25 (1,5% of 100 + 50)");
    checkEqN(numberOf(*call(last.get(), L"Quantidade", {}).result.get()), 1, "save: quantity 1");
    ComPtr<IDispatch> gone = erp.load(L"FT", number, L"0");
    checkEqN(
        numberOf(*call(getObject(gone.get(), L"Cab").get(), L"NossoNoDocumento", {}).result.get()),
        0, "save: the stored document was replaced");

    // Saving the rewritten document again is refused.
    {
        IDispatch* oApi = after.get();
        call(s.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
    }
    boxes = watcher().take(50);
    expectBox(boxes, 0, L"Taxa Energética",
              L"Documento já inclui linha de Taxa Energética.\r\nDocumento não foi alterado!",
              Icon::Exclamation, {IDOK}, "second save");
    // A series that does not read as 0 leaves the hook at once.
    long other = erp.store(L"FT", L"A", {{L"A1", 2}});
    {
        ComPtr<IDispatch> doc = erp.load(L"FT", other, L"A");
        IDispatch* oApi = doc.get();
        call(s.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
    }
    expectNoBox("series A");
    leave(s.get());

    // Pergunta "Sim" asks first; No changes nothing.
    ComPtr<IDispatch> ask = newSolucao();
    if (!ask || !enter(ask.get(), L"ASK").isBool(false)) return;
    long asked = erp.store(L"FR", L"0", {{L"A1", 1}});
    watcher().answer({IDNO});
    {
        ComPtr<IDispatch> doc = erp.load(L"FR", asked, L"0");
        IDispatch* oApi = doc.get();
        call(ask.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
    }
    boxes = watcher().take(50);
    expectBox(boxes, 0, L"Taxa Energética", L"Pretende adicionar Taxa Energética?", Icon::Question,
              {IDYES, IDNO}, "question before the surcharge");
    check(boxes.size() == 1, "answered No: nothing more");
    ComPtr<IDispatch> still = erp.load(L"FR", asked, L"0");
    checkEqN(numberOf(*call(getObject(still.get(), L"Linhas").get(), L"Count", {}).result.get()), 1,
             "answered No: the document keeps its one line");
    leave(ask.get());
}

// ---- bad input ---------------------------------------------------------------------------

void suiteBadInput() {
    ComPtr<IDispatch> s = newSolucao();
    if (!s) return;
    // By value: the event runs, nothing can be written back, S_OK.
    Outcome o = call(s.get(), L"App_OnEntrar", {vStr(L"DEMO"), vStr(L"u"), vI4(0), vBool(true)});
    check(o.hr == S_OK, "App_OnEntrar by value returns S_OK");
    expectNoBox("App_OnEntrar by value");
    o = call(s.get(), L"App_OnSair", {vBool(true)});
    check(o.hr == S_OK, "App_OnSair by value returns S_OK");

    struct Bad {
        const char* what;
        VARIANT empresa;
        VARIANT handle;
    };
    std::vector<Bad> bad = {{"Null company", vNull(), vI4(0)},
                            {"text window handle", vStr(L"DEMO"), vStr(L"janela")},
                            {"array window handle", vStr(L"DEMO"), vArray({1})},
                            {"two-dimensional company", vMatrix(), vI4(0)},
                            {"two-dimensional window handle", vStr(L"DEMO"), vMatrix()},
                            {"Null window handle", vStr(L"DEMO"), vNull()}};
    for (auto& b : bad) {
        Cell e(b.empresa), u(vStr(L"u")), h(b.handle), err(vStr(L"sentinel"));
        o = call(s.get(), L"App_OnEntrar", {e.ref(), u.ref(), h.ref(), err.ref()});
        check(o.hr == S_OK, std::string(b.what) + ": S_OK");
        auto boxes = watcher().take(50);
        check(boxes.size() == 1 && boxes[0].title == L"App_OnEntrar" &&
                  boxes[0].text.rfind(L"Erro ", 0) == 0,
              std::string(b.what) + ": error box titled App_OnEntrar");
        check(textOf(*err.p()) == L"sentinel", std::string(b.what) + ": bError not written");
    }
    // Empty company and user: a settings file that does not exist; the entry fails quietly.
    Cell e, u, h, err(vBool(false));
    call(s.get(), L"App_OnEntrar", {e.ref(), u.ref(), h.ref(), err.ref()});
    check(err.isBool(true), "Empty company: bError True");
    watcher().take(50);

    // bError given as a typed reference (VT_BYREF|VT_BSTR): written through it, coerced.
    BSTR typed = SysAllocString(L"x");
    o = call(s.get(), L"App_OnSair", {vBstrRef(&typed)});
    check(o.hr == S_OK, "App_OnSair with a BSTR reference: S_OK");
    check(typed && std::wstring(typed) != L"x",
          "App_OnSair with a BSTR reference: written through it");
    SysFreeString(typed);

    // Objects: a number, Null, an array or a text where an object is expected.
    std::vector<std::pair<const char*, VARIANT>> notObjects = {
        {"number", vI4(5)}, {"Null", vNull()}, {"array", vArray({1, 2})}, {"text", vStr(L"doc")}};
    for (auto& [what, value] : notObjects) {
        Cell cell(value);
        o = call(s.get(), L"Vendas_OnGravar", {cell.ref()});
        check(o.hr == S_OK, std::string("Vendas_OnGravar with a ") + what + ": S_OK " + hex(o.hr));
        auto boxes = watcher().take(50);
        check(
            boxes.size() == 1 && boxes[0].title == L"Vendas_OnGravar" && boxes[0].text == kMismatch,
            std::string("Vendas_OnGravar with a ") + what + ": \"Erro Type mismatch\"");
        o = call(s.get(), L"Compras_OnAbrir", {cell.ref()});
        check(o.hr == S_OK, std::string("Compras_OnAbrir with a ") + what + ": ignored, S_OK");
        expectNoBox(std::string("Compras_OnAbrir with a ") + what);
    }
    o = call(s.get(), L"Vendas_OnGravar", {vEmpty()});
    check(o.hr == S_OK, "Vendas_OnGravar with Empty: S_OK");
    o = call(s.get(), L"Vendas_OnGravar", {vDisp(nullptr)});
    check(o.hr == S_OK, "Vendas_OnGravar with a null object: S_OK");
    expectNoBox("Vendas_OnGravar with no object");
    o = call(s.get(), L"App_OnSair", {});
    check(o.hr == S_OK, "App_OnSair without its argument: S_OK");
    o = call(s.get(), L"App_OnSair", {vBool(true), vBool(true)});
    check(o.hr == DISP_E_BADPARAMCOUNT, "App_OnSair with two arguments: DISP_E_BADPARAMCOUNT");
    expectNoBox("argument counts");

    // An object of ours giving a value back through a typed reference: coerced into it, or
    // the call fails with the coercion's error and the caller's variable is left as it was.
    struct GivesBack final : automation::Object {
        automation::Variant value;
        automation::Variant invoke(automation::TextView, automation::CallKind,
                                   std::span<automation::Argument> args) override {
            args[0].value = value;
            return {};
        }
    };
    auto ours = std::make_shared<GivesBack>();
    auto d =
        ComPtr<IDispatch>::adopt(platform::win32::dispatchFromObject(automation::ObjectRef(ours)));
    check(platform::win32::objectFromDispatch(d.get()).get() == ours.get(),
          "our wrapper comes back as our object");
    const struct {
        automation::Variant value;
        std::int32_t error;  // 0: written
        short after;
    } giveBack[] = {
        {automation::Variant(automation::Text(u"12")), 0, 12},
        {automation::Variant(automation::Text(u"doze")), automation::errc::TypeMismatch, 7},
        {automation::Variant(std::int32_t{100000}), automation::errc::Overflow, 7}};
    for (const auto& c : giveBack) {
        ours->value = c.value;
        short target = 7;
        VARIANT ref = vEmpty();
        ref.vt = VT_BYREF | VT_I2;
        ref.piVal = &target;
        o = call(d.get(), L"Give", {ref});
        const std::string what =
            "typed reference given " + narrow(platform::win32::wide(c.value.toText()));
        check(c.error
                  ? o.hr == DISP_E_EXCEPTION && o.scode == platform::win32::hresultOfError(c.error)
                  : o.hr == S_OK,
              what + ": " + hex(o.hr) + " " + hex(o.scode));
        checkEqN(target, c.after, what);
    }
}

// ---- lifetime ----------------------------------------------------------------------------

void suiteLifetime() {
    long long base = standInsAlive();
    checkEqN(base, 0, "lifetime: no stand-in object alive at the start");
    { ComPtr<IDispatch> s = newSolucao(); }
    checkEqN(standInsAlive(), base, "lifetime: released right after creation");
    {
        ComPtr<IDispatch> s = newSolucao();
        enter(s.get(), L"DEMO");
        check(standInsAlive() > base, "lifetime: an entered company holds stand-in objects");
    }
    checkEqN(standInsAlive(), base, "lifetime: released while entered");
    {
        ComPtr<IDispatch> s = newSolucao();
        check(enter(s.get(), L"DEMO").isBool(false), "lifetime: first entry");
        check(enter(s.get(), L"DEMO").isBool(false), "lifetime: second App_OnEntrar");
        leave(s.get());
        // After leaving, the save hook finds the API closed and says so.
        Erp erp;
        erp.connect(L"DEMO");
        long n = erp.store(L"FT", L"0", {{L"A1", 1}});
        {
            ComPtr<IDispatch> doc = erp.load(L"FT", n, L"0");
            IDispatch* oApi = doc.get();
            call(s.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
        }
        auto boxes = watcher().take(50);
        expectBox(boxes, 0, L"Ligação Sage100C API",
                  L"A API Sage100C encontra-se desligada. A operação não vai actualizar dados no "
                  L"Sage Next.",
                  Icon::Information, {IDOK}, "save after App_OnSair");
        watcher().answer({IDNO});
        IDispatch* nothing = nullptr;
        Cell op(vI4(2010));
        call(s.get(), L"App_OnOperacao", {vDispRef(&nothing), op.ref()});
        watcher().take(50);
        check(leave(s.get()).isBool(false), "lifetime: App_OnSair after App_OnSair");
    }
    checkEqN(standInsAlive(), base, "lifetime: nothing left after entering twice and leaving");
    {
        ComPtr<IDispatch> s = newSolucao();
        enter(s.get(), L"LOGIN");
        watcher().take(50);
    }
    checkEqN(standInsAlive(), base, "lifetime: nothing left after a refused login");
    watcher().take(0);
}

// ---- Result ------------------------------------------------------------------------------

void suiteResult() {
    HRESULT hr;
    ComPtr<IDispatch> r = create(L"QuorilVantrel.Result", &hr);
    if (!check(SUCCEEDED(hr) && r, "QuorilVantrel.Result created")) return;
    Outcome m = call(r.get(), L"Mensagem", {}, DISPATCH_PROPERTYGET);
    check(m.hr == S_OK && m.result->vt == VT_BSTR && textOf(*m.result.get()).empty(),
          "Result: Mensagem \"\"");
    Outcome t = call(r.get(), L"tipo", {}, DISPATCH_PROPERTYGET);
    check(t.hr == S_OK && numberOf(*t.result.get()) == 0, "Result: tipo Sucesso");
    Outcome e = call(r.get(), L"ErroNum", {}, DISPATCH_PROPERTYGET);
    check(e.hr == S_OK && e.result->vt == VT_I4 && e.result->lVal == 0, "Result: ErroNum 0");
    // A text put into a property, by value or by reference, stays the caller's: whole
    // afterwards, and freed once, by the caller (the suite's heap checks see any other use).
    const std::wstring big(100000, L'x');
    const struct {
        const wchar_t* property;
        std::wstring text;
    } texts[] = {{L"Mensagem", L"Olá"}, {L"Mensagem", big}, {L"tipo", L"1"}, {L"ErroNum", L"13"}};
    for (const auto& t : texts) {
        for (bool byRef : {false, true}) {
            std::string what = "Result: " + narrow(t.property) + " given a " +
                               std::to_string(t.text.size()) + "-character text" +
                               (byRef ? " by reference" : " by value");
            Cell given(vStr(t.text));
            check(putBorrowed(r.get(), t.property, byRef ? given.ref() : *given.p()).hr == S_OK,
                  what);
            check(given.v->vt == VT_BSTR && SysStringLen(given.v->bstrVal) == t.text.size() &&
                      textOf(*given.p()) == t.text,
                  what + ": the caller's text is left whole");
            checkEq(textOf(*call(r.get(), t.property, {}).result.get()), t.text,
                    what + ": read back");
        }
    }
    check(put(r.get(), L"ErroNum", vI4(7)).hr == S_OK, "Result: ErroNum put");
    checkEqN(numberOf(*call(r.get(), L"ErroNum", {}).result.get()), 7, "Result: ErroNum read back");
    check(FAILED(put(r.get(), L"ErroNum", vStr(L"treze")).hr), "Result: ErroNum refuses a text");
    put(r.get(), L"Mensagem", vStr(L"antes"));
    for (VARIANT (*make)() : {+[] { return vArray({1}); }, +[] { return vMatrix(); }}) {
        VARIANT given = make();
        const std::string what = std::string("Result: Mensagem given a ") +
                                 (SafeArrayGetDim(given.parray) == 1 ? "one" : "two") +
                                 "-dimensional array";
        check(FAILED(put(r.get(), L"Mensagem", given).hr), what + ": refused");
        checkEq(textOf(*call(r.get(), L"Mensagem", {}).result.get()), L"antes", what + ": kept");
    }
}

}  // namespace vantrel::wine
