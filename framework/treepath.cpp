#include "framework/treepath.h"

namespace {

bool HasWindow(const CTreeCtrl& tree) { return tree.m_hWnd != nullptr && ::IsWindow(tree.m_hWnd); }

HTREEITEM FirstChild(CTreeCtrl& tree, HTREEITEM parent) {
  return parent == nullptr || parent == TVI_ROOT ? tree.GetRootItem() : tree.GetChildItem(parent);
}

bool SameText(const CString& a, const CString& b, BOOL noCase) { return noCase ? a.CompareNoCase(b) == 0 : a == b; }

}  // namespace

BOOL TreeGetItemPath(CString& out, HTREEITEM item, CTreeCtrl& tree) {
  out.Empty();
  if (!HasWindow(tree) || item == nullptr || item == TVI_ROOT) return FALSE;
  out = tree.GetItemText(item);
  for (HTREEITEM parent = tree.GetParentItem(item); parent; parent = tree.GetParentItem(parent))
    out = tree.GetItemText(parent) + "\\" + out;
  return TRUE;
}

BOOL TreeFindPath(HTREEITEM& out, HTREEITEM start, const CString& path, CTreeCtrl& tree, BOOL noCase) {
  out = nullptr;
  if (!HasWindow(tree)) return FALSE;
  HTREEITEM parent = start;
  int begin = 0;
  while (true) {
    int slash = path.Find('\\', begin);
    CString segment = slash < 0 ? path.Mid(begin) : path.Mid(begin, slash - begin);
    HTREEITEM match = nullptr;
    for (HTREEITEM child = FirstChild(tree, parent); child; child = tree.GetNextSiblingItem(child))
      if (SameText(tree.GetItemText(child), segment, noCase)) {
        match = child;
        break;
      }
    if (!match) return FALSE;
    if (slash < 0) {
      out = match;
      return TRUE;
    }
    parent = match;
    begin = slash + 1;
  }
}

BOOL TreeInsertPath(HTREEITEM& out, const CString& path, CTreeCtrl& tree, HTREEITEM after, BOOL noCase) {
  out = nullptr;
  if (!HasWindow(tree) || path.IsEmpty()) return FALSE;
  if (TreeFindPath(out, nullptr, path, tree, noCase)) return TRUE;
  HTREEITEM parent = TVI_ROOT;
  int slash = path.ReverseFind('\\');
  if (slash >= 0 && !TreeFindPath(parent, nullptr, path.Left(slash), tree, noCase) &&
      !TreeInsertPath(parent, path.Left(slash), tree, after, noCase))
    return FALSE;
  // A path ending in "\" still gets its (empty) last item: the exports may hold empty texts.
  out = tree.InsertItem(TVIF_TEXT, path.Mid(slash + 1), 0, 0, 0, 0, 0, parent, after);
  return out != nullptr;
}

void TreeRedraw(CTreeCtrl& tree) {
  if (!HasWindow(tree)) return;
  tree.SendMessage(WM_SETREDRAW, TRUE);
  tree.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

BOOL TreeSelectPath(HTREEITEM& out, const CString& path, CTreeCtrl& tree, BOOL noCase) {
  out = nullptr;
  if (!HasWindow(tree)) return FALSE;
  BOOL found = TreeFindPath(out, nullptr, path, tree, noCase);
  if (found) {
    tree.EnsureVisible(out);
    tree.SelectItem(out);
  } else {
    tree.SelectItem(tree.GetFirstVisibleItem());
  }
  TreeRedraw(tree);
  return found;
}

void TreeCollectItems(HTREEITEM start, CTreeCtrl& tree, CArray<HTREEITEM>& items, BOOL withStart) {
  if (!HasWindow(tree)) return;
  if (withStart) {
    if (start) items.Add(start);
    for (HTREEITEM child = FirstChild(tree, start); child; child = tree.GetNextSiblingItem(child))
      TreeCollectItems(child, tree, items, TRUE);
    return;
  }
  for (HTREEITEM child = FirstChild(tree, start); child; child = tree.GetNextSiblingItem(child)) items.Add(child);
  for (HTREEITEM child = FirstChild(tree, start); child; child = tree.GetNextSiblingItem(child))
    TreeCollectItems(child, tree, items, FALSE);
}
