// An INI file read the way kernel32 reads it: a list of sections, the first one nameless
// (the keys before any header), each a list of lines that are keys with or without a value.
// Comments (';' lines) are kept as keys, so that writing the file back keeps them; blank
// lines and the white space around names and values are not kept.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/posix/profile_engine_text.h"

namespace vantrel::platform::posix::profile {

struct Key {
    WideView name;                  // up to its first NUL, as kernel32's C strings end there
    std::optional<WideView> value;  // none for a line without '='
    WideView asRead;                // see Section::asRead
    WideView valueAsRead;           // the same for the value (empty ones stay empty)
};

struct Section {
    WideView name;
    std::vector<Key> keys;
    // The name as the file has it, NUL and all, when the NUL left a name that would not
    // read back as itself: one ending in a blank (a rewrite would lose the blank, and the
    // name could become that of another section or key), an empty section name (a rewrite
    // would drop the header, and its keys would join the section above) or an empty key
    // name without a value (an empty line). Empty otherwise.
    WideView asRead;
};

// The same reading as Document, without building it: what a read needs, found in one pass
// that stops as soon as it knows, over a text the caller keeps.
class Scan {
public:
    explicit Scan(WideView text) : text_(text) {}
    // As Document::find.
    std::optional<Key> find(WideView section, WideView key) const;
    // The keys of the first section of exactly this name (as Document::sectionNamed finds
    // it); false when there is none.
    bool keysOf(WideView section, std::vector<Key>& keys) const;
    // The names of the sections with a header, in order, empty names included.
    std::vector<WideView> sectionNames() const;

private:
    WideView text_;
};

class Document {
public:
    // Parses `text`; the document keeps it and its names and values point into it.
    // `withNamelessSection` is false for a file of zero bytes, which kernel32 treats as
    // having no section at all (so deleting the nameless section finds nothing to delete).
    explicit Document(Wide text, bool withNamelessSection = true);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    const std::vector<Section>& sections() const { return sections_; }

    // The value of `key` in the first section called `section`; names are compared without
    // their surrounding blanks. Null when either is missing.
    const Key* find(WideView section, WideView key) const;
    // Sets `key` (appended to the first such section, or to a new section at the end).
    // Returns false when the key already held exactly this value.
    bool set(WideView section, WideView key, WideView value);
    // These compare names exactly as given (only the case of ASCII letters may differ).
    // deleteKey removes the first such key of any section of that name; deleteSection the
    // first section of that name. Both return whether they removed something.
    bool deleteKey(WideView section, WideView key);
    bool deleteSection(WideView section);
    const Section* sectionNamed(WideView section) const;

    // The file's text as kernel32 writes it back: "[name]", then "key=value" lines, CR LF;
    // except that a name kept asRead is written as read, so that no other name changes.
    Wide serialize() const;

private:
    WideView keep(WideView text);

    std::unique_ptr<const Wide> text_;  // behind a pointer so the views survive moves
    std::deque<Wide> added_;            // texts of keys and sections set since parsing
    std::vector<Section> sections_;
};

}  // namespace vantrel::platform::posix::profile
