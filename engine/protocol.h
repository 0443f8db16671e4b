// The engine's text sinks: the debug protocol (buffered, so a run is not slowed by it),
// the inert trace of the numeric kernel and the error log. A sink that was never opened swallows
// everything, so computing routines may write to them freely.
#pragma once

#include <cstdio>
#include <string>

class DebugProtocol {
public:
    DebugProtocol() = default;
    ~DebugProtocol();
    DebugProtocol(const DebugProtocol&) = delete;
    DebugProtocol& operator=(const DebugProtocol&) = delete;

    // Opens (replaces) the file at path; false when it cannot be opened.
    bool Open(const char* path);
    // Collects text in memory instead of a file (for tests and for callers that want the text).
    void OpenInMemory();
    // Flushes and closes; the in-memory text stays readable until the next Open.
    void Close();
    bool IsOpen() const { return m_file != nullptr || m_inMemory; }
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const std::string& Text() const { return m_buffer; }

private:
    void Flush();

    std::FILE* m_file = nullptr;
    bool m_inMemory = false;
    std::string m_buffer;
};

extern DebugProtocol g_protokoll;  // open during a run, at ProtocolPath()

// Where a run writes its debug protocol: "kolumoorg.txt" in the current folder unless a caller names another
// file (the calculation driver puts it beside the position, so that positions calculated at once keep theirs).
const std::string& ProtocolPath();
void SetProtocolPath(const std::string& path);

// Names the protocol's file for the life of the object and restores the earlier name after it.
class ProtocolPathFor {
public:
    explicit ProtocolPathFor(const std::string& path) : m_before(ProtocolPath()) { SetProtocolPath(path); }
    ~ProtocolPathFor() { SetProtocolPath(m_before); }
    ProtocolPathFor(const ProtocolPathFor&) = delete;
    ProtocolPathFor& operator=(const ProtocolPathFor&) = delete;

private:
    std::string m_before;
};
extern DebugProtocol g_trace;  // trace of the numeric kernel; never opened in production

// The error log: nothing in the system opens it; it counts and writes when a caller gives it a stream.
extern DebugProtocol* g_errorLog;
extern int g_errorLogLines;

// Writes "FEHLER:  %s\n" (level > 0) or "WARNUNG: %s\n" (level 0) to the stream and counts the line;
// without a stream it returns 0 and does nothing; otherwise returns the level.
int FehlerLog(DebugProtocol* stream, int level, const char* text);
