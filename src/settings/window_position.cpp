// Saving and restoring a window's state, position and size in the current section. The
// window is any object with WindowState, Left, Top, Width, Height and Move, in twips.
#include <exception>

#include "automation/runtime_error.h"
#include "settings/cinifile.h"

namespace vantrel::settings {

using automation::ObjectRef;
using automation::Text;
using automation::Variant;

namespace {

constexpr std::int32_t kMinimised = 1;
constexpr std::int32_t kMaximised = 2;

// Puts the remembered properties back however the operation ends.
class Restore {
public:
    Restore(Text& field, Text saved) : field_(field), saved_(std::move(saved)) {}
    ~Restore() { field_ = std::move(saved_); }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    Text& field_;
    Text saved_;
};

}  // namespace

void cInifile::SaveFormPosition(const ObjectRef& frmThis) {
    Restore key(key_, key_);
    try {
        std::int32_t state = frmThis.get(u"WindowState").toLong();
        if (state == kMinimised) return;
        setKey(u"Maximised");
        setValue(state == kMaximised ? u"1" : u"0");
        // A maximised window keeps the position and size stored before it was maximised.
        if (state == kMaximised) return;
        for (const char16_t* name : {u"Left", u"Top", u"Width", u"Height"}) {
            Text value = frmThis.get(name).toText();
            setKey(name);
            setValue(value);
        }
    } catch (const std::exception&) {
        lastReturnCode_ = 0;
    }
}

void cInifile::LoadFormPosition(const ObjectRef& frmThis, std::int32_t lMinWidth,
                                std::int32_t lMinHeight) {
    Restore key(key_, key_);
    Restore def(default_, default_);
    try {
        if (!platform_) throw automation::RuntimeError(automation::errc::ObjectVariableNotSet);
        // A missing key then reads as a text that is no number, so the window keeps its value.
        setDefault(u"FAIL");
        auto stored = [&](const char16_t* name) {
            std::int32_t current = frmThis.get(name).toLong();
            setKey(name);
            return static_cast<double>(CLngDefault(Value(), current));
        };
        double left = stored(u"Left");
        double top = stored(u"Top");
        double width = stored(u"Width");
        double height = stored(u"Height");
        if (width < lMinWidth) width = lMinWidth;
        if (height < lMinHeight) height = lMinHeight;

        // Keep the window on the screen, 4 pixels in from each edge.
        interfaces::ScreenMetrics screen = platform_->screen();
        double mx = 4 * screen.twipsPerPixelX, my = 4 * screen.twipsPerPixelY;
        double w = screen.widthTwips, h = screen.heightTwips;
        if (left < mx) left = mx;
        if (top < my) top = my;
        if (left + width > w - mx) {
            left = w - mx - width;
            if (left < mx) left = mx;
            if (left + width > w - mx) width = w - left - mx;
        }
        if (top + height > h - my) {
            top = h - my - height;
            if (top < my) top = my;
            if (top + height > h - my) height = h - top - my;
        }
        // On a screen smaller than the minimum size the window stays where it is.
        if (width >= lMinWidth && height >= lMinHeight) {
            frmThis.call(u"Move", Variant::longValue(automation::roundToLong(left)),
                         Variant::longValue(automation::roundToLong(top)),
                         Variant::longValue(automation::roundToLong(width)),
                         Variant::longValue(automation::roundToLong(height)));
        }
        setKey(u"Maximised");
        if (CLngDefault(Value(), 0) != 0)
            frmThis.put(u"WindowState", Variant::longValue(kMaximised));
    } catch (const std::exception&) {
        lastReturnCode_ = 0;
    }
}

}  // namespace vantrel::settings
