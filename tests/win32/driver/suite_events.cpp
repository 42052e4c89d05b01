// The events one by one: the ones that do nothing, the error frames, entering and leaving,
// and operation 2010.
#include <windows.h>

#include <oleauto.h>

#include <memory>
#include <string>
#include <vector>

#include "driver.h"

namespace vantrel::wine {

using platform::win32::ComPtr;

// ---- the events that do nothing ----------------------------------------------------------

void suiteEvents() {
    ComPtr<IDispatch> s = newSolucao();
    if (!s) return;
    ComPtr<IDispatch> context = create(L"QuorilVantrel.Result");
    for (const auto& m : kMethods) {
        DISPID id = 0;
        LPOLESTR names[1] = {const_cast<LPOLESTR>(m.name)};
        HRESULT hr = s->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        check(hr == S_OK && id == m.id, "GetIDsOfNames " + narrow(m.name) + " gives " + hex(id));
    }
    for (const auto& name : kNothing) {
        const ExpectedMethod& m = method(name);
        std::vector<std::unique_ptr<Cell>> cells;
        std::vector<IDispatch*> objects(m.params.size(), nullptr);
        std::vector<VARIANT> args;
        for (std::size_t i = 0; i < m.params.size(); ++i) {
            if (m.params[i].object) {
                objects[i] = context.get();
                args.push_back(vDispRef(&objects[i]));
            } else {
                // A Boolean True (bError, blnCancelar) and texts elsewhere, all by reference.
                bool flag = m.params[i].name[0] == L'b';
                cells.push_back(std::make_unique<Cell>(flag ? vBool(true) : vStr(L"valor")));
                args.push_back(cells.back()->ref());
            }
        }
        Outcome o = call(s.get(), m.name, args);
        std::string w = narrow(name);
        check(o.hr == S_OK, w + " returns S_OK " + hex(o.hr));
        std::size_t c = 0;
        for (std::size_t i = 0; i < m.params.size(); ++i) {
            if (m.params[i].object) {
                check(objects[i] == context.get(), w + ": object argument left as passed");
                continue;
            }
            Cell& cell = *cells[c++];
            bool flag = m.params[i].name[0] == L'b';
            if (flag)
                check(cell.isBool(true), w + ": " + narrow(m.params[i].name) + " left True");
            else
                check(cell.v->vt == VT_BSTR && textOf(*cell.p()) == L"valor",
                      w + ": text argument left as passed");
        }
    }
    expectNoBox("the Nothing events");
    // The two toggles have no frame: without a company they ask first; "No" changes nothing.
    watcher().answer({IDNO});
    Outcome t = call(s.get(), L"pNextApiConnectDisconnect", {});
    check(t.hr == S_OK, "pNextApiConnectDisconnect answered No returns S_OK");
    auto boxes = watcher().take(50);
    expectBox(boxes, 0, L"Ligação SageNext API",
              L"A API SageNext encontra-se desligada. Pretende ligar?", Icon::Question,
              {IDYES, IDNO}, "pNextApiConnectDisconnect");
    check(boxes.size() == 1, "pNextApiConnectDisconnect: nothing after No");
}

// ---- error frames ------------------------------------------------------------------------

void suiteFrames() {
    ComPtr<IDispatch> s = newSolucao();
    ComPtr<IDispatch> some = create(L"QuorilVantrel.Result");
    if (!s) return;
    IDispatch* nothing = nullptr;
    Cell op(vStr(L"abc"));
    Outcome o = call(s.get(), L"App_OnOperacao", {vDispRef(&nothing), op.ref()});
    check(o.hr == S_OK, "App_OnOperacao with a text returns S_OK");
    auto boxes = watcher().take(50);
    expectBox(boxes, 0, L"App_OnOperacao", kMismatch, Icon::Exclamation, {IDOK},
              "App_OnOperacao \"abc\"");
    check(textOf(*op.p()) == L"abc", "App_OnOperacao leaves Operacao as passed");

    Cell other(vI4(2011));
    call(s.get(), L"App_OnOperacao", {vDispRef(&nothing), other.ref()});
    expectNoBox("App_OnOperacao 2011");

    IDispatch* api = some.get();
    Cell lng(vStr(L"x")), campos;
    o = call(s.get(), L"Vendas_OnOperacaoEx", {vDispRef(&api), lng.ref(), campos.ref()});
    boxes = watcher().take(50);
    expectBox(boxes, 0, L"Vendas_OnOperacao", kMismatch, Icon::Exclamation, {IDOK},
              "Vendas_OnOperacaoEx");
    o = call(s.get(), L"Vendas_OnOperacao", {vDispRef(&api), lng.ref()});
    boxes = watcher().take(50);
    expectBox(boxes, 0, L"Vendas_OnOperacao", kMismatch, Icon::Exclamation, {IDOK},
              "Vendas_OnOperacao");

    Cell campo(vStr(L"artigo")), valor(vI4(1)), cancel(vBool(true));
    call(s.get(), L"Vendas_OnCampoValidar",
         {vDispRef(&api), campo.ref(), valor.ref(), cancel.ref()});
    expectNoBox("Vendas_OnCampoValidar artigo");
    check(cancel.isBool(true), "Vendas_OnCampoValidar leaves blnCancelar True");
    Cell array(vArray({1, 2}));
    call(s.get(), L"Vendas_OnCampoValidar",
         {vDispRef(&api), array.ref(), valor.ref(), cancel.ref()});
    boxes = watcher().take(50);
    expectBox(boxes, 0, L"Vendas_OnCampoValidar", kMismatch, Icon::Exclamation, {IDOK},
              "Vendas_OnCampoValidar with an array");

    call(s.get(), L"Stocks_OnGravar", {vDispRef(&nothing)});
    call(s.get(), L"Vendas_OnOperacao", {vDispRef(&nothing), lng.ref()});
    expectNoBox("handlers with an empty object");
}

// ---- entering and leaving ----------------------------------------------------------------

void suiteEntry() {
    ComPtr<IDispatch> s = newSolucao();
    if (!s) return;
    Cell b = enter(s.get(), L"DEMO");
    check(b.isBool(false), "App_OnEntrar DEMO writes bError False as VT_BOOL");
    expectNoBox("App_OnEntrar DEMO");
    check(leave(s.get()).isBool(false), "App_OnSair writes bError False");
    check(leave(s.get()).isBool(false), "App_OnSair twice writes bError False again");
    expectNoBox("App_OnSair");

    check(enter(s.get(), L"OUTRA").isBool(true), "refused company: bError True");
    expectNoBox("refused company");
    check(enter(s.get(), L"SEMBD").isBool(true), "database not opened: bError True");
    expectNoBox("database not opened");
    check(enter(s.get(), L"LOGIN").isBool(true), "login refused: bError True");
    auto boxes = watcher().take(50);
    expectBox(boxes, 0, L"Ligação ao Servidor/Sage Next",
              L"Erro. Não foi possivel ligar ao Sage Next", Icon::Exclamation, {IDOK},
              "login refused");
    check(boxes.size() == 1, "login refused: one box");

    // A live host window owns the boxes.
    HWND host = CreateWindowExW(0, L"STATIC", L"ERP", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    check(enter(s.get(), L"LOGIN", static_cast<long>(reinterpret_cast<INT_PTR>(host))).isBool(true),
          "login refused with a host window");
    boxes = watcher().take(50);
    check(boxes.size() == 1, "login refused with a host window: box shown");
    DestroyWindow(host);
    // A handle that names no window must not keep the box from showing.
    check(enter(s.get(), L"LOGIN", 0x7777).isBool(true), "login refused with a dead window handle");
    boxes = watcher().take(50);
    check(boxes.size() == 1, "dead window handle: box still shown");

    // App_OnConnectionValidate adopts the company and writes bError False.
    Cell e(vStr(L"OUTRA")), u(vStr(L"outro")), h(vI4(0)), v(vBool(true));
    call(s.get(), L"App_OnConnectionValidate", {e.ref(), u.ref(), h.ref(), v.ref()});
    check(v.isBool(false), "App_OnConnectionValidate writes bError False");
    expectNoBox("App_OnConnectionValidate");
}

// ---- operation 2010 ----------------------------------------------------------------------

void suiteToggle() {
    ComPtr<IDispatch> s = newSolucao();
    if (!s || !enter(s.get(), L"DEMO").isBool(false)) return;
    IDispatch* nothing = nullptr;
    auto op2010 = [&] {
        Cell op(vI4(2010));
        Outcome o = call(s.get(), L"App_OnOperacao", {vDispRef(&nothing), op.ref()});
        check(o.hr == S_OK, "App_OnOperacao 2010 returns S_OK");
        return watcher().take(50);
    };
    watcher().answer({IDNO});
    auto boxes = op2010();
    expectBox(boxes, 0, L"Ligação SageNext API",
              L"A API Sage100C encontra-se ligada. Pretende desligar?", Icon::Question,
              {IDYES, IDNO}, "2010 answered No");
    check(boxes.size() == 1, "2010 answered No: nothing more");
    watcher().answer({IDYES, IDOK});
    boxes = op2010();
    expectBox(boxes, 1, L"Ligação Sage100C API", L"A API Sage100C encontra-se agora, desligada.",
              Icon::Information, {IDOK}, "2010 answered Yes (off)");
    watcher().answer({IDYES, IDOK});
    boxes = op2010();
    expectBox(boxes, 0, L"Ligação SageNext API",
              L"A API Sage100C encontra-se desligada. Pretende ligar?", Icon::Question,
              {IDYES, IDNO}, "2010 asks to switch on");
    expectBox(boxes, 1, L"Ligação Sage100C API", L"A API Sage100C encontra-se agora, ligada.",
              Icon::Information, {IDOK}, "2010 answered Yes (on)");
    check(leave(s.get()).isBool(false), "App_OnSair after the toggles");
    expectNoBox("App_OnSair after the toggles");
}

}  // namespace vantrel::wine
