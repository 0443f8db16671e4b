// RTF protocols of a session: the factor tables of its norm and the rules with the formed combinations.
#pragma once

#include <string>

#include "platform/kombra/session.h"

namespace kombra {

// The RTF text of the protocol.
std::string protocolText(const Session& session, bool withFactors, bool withRules);

// Writes the protocol to a file (through a temporary file, so a failure leaves no half-written file);
// false with the session's error text set when it cannot be written.
bool writeProtocol(Session& session, bool withFactors, bool withRules, const std::string& fileName);

}  // namespace kombra
