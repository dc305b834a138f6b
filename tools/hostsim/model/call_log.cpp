#include "hostsim/model/call_log.h"

#include <cstdio>

namespace hostsim {

CallLog::Slot CallLog::open(CallKind kind, std::string text) {
    if (kind == CallKind::Query && !m_recordQueries)
        return kNoSlot;
    m_entries.push_back(CallEntry{kind, std::move(text)});
    return m_cleared + m_entries.size() - 1;
}

void CallLog::complete(Slot slot, const std::string& result) {
    if (slot == kNoSlot || slot < m_cleared || slot - m_cleared >= m_entries.size())
        return;
    m_entries[slot - m_cleared].text += " -> " + result;
}

std::vector<std::string> CallLog::actions() const {
    std::vector<std::string> out;
    for (const CallEntry& e : m_entries)
        if (e.kind == CallKind::Action)
            out.push_back(e.text);
    return out;
}

std::vector<std::string> CallLog::lines() const {
    std::vector<std::string> out;
    out.reserve(m_entries.size());
    for (const CallEntry& e : m_entries)
        out.push_back(e.text);
    return out;
}

void CallLog::clear() {
    m_cleared += m_entries.size();
    m_entries.clear();
}

namespace fmt {

std::string value(bool v) {
    return v ? "true" : "false";
}
std::string value(int v) {
    return std::to_string(v);
}
std::string value(long long v) {
    return std::to_string(v);
}

std::string value(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", v);
    return text;
}

std::string value(const char* text) {
    return text ? "\"" + std::string(text) + "\"" : "null";
}

std::string call(const char* name, const std::vector<std::string>& args) {
    std::string line = name;
    line += '(';
    const char* separator = "";
    for (const std::string& a : args) {
        line += separator;
        line += a;
        separator = ", ";
    }
    line += ')';
    return line;
}

} // namespace fmt
} // namespace hostsim
