#include "platform/posix/profile_engine_document.h"

namespace vantrel::platform::posix::profile {

namespace {

// kernel32 keeps names and values as C strings, so a NUL read from the file ends them.
WideView untilNul(WideView text) {
    auto nul = text.find(u'\0');
    return nul == WideView::npos ? text : text.substr(0, nul);
}

WideView trimTrailingBlanks(WideView text) {
    std::size_t e = text.size();
    while (e > 0 && isBlank(text[e - 1])) --e;
    return text.substr(0, e);
}

// What a name cut at its NUL must be written back as (see Section::asRead).
WideView asRead(WideView whole, WideView name, bool emptyIsLost) {
    if (name.size() == whole.size()) return WideView();
    bool lost = name.empty() ? emptyIsLost : isBlank(name.back());
    return lost ? whole : WideView();
}

// The lines of a file as kernel32 parses them, in order: each header (with its name) and each
// key line that is kept; `visit(isHeader, line)` returns false to stop.
template <class Visit>
void scanLines(WideView all, Visit&& visit) {
    // Whether the previous key of this section had a name: of several nameless "=value" lines
    // in a row only the first is kept.
    bool previousKey = false, previousNamed = false;
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t start = pos;
        while (pos < all.size() && all[pos] != u'\n' && all[pos] != u'\r') ++pos;
        WideView line = trimBlanks(all.substr(start, pos - start));
        while (pos < all.size() && (all[pos] == u'\n' || all[pos] == u'\r')) ++pos;
        if (line.empty()) continue;

        // A header runs to the last ']' of the line; whatever follows it is ignored. A '['
        // line without any ']' is an ordinary line.
        if (line[0] == u'[') {
            auto close = line.rfind(u']');
            if (close != WideView::npos) {
                previousKey = false;
                WideView whole = trimBlanks(line.substr(1, close - 1));
                WideView name = untilNul(whole);
                if (!visit(true, Key{name, std::nullopt, asRead(whole, name, true), WideView()}))
                    return;
                continue;
            }
        }
        WideView name = line;
        std::optional<WideView> value;
        WideView valueAsRead;
        auto equals = line.find(u'=');
        if (equals != WideView::npos) {
            name = trimTrailingBlanks(line.substr(0, equals));
            WideView whole = trimLeadingBlanks(line.substr(equals + 1));
            value = untilNul(whole);
            valueAsRead = asRead(whole, *value, false);
        }
        if (!name.empty() || !previousKey || previousNamed) {
            // A key the NUL left nameless is written back nameless, as kernel32 does: that
            // changes no other key. Without a value, though, it would be an empty line, gone
            // on the next read, and the next nameless key would take its place.
            Key key{untilNul(name), value, WideView(), valueAsRead};
            key.asRead = asRead(name, key.name, !value);
            previousKey = true;
            previousNamed = !key.name.empty();
            if (!visit(false, key)) return;
        }
    }
}

}  // namespace

Document::Document(Wide text, bool withNamelessSection)
    : text_(std::make_unique<const Wide>(std::move(text))) {
    // The keys before the first header belong to a section without a name; a file without
    // a single byte has not even that one.
    if (withNamelessSection) sections_.push_back(Section{});
    scanLines(*text_, [this](bool header, const Key& line) {
        if (header) {
            sections_.push_back(Section{line.name, {}, line.asRead});
        } else {
            if (sections_.empty()) sections_.push_back(Section{});
            sections_.back().keys.push_back(line);
        }
        return true;
    });
}

// The streaming reads start in the nameless section, as the document does; that a file of no
// bytes has none makes no difference to a read.
std::optional<Key> Scan::find(WideView section, WideView key) const {
    section = trimBlanks(section);
    key = trimBlanks(key);
    bool inside = section.empty();
    std::optional<Key> found;
    scanLines(text_, [&](bool header, const Key& line) {
        if (header) {
            if (inside) return false;  // only the first section of that name counts
            inside = sameName(line.name, section);
            return true;
        }
        if (inside && sameName(line.name, key)) {
            found = line;
            return false;
        }
        return true;
    });
    return found;
}

bool Scan::keysOf(WideView section, std::vector<Key>& keys) const {
    bool inside = section.empty(), found = inside;
    scanLines(text_, [&](bool header, const Key& line) {
        if (header) {
            if (inside) return false;
            inside = found = sameName(line.name, section);
            return true;
        }
        if (inside) keys.push_back(line);
        return true;
    });
    return found;
}

std::vector<WideView> Scan::sectionNames() const {
    std::vector<WideView> names;
    scanLines(text_, [&](bool header, const Key& line) {
        if (header) names.push_back(line.name);
        return true;
    });
    return names;
}

WideView Document::keep(WideView text) {
    added_.emplace_back(text);
    return added_.back();
}

const Key* Document::find(WideView section, WideView key) const {
    section = trimBlanks(section);
    key = trimBlanks(key);
    for (const auto& s : sections_) {
        if (!sameName(s.name, section)) continue;
        for (const auto& k : s.keys) {
            if (sameName(k.name, key)) return &k;
        }
        return nullptr;  // only the first section of that name counts
    }
    return nullptr;
}

bool Document::set(WideView section, WideView key, WideView value) {
    value = trimLeadingBlanks(value);
    // A new name keeps its trailing blanks: only the lookup ignores them.
    WideView newSection = trimLeadingBlanks(section), newKey = trimLeadingBlanks(key);
    section = trimBlanks(section);
    key = trimBlanks(key);
    for (auto& s : sections_) {
        if (!sameName(s.name, section)) continue;
        for (auto& k : s.keys) {
            if (!sameName(k.name, key)) continue;
            if (k.value && *k.value == value) return false;
            k.value = keep(value);
            k.valueAsRead = WideView();
            return true;
        }
        s.keys.push_back(Key{keep(newKey), keep(value), WideView(), WideView()});
        return true;
    }
    Section created{keep(newSection), {}, WideView()};
    created.keys.push_back(Key{keep(newKey), keep(value), WideView(), WideView()});
    sections_.push_back(std::move(created));
    return true;
}

bool Document::deleteKey(WideView section, WideView key) {
    for (auto& s : sections_) {
        if (!sameName(s.name, section)) continue;
        for (auto k = s.keys.begin(); k != s.keys.end(); ++k) {
            if (sameName(k->name, key)) {
                s.keys.erase(k);
                return true;
            }
        }
    }
    return false;
}

bool Document::deleteSection(WideView section) {
    for (auto s = sections_.begin(); s != sections_.end(); ++s) {
        if (sameName(s->name, section)) {
            sections_.erase(s);
            return true;
        }
    }
    return false;
}

const Section* Document::sectionNamed(WideView section) const {
    for (const auto& s : sections_) {
        if (sameName(s.name, section)) return &s;
    }
    return nullptr;
}

Wide Document::serialize() const {
    std::size_t size = 0;
    for (const auto& s : sections_) {
        size += s.name.size() + s.asRead.size() + 4;
        for (const auto& k : s.keys)
            size += k.name.size() + k.asRead.size() + k.valueAsRead.size() +
                    (k.value ? k.value->size() + 1 : 0) + 2;
    }
    Wide out;
    out.reserve(size);
    for (const auto& s : sections_) {
        // A section without a name has no header, so its keys join the section before it.
        if (!s.name.empty() || !s.asRead.empty()) {
            out += u'[';
            out += s.asRead.empty() ? s.name : s.asRead;
            out += u"]\r\n";
        }
        for (const auto& k : s.keys) {
            out += k.asRead.empty() ? k.name : k.asRead;
            if (k.value) {
                out += u'=';
                out += k.valueAsRead.empty() ? *k.value : k.valueAsRead;
            }
            out += u"\r\n";
        }
    }
    return out;
}

}  // namespace vantrel::platform::posix::profile
