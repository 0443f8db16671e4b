#include "platform/kombra/kombra.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/kombra/protocol.h"
#include "platform/kombra/session.h"

namespace {

using kombra::Session;

struct SessionTable {
  std::mutex mutex;
  std::map<int, std::unique_ptr<Session>> sessions;
  int next = 1;
};

SessionTable& table() {
  static SessionTable instance;
  return instance;
}

Session* find(int handle) {
  SessionTable& t = table();
  std::lock_guard lock(t.mutex);
  const auto found = t.sessions.find(handle);
  return found == t.sessions.end() ? nullptr : found->second.get();
}

std::string text(const char* value) { return value != nullptr ? std::string(value) : std::string(); }

const kombra::Combination* combination(Session& session, int index) {
  const auto& list = session.combinations();
  if (index < 0 || index >= static_cast<int>(list.size())) {
    session.fail("Kombination " + std::to_string(index) + " gibt es nicht");
    return nullptr;
  }
  return &list[static_cast<std::size_t>(index)];
}

}  // namespace

extern "C" {

int KOMBRA_StartSession(void) {
  SessionTable& t = table();
  std::lock_guard lock(t.mutex);
  const int handle = t.next++;
  t.sessions.emplace(handle, std::make_unique<Session>());
  return handle;
}

void KOMBRA_CloseSession(int session) {
  SessionTable& t = table();
  std::lock_guard lock(t.mutex);
  t.sessions.erase(session);
}

const char* KOMBRA_GetLastError(int session) {
  Session* s = find(session);
  return s != nullptr ? s->lastError().c_str() : "Ungültige Sitzung";
}

void KOMBRA_SetNorm(int session, const char* normName) {
  if (Session* s = find(session)) s->setNorm(text(normName));
}

void KOMBRA_SetVariable(int session, const char* name, double value) {
  if (Session* s = find(session)) s->setVariable(text(name), value);
}

int KOMBRA_GetNumOfLastGruppen(int session) {
  const Session* s = find(session);
  return s != nullptr && s->norm() != nullptr ? static_cast<int>(kombra::groups().size()) : 0;
}

const char* KOMBRA_GetLastGruppe(int session, int group) {
  if (group < 0 || group >= KOMBRA_GetNumOfLastGruppen(session)) return "";
  return kombra::groups()[static_cast<std::size_t>(group)].name.data();
}

int KOMBRA_GetLastGruppeType(int session, int group) {
  if (group < 0 || group >= KOMBRA_GetNumOfLastGruppen(session)) return -1;
  return static_cast<int>(kombra::groups()[static_cast<std::size_t>(group)].type);
}

void KOMBRA_SetLastGruppe(int session, const char* groupName) {
  if (Session* s = find(session)) s->selectGroup(text(groupName));
}

int KOMBRA_GetNumOfLastKat(int session) {
  const Session* s = find(session);
  if (s == nullptr) return 0;
  const auto* list = s->categoriesOf(s->selectedGroup());
  return list != nullptr ? static_cast<int>(list->size()) : 0;
}

const char* KOMBRA_GetLastKat(int session, int category) {
  const Session* s = find(session);
  if (s == nullptr) return "";
  const auto* list = s->categoriesOf(s->selectedGroup());
  if (list == nullptr || category < 0 || category >= static_cast<int>(list->size())) return "";
  return (*list)[static_cast<std::size_t>(category)].name.data();
}

void KOMBRA_GetPsi(int session, int group, int category, double psi[3]) {
  if (psi == nullptr) return;
  const Session* s = find(session);
  const auto values = s != nullptr ? s->psi(group, category) : std::array<double, 3>{0.0, 0.0, 0.0};
  for (std::size_t i = 0; i < 3; ++i) psi[i] = values[i];
}

void KOMBRA_GetGamma(int session, int actionKind, int situation, double gamma[2]) {
  if (gamma == nullptr) return;
  const Session* s = find(session);
  const auto values = s != nullptr ? s->gamma(actionKind, situation) : std::array<double, 2>{0.0, 0.0};
  gamma[0] = values[0];
  gamma[1] = values[1];
}

void KOMBRA_ClearLFEW(int session) {
  if (Session* s = find(session)) s->clearActions();
}

void KOMBRA_SetNoGammaPsi(int session, int withoutFactors) {
  if (Session* s = find(session)) s->setNoGammaPsi(withoutFactors != 0);
}

void KOMBRA_SetLastfall(int session, int lastfall, int einwirkung) {
  if (Session* s = find(session)) s->setLastfall(lastfall, einwirkung);
}

void KOMBRA_DefEinw(int session, int einwirkung, int group, int category, int withGammaInf) {
  if (Session* s = find(session)) s->defineAction(einwirkung, group, category, withGammaInf != 0);
}

void KOMBRA_EnableNachweis(int session, int kind, int enable) {
  if (Session* s = find(session)) s->enableKind(kind, enable != 0);
}

int KOMBRA_Calc(int session) {
  Session* s = find(session);
  return s != nullptr && s->calc() ? 0 : -1;
}

int KOMBRA_GetNumOfKombi(int session) {
  const Session* s = find(session);
  return s != nullptr ? static_cast<int>(s->combinations().size()) : 0;
}

const char* KOMBRA_GetKombiTypStr(int session, int kombi) {
  Session* s = find(session);
  if (s == nullptr) return "";
  const auto* c = combination(*s, kombi);
  return c != nullptr ? c->type.c_str() : "";
}

const char* KOMBRA_GetKombiStr(int session, int kombi) {
  Session* s = find(session);
  if (s == nullptr) return "";
  const auto* c = combination(*s, kombi);
  return c != nullptr ? c->rule.c_str() : "";
}

int KOMBRA_GetNumOfFaktoren(int session) {
  const Session* s = find(session);
  return s != nullptr ? s->factorCount() : 0;
}

void KOMBRA_GetKombi(int session, int kombi, double* factors) {
  Session* s = find(session);
  if (s == nullptr || factors == nullptr) return;
  const int count = s->factorCount();
  for (int i = 0; i < count; ++i) factors[i] = 0.0;
  const auto* c = combination(*s, kombi);
  if (c == nullptr) return;
  for (const auto& [lastfall, factor] : c->terms) factors[lastfall - 1] = factor;
}

void KOMBRA_SetNumOfKombi(int session, int count) {
  if (Session* s = find(session)) s->setCombinationCount(count);
}

void KOMBRA_SetKombiStr(int session, int kombi, const char* rule) {
  if (Session* s = find(session)) s->setCombinationRule(kombi, text(rule));
}

void KOMBRA_SetKombiTypStr(int session, int kombi, const char* type) {
  if (Session* s = find(session)) s->setCombinationType(kombi, text(type));
}

void KOMBRA_Protokoll(int session, int withFactors, int withRules, const char* fileName) {
  if (Session* s = find(session)) kombra::writeProtocol(*s, withFactors != 0, withRules != 0, text(fileName));
}

}  // extern "C"
