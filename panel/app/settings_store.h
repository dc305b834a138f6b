#pragma once
// Named text values that outlive the program: the registry on Windows, a map in tests.

#include <optional>
#include <string>

namespace kestro {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The text of value `name`; nothing when it does not exist or cannot be read.
    virtual std::optional<std::string> get(const char* name) const = 0;
    // Stores `value` under `name`; false when it could not be written.
    virtual bool set(const char* name, const std::string& value) = 0;
};

} // namespace kestro
