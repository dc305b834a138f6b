#pragma once
// The panel's two MIDI ports as the engine sees them. The program uses the RtMidi adapter; tests use a fake.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestro {

class MidiPorts {
public:
    // One complete incoming message; called on the MIDI driver's thread.
    using Receiver = std::function<void(const std::uint8_t* data, std::size_t size)>;

    virtual ~MidiPorts() = default;

    // Port names as the system gives them, in the ANSI code page, in port order (list position i is port i);
    // empty when there are none.
    virtual std::vector<std::string> inputPortNames() = 0;
    virtual std::vector<std::string> outputPortNames() = 0;

    // Opens input port `index`, keeping System Exclusive and dropping timing and active-sensing messages.
    // False on any failure, which leaves the input closed.
    virtual bool openInput(unsigned index, Receiver receiver) = 0;
    virtual bool openOutput(unsigned index) = 0;

    // Sends one message at once; nothing when the output is not open. May throw: the engine drops it.
    virtual void send(const std::array<std::uint8_t, 3>& message) = 0;

    // Closes the input, then the output; closing a closed port does nothing.
    virtual void close() = 0;
};

} // namespace kestro
