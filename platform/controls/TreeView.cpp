// The tree view (class SysTreeView32): items in a tree, one row each, the
// children of an expanded item indented below it.
#include <algorithm>
#include <unordered_map>

#include "platform/controls/Controls_p.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace controls {
namespace {

struct TreeNode {
  std::string text;
  std::intptr_t data = 0;
  TreeItem parent = kTreeNone;
  std::vector<TreeItem> children;
  bool expanded = false;
};

struct TreeState : ControlState {
  std::unordered_map<TreeItem, TreeNode> nodes;
  std::vector<TreeItem> roots;
  TreeItem selected = kTreeNone;
  TreeItem nextHandle = 1;
  int top = 0;  // first row shown
};

TreeState* Tree(Hwnd h) {
  return StateOf<TreeState>(h);
}

TreeNode* Node(TreeState& s, TreeItem item) {
  const auto it = s.nodes.find(item);
  return it == s.nodes.end() ? nullptr : &it->second;
}

std::vector<TreeItem>& Siblings(TreeState& s, TreeItem parent) {
  return parent == kTreeNone ? s.roots : s.nodes.at(parent).children;
}

/// One shown row: the item and its depth.
struct Row {
  TreeItem item;
  int depth;
};

void AddRows(const TreeState& s, const std::vector<TreeItem>& items, int depth,
             std::vector<Row>& out) {
  for (TreeItem i : items) {
    out.push_back({i, depth});
    const TreeNode& n = s.nodes.at(i);
    if (n.expanded) AddRows(s, n.children, depth + 1, out);
  }
}

std::vector<Row> Rows(const TreeState& s) {
  std::vector<Row> out;
  AddRows(s, s.roots, 0, out);
  return out;
}

int RowOf(const std::vector<Row>& rows, TreeItem item) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].item == item) return static_cast<int>(i);
  return -1;
}

Rect Inner(Hwnd h) {
  Rect r = GetClientRect(h);
  if ((GetStyle(h) & kWsBorder) != 0) r = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  return r;
}

int RowHeight(Hwnd h) {
  return LineHeight(h) + 2;
}

int VisibleRows(Hwnd h) {
  return std::max(1, Inner(h).Height() / RowHeight(h));
}

/// Indent of the text of a row at DEPTH: the box column comes first when
/// root items get boxes or lines.
int TextLeft(Hwnd h, int depth) {
  const bool atRoot = (GetStyle(h) & kTvsLinesAtRoot) != 0;
  return Inner(h).left + 2 + kTreeIndent * (depth + (atRoot ? 1 : 0));
}

/// The +/- box of a row at DEPTH (empty when the row shows none).
Rect BoxRect(Hwnd h, int depth, int rowTop) {
  const bool atRoot = (GetStyle(h) & kTvsLinesAtRoot) != 0;
  if ((GetStyle(h) & kTvsHasButtons) == 0 || (depth == 0 && !atRoot)) return {};
  const int cx = TextLeft(h, depth) - kTreeIndent / 2;
  const int cy = rowTop + RowHeight(h) / 2;
  return {cx - 4, cy - 4, cx + 5, cy + 5};
}

void ScrollInto(Hwnd h, TreeState& s, int row) {
  if (row < 0) return;
  if (row < s.top) s.top = row;
  const int visible = VisibleRows(h);
  if (row >= s.top + visible) s.top = row - visible + 1;
}

void ClampTop(Hwnd h, TreeState& s, int rowCount) {
  s.top = std::clamp(s.top, 0, std::max(0, rowCount - VisibleRows(h)));
}

void PaintTree(Hwnd h, TreeState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Rect c = p.Client();
  const unsigned style = GetStyle(h);
  const bool enabled = IsWindowEnabled(h);
  p.Fill(c, enabled ? kColourWindow : kColourFace);
  if ((style & kWsBorder) != 0) p.DrawBevel(c, Bevel::Sunken);
  const Rect inner = Inner(h);
  const std::vector<Row> rows = Rows(s);
  ClampTop(h, s, static_cast<int>(rows.size()));
  const int rh = RowHeight(h);
  const bool focused = GetFocus() == h;
  for (int i = s.top; i < static_cast<int>(rows.size()); ++i) {
    const int y = inner.top + (i - s.top) * rh;
    if (y >= inner.bottom) break;
    const Row& row = rows[static_cast<std::size_t>(i)];
    const TreeNode& n = s.nodes.at(row.item);
    const int x = TextLeft(h, row.depth);
    if ((style & kTvsHasLines) != 0 && (row.depth > 0 || (style & kTvsLinesAtRoot) != 0)) {
      // A dotted stub from the parent's column to the text.
      const int cx = x - kTreeIndent / 2;
      for (int dx = cx; dx < x - 1; dx += 2)
        p.Fill({dx, y + rh / 2, dx + 1, y + rh / 2 + 1}, kColourShadow);
    }
    const Rect box = BoxRect(h, row.depth, y);
    if (!box.Empty() && !n.children.empty()) {
      p.Fill(box, kColourWindow);
      p.Frame(box, kColourShadow);
      const int mx = (box.left + box.right) / 2;
      const int my = (box.top + box.bottom) / 2;
      p.Fill({box.left + 2, my, box.right - 2, my + 1}, kColourText);
      if (!n.expanded) p.Fill({mx, box.top + 2, mx + 1, box.bottom - 2}, kColourText);
    }
    const Rect label{x, y, std::min(inner.right, x + TextWidth(h, n.text) + 4), y + rh};
    const bool selected = row.item == s.selected;
    const bool showSel = selected && (focused || (style & kTvsShowSelAlways) != 0);
    if (showSel) {
      p.Fill(label, focused ? kColourSelection : kColourFace);
      p.Text({label.left + 2, label.top, label.right, label.bottom}, n.text, Align::Left,
             focused ? kColourSelectionText : kColourText);
    } else if (enabled) {
      p.Text({label.left + 2, label.top, label.right, label.bottom}, n.text, Align::Left,
             kColourText);
    } else {
      p.GreyText({label.left + 2, label.top, label.right, label.bottom}, n.text, Align::Left);
    }
    if (selected && focused) p.FocusRect(label);
  }
}

LResult Tell(Hwnd h, int code, TreeItem oldItem, TreeItem newItem, int action) {
  TreeViewNotify n;
  n.oldItem = oldItem;
  n.newItem = newItem;
  n.action = action;
  return NotifyParent(h, n.hdr, code);
}

/// Selects ITEM as the user would; tells the parent when it changed.
void UserSelect(Hwnd h, TreeState& s, TreeItem item) {
  if (item == kTreeNone || item == s.selected) return;
  const TreeItem old = s.selected;
  s.selected = item;
  ScrollInto(h, s, RowOf(Rows(s), item));
  Repaint(h);
  Tell(h, kTvnSelChanged, old, item, 0);
}

/// Expands or collapses as the user would; tells the parent.
void UserExpand(Hwnd h, TreeState& s, TreeItem item, bool expand) {
  TreeNode* n = Node(s, item);
  if (n == nullptr || n->children.empty() || n->expanded == expand) return;
  n->expanded = expand;
  if (!expand) {
    // A selection inside the closed branch moves up to the branch.
    for (TreeItem p = s.selected; p != kTreeNone; p = s.nodes.at(p).parent) {
      if (p == item && s.selected != item) {
        const TreeItem old = s.selected;
        s.selected = item;
        Tell(h, kTvnSelChanged, old, item, 0);
        break;
      }
    }
  }
  Repaint(h);
  Tell(h, kTvnItemExpanded, kTreeNone, item,
       static_cast<int>(expand ? TreeExpand::Expand : TreeExpand::Collapse));
}

void OnKey(Hwnd h, TreeState& s, int vk) {
  const std::vector<Row> rows = Rows(s);
  if (rows.empty()) return;
  int row = RowOf(rows, s.selected);
  const int last = static_cast<int>(rows.size()) - 1;
  const int page = VisibleRows(h);
  auto go = [&](int r) {
    UserSelect(h, s, rows[static_cast<std::size_t>(std::clamp(r, 0, last))].item);
  };
  switch (vk) {
    case kVkUp:
      go(row < 0 ? 0 : row - 1);
      break;
    case kVkDown:
      go(row + 1);
      break;
    case kVkPrior:
      go(row < 0 ? 0 : row - page + 1);
      break;
    case kVkNext:
      go(row + page - 1);
      break;
    case kVkHome:
      go(0);
      break;
    case kVkEnd:
      go(last);
      break;
    case kVkLeft: {
      if (row < 0) return go(0);
      const TreeNode& n = s.nodes.at(s.selected);
      if (n.expanded)
        UserExpand(h, s, s.selected, false);
      else if (n.parent != kTreeNone)
        UserSelect(h, s, n.parent);
      break;
    }
    case kVkRight: {
      if (row < 0) return go(0);
      const TreeNode& n = s.nodes.at(s.selected);
      if (n.children.empty()) break;
      if (!n.expanded)
        UserExpand(h, s, s.selected, true);
      else
        UserSelect(h, s, n.children.front());
      break;
    }
    case kVkAdd:
      if (row >= 0) UserExpand(h, s, s.selected, true);
      break;
    case kVkSubtract:
      if (row >= 0) UserExpand(h, s, s.selected, false);
      break;
    default:
      break;
  }
}

/// The row under P and whether P is on its +/- box.
std::pair<int, bool> HitRow(Hwnd h, const TreeState& s, const std::vector<Row>& rows, Point p) {
  const Rect inner = Inner(h);
  if (!inner.Contains(p)) return {-1, false};
  const int row = s.top + (p.y - inner.top) / RowHeight(h);
  if (row < 0 || row >= static_cast<int>(rows.size())) return {-1, false};
  const int y = inner.top + (row - s.top) * RowHeight(h);
  const Rect box = BoxRect(h, rows[static_cast<std::size_t>(row)].depth, y);
  const bool onBox = !box.Empty() && p.x >= box.left - 2 && p.x < box.right + 2;
  return {row, onBox};
}

void EraseNode(TreeState& s, TreeItem item) {
  const TreeNode& n = s.nodes.at(item);
  for (TreeItem c : n.children) EraseNode(s, c);
  if (s.selected == item) s.selected = kTreeNone;
  s.nodes.erase(item);
}

}  // namespace

LResult TreeViewProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](TreeState* s) -> std::optional<LResult> {
    switch (m) {
      case Msg::LButtonDown:
      case Msg::LButtonDblClk: {
        if (GetFocus() != h) SetFocus(h);
        s = Tree(h);
        if (s == nullptr) return 0;
        const std::vector<Row> rows = Rows(*s);
        const auto [row, onBox] = HitRow(h, *s, rows, LParamToPoint(l));
        if (row < 0) return 0;
        const TreeItem item = rows[static_cast<std::size_t>(row)].item;
        if (onBox) {
          UserExpand(h, *s, item, !s->nodes.at(item).expanded);
          return 0;
        }
        UserSelect(h, *s, item);
        if (m == Msg::LButtonDblClk) {
          s = Tree(h);
          if (s == nullptr || Node(*s, item) == nullptr) return 0;
          if (Tell(h, kNmDblClk, kTreeNone, item, 0) == 0 && (s = Tree(h)) != nullptr &&
              Node(*s, item) != nullptr)
            UserExpand(h, *s, item, !s->nodes.at(item).expanded);
        }
        return 0;
      }
      case Msg::MouseWheel: {
        const int delta = SignedHigh(w);
        s->top += delta > 0 ? -3 : 3;
        ClampTop(h, *s, static_cast<int>(Rows(*s).size()));
        Repaint(h);
        return 0;
      }
      case Msg::KeyDown:
        OnKey(h, *s, static_cast<int>(w));
        return 0;
      case Msg::SetFocus:
        Repaint(h);
        Tell(h, kNmSetFocus, kTreeNone, s->selected, 0);
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<TreeState>(h, m, w, l, kRepaintOnFocus | kRepaintOnEnable | kRepaintOnSize,
                                PaintTree, handle);
}

}  // namespace controls

using controls::Tree;
using controls::TreeNode;
using controls::TreeState;

TreeItem TreeViewInsertItem(Hwnd h, TreeItem parent, TreeItem after, std::string_view text,
                            std::intptr_t data) {
  TreeState* s = Tree(h);
  if (s == nullptr || (parent != kTreeNone && controls::Node(*s, parent) == nullptr))
    return kTreeNone;
  std::vector<TreeItem>& sib = controls::Siblings(*s, parent);
  auto at = sib.end();
  if (after == kTreeFirst) {
    at = sib.begin();
  } else if (after != kTreeLast) {
    const auto it = std::find(sib.begin(), sib.end(), after);
    if (it == sib.end()) return kTreeNone;
    at = it + 1;
  }
  const TreeItem item = s->nextHandle++;
  sib.insert(at, item);
  TreeNode& n = s->nodes[item];
  n.text = std::string(text);
  n.data = data;
  n.parent = parent;
  controls::Repaint(h);
  return item;
}

bool TreeViewDeleteItem(Hwnd h, TreeItem item) {
  TreeState* s = Tree(h);
  if (s == nullptr) return false;
  if (item == kTreeNone) {
    s->nodes.clear();
    s->roots.clear();
    s->selected = kTreeNone;
    s->top = 0;
    controls::Repaint(h);
    return true;
  }
  TreeNode* n = controls::Node(*s, item);
  if (n == nullptr) return false;
  std::vector<TreeItem>& sib = controls::Siblings(*s, n->parent);
  sib.erase(std::find(sib.begin(), sib.end(), item));
  const TreeItem parent = n->parent;
  controls::EraseNode(*s, item);
  if (parent != kTreeNone && s->nodes.at(parent).children.empty())
    s->nodes.at(parent).expanded = false;
  controls::Repaint(h);
  return true;
}

TreeItem TreeViewGetNextItem(Hwnd h, TreeItem item, TreeRelation relation) {
  TreeState* s = Tree(h);
  if (s == nullptr) return kTreeNone;
  auto neighbour = [&](int step) -> TreeItem {
    const TreeNode* n = controls::Node(*s, item);
    if (n == nullptr) return kTreeNone;
    const std::vector<TreeItem>& sib = controls::Siblings(*s, n->parent);
    const auto at = std::find(sib.begin(), sib.end(), item) - sib.begin() + step;
    return at >= 0 && at < static_cast<long>(sib.size()) ? sib[static_cast<std::size_t>(at)]
                                                         : kTreeNone;
  };
  switch (relation) {
    case TreeRelation::Root:
      return s->roots.empty() ? kTreeNone : s->roots.front();
    case TreeRelation::Next:
      return neighbour(1);
    case TreeRelation::Previous:
      return neighbour(-1);
    case TreeRelation::Parent: {
      const TreeNode* n = controls::Node(*s, item);
      return n ? n->parent : kTreeNone;
    }
    case TreeRelation::Child: {
      const TreeNode* n = controls::Node(*s, item);
      return n && !n->children.empty() ? n->children.front() : kTreeNone;
    }
    case TreeRelation::Selection:
      return s->selected;
    case TreeRelation::FirstVisible: {
      const std::vector<controls::Row> rows = controls::Rows(*s);
      return s->top < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(s->top)].item
                                                    : kTreeNone;
    }
    case TreeRelation::NextVisible: {
      const std::vector<controls::Row> rows = controls::Rows(*s);
      const int r = controls::RowOf(rows, item);
      return r >= 0 && r + 1 < static_cast<int>(rows.size())
                 ? rows[static_cast<std::size_t>(r + 1)].item
                 : kTreeNone;
    }
  }
  return kTreeNone;
}

int TreeViewGetCount(Hwnd h) {
  const TreeState* s = Tree(h);
  return s ? static_cast<int>(s->nodes.size()) : 0;
}

std::optional<std::string> TreeViewGetItemText(Hwnd h, TreeItem item) {
  TreeState* s = Tree(h);
  const TreeNode* n = s ? controls::Node(*s, item) : nullptr;
  if (n == nullptr) return std::nullopt;
  return n->text;
}

bool TreeViewSetItemText(Hwnd h, TreeItem item, std::string_view text) {
  TreeState* s = Tree(h);
  TreeNode* n = s ? controls::Node(*s, item) : nullptr;
  if (n == nullptr) return false;
  n->text = std::string(text);
  controls::Repaint(h);
  return true;
}

std::intptr_t TreeViewGetItemData(Hwnd h, TreeItem item) {
  TreeState* s = Tree(h);
  const TreeNode* n = s ? controls::Node(*s, item) : nullptr;
  return n ? n->data : 0;
}

bool TreeViewSetItemData(Hwnd h, TreeItem item, std::intptr_t data) {
  TreeState* s = Tree(h);
  TreeNode* n = s ? controls::Node(*s, item) : nullptr;
  if (n == nullptr) return false;
  n->data = data;
  return true;
}

bool TreeViewSelectItem(Hwnd h, TreeItem item) {
  TreeState* s = Tree(h);
  if (s == nullptr) return false;
  if (item != kTreeNone) {
    TreeNode* n = controls::Node(*s, item);
    if (n == nullptr) return false;
    for (TreeItem p = n->parent; p != kTreeNone; p = s->nodes.at(p).parent)
      s->nodes.at(p).expanded = true;
  }
  s->selected = item;
  controls::ScrollInto(h, *s, controls::RowOf(controls::Rows(*s), item));
  controls::Repaint(h);
  return true;
}

bool TreeViewExpand(Hwnd h, TreeItem item, TreeExpand action) {
  TreeState* s = Tree(h);
  TreeNode* n = s ? controls::Node(*s, item) : nullptr;
  if (n == nullptr || n->children.empty()) return false;
  n->expanded = action == TreeExpand::Toggle ? !n->expanded : action == TreeExpand::Expand;
  if (!n->expanded) {
    for (TreeItem p = s->selected; p != kTreeNone; p = s->nodes.at(p).parent)
      if (p == item) {
        s->selected = item;
        break;
      }
  }
  controls::Repaint(h);
  return true;
}

bool TreeViewIsExpanded(Hwnd h, TreeItem item) {
  TreeState* s = Tree(h);
  const TreeNode* n = s ? controls::Node(*s, item) : nullptr;
  return n != nullptr && n->expanded;
}

bool TreeViewHasChildren(Hwnd h, TreeItem item) {
  TreeState* s = Tree(h);
  const TreeNode* n = s ? controls::Node(*s, item) : nullptr;
  return n != nullptr && !n->children.empty();
}

Rect TreeViewGetItemRect(Hwnd h, TreeItem item) {
  TreeState* s = Tree(h);
  if (s == nullptr) return {};
  const std::vector<controls::Row> rows = controls::Rows(*s);
  const int r = controls::RowOf(rows, item);
  const int visible = controls::VisibleRows(h);
  if (r < s->top || r >= s->top + visible) return {};
  const Rect inner = controls::Inner(h);
  const int y = inner.top + (r - s->top) * controls::RowHeight(h);
  return {inner.left, y, inner.right, y + controls::RowHeight(h)};
}

TreeItem TreeViewHitTest(Hwnd h, Point p) {
  TreeState* s = Tree(h);
  if (s == nullptr) return kTreeNone;
  const std::vector<controls::Row> rows = controls::Rows(*s);
  const int r = controls::HitRow(h, *s, rows, p).first;
  return r < 0 ? kTreeNone : rows[static_cast<std::size_t>(r)].item;
}

}  // namespace plat
