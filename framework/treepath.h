// Items of a tree control addressed by "\"-separated text paths, such as the folder and value texts of a
// position's exports. Every function does nothing and fails when the tree has no window.
#pragma once

#include "platform/win/afx.h"

// out = the texts of the item and its ancestors from the top level down, joined by "\".
BOOL TreeGetItemPath(CString& out, HTREEITEM item, CTreeCtrl& tree);
// The item of a path below start (nullptr or TVI_ROOT: the top level); the first matching child is taken.
BOOL TreeFindPath(HTREEITEM& out, HTREEITEM start, const CString& path, CTreeCtrl& tree, BOOL noCase);
// The item of a path, inserting the missing folders and the last part (text only) after `after` of their parent.
BOOL TreeInsertPath(HTREEITEM& out, const CString& path, CTreeCtrl& tree, HTREEITEM after, BOOL noCase);
// Switches redrawing on and repaints the tree at once.
void TreeRedraw(CTreeCtrl& tree);
// Found: the item is made visible and selected; else the first visible item is selected. Redraws.
BOOL TreeSelectPath(HTREEITEM& out, const CString& path, CTreeCtrl& tree, BOOL noCase);
// withStart: start (when not 0), then each child's subtree, every item before its children.
// Without: start's children first, then each child's children the same way; start itself is not listed.
void TreeCollectItems(HTREEITEM start, CTreeCtrl& tree, CArray<HTREEITEM>& items, BOOL withStart);
