// The one place where the engine turns a German text into a message for the user. Computing routines
// never call it; the drivers do, where a return code becomes a message.
#pragma once

// Shows the German text, translated for the output area, with an OK button; returns the answer.
int EngineMessage(const char* germanText);
