#include "engine/protocol.h"

#include <cstdarg>

DebugProtocol g_protokoll;
DebugProtocol g_trace;
DebugProtocol* g_errorLog = nullptr;
int g_errorLogLines = 0;

namespace {
constexpr std::size_t kFlushSize = 1 << 16;

std::string& Path()
{
    static std::string path = "kolumoorg.txt";
    return path;
}
}  // namespace

const std::string& ProtocolPath()
{
    return Path();
}

void SetProtocolPath(const std::string& path)
{
    Path() = path;
}

DebugProtocol::~DebugProtocol()
{
    Close();
}

bool DebugProtocol::Open(const char* path)
{
    Close();
    m_buffer.clear();
    m_file = std::fopen(path, "w+");
    return m_file != nullptr;
}

void DebugProtocol::OpenInMemory()
{
    Close();
    m_buffer.clear();
    m_inMemory = true;
}

void DebugProtocol::Close()
{
    if (m_file) {
        Flush();
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_inMemory = false;
}

void DebugProtocol::Flush()
{
    if (m_file && !m_buffer.empty()) {
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file);
        m_buffer.clear();
    }
}

void DebugProtocol::Printf(const char* format, ...)
{
    if (!IsOpen())
        return;
    char local[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(local, sizeof local, format, args);
    va_end(args);
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof local) {
        m_buffer.append(local, static_cast<std::size_t>(n));
    } else if (n >= 0) {
        std::string big(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(big.data(), big.size(), format, copy);
        m_buffer.append(big.data(), static_cast<std::size_t>(n));
    }
    va_end(copy);
    if (m_file && m_buffer.size() >= kFlushSize)
        Flush();
}

int FehlerLog(DebugProtocol* stream, int level, const char* text)
{
    if (!stream)
        return 0;
    ++g_errorLogLines;
    if (level > 0)
        stream->Printf("FEHLER:  %s\n", text);
    else if (level == 0)
        stream->Printf("WARNUNG: %s\n", text);
    return level;
}
