// Shared helpers of the generator tests: a session that closes itself and the formed combinations read
// back as (type, factor list) rows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/kombra/kombra.h"

namespace kombra_test {

class ScopedSession {
 public:
  explicit ScopedSession(const char* norm) : handle_(KOMBRA_StartSession()) { KOMBRA_SetNorm(handle_, norm); }
  ~ScopedSession() { KOMBRA_CloseSession(handle_); }
  ScopedSession(const ScopedSession&) = delete;
  ScopedSession& operator=(const ScopedSession&) = delete;
  int handle() const { return handle_; }

  // Load cases first..first+count-1 belong to the action.
  void action(int number, int group, int category, bool withGammaInf, std::vector<int> lastfaelle) const {
    for (int lf : lastfaelle) KOMBRA_SetLastfall(handle_, lf, number);
    KOMBRA_DefEinw(handle_, number, group, category, withGammaInf ? 1 : 0);
  }
  // Enables exactly the given kinds.
  void only(std::initializer_list<int> kinds) const {
    for (int kind = 0; kind < KOMBRA_NUM_NACHWEISE; ++kind) KOMBRA_EnableNachweis(handle_, kind, 0);
    for (int kind : kinds) KOMBRA_EnableNachweis(handle_, kind, 1);
  }

 private:
  int handle_;
};

struct Row {
  std::string type;
  std::vector<double> factors;  // by load case 1..n
};

inline std::vector<Row> formed(int session) {
  std::vector<Row> rows;
  const int count = KOMBRA_GetNumOfKombi(session);
  const int length = KOMBRA_GetNumOfFaktoren(session);
  for (int k = 0; k < count; ++k) {
    Row row{KOMBRA_GetKombiTypStr(session, k), std::vector<double>(static_cast<std::size_t>(length), -1.0)};
    KOMBRA_GetKombi(session, k, row.factors.data());
    rows.push_back(std::move(row));
  }
  return rows;
}

inline std::vector<Row> ofType(const std::vector<Row>& rows, const std::string& type) {
  std::vector<Row> selected;
  for (const Row& row : rows) {
    if (row.type == type) selected.push_back(row);
  }
  return selected;
}

inline void expectRows(const std::vector<Row>& actual, const std::vector<std::vector<double>>& expected,
                       const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(actual[k].factors.size(), expected[k].size()) << what << " combination " << k;
    for (std::size_t i = 0; i < expected[k].size(); ++i) {
      EXPECT_NEAR(actual[k].factors[i], expected[k][i], 1e-12)
          << what << " combination " << k << " load case " << i + 1;
    }
  }
}

}  // namespace kombra_test
