#pragma once
// Native tests only: multi-page bundles assembled byte by byte, their
// directory's compressed part made with DjVuLibre's bzz (see Oracle.h).

#include "Container.h"
#include "IffBuilder.h"
#include "Oracle.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace testbundle {

using testiff::Append;
using testiff::Bytes;
using testiff::Chunk;
using testiff::Concat;
using testiff::Text;
using testiff::U24;
using testiff::U32;
using vyrd::CDjVuContainer;
using vyrd::MakeRef;
using vyrd::RefPtr;

struct Component {
    uint8_t type;  // 0 include, 1 page, 2 thumbnails, 3 shared annotations
    std::string id;
    std::string name;   // stored only when not empty
    std::string title;  // stored only when not empty
    Bytes form;         // the component's FORM chunk
};

struct BundleOptions {
    int version = 1;
    bool selfContained = true;
    // Directory order of the components, as indices into the list; the FORMs
    // are always stored in list order.
    std::vector<int> order;
    // Strings dropped from the end of the table.
    int missingStrings = 0;
};

// A bundle: "AT&T", FORM:DJVM holding DIRM and then every component FORM.
inline Bytes Bundle(const std::vector<Component>& components, BundleOptions options = {}) {
    if (options.order.empty()) {
        for (int i = 0; i < int(components.size()); ++i) {
            options.order.push_back(i);
        }
    }
    const bool old = options.version == 0;
    Bytes packed;  // the part of the directory that is compressed
    std::vector<std::string> strings;
    if (!old) {
        for (int i : options.order) {
            Append(packed, U24(uint32_t(components[i].form.size())));
        }
    }
    for (int i : options.order) {
        const Component& c = components[i];
        uint8_t flags;
        if (old) {
            flags = uint8_t((c.type == 1 ? 1 : 0) | (c.name.empty() ? 0 : 2) |
                            (c.title.empty() ? 0 : 4));
        } else {
            flags = uint8_t(c.type | (c.name.empty() ? 0 : 0x80) | (c.title.empty() ? 0 : 0x40));
        }
        packed.push_back(flags);
        strings.push_back(c.id);
        if (!c.name.empty()) {
            strings.push_back(c.name);
        }
        if (!c.title.empty()) {
            strings.push_back(c.title);
        }
    }
    strings.resize(strings.size() - options.missingStrings);
    for (const std::string& s : strings) {
        Append(packed, Text(s));
        packed.push_back(0);
    }
    const Bytes compressed = oracle::BzzEncode(packed);
    EXPECT_FALSE(compressed.empty());

    const std::size_t n = options.order.size();
    const std::size_t tableSize = options.selfContained ? n * (old ? 7 : 4) : 0;
    const std::size_t dirmLength = 3 + tableSize + compressed.size();
    // FORM header (8) + "DJVM" (4) after the magic (4), then DIRM with its pad.
    std::size_t offset = 4 + 8 + 4 + 8 + dirmLength + (dirmLength % 2);
    std::vector<uint32_t> offsets(components.size());
    for (std::size_t i = 0; i < components.size(); ++i) {
        offsets[i] = uint32_t(offset);
        offset += components[i].form.size();  // Form() pads to an even length
    }
    Bytes dirm = {uint8_t((options.selfContained ? 0x80 : 0) | options.version), uint8_t(n >> 8),
                  uint8_t(n)};
    if (options.selfContained) {
        for (int i : options.order) {
            Append(dirm, U32(offsets[i]));
            if (old) {
                Append(dirm, U24(uint32_t(components[i].form.size())));
            }
        }
    }
    Append(dirm, compressed);

    Bytes body = Text("DJVM");
    Append(body, Chunk("DIRM", dirm));
    for (const Component& c : components) {
        Append(body, c.form);
    }
    return Concat({Text("AT&T"), Chunk("FORM", body)});
}

// A document opened over bytes it keeps: the container borrows them.
struct OpenedBundle {
    explicit OpenedBundle(Bytes b) : bytes(std::move(b)), doc(MakeRef<CDjVuContainer>()) {
        EXPECT_EQ(doc->OpenDocumentFromMemory(bytes), 1);
    }
    CDjVuContainer* operator->() const { return doc.get(); }
    CDjVuContainer& operator*() const { return *doc; }

    Bytes bytes;
    RefPtr<CDjVuContainer> doc;
};

// Points directory entry `position` (in directory order) of a self-contained
// bundle elsewhere: its offset is the 4 bytes after the DIRM header
// (magic 4, FORM header 8, "DJVM" 4, DIRM header 8, flags 1, count 2).
inline void SetDirectoryOffset(Bytes& bundle, int position, uint32_t offset) {
    const std::size_t at = 27 + 4 * std::size_t(position);
    for (int k = 0; k < 4; ++k) {
        bundle[at + std::size_t(k)] = uint8_t(offset >> (24 - 8 * k));
    }
}

}  // namespace testbundle
