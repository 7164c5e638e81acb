#pragma once
// A trace of the errors the code swallows on purpose (clean-up steps, best-effort reads,
// optional features). Off by default: PAPERLOOM_DEBUG_LOG=stderr writes to standard error,
// any other value names a file the lines are appended to.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "host/HostError.h"

namespace paperloom::debuglog {

class DebugLog {
public:
    // `target`: null or empty for off, "stderr", or a file path.
    explicit DebugLog(const char* target) {
        if (target == nullptr || *target == '\0') return;
        if (std::string_view(target) == "stderr") {
            sink_ = stderr;
            return;
        }
        file_.reset(std::fopen(target, "a"));
        sink_ = file_.get();
    }

    bool Enabled() const noexcept { return sink_ != nullptr; }

    // Records the exception being handled with where it was swallowed; call it inside a catch
    // block. Never throws: a trace must not add an error of its own.
    void Swallowed(std::string_view where) noexcept {
        if (sink_ == nullptr) return;
        try {
            const std::string line = "paperloom: error ignored in " + std::string(where) + ": " + Describe() + "\n";
            const std::lock_guard guard(lock_);
            std::fputs(line.c_str(), sink_);
            std::fflush(sink_);
        } catch (...) {
            // Out of memory while tracing: the trace is what gets lost.
        }
    }

private:
    static std::string Describe() {
        const std::exception_ptr current = std::current_exception();
        if (!current) return "(no exception)";
        try {
            std::rethrow_exception(current);
        } catch (const host::HostError& error) {
            return "error " + std::to_string(error.Number()) + " from " + error.Source() + ": " + error.Description();
        } catch (const std::exception& error) {
            return error.what();
        } catch (...) {
            return "an exception of an unknown type";
        }
    }

    struct FileCloser {
        void operator()(std::FILE* file) const noexcept { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::FILE* sink_ = nullptr;
    std::mutex lock_;
};

// The process's log, set up from PAPERLOOM_DEBUG_LOG on first use.
inline DebugLog& Log() {
    static DebugLog log(std::getenv("PAPERLOOM_DEBUG_LOG"));
    return log;
}

inline void Swallowed(std::string_view where) noexcept { Log().Swallowed(where); }

// Runs one clean-up step; its failure does not stop the next one, and is only traced.
template <typename Step>
void IgnoringErrors(std::string_view where, Step&& step) noexcept {
    try {
        step();
    } catch (...) {
        Swallowed(where);
    }
}

}  // namespace paperloom::debuglog
