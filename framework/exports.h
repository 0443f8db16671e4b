// The exports tree of a position: under the root's "exports" element, "folder" elements (attribute "desc")
// nested to any depth and "value" elements ("desc", "varName", "unit", "val"); a value whose definition failed is a
// "failedValue" that holds the reason instead of "val". Other positions import a value
// by its path: the "desc" of each folder, each followed by '\', then the value's "desc".
#pragma once

// Places one value in the tree below parent. path is a run of folder names each ended by '\' (empty: directly
// under parent); missing folders are added. A value of that desc already there is overwritten. With a failure
// the value is stored as failed, saying it, and holds no number.
void WriteExportValue(int parent, const char* path, const char* desc, const char* varName, double val, const char* unit,
                      const char* failure = nullptr);
