#include "port_names.h"

#include <algorithm>

namespace kestro {

namespace {

std::string positionSuffix(unsigned position) {
    return " " + std::to_string(position);
}

// "Name 12" -> ("Name", 12); nothing when the text does not end in a space and a plain number.
std::optional<std::pair<std::string, unsigned>> splitPosition(const std::string& stored) {
    const std::size_t space = stored.rfind(' ');
    if (space == std::string::npos) {
        return std::nullopt;
    }
    const std::string digits = stored.substr(space + 1);
    // Nine digits stay below 2^32; no system has that many ports anyway.
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::make_pair(stored.substr(0, space), static_cast<unsigned>(std::stoul(digits)));
}

std::optional<unsigned> firstNamed(const std::vector<std::string>& names, const std::string& name) {
    const auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) {
        return std::nullopt;
    }
    return static_cast<unsigned>(it - names.begin());
}

} // namespace

std::string storedPortName(const std::string& name, unsigned position) {
    return name + positionSuffix(position);
}

std::optional<unsigned> findStoredPort(const std::vector<std::string>& names, const std::string& stored) {
    if (stored.empty()) {
        return std::nullopt;
    }
    if (const auto split = splitPosition(stored)) {
        const auto& [name, position] = *split;
        if (position < names.size() && names[position] == name) {
            return position;
        }
        if (const std::optional<unsigned> moved = firstNamed(names, name)) {
            return moved;
        }
    }
    return firstNamed(names, stored);
}

std::string withoutPortNumber(const std::string& name, unsigned position) {
    const std::string suffix = positionSuffix(position);
    if (name.size() >= suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return name.substr(0, name.size() - suffix.size());
    }
    return name;
}

} // namespace kestro
