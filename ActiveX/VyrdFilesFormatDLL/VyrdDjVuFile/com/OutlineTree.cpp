#include "OutlineTree.h"

#include <new>
#include <utility>

namespace {

HRESULT HandOut(IVyrdFileContentItem* item, IVyrdFileContentItem** out) {
    if (item) {
        item->AddRef();
    }
    *out = item;
    return S_OK;
}

}  // namespace

void COutlineTree::Clear() noexcept {
    byId_.clear();
    // Detach the children before releasing them: an item's release runs code
    // outside this object, which must find the tree already empty.
    std::vector<std::unique_ptr<Node>> gone = std::move(root_.children);
    root_.children.clear();
    cursor_ = &root_;
    lastItemId_ = 0;
    // A node's destructor would release its children recursively, one stack
    // frame per level. Moving each node's children out before the node goes
    // keeps every destructor one level deep.
    while (!gone.empty()) {
        std::unique_ptr<Node> node = std::move(gone.back());
        gone.pop_back();
        try {
            for (std::unique_ptr<Node>& child : node->children) {
                gone.push_back(std::move(child));
            }
        } catch (const std::bad_alloc&) {
            // No room to flatten further: whatever is left goes recursively,
            // still correctly, only with a deeper stack.
        }
    }
}

bool COutlineTree::Append(ComPtr<IVyrdFileContentItem> item, LONG itemId) {
    if (!cursor_) {
        return false;
    }
    auto node = std::make_unique<Node>();
    node->parent = cursor_;
    node->indexInParent = cursor_->children.size();
    IVyrdFileContentItem* raw = item.Get();
    node->item = std::move(item);
    // Reserve both places before filling either, so a failed allocation leaves
    // the tree as it was.
    cursor_->children.reserve(cursor_->children.size() + 1);
    byId_[itemId] = raw;
    cursor_->children.push_back(std::move(node));
    cursor_ = cursor_->children.back().get();
    lastItemId_ = itemId;
    return true;
}

HRESULT COutlineTree::ChildsCount(LONG* count) const noexcept {
    *count = 0;
    if (!cursor_) {
        return S_FALSE;
    }
    *count = static_cast<LONG>(cursor_->children.size());
    return S_OK;
}

HRESULT COutlineTree::GotoRoot() noexcept {
    cursor_ = &root_;
    return S_OK;
}

HRESULT COutlineTree::GotoParent() noexcept {
    if (!cursor_) {
        return S_FALSE;
    }
    // At the root the cursor falls off the tree until the next GotoRoot.
    cursor_ = cursor_->parent;
    return S_OK;
}

HRESULT COutlineTree::GotoChilds() noexcept {
    if (!cursor_ || cursor_->children.empty()) {
        return S_FALSE;
    }
    cursor_ = cursor_->children.front().get();
    return S_OK;
}

HRESULT COutlineTree::GotoFirst() noexcept {
    if (!cursor_) {
        return S_FALSE;
    }
    if (cursor_->parent) {
        cursor_ = cursor_->parent->children.front().get();
    }
    return S_OK;
}

HRESULT COutlineTree::GotoPrevious() noexcept {
    if (!cursor_ || !cursor_->parent || cursor_->indexInParent == 0) {
        return S_FALSE;
    }
    cursor_ = cursor_->parent->children[cursor_->indexInParent - 1].get();
    return S_OK;
}

HRESULT COutlineTree::GotoNext() noexcept {
    if (!cursor_ || !cursor_->parent ||
        cursor_->indexInParent + 1 >= cursor_->parent->children.size()) {
        return S_FALSE;
    }
    cursor_ = cursor_->parent->children[cursor_->indexInParent + 1].get();
    return S_OK;
}

HRESULT COutlineTree::GotoLast() noexcept {
    if (!cursor_ || !cursor_->parent) {
        return S_FALSE;
    }
    cursor_ = cursor_->parent->children.back().get();
    return S_OK;
}

HRESULT COutlineTree::GetCurrentItem(IVyrdFileContentItem** item) const noexcept {
    return HandOut(cursor_ ? cursor_->item.Get() : nullptr, item);
}

HRESULT COutlineTree::GetItem(LONG itemId, IVyrdFileContentItem** item) const noexcept {
    const auto found = byId_.find(itemId);
    return HandOut(found != byId_.end() ? found->second : nullptr, item);
}
