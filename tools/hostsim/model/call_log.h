#pragma once
// The record of the host functions the plug-in calls, one readable line each, in the order the calls began:
//   CSurf_OnVolumeChange(track 2, 0.500000, abs) -> 0.500000
//
// Calls that change something or ask the host to act ("actions") are always kept. Read-only queries, which a
// surface makes many times on every Run, are kept only while recordQueries is on. Tests therefore see what
// the plug-in did, in order, without what it merely asked; switching queries on shows everything.

#include <cstddef>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace hostsim {

enum class CallKind { Action, Query };

struct CallEntry {
    CallKind kind;
    std::string text;
};

class CallLog {
public:
    using Slot = std::size_t;
    static constexpr Slot kNoSlot = std::numeric_limits<Slot>::max();

    // Starts an entry; kNoSlot when it is a query and queries are not recorded.
    Slot open(CallKind kind, std::string text);
    // Appends " -> result" to an entry opened earlier. Calls made while it ran (a surface calling back from a
    // feedback callback, a command handler) keep their places after it.
    void complete(Slot slot, const std::string& result);

    // Action lines only, in order.
    std::vector<std::string> actions() const;
    // Actions and recorded queries, in order.
    std::vector<std::string> lines() const;
    const std::vector<CallEntry>& entries() const { return m_entries; }

    void recordQueries(bool on) { m_recordQueries = on; }
    bool recordsQueries() const { return m_recordQueries; }
    void clear();

private:
    std::vector<CallEntry> m_entries;
    Slot m_cleared = 0; // entries dropped by clear(), so slots stay valid across it
    bool m_recordQueries = false;
};

namespace fmt {
std::string value(bool v);
std::string value(int v);
std::string value(long long v);
std::string value(double v);         // "%f"
std::string value(const char* text); // quoted, or null
// "name(a, b, c)"
std::string call(const char* name, const std::vector<std::string>& args);
} // namespace fmt

// One call being logged: the line is opened at once, its result added when known.
class LoggedCall {
public:
    LoggedCall(CallLog& log, CallKind kind, std::string text)
        : m_log(log), m_slot(log.open(kind, std::move(text))) {}

    void result(const std::string& text) { m_log.complete(m_slot, text); }
    template <class T> T returns(T value) {
        m_log.complete(m_slot, fmt::value(value));
        return value;
    }

private:
    CallLog& m_log;
    CallLog::Slot m_slot;
};

} // namespace hostsim
