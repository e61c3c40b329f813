#pragma once
// The program's one logging facility. Diagnostics only: nothing depends on them.
// Level comes from LUMORA_LOG (debug, info, warning, error, off); warning by default.
// LUMORA_LOG_FILE sends the lines to a file instead of standard error.

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>

namespace lumora {

enum class LogLevel { Debug = 0, Info = 1, Warning = 2, Error = 3, Off = 4 };

class Logger {
public:
    // Receives each finished line (without line end); replaces the default output.
    using Sink = std::function<void(LogLevel, std::string_view tag, std::string_view text)>;

    static bool Enabled(LogLevel level);
    static void SetLevel(LogLevel level);
    static LogLevel Level();
    // Reads LUMORA_LOG again (tests and start-up).
    static void ConfigureFromEnvironment();
    // Null sink restores standard error (or LUMORA_LOG_FILE).
    static void SetSink(Sink sink);

    static void Write(LogLevel level, std::string_view tag, std::string_view text);
    static void Printf(LogLevel level, const char* tag, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
    static void VPrintf(LogLevel level, const char* tag, const char* format, va_list args)
        __attribute__((format(printf, 3, 0)));

    static LogLevel ParseLevel(std::string_view text, LogLevel fallback);
};

}  // namespace lumora

#define LUMORA_LOG_AT(level, tag, ...)                                        \
    do {                                                                       \
        if (::lumora::Logger::Enabled(level))                                  \
            ::lumora::Logger::Printf((level), (tag), __VA_ARGS__);             \
    } while (0)
#define LOG_DEBUG(tag, ...) LUMORA_LOG_AT(::lumora::LogLevel::Debug, tag, __VA_ARGS__)
#define LOG_INFO(tag, ...) LUMORA_LOG_AT(::lumora::LogLevel::Info, tag, __VA_ARGS__)
#define LOG_WARNING(tag, ...) LUMORA_LOG_AT(::lumora::LogLevel::Warning, tag, __VA_ARGS__)
#define LOG_ERROR(tag, ...) LUMORA_LOG_AT(::lumora::LogLevel::Error, tag, __VA_ARGS__)
