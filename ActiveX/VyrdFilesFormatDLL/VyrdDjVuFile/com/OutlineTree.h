// The document outline as the reader exposes it: a tree of content items under
// a root node that holds none, a map from ItemID to item, and one cursor that
// IVyrdFileContent moves around.
//
// Used on the reader object's thread only; takes no lock (outline calls are not
// serialised with the reader's other calls). Only Append allocates, and it
// throws std::bad_alloc when memory runs out; every other operation is noexcept.
#pragma once

#include "ComPtr.h"
#include "VyrdFilesFormat.h"

#include <map>
#include <memory>
#include <vector>

class COutlineTree {
public:
    COutlineTree() = default;
    ~COutlineTree() { Clear(); }
    COutlineTree(const COutlineTree&) = delete;
    COutlineTree& operator=(const COutlineTree&) = delete;

    // Releases every item: the root alone remains, the cursor is at the root and
    // the item counter is 0. Items that clients still hold keep their values.
    // Nodes are taken apart one level at a time, so a deeply nested outline
    // does not exhaust the stack.
    void Clear() noexcept;

    // The identifier for the next item: the item counter plus one.
    LONG NextItemId() const noexcept { return lastItemId_ + 1; }

    // Appends `item` (with its ItemID already set to NextItemId()) as the last
    // child of the cursor node, enters it in the map, counts it and moves the
    // cursor to it. Without a cursor nothing is appended and false is returned.
    bool Append(ComPtr<IVyrdFileContentItem> item, LONG itemId);

    // The cursor operations of IVyrdFileContent, with its S_OK / S_FALSE rules.
    HRESULT ChildsCount(LONG* count) const noexcept;
    HRESULT GotoRoot() noexcept;
    HRESULT GotoParent() noexcept;
    HRESULT GotoChilds() noexcept;
    HRESULT GotoFirst() noexcept;
    HRESULT GotoPrevious() noexcept;
    HRESULT GotoNext() noexcept;
    HRESULT GotoLast() noexcept;
    // New references; null for the root and for unknown identifiers.
    HRESULT GetCurrentItem(IVyrdFileContentItem** item) const noexcept;
    HRESULT GetItem(LONG itemId, IVyrdFileContentItem** item) const noexcept;

private:
    struct Node {
        ComPtr<IVyrdFileContentItem> item;  // null for the root
        Node* parent = nullptr;
        std::size_t indexInParent = 0;
        std::vector<std::unique_ptr<Node>> children;
    };

    Node root_;
    Node* cursor_ = &root_;                       // null once the cursor has fallen off the tree
    std::map<LONG, IVyrdFileContentItem*> byId_;  // borrowed from the nodes
    LONG lastItemId_ = 0;
};
