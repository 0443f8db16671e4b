// A stand-in program that writes the arguments it was started with (its own path first), each ended by a NUL, to a
// file: so a test sees exactly what a program would get, line ends and quotes included.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

inline void WriteArgvRecorder(const std::filesystem::path& program, const std::filesystem::path& told) {
  std::string quoted = "'";  // the file's name in single quotes for the shell
  for (char c : told.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  std::ofstream(program) << "#!/bin/sh\nprintf '%s\\0' \"$0\" \"$@\" > " << quoted << "'\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
}

// What the recorder wrote: its path and arguments.
inline std::vector<std::string> RecordedArgv(const std::filesystem::path& told) {
  std::ifstream in(told, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::vector<std::string> args;
  const std::string all = ss.str();
  for (std::size_t start = 0, end; (end = all.find('\0', start)) != std::string::npos; start = end + 1)
    args.push_back(all.substr(start, end - start));
  return args;
}

}  // namespace test_support
