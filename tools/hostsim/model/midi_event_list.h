#pragma once
// The host's MIDI event list, as the input's read buffer. Each event sits in one allocation with its bytes
// running past midi_message, as the host lays out System Exclusive messages longer than four bytes.

#include "reaper_abi.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace hostsim {

class StoredEvent {
public:
    StoredEvent(int frameOffset, const unsigned char* bytes, int size);
    MIDI_event_t* event() const { return m_event; }
    std::size_t footprint() const { return m_footprint; }

private:
    std::size_t m_footprint;
    std::unique_ptr<unsigned char[]> m_storage;
    MIDI_event_t* m_event;
};

// The message bytes of an event, reading past the declared four when its size says so.
const unsigned char* eventBytes(const MIDI_event_t& event);

class MidiEventList final : public MIDI_eventlist {
public:
    MidiEventList() = default;
    ~MidiEventList() = default;
    MidiEventList(const MidiEventList&) = delete;
    MidiEventList& operator=(const MidiEventList&) = delete;

    // Copies the event and its `size` bytes; ignores null and negative sizes.
    void AddItem(MIDI_event_t* evt) override;
    // The event at *bpos (0 = first), advancing it; null after the last one.
    MIDI_event_t* EnumItems(int* bpos) override;
    void DeleteItem(int bpos) override;
    // Bytes the stored events occupy.
    int GetSize() override;
    void Empty() override;

#if TAMSEL_MSVC_VTABLE
    // The list belongs to its input; a plug-in never destroys it, so its slot 0 does nothing.
    void* msvcDeletingDestructor(unsigned int) override {
        return this;
    }
#endif

    void add(int frameOffset, const unsigned char* bytes, int size);
    // Moves every event of `other` to the end of this list.
    void takeAll(MidiEventList& other);
    int count() const {
        return static_cast<int>(m_events.size());
    }

private:
    std::vector<StoredEvent> m_events;
};

} // namespace hostsim
