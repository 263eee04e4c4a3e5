#pragma once
// The tag tree of the TIFF file last read: a root and one child per entry of
// its first directory, each named after its tag. One tree exists at a time;
// every load replaces it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TNode;
using TNodeList = std::vector<std::unique_ptr<TNode>>;

class TNode {
public:
    explicit TNode(std::string name = {}) : Name(std::move(name)) {}
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;
    virtual ~TNode() = default;

    TNode* Parent() const { return parent_; }
    const TNodeList& Children() const { return children_; }
    // Takes the child over and returns it.
    TNode& Add(std::unique_ptr<TNode> child);
    // The first child of exactly this name; nullptr when there is none.
    TNode* Find(std::string_view name) const;

    std::string Name;

private:
    TNode* parent_ = nullptr;
    TNodeList children_;
};

class TTiffTagNode : public TNode {
public:
    using TNode::TNode;

    std::string Text2;           // kept empty
    uint32_t Value = 0;          // the last inline value, or the offset
    uint32_t Count = 0;
    std::string TypeName;
    uint32_t ValueSize = 0;      // bytes per value
    bool IsOffset = false;       // Value is the offset of the values
    int64_t ResolvedValue = -1;  // -1: the values lie at the offset, unread
};

// "ImageWidth", ... for the baseline tags; "TagCode=" and the number in
// hexadecimal for any other.
std::string TiffTagName(uint16_t tag);
// "BYTE", "ASCII", ... and "unknown".
const char* TiffTypeName(uint16_t type);
// Bytes one value of the type is taken to occupy (1, 2 or 4).
uint32_t TiffValueSize(uint16_t type);

// The current tree; it always exists.
TNode& TiffTagRoot();
// Replaces the tree by a new, empty "root" and returns it.
TNode& ResetTiffTagTree();
