// The ports and stand-ins of the report outputs under Wine: the save dialog stand-in showing
// the system's real save window, the printers port against winspool, and the
// field-definition port's errors when the runtime's library or its entry point is missing.
#include <windows.h>

#include <oleauto.h>
#include <winspool.h>

#include <algorithm>
#include <string>
#include <vector>

#include "automation/runtime_error.h"
#include "driver.h"
#include "platform/win32/win32_field_definitions.h"
#include "platform/win32/win32_platform.h"
#include "save_window_user.h"

namespace vantrel::wine {

using platform::win32::ComPtr;

namespace {

using platform::win32::UniqueFileHandle;

// A save dialog stand-in set up as the report outputs set theirs.
ComPtr<IDispatch> newSaveDialog(bool cancelError) {
    ComPtr<IDispatch> d = create(L"QuorilVantrel.StandIns.SaveDialog");
    if (!d) return d;
    put(d.get(), L"CancelError", vBool(cancelError));
    put(d.get(), L"Flags", vI4(4));
    put(d.get(), L"Filter", vStr(L"Ficheiro PDF  (*.pdf)|*.pdf"));
    put(d.get(), L"FilterIndex", vI4(0));
    return d;
}

std::wstring fileNameOf(IDispatch* d) {
    return textOf(*call(d, L"FileName", {}).result.get());
}

}  // namespace

void suiteSaveDialog() {
    const std::wstring chosen = dataFolder() + L"\\Relatório de vendas.pdf";
    DeleteFileW(chosen.c_str());
    {
        ComPtr<IDispatch> d = newSaveDialog(true);
        if (!check(static_cast<bool>(d), "save dialog: created by its ProgID")) return;
        SaveWindowUser user(chosen, IDOK);
        Outcome o = call(d.get(), L"ShowSave", {});
        check(user.finish(), "save dialog: the real save window appeared and took the name");
        checkEq(user.fileType(), L"Ficheiro PDF  (*.pdf)", "save dialog: the file type shown");
        check(o.hr == S_OK, "save dialog: ShowSave returns S_OK after Save (" + hex(o.hr) + ")");
        checkEq(fileNameOf(d.get()), chosen, "save dialog: FileName is the name typed");
    }
    // The file now exists: the window asks before it is replaced, and Yes chooses it.
    CloseHandle(CreateFileW(chosen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    {
        ComPtr<IDispatch> d = newSaveDialog(true);
        watcher().answer({IDYES});
        SaveWindowUser user(chosen, IDOK);
        Outcome o = call(d.get(), L"ShowSave", {});
        user.finish();
        auto boxes = watcher().take(200);
        // Its text is the system's own (Wine's names no file), so only its buttons are checked.
        check(boxes.size() == 1 && boxes[0].buttons == std::vector<int>{IDYES, IDNO},
              "save dialog: an existing file is confirmed before it is chosen (" +
                  std::to_string(boxes.size()) + " box(es)" +
                  (boxes.empty() ? std::string() : ": \"" + narrow(boxes[0].text) + "\"") + ")");
        check(o.hr == S_OK && fileNameOf(d.get()) == chosen,
              "save dialog: Yes to the confirmation chooses the file");
    }
    DeleteFileW(chosen.c_str());
    // Cancel: error 32755 while CancelError is true, else nothing; FileName keeps its value.
    for (bool cancelError : {true, false}) {
        const std::string what =
            std::string("save dialog, cancel with CancelError ") + (cancelError ? "true" : "false");
        ComPtr<IDispatch> d = newSaveDialog(cancelError);
        put(d.get(), L"FileName", vStr(L"antes.pdf"));
        SaveWindowUser user(L"", IDCANCEL);
        Outcome o = call(d.get(), L"ShowSave", {});
        check(user.finish(), what + ": the window appeared");
        if (cancelError) {
            check(o.hr == DISP_E_EXCEPTION && o.scode == static_cast<long>(0x800A7FF3),
                  what + ": error 32755 (" + hex(o.hr) + ", " + hex(o.scode) + ")");
            checkEq(o.description, L"Cancel was selected.", what + ": description");
        } else {
            check(o.hr == S_OK, what + ": no error (" + hex(o.hr) + ")");
        }
        checkEq(fileNameOf(d.get()), L"antes.pdf", what + ": FileName as it was");
    }
}

void suitePrinters() {
    platform::win32::Win32Platform platform;
    // A printer of our own, on the FILE: port, so the list is not empty where the prefix has
    // no printer system behind it (this machine's Wine sees no CUPS printers).
    const std::wstring added = L"Vantrel Teste PDF";
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t*>(added.c_str());
    info.pPortName = const_cast<wchar_t*>(L"FILE:");
    info.pDriverName = const_cast<wchar_t*>(L"Wine PostScript Driver");
    info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    // Wine's PostScript driver, installed first in case the prefix has no printer driver yet.
    // Its data file is a PPD of our own, which the driver reads when the printer is added (a
    // file that is not a PPD makes Wine 8's driver free a block on the wrong heap).
    const std::wstring ppd = dataFolder() + L"\\vantrel-teste.ppd";
    {
        const char text[] =
            "*PPD-Adobe: \"4.3\"\r\n*FormatVersion: \"4.3\"\r\n*FileVersion: \"1.0\"\r\n"
            "*LanguageVersion: English\r\n*LanguageEncoding: ISOLatin1\r\n"
            "*PCFileName: \"VANTREL.PPD\"\r\n*Manufacturer: \"QuorilVantrel\"\r\n"
            "*Product: \"(Vantrel Teste)\"\r\n*ModelName: \"Vantrel Teste PDF\"\r\n"
            "*NickName: \"Vantrel Teste PDF\"\r\n*PSVersion: \"(3010.000) 0\"\r\n"
            "*LanguageLevel: \"3\"\r\n*ColorDevice: False\r\n*DefaultPageSize: A4\r\n"
            "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\r\n"
            "*DefaultImageableArea: A4\r\n*ImageableArea A4/A4: \"0 0 595 842\"\r\n"
            "*DefaultPaperDimension: A4\r\n*PaperDimension A4/A4: \"595 842\"\r\n";
        UniqueFileHandle file(CreateFileW(ppd.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), text, sizeof text - 1, &written, nullptr);
    }
    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = info.pDriverName;
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = const_cast<wchar_t*>(ppd.c_str());
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES))
        std::printf("note: AddPrinterDriverExW failed (error %lu)\n", GetLastError());
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    check(printer != nullptr,
          "printers: a printer of our own added (error " + std::to_string(GetLastError()) + ")");

    DWORD needed = 0, count = 0;
    std::vector<std::wstring> names;
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed,
                  &count);
    std::vector<BYTE> buffer(needed);
    if (needed && EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2,
                                buffer.data(), needed, &needed, &count)) {
        auto* p = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) names.push_back(p[i].pPrinterName);
    }
    const auto list = platform.printers();
    std::vector<std::wstring> ours;
    for (const auto& p : list) ours.emplace_back(p.deviceName.begin(), p.deviceName.end());
    std::sort(names.begin(), names.end());
    std::sort(ours.begin(), ours.end());
    std::printf("note: winspool lists %zu printer(s)\n", names.size());
    check(ours == names, "printers: the port lists what EnumPrintersW level 2 lists (" +
                             std::to_string(ours.size()) + " against " +
                             std::to_string(names.size()) + ")");
    if (printer) {
        auto it = std::find_if(list.begin(), list.end(), [&](const interfaces::PrinterInfo& p) {
            return automation::equalsIgnoreCase(p.deviceName, u"vantrel teste pdf");
        });
        if (check(it != list.end(), "printers: the added printer found by its name in any case")) {
            check(it->port == u"FILE:", "printers: the added printer's port");
            check(it->driverName == u"Wine PostScript Driver",
                  "printers: the added printer's driver");
        }
        check(DeletePrinter(printer), "printers: the added printer deleted");
        ClosePrinter(printer);
        checkEqN(platform.printers().size(), names.size() - 1, "printers: the list without it");
    }
    DeleteFileW(ppd.c_str());
}

namespace {

// A recordset of our own (not a COM object): the port hands it to the library through the
// IDispatch bridge.
class NamedField final : public automation::Object {
public:
    explicit NamedField(automation::Text name) : name_(std::move(name)) {}
    automation::Variant invoke(automation::TextView member, automation::CallKind,
                               std::span<automation::Argument>) override {
        if (automation::isMember(member, u"Name")) return automation::Variant(name_);
        automation::unknownMember(member);
    }

private:
    automation::Text name_;
};

class FieldList final : public automation::Object {
public:
    explicit FieldList(std::vector<automation::ObjectRef> fields) : fields_(std::move(fields)) {}
    automation::Variant invoke(automation::TextView member, automation::CallKind,
                               std::span<automation::Argument> args) override {
        if (automation::isMember(member, u"Count"))
            return automation::Variant(static_cast<std::int32_t>(fields_.size()));
        if (automation::isMember(member, u"Item"))
            return automation::Variant(fields_.at(automation::argumentAt(args, 0).toLong()));
        automation::unknownMember(member);
    }

private:
    std::vector<automation::ObjectRef> fields_;
};

class FieldsHolder final : public automation::Object {
public:
    explicit FieldsHolder(automation::ObjectRef fields) : fields_(std::move(fields)) {}
    automation::Variant invoke(automation::TextView member, automation::CallKind,
                               std::span<automation::Argument>) override {
        if (automation::isMember(member, u"Fields")) return automation::Variant(fields_);
        automation::unknownMember(member);
    }

private:
    automation::ObjectRef fields_;
};

std::wstring driverFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L'\\'));
}

std::wstring readAnsiFile(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return L"(missing)";
    char bytes[512] = {};
    DWORD got = 0;
    ReadFile(file.get(), bytes, sizeof bytes, &got, nullptr);
    wchar_t text[512] = {};
    MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(got), text, 512);
    return text;
}

// The port over a library with the runtime's entry point: the recordset reaches it, the
// name goes in the ANSI code page and comes back as the library left it (a full path).
void fieldDefinitionsThroughALibrary() {
    platform::win32::P2smonFieldDefinitions library(driverFolder() + L"\\fake-p2smon\\p2smon.dll");
    automation::ObjectRef rs =
        automation::makeObject<FieldsHolder>(automation::makeObject<FieldList>(
            std::vector<automation::ObjectRef>{automation::makeObject<NamedField>(u"TipoDoc"),
                                               automation::makeObject<NamedField>(u"Pre\u00E7o")}));
    const std::wstring folder = dataFolder();
    const std::wstring full = folder + L"\\Relatório campos.ttx";
    DeleteFileW(full.c_str());
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(folder.c_str());
    struct Case {
        std::int32_t overwrite;
        std::int32_t want;
    };
    for (const Case& c : {Case{-1, 1}, Case{0, 0}, Case{-1, 1}}) {
        automation::Text name = u"Relat\u00F3rio campos.ttx";
        const std::string what = "field definitions, overwrite " + std::to_string(c.overwrite);
        std::int32_t got = -2;
        try {
            got = library.createFieldDefFile(rs, name, c.overwrite);
        } catch (const automation::RuntimeError& e) {
            check(false, what + ": " + automation::toUtf8(e.description()));
        }
        checkEqN(got, c.want, what + ": the library's answer");
        if (c.want == 1) {
            checkEq(std::wstring(name.begin(), name.end()), full, what + ": the name given back");
            checkEq(readAnsiFile(full),
                    L"overwrite " + std::to_wstring(c.overwrite) + L"\r\nTipoDoc\r\nPreço\r\n",
                    what + ": the file");
        }
    }
    SetCurrentDirectoryW(previous);
    DeleteFileW(full.c_str());
}

}  // namespace

void suiteFieldDefinitions() {
    fieldDefinitionsThroughALibrary();
    struct Case {
        const wchar_t* library;
        std::int32_t number;
        const char16_t* description;
    };
    const Case cases[] = {
        {L"p2smon.dll", 53, u"File not found: p2smon.dll"},
        {L"kernel32.dll", 453, u"Can't find DLL entry point CreateFieldDefFile in kernel32.dll"},
    };
    for (const auto& c : cases) {
        platform::win32::P2smonFieldDefinitions library(c.library);
        automation::ObjectRef rs;
        automation::Text name = u"C:\\campos.ttx";
        std::int32_t number = 0;
        automation::Text description;
        try {
            library.createFieldDefFile(rs, name, -1);
        } catch (const automation::RuntimeError& e) {
            number = e.number();
            description = e.description();
        }
        checkEqN(number, c.number, "field definitions: error number with " + narrow(c.library));
        check(description == c.description,
              "field definitions: \"" + automation::toUtf8(description) + "\"");
    }
}

}  // namespace vantrel::wine
