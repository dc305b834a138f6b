#pragma once
// The host functions as plain functions with the exact signatures the plug-in binds, each forwarding to the
// current host (CurrentHost). With no current host they do nothing and return zero or null. Exceptions never
// leave them: the caller may be a plug-in built by another compiler.

namespace hostsim {

// What REAPER hands a plug-in as GetFunc: a host function's address by name; null for unknown names and for
// names the current host withholds. Every request is noted in the current host's lookups().
void* getFunc(const char* name);

// What REAPER hands a plug-in as Register: the current host's registerThrough; 0 with no current host.
int registerFunc(const char* name, void* info);

} // namespace hostsim
