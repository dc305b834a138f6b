#include "hostsim/model/gated_midi.h"

#include <utility>

namespace hostsim {
namespace {

// A plug-in that deletes the object instead of calling Destroy() gets the same treatment from the device
// behind it, which reports the fault.
template <class T> void deleteWrongly(T* inner) {
#if TAMSEL_MSVC_VTABLE
    inner->msvcDeletingDestructor(1);
#else
    delete inner;
#endif
}

} // namespace

GatedInput::GatedInput(midi_Input* inner, DeviceGeneration generation)
    : m_inner(inner), m_generation(std::move(generation)), m_opened(m_generation->load()) {}

GatedInput::~GatedInput() {
    if (!m_destroying)
        deleteWrongly(m_inner);
}

MIDI_eventlist* GatedInput::GetReadBuf() {
    // The device's buffers still swap, so nothing piles up; a dead object shows none of it.
    return m_generation->load() == m_opened ? m_inner->GetReadBuf() : &m_nothing;
}

void GatedInput::Destroy() {
    m_destroying = true;
    m_inner->Destroy();
    delete this;
}

GatedOutput::GatedOutput(midi_Output* inner, DeviceGeneration generation)
    : m_inner(inner), m_generation(std::move(generation)), m_opened(m_generation->load()) {}

GatedOutput::~GatedOutput() {
    if (!m_destroying)
        deleteWrongly(m_inner);
}

void GatedOutput::SendMsg(MIDI_event_t* msg, int frame_offset) {
    if (alive())
        m_inner->SendMsg(msg, frame_offset);
}

void GatedOutput::Send(unsigned char status, unsigned char d1, unsigned char d2, int frame_offset) {
    if (alive())
        m_inner->Send(status, d1, d2, frame_offset);
}

void GatedOutput::Destroy() {
    m_destroying = true;
    m_inner->Destroy();
    delete this;
}

} // namespace hostsim
