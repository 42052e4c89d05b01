// What the Wine driver's suites share: the _Solucao contract they check against, the ERP's
// variables passed by reference, the demo companies, and a stand-in ERP session that stores
// and reads documents through the ERP's own members.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

#include "QuorilVantrel_h.h"
#include "checks.h"
#include "dialog_watcher.h"
#include "late_binding.h"

namespace vantrel::wine {

// The watcher of this process's message boxes while the suites run.
DialogWatcher& watcher();
void setWatcher(DialogWatcher* w);

struct ExpectedParam {
    const wchar_t* name;
    bool object;
};
struct ExpectedMethod {
    const wchar_t* name;
    DISPID id;
    std::vector<ExpectedParam> params;
};

// The event contract of _Solucao, in interface order.
extern const std::vector<ExpectedMethod> kMethods;
// Methods that only install the error frame (or not even that) and return.
extern const std::vector<std::wstring> kNothing;
const ExpectedMethod& method(const std::wstring& name);

std::wstring guidText(const GUID& g);
// QUORILVANTREL_DATA as a Windows path.
std::wstring dataFolder();
// Objects of the stand-ins' COM server alive in this process.
long long standInsAlive();
// The stand-in runtime's call log in this process (StandInsReportCalls).
std::wstring reportCalls();
int year();

// One box expected: its title, text, icon and buttons.
void expectBox(const std::vector<SeenBox>& boxes, std::size_t index, const std::wstring& title,
               const std::wstring& text, Icon icon, std::vector<int> buttons,
               const std::string& what);
void expectNoBox(const std::string& what);

// A variable of the ERP, passed by reference.
struct Cell {
    platform::win32::UniqueVariant v;
    explicit Cell(VARIANT init = vEmpty()) { *v.get() = init; }
    Cell(Cell&& o) noexcept { o.v.detachTo(v.get()); }
    VARIANT* p() { return v.get(); }
    VARIANT ref() { return vRef(v.get()); }
    bool isBool(bool b) {
        return v->vt == VT_BOOL && v->boolVal == (b ? VARIANT_TRUE : VARIANT_FALSE);
    }
};

extern const std::wstring kMismatch;

// The demo company and its variations: DEMO enters, ASK asks before the surcharge, OUTRA is
// refused by the company check, SEMBD names no database file, LOGIN has a wrong password.
void prepareCompanies();
platform::win32::ComPtr<IDispatch> newSolucao();
// App_OnEntrar / App_OnSair by reference; each returns the bError written back.
Cell enter(IDispatch* s, const std::wstring& company, long handle = 0);
Cell leave(IDispatch* s);

// The stand-in ERP, logged into one company.
struct Erp {
    platform::win32::ComPtr<IDispatch> api;
    bool connect(const std::wstring& company);
    // Stores a document through the ERP's own members; returns its number (-1 on failure).
    long store(const std::wstring& type, const std::wstring& series,
               const std::vector<std::pair<std::wstring, double>>& lines);
    platform::win32::ComPtr<IDispatch> load(const std::wstring& type, long number,
                                            const std::wstring& series);
};

// The suites, each runnable alone by name.
void suiteTypeLib();
void suiteRegistration();
void suiteEvents();
void suiteFrames();
void suiteEntry();
void suiteToggle();
void suiteSave();
void suiteBadInput();
void suiteLifetime();
void suiteResult();
// The report outputs' save dialog stand-in, printers and field-definition library.
void suiteSaveDialog();
void suitePrinters();
void suiteFieldDefinitions();
// The report windows: the stand-ins' real parameter window driven by the report engine.
void suiteReportWindows();
// QuorilVantrel.CrystalReportMain: the example report to the printer, PDF, e-mail and Excel.
void suiteReports();

}  // namespace vantrel::wine
