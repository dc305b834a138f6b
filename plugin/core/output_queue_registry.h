#pragma once
// Every surface's output worker, so that a plug-in library about to be unloaded can stop the workers
// whose code is about to go, even of surfaces the host never destroyed.

class MidiOutputQueue;

namespace tamsel {

void registerOutputQueue(MidiOutputQueue* queue) noexcept;
void unregisterOutputQueue(MidiOutputQueue* queue) noexcept;

// Drops what waits in every registered queue and joins its worker. The surfaces stay valid: their output
// sends nothing more, and destroying them later is safe.
void stopAllOutputQueues();

} // namespace tamsel
