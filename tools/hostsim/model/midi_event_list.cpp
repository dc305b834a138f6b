#include "hostsim/model/midi_event_list.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace hostsim {

StoredEvent::StoredEvent(int frameOffset, const unsigned char* bytes, int size)
    : m_footprint(std::max(sizeof(MIDI_event_t), offsetof(MIDI_event_t, midi_message) +
                                                     static_cast<std::size_t>(std::max(size, 0)))),
      m_storage(new unsigned char[m_footprint]()),
      m_event(new (m_storage.get()) MIDI_event_t{frameOffset, size, {}}) {
    if (size > 0)
        std::memcpy(m_storage.get() + offsetof(MIDI_event_t, midi_message), bytes,
                    static_cast<std::size_t>(size));
}

const unsigned char* eventBytes(const MIDI_event_t& event) {
    return reinterpret_cast<const unsigned char*>(&event) + offsetof(MIDI_event_t, midi_message);
}

void MidiEventList::AddItem(MIDI_event_t* evt) {
    if (evt && evt->size >= 0)
        add(evt->frame_offset, eventBytes(*evt), evt->size);
}

MIDI_event_t* MidiEventList::EnumItems(int* bpos) {
    if (!bpos || *bpos < 0 || *bpos >= count())
        return nullptr;
    return m_events[static_cast<std::size_t>((*bpos)++)].event();
}

void MidiEventList::DeleteItem(int bpos) {
    if (bpos >= 0 && bpos < count())
        m_events.erase(m_events.begin() + bpos);
}

int MidiEventList::GetSize() {
    std::size_t bytes = 0;
    for (const StoredEvent& e : m_events)
        bytes += e.footprint();
    return static_cast<int>(bytes);
}

void MidiEventList::Empty() {
    m_events.clear();
}

void MidiEventList::add(int frameOffset, const unsigned char* bytes, int size) {
    if (size >= 0 && (bytes || size == 0))
        m_events.emplace_back(frameOffset, bytes, size);
}

void MidiEventList::takeAll(MidiEventList& other) {
    m_events.insert(m_events.end(), std::make_move_iterator(other.m_events.begin()),
                    std::make_move_iterator(other.m_events.end()));
    other.m_events.clear();
}

} // namespace hostsim
