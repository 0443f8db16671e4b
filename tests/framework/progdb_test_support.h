// Helpers of the program-database tests: program description files written into the test's installation root.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/viduv/viduv.h"
#include "tests/framework/pos_test_support.h"

namespace progdb_test {

// One description file: root attributes, "interface" attributes, file masks and context-menu entries.
struct PiFile {
  std::map<std::string, std::string> root;
  std::map<std::string, std::string> iface;
  std::vector<std::string> masks;
  std::vector<std::pair<std::string, std::string>> menu;
  bool withAdditionalFiles = true;
};

// The test program of tests/framework/testprog as a description: program "TESTPROG", module "balken".
inline PiFile TestProgram(const std::string& version = "1.5") {
  PiFile pi;
  pi.root = {{"shortProgName", "TESTPROG"},   {"progName", "Testbalken"}, {"shortModuleName", "balken"},
             {"moduleName", "Einfeldträger"}, {"progType", "0"},          {"progVersion", version},
             {"bModularisieren", "1"},        {"iconName", "stuetze"}};
  pi.iface = {{"DLLName", "svc_testprog.dll"},
              {"ProcName", "testprogInterface"},
              {"calcDLLName", "svc_testprog.dll"},
              {"calcProcName", "testprogCalc"}};
  pi.masks = {"*.rtf", "*.dat"};
  return pi;
}

inline void WritePi(const std::filesystem::path& root, const std::string& name, const PiFile& pi) {
  std::filesystem::create_directories(root / "pi");
  int doc = VIDUV_CreateDoc((root / "pi" / name).c_str());
  int element = VIDUV_GetRootElement(doc);
  for (const auto& [key, value] : pi.root) VIDUV_SetString(element, key.c_str(), value.c_str());
  int iface = VIDUV_AddChildElement(element, "interface");
  for (const auto& [key, value] : pi.iface) VIDUV_SetString(iface, key.c_str(), value.c_str());
  VIDUV_AddChildElement(element, "icon");
  for (const auto& [desc, command] : pi.menu) {
    int menu = VIDUV_AddChildElement(element, "contextmenue");
    VIDUV_SetString(menu, "desc", desc.c_str());
    VIDUV_SetString(menu, "command", command.c_str());
  }
  if (pi.withAdditionalFiles) {
    int files = VIDUV_AddChildElement(element, "additionalFiles");
    VIDUV_SetInt(files, "num", int(pi.masks.size()));
    for (std::size_t i = 0; i < pi.masks.size(); ++i)
      VIDUV_SetString(files, ("mask_" + std::to_string(i)).c_str(), pi.masks[i].c_str());
  }
  VIDUV_SaveDoc(doc);
  VIDUV_CloseDoc(doc);
}

}  // namespace progdb_test
