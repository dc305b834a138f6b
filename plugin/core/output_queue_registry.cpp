#include "output_queue_registry.h"

#include "midi_output_queue.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace tamsel {
namespace {

struct Registry {
    std::mutex mutex;
    std::vector<MidiOutputQueue*> queues;
};

Registry& registry() {
    static Registry r;
    return r;
}

} // namespace

// Called while the queue's worker already runs, so nothing may leave it: a queue that finds no room is only
// not stopped early.
void registerOutputQueue(MidiOutputQueue* queue) noexcept {
    try {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        r.queues.push_back(queue);
    } catch (...) {
    }
}

void unregisterOutputQueue(MidiOutputQueue* queue) noexcept {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.queues.erase(std::remove(r.queues.begin(), r.queues.end(), queue), r.queues.end());
}

void stopAllOutputQueues() {
    Registry& r = registry();
    // Held throughout, so a queue being destroyed meanwhile waits here before it stops its own worker.
    std::lock_guard<std::mutex> lock(r.mutex);
    for (MidiOutputQueue* queue : r.queues)
        queue->discardAndStop();
}

} // namespace tamsel
