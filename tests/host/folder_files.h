// The files of a folder as a test holds them against what a run must leave there.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "tests/host/host_run.h"

namespace host_test {

// Content by name relative to the folder; a folder's own entry reads kFolder.
using Files = std::map<std::string, std::string>;
inline constexpr const char* kFolder = "<folder>";

// The files of a folder and of the folders in it. The engine's debug protocol is not among them: a trace of the run
// as far as it went, as every calculation that fails leaves it.
inline Files FilesIn(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).string();
    if (name.ends_with(".kolumoorg.txt")) continue;
    files[name] = entry.is_directory() ? kFolder : Slurp(entry.path());
  }
  return files;
}

// Empties the folder and puts the files there.
inline void PutFiles(const fs::path& folder, const Files& files) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const auto& [name, content] : files) {
    fs::create_directories((folder / name).parent_path());
    if (content == kFolder)
      fs::create_directories(folder / name);
    else
      std::ofstream(folder / name, std::ios::binary) << content;
  }
}

// What differs between two states of a folder, named for a message.
inline std::string Difference(const Files& expected, const Files& found) {
  std::string text;
  for (const auto& [name, content] : expected) {
    const auto it = found.find(name);
    if (it == found.end())
      text += " " + name + " missing;";
    else if (it->second != content)
      text += " " + name + " has " + std::to_string(it->second.size()) + " bytes, not those " +
              std::to_string(content.size()) + ";";
  }
  for (const auto& [name, content] : found)
    if (!expected.count(name)) text += " " + name + " is new;";
  return text;
}

// A previous report beside the position: each file a whole run of the report wrote next to "p.tqx" (in `written`),
// with a content of its own, which a report that fails keeps.
inline Files WithPreviousReport(const Files& position, const Files& written) {
  Files before = position;
  for (const auto& [name, content] : written)
    if (!position.count(name)) before[name] = content == kFolder ? content : "previous " + name + "\n";
  return before;
}

}  // namespace host_test
