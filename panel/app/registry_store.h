#pragma once
// The panel's settings as string values of one registry key of the current user.

#include "settings_store.h"

#include <memory>
#include <string>

namespace kestro {

inline constexpr char kRegistryKey[] = "Software\\Brackwell\\kestro";

// Reading never creates the key; the first write does.
std::unique_ptr<SettingsStore> makeRegistryStore(std::string subkey = kRegistryKey);

} // namespace kestro
