// The ports of the system over Windows: kernel32 INI functions, MessageBoxW, the module's
// folder, file listing and deletion, the screen, message pumping, printers, COM creation by
// ProgID, the registry's list of the maker's components and the report runtime's
// field-definition library.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "automation/datetime.h"
#include "automation/locale.h"
#include "interfaces/components.h"
#include "interfaces/dialogs.h"
#include "interfaces/field_definitions.h"
#include "interfaces/platform.h"
#include "interfaces/profile_functions.h"

namespace vantrel::platform::win32 {

using interfaces::Text;
using interfaces::TextView;

class Kernel32Profile final : public interfaces::ProfileFunctions {
public:
    std::uint32_t getString(const char* section, const char* key, const char* defaultText,
                            char* buffer, std::uint32_t size, const char* file) override;
    std::int32_t writeString(const char* section, const char* key, const char* text,
                             const char* file) override;
    std::string toAnsi(TextView text) override;
    Text fromAnsi(std::string_view bytes) override;
};

// Message boxes owned by the host's main window when it names a live one.
class Win32Dialogs final : public interfaces::Dialogs {
public:
    using OwnerSource = std::function<HWND()>;
    explicit Win32Dialogs(OwnerSource owner = {}) : owner_(std::move(owner)) {}
    int messageBox(TextView text, int style, const std::optional<Text>& title) override;

private:
    OwnerSource owner_;
};

// A window handle as the host passes it (a 32-bit number): the window, or null when it
// names no live window (a box with a dead owner would not show).
HWND liveWindow(std::int32_t handle);

class Win32Platform final : public interfaces::Platform {
public:
    // Reads the user's conventions, so each object that makes a platform follows the regional
    // settings as they stand when it is created.
    Win32Platform();
    Text moduleFolder() override;
    Text firstMatch(TextView pattern) override;
    void deleteFile(TextView path) override;
    std::vector<Text> readTextLines(TextView path) override;
    const automation::Clock& clock() override { return clock_; }
    const automation::Locale& locale() override { return locale_; }
    interfaces::ScreenMetrics screen() override;
    void processMessages() override;
    // Sleeps in MsgWaitForMultipleObjects until input arrives or the time is up.
    void waitForMessages(int milliseconds) override;
    std::vector<interfaces::PrinterInfo> printers() override;
    std::optional<interfaces::PrinterInfo> currentPrinter() override;
    bool folderExists(TextView folder) override;
    bool appendLine(TextView path, TextView line) override;
    interfaces::FileProbe probeFile(TextView path, std::size_t limit) override;
    bool folderWritable(TextView folder) override;

private:
    automation::SystemClock clock_;
    automation::Locale locale_;
};

// CLSIDFromProgID + CoCreateInstance; the object comes back through the IDispatch bridge.
class ComObjectFactory final : public automation::ObjectFactory {
public:
    automation::ObjectRef create(TextView progId) override;
};

// ProgIDs of the maker's components: HKCU\Software\QuorilVantrel\Components, then the same
// key under HKLM, then the standard installation's names.
class RegistryCatalog final : public interfaces::ComponentCatalog {
public:
    Text progIdOf(TextView component) override;
    // "HKCU\...\Components", "HKLM\...\Components" or "por omissão".
    Text sourceOf(TextView component) override;
};

inline constexpr wchar_t kComponentsKey[] = L"Software\\QuorilVantrel\\Components";

// CreateFieldDefFile of the report runtime's "p2smon.dll", loaded for each call and freed
// after it, as a declared DLL function is found when called. The recordset goes as its
// IUnknown (our own objects through the IDispatch bridge), the name in the ANSI code page.
class P2smonFieldDefinitions final : public interfaces::FieldDefinitionLibrary {
public:
    // The library's file name; tests name a library of their own.
    explicit P2smonFieldDefinitions(std::wstring library = L"p2smon.dll")
        : library_(std::move(library)) {}
    std::int32_t createFieldDefFile(automation::ObjectRef& recordset, Text& fileName,
                                    std::int32_t overwrite) override;

private:
    std::wstring library_;
};

// The user's number and date conventions, from GetLocaleInfoW.
automation::Locale userLocale();

}  // namespace vantrel::platform::win32
