#include "platform/win32/variant_bridge.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_profile.h"

namespace vantrel::platform::win32 {

using automation::Text;
using automation::TextView;

std::uint32_t Kernel32Profile::getString(const char* section, const char* key,
                                         const char* defaultText, char* buffer, std::uint32_t size,
                                         const char* file) {
    return GetPrivateProfileStringA(section, key, defaultText, buffer, size, file);
}

std::int32_t Kernel32Profile::writeString(const char* section, const char* key, const char* text,
                                          const char* file) {
    return WritePrivateProfileStringA(section, key, text, file);
}

// CP_ACP with the default flags, as kernel32 turns its A functions' texts into Unicode and
// back: characters the code page lacks take their best fit or '?'.
std::string Kernel32Profile::toAnsi(TextView text) {
    if (text.empty()) return std::string();
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_ACP, 0, units, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, units, length, bytes.data(), n, nullptr, nullptr);
    return bytes;
}

Text Kernel32Profile::fromAnsi(std::string_view bytes) {
    if (bytes.empty()) return Text();
    const int length = static_cast<int>(bytes.size());
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    Text text(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), length,
                            reinterpret_cast<wchar_t*>(text.data()), n);
    return text;
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
