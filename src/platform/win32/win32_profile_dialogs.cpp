#include "platform/win32/variant_bridge.h"
#include "platform/win32/win32_ports.h"

namespace vantrel::platform::win32 {

std::uint32_t Kernel32Profile::getString(const char* section, const char* key,
                                         const char* defaultText, char* buffer, std::uint32_t size,
                                         const char* file) {
    return GetPrivateProfileStringA(section, key, defaultText, buffer, size, file);
}

std::int32_t Kernel32Profile::writeString(const char* section, const char* key, const char* text,
                                          const char* file) {
    return WritePrivateProfileStringA(section, key, text, file);
}

HWND liveWindow(std::int32_t handle) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
    return (hwnd && IsWindow(hwnd)) ? hwnd : nullptr;
}

int Win32Dialogs::messageBox(TextView text, int style, const std::optional<Text>& title) {
    Text body(text);
    Text caption = title ? *title : Text(interfaces::kApplicationTitle);
    HWND owner = owner_ ? owner_() : nullptr;
    // Without an owner the box still has to come to the front, as the host's own would.
    UINT flags = static_cast<UINT>(style) | (owner ? 0u : MB_TASKMODAL | MB_SETFOREGROUND);
    int answer = MessageBoxW(owner, wide(body), wide(caption), flags);
    if (answer == 0) throw automation::RuntimeError(automation::errc::OutOfMemory);
    return answer;
}

}  // namespace vantrel::platform::win32
