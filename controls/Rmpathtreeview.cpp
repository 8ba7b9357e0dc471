#include "controls/Rmpathtreeview.h"

#include <utility>
#include <vector>

#include "gui/Application.h"
#include "gui/CutOffHint.h"
#include "inspector/Rmhint.h"
#include "platform/ClassRegistry.h"
#include "platform/Crc32.h"
#include "platform/Properties.h"

namespace {

const bool kRegistered =
    (RegisterClass<TrmPathTreeView>("TrmPathTreeView"), RegisterClass<TrmNodeInfo>("TrmNodeInfo"), true);

// The hint of cut-off texts, shared by every path tree view.
thorn::CutOffHint& SharedHint() {
    static thorn::CutOffHint hint;
    return hint;
}

constexpr std::string_view kSortTypeNames[] = {"stNone", "stData", "stText", "stBoth"};
constexpr std::string_view kDragModeNames[] = {"dmManual", "dmAutomatic"};

}  // namespace

// ================================================================== nodes

TrmTreeNodes& TrmTreeNode::GetOwner() const { return static_cast<TrmTreeNodes&>(TTreeNode::GetOwner()); }

TrmCustomPathTreeView& TrmTreeNode::GetTreeView() const { return GetOwner().GetOwner(); }

void TrmTreeNode::RemoveHash() {
    TrmTreeNodes& nodes = GetOwner();
    const TTreeNode* end = this;
    for (TTreeNode* n = this; n;) {
        nodes.RemoveHash(static_cast<TrmTreeNode*>(n));
        if (TTreeNode* child = n->GetFirstChild()) {
            n = child;
            continue;
        }
        while (n != end && !n->GetNextSibling()) n = n->TTreeNode::GetParent();
        n = n == end ? nullptr : n->GetNextSibling();
    }
}

void TrmTreeNode::RenewHash() {
    TrmTreeNodes& nodes = GetOwner();
    const char sep = GetTreeView().GetSepChar();
    // Each path is its parent's and one more name, and so is its hash: the
    // subtree is entered in one walk, however deep.
    std::string path = GetTreeView().NodePath(TTreeNode::GetParent());
    thorn::Crc32 rootCrc;
    rootCrc.Update({reinterpret_cast<const uint8_t*>(path.data()), path.size()});
    struct Level {
        thorn::Crc32 crc;  // of the parent's path
        size_t length;     // the parent's path's length
    };
    std::vector<Level> levels{{rootCrc, path.size()}};
    const TTreeNode* end = this;
    for (TTreeNode* n = this; n;) {
        const Level& parent = levels.back();
        path.resize(parent.length);
        path += sep;
        path += n->GetText();
        thorn::Crc32 crc = parent.crc;
        crc.Update({reinterpret_cast<const uint8_t*>(path.data()) + parent.length, path.size() - parent.length});
        nodes.InsertEntry(static_cast<int32_t>(crc.Value()), path, static_cast<TrmTreeNode*>(n));
        if (TTreeNode* child = n->GetFirstChild()) {
            levels.push_back({crc, path.size()});
            n = child;
            continue;
        }
        while (n != end && !n->GetNextSibling()) {
            n = n->TTreeNode::GetParent();
            levels.pop_back();
        }
        n = n == end ? nullptr : n->GetNextSibling();
    }
}

TrmTreeNodes::TrmTreeNodes(TrmCustomPathTreeView& owner) : TTreeNodes(owner), owner_(&owner) {}

TrmTreeNodes::~TrmTreeNodes() = default;

TrmCustomPathTreeView& TrmTreeNodes::GetOwner() const { return *owner_; }

void TrmTreeNodes::Assign(const TPersistent& source) {
    // The handlers told of the nodes deleted and copied may free the view.
    const thorn::ComponentWatch view(owner_);
    TTreeNodes::Assign(source);
    if (view.Freed()) return;
    if (dynamic_cast<const TrmTreeNodes*>(&source))
        for (TrmTreeNode* root = GetFirstNode(); root; root = root->GetNextSibling()) root->RenewHash();
}

// ---- how the index follows the tree

void TrmTreeNodes::NodeAdded(TTreeNode& node, bool inserted) {
    // What AddPathNode worked out is for its own node alone, not for one a
    // handler adds meanwhile.
    const KnownPath* known = std::exchange(known_, nullptr);
    if (inserted || node.GetText().empty()) return;
    auto& added = static_cast<TrmTreeNode&>(node);
    if (known)
        InsertEntry(known->hash, known->path, &added);
    else
        BinaryInsert(owner_->NodePath(&node), &added);
}

void TrmTreeNodes::TextChanging(TTreeNode& node, const std::string&) {
    if (!node.GetText().empty()) static_cast<TrmTreeNode&>(node).RemoveHash();
}

void TrmTreeNodes::TextChanged(TTreeNode& node, const std::string& oldText) {
    if (!oldText.empty() && !node.GetText().empty()) static_cast<TrmTreeNode&>(node).RenewHash();
}

void TrmTreeNodes::SubtreeMoving(TTreeNode& node) { static_cast<TrmTreeNode&>(node).RemoveHash(); }

void TrmTreeNodes::SubtreeMoved(TTreeNode& node) { static_cast<TrmTreeNode&>(node).RenewHash(); }

void TrmTreeNodes::NodeDeleting(TTreeNode& node) { RemoveHash(&static_cast<TrmTreeNode&>(node)); }

void TrmTreeNodes::NodesCleared() { index_.Clear(); }

// ================================================================== the view

TrmCustomPathTreeView::TrmCustomPathTreeView() {
    SetNodes(std::make_unique<TrmTreeNodes>(*this));
    SetParentColor(false);
    SetTabStop(true);
}

TrmCustomPathTreeView::~TrmCustomPathTreeView() = default;

std::unique_ptr<TTreeNode> TrmCustomPathTreeView::CreateNode() { return std::make_unique<TrmTreeNode>(*GetItems()); }

// ---- paths

std::string TrmCustomPathTreeView::NodePath(const TTreeNode* node) const { return thorn::PathOf(node, sepChar_); }

TrmTreeNode* TrmCustomPathTreeView::FindPathNode(std::string_view path) const { return GetItems()->LocateNode(path); }

std::string TrmCustomPathTreeView::ParentName(std::string_view path) const {
    if (!path.empty() && path.back() == sepChar_) path.remove_suffix(1);
    while (!path.empty() && path.back() != sepChar_) path.remove_suffix(1);
    if (!path.empty()) path.remove_suffix(1);
    return std::string(path);
}

std::string TrmCustomPathTreeView::ChildName(std::string_view path) const {
    if (!path.empty() && path.back() == sepChar_) path.remove_suffix(1);
    const size_t sep = path.rfind(sepChar_);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

TrmTreeNode* TrmCustomPathTreeView::AddPathNode(TTreeNode*, std::string_view given) {
    if (given.empty()) return nullptr;
    TrmTreeNodes& nodes = *GetItems();
    std::string path;
    if (given.front() != sepChar_) path += sepChar_;
    path += given;
    if (TrmTreeNode* found = nodes.LocateNode(path)) return found;
    // The names of the path, without the empty ones a trailing or doubled
    // separator makes: such a path names the node of its plain path rather
    // than a second node of the same name.
    std::vector<std::string_view> names;
    for (size_t at = 0; at < path.size();) {
        const size_t next = path.find(sepChar_, at + 1);
        const std::string_view name = std::string_view(path).substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
        if (!name.empty()) names.push_back(name);
        at = next == std::string::npos ? path.size() : next;
    }
    if (names.empty()) return nullptr;
    // Each plain prefix and its hash, carried on from the one before.
    std::vector<TrmTreeNodes::KnownPath> prefixes;
    std::string plain;
    thorn::Crc32 crc;
    for (std::string_view name : names) {
        const size_t from = plain.size();
        plain += sepChar_;
        plain += name;
        crc.Update({reinterpret_cast<const uint8_t*>(plain.data()) + from, plain.size() - from});
        prefixes.push_back({static_cast<int32_t>(crc.Value()), {}});
    }
    size_t length = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        length += names[i].size() + 1;
        prefixes[i].path = std::string_view(plain).substr(0, length);
    }
    // The deepest node the index has, then the rest made below it.
    size_t have = names.size();
    TrmTreeNode* parent = nullptr;
    while (have > 0 && !parent) {
        const int entry = nodes.FindEntry(prefixes[have - 1].hash, prefixes[have - 1].path);
        if (entry >= 0)
            parent = nodes.GetHashData(entry).Node;
        else
            --have;
    }
    thorn::ComponentRef<TrmCustomPathTreeView> self(this);
    for (size_t i = have; i < names.size(); ++i) {
        TrmTreeNode* added = nodes.AddChildKnowing(parent, std::string(names[i]), prefixes[i]);
        if (!self) return nullptr;
        if (OnGetImageIndex) OnGetImageIndex(this, added);
        if (!self) return nullptr;
        parent = added;
    }
    return parent;
}

// ---- the tree's notifications, with the path tree's own node type

bool TrmCustomPathTreeView::CanChange(TTreeNode* node) {
    bool allow = true;
    if (OnChanging) OnChanging(this, Typed(node), allow);
    return allow;
}

void TrmCustomPathTreeView::Change(TTreeNode* node) {
    if (OnChange) OnChange(this, Typed(node));
}

bool TrmCustomPathTreeView::CanExpand(TTreeNode* node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(this, Typed(node), allow);
    return allow;
}

void TrmCustomPathTreeView::Expand(TTreeNode* node) {
    if (OnExpanded) OnExpanded(this, Typed(node));
}

bool TrmCustomPathTreeView::CanCollapse(TTreeNode* node) {
    bool allow = true;
    if (OnCollapsing) OnCollapsing(this, Typed(node), allow);
    return allow;
}

void TrmCustomPathTreeView::Collapse(TTreeNode* node) {
    if (OnCollapsed) OnCollapsed(this, Typed(node));
}

bool TrmCustomPathTreeView::CanEdit(TTreeNode* node) {
    bool allow = true;
    thorn::ComponentRef<TrmCustomPathTreeView> self(this);
    if (OnEditing) OnEditing(this, Typed(node), allow);
    if (self && allow) SetNewHint(nullptr);
    return allow;
}

void TrmCustomPathTreeView::Edit(TTreeNode* node, std::string& text) {
    if (OnEdited) OnEdited(this, Typed(node), text);
}

void TrmCustomPathTreeView::Delete(TTreeNode* node) {
    if (OnDeletion) OnDeletion(this, Typed(node));
}

void TrmCustomPathTreeView::GetImageIndex(TTreeNode* node) {
    if (OnGetImageIndex) OnGetImageIndex(this, Typed(node));
}

void TrmCustomPathTreeView::GetSelectedIndex(TTreeNode* node) {
    if (OnGetSelectedIndex) OnGetSelectedIndex(this, Typed(node));
}

int TrmCustomPathTreeView::CompareNodes(TTreeNode* node1, TTreeNode* node2, int32_t data) {
    if (!OnCompare) return TCustomTreeView::CompareNodes(node1, node2, data);
    int compare = 0;
    OnCompare(this, Typed(node1), Typed(node2), data, compare);
    return compare;
}

bool TrmCustomPathTreeView::IsCustomDrawn() const {
    return OnCustomDraw || OnAdvancedCustomDraw || OnCustomDrawItem || OnAdvancedCustomDrawItem;
}

bool TrmCustomPathTreeView::CustomDrawItem(TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage,
                                           bool& paintImages) {
    bool defaultDraw = true;
    // The first handler may free the view.
    thorn::ComponentRef<TrmCustomPathTreeView> self(this);
    if (stage == cdPrePaint && OnCustomDrawItem) OnCustomDrawItem(this, Typed(node), state, defaultDraw);
    if (self && OnAdvancedCustomDrawItem)
        OnAdvancedCustomDrawItem(this, Typed(node), state, stage, paintImages, defaultDraw);
    return defaultDraw;
}

void TrmCustomPathTreeView::SetNewHint(TTreeNode* node) {
    thorn::CutOffHint& hint = SharedHint();
    if (!node || !GetToolTips() || !Application || !IsShowing()) {
        hint.Close();
        return;
    }
    if (hint.Shows(node->GetText())) return;
    hint.Close();
    const TRect text = node->DisplayRect(true);
    if (text.Right <= GetWidth()) return;
    const TPoint topLeft = ClientToScreen({text.Left, text.Top});
    hint.Show<TrmHintWindow>(*this, {topLeft.X, topLeft.Y, topLeft.X + text.Width(), topLeft.Y + text.Height()},
                             node->GetText());
}

// ================================================================ published

TrmPathTreeView::TrmPathTreeView() { (void)kRegistered; }

void TrmPathTreeView::PublishProperties(thorn::PropertyList& list) {
    TrmCustomPathTreeView::PublishProperties(list);
    list.Boolean("AutoExpand", [this] { return GetAutoExpand(); }, [this](bool v) { SetAutoExpand(v); }, false);
    list.Enumeration<TBorderStyle>("BorderStyle", [this] { return GetBorderStyle(); },
                                   [this](TBorderStyle v) { SetBorderStyle(v); }, thorn::kBorderStyleNames, bsSingle);
    list.Integer("ChangeDelay", [this] { return GetChangeDelay(); }, [this](int32_t v) { SetChangeDelay(v); }, 0);
    list.Boolean("HideSelection", [this] { return GetHideSelection(); }, [this](bool v) { SetHideSelection(v); }, true);
    list.Boolean("HotTrack", [this] { return GetHotTrack(); }, [this](bool v) { SetHotTrack(v); }, false);
    list.Integer("Indent", [this] { return GetIndent(); }, [this](int32_t v) { SetIndent(v); }, 19);
    list.Boolean("ReadOnly", [this] { return GetReadOnly(); }, [this](bool v) { SetReadOnly(v); }, false);
    list.Boolean("RightClickSelect", [this] { return GetRightClickSelect(); },
                 [this](bool v) { SetRightClickSelect(v); }, false);
    list.Boolean("RowSelect", [this] { return GetRowSelect(); }, [this](bool v) { SetRowSelect(v); }, false);
    list.Boolean("ShowButtons", [this] { return GetShowButtons(); }, [this](bool v) { SetShowButtons(v); }, true);
    list.Boolean("ShowLines", [this] { return GetShowLines(); }, [this](bool v) { SetShowLines(v); }, true);
    list.Boolean("ShowRoot", [this] { return GetShowRoot(); }, [this](bool v) { SetShowRoot(v); }, true);
    list.Enumeration<TSortType>("SortType", [this] { return GetSortType(); }, [this](TSortType v) { SetSortType(v); },
                                kSortTypeNames, stNone);
    list.Boolean("ToolTips", [this] { return GetToolTips(); }, [this](bool v) { SetToolTips(v); }, true);
    list.Char("SepChar", [this] { return GetSepChar(); }, [this](char c) { SetSepChar(c); }, '/');
    list.Enumeration<TDragMode>("DragMode", [this] { return GetDragMode(); }, [this](TDragMode v) { SetDragMode(v); },
                                kDragModeNames, dmManual);
    list.Enumeration<TAlign>("Align", [this] { return GetAlign(); }, [this](TAlign v) { SetAlign(v); },
                             thorn::kAlignNames, alNone);
    list.Boolean("Ctl3D", [this] { return GetCtl3D(); }, [this](bool v) { SetCtl3D(v); }, true);
    list.Boolean("TabStop", [this] { return GetTabStop(); }, [this](bool v) { SetTabStop(v); }, true);
    list.Boolean("ShowHint", [this] { return GetShowHint(); }, [this](bool v) { SetShowHint(v); }, false);
    list.Object("Items", [this] { return GetItems(); });
}

void TrmNodeInfo::PublishProperties(thorn::PropertyList& list) {
    TComponent::PublishProperties(list);
    list.Integer("ImageIndex", [this] { return ImageIndex; }, [this](int32_t v) { ImageIndex = v; }, -1);
    list.Integer("SelectedIndex", [this] { return SelectedIndex; }, [this](int32_t v) { SelectedIndex = v; }, -1);
    list.Integer("StateIndex", [this] { return StateIndex; }, [this](int32_t v) { StateIndex = v; }, -1);
    list.Integer("OverlayIndex", [this] { return OverlayIndex; }, [this](int32_t v) { OverlayIndex = v; }, -1);
    list.Integer("Data", [this] { return Data; }, [this](int32_t v) { Data = v; });
    list.String("Path", [this] { return Path; }, [this](const std::string& v) { Path = v; });
}
