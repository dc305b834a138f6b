// The configuration string the host stores. The input up to its first zero byte is the string; up to eight
// byte pairs after that zero pick the buffer sizes it is formatted into. A second record is built straight
// from the input (any numbers, any action bytes) so that the writer also sees texts no parser would produce.
//
// Properties: parsing reads nothing past the terminator; formatting never writes past its buffer, always
// terminates, and writes a prefix of the whole string made of whole fields, which parses back to the
// record's leading fields with defaults after them; the whole string parses back to the same record (the
// writer's normalisation of action texts aside: leading spaces dropped, text cut at a zero byte).
#include "fuzz_check.h"
#include "surface_settings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFieldCount = 7 + static_cast<int>(kActionSlotCount);

void copyField(SurfaceSettings& to, const SurfaceSettings& from, int field) {
    switch (field) {
    case 0:
        to.skipMarkers = from.skipMarkers;
        break;
    case 1:
        to.encoderSpeed = from.encoderSpeed;
        break;
    case 2:
        to.midiInputIndex = from.midiInputIndex;
        break;
    case 3:
        to.midiOutputIndex = from.midiOutputIndex;
        break;
    case 4:
        to.wrapChannels = from.wrapChannels;
        break;
    case 5:
        to.useMcpForChannels = from.useMcpForChannels;
        break;
    case 6:
        to.acceleration = from.acceleration;
        break;
    default:
        to.actions[static_cast<std::size_t>(field - 7)] = from.actions[static_cast<std::size_t>(field - 7)];
        break;
    }
}

// True when `got` is `full` with some number of leading fields kept and the defaults after them.
bool isLeadingFieldsOf(const SurfaceSettings& got, const SurfaceSettings& full) {
    SurfaceSettings candidate;
    if (got == candidate) {
        return true;
    }
    for (int field = 0; field < kFieldCount; ++field) {
        copyField(candidate, full, field);
        if (got == candidate) {
            return true;
        }
    }
    return false;
}

// What the writer makes of an action text.
std::string wireForm(const std::string& text) {
    std::string t = text.substr(0, text.find('\0'));
    const std::size_t first = t.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : t.substr(first);
}

// Parses a copy held in a block of exactly its own length, so that reading past the end is caught.
SurfaceSettings parseExact(const char* text, std::size_t length) {
    std::unique_ptr<char[]> copy(new char[length + 1]);
    std::memcpy(copy.get(), text, length);
    copy[length] = '\0';
    return ParseSurfaceSettings(copy.get());
}

// Formats into a block of exactly `size` bytes and checks everything that holds for any size; `expected` is
// what the whole string parses to. Returns the formatted length.
std::size_t checkFormatInto(const SurfaceSettings& settings, const SurfaceSettings& expected,
                            const std::string& whole, std::size_t size) {
    std::unique_ptr<char[]> buffer(new char[size]);
    const std::size_t length = FormatSurfaceSettings(settings, buffer.get(), size);
    if (size == 0) {
        FUZZ_CHECK(length == 0);
        return 0;
    }
    FUZZ_CHECK(length < size);
    FUZZ_CHECK(buffer[length] == '\0');
    FUZZ_CHECK(std::strlen(buffer.get()) == length);
    FUZZ_CHECK(length <= whole.size());
    FUZZ_CHECK(std::memcmp(buffer.get(), whole.data(), length) == 0);
    FUZZ_CHECK(isLeadingFieldsOf(parseExact(buffer.get(), length), expected));
    if (size > whole.size()) {
        FUZZ_CHECK(length == whole.size());
    }
    return length;
}

std::string formatWhole(const SurfaceSettings& settings) {
    // Large enough for any record: seven numbers and seven items, each text at most the input's length.
    std::size_t size = 7 * 12 + 1;
    for (const std::string& action : settings.actions) {
        size += action.size() + 24;
    }
    std::vector<char> buffer(size);
    const std::size_t length = FormatSurfaceSettings(settings, buffer.data(), buffer.size());
    FUZZ_CHECK(length + 1 < buffer.size()); // it fitted with room to spare, so nothing was left out
    FUZZ_CHECK(buffer[length] == '\0' && std::strlen(buffer.data()) == length);
    return std::string(buffer.data(), length);
}

void checkRoundTrip(const SurfaceSettings& settings, const std::vector<std::size_t>& sizes) {
    const std::string whole = formatWhole(settings);
    SurfaceSettings expected = settings;
    for (std::string& action : expected.actions) {
        action = wireForm(action);
    }
    FUZZ_CHECK(parseExact(whole.data(), whole.size()) == expected);

    // A null buffer takes nothing.
    FUZZ_CHECK(FormatSurfaceSettings(settings, nullptr, 64) == 0);

    std::vector<std::size_t> all = {0, 1, 2, whole.size(), whole.size() + 1, kConfigBufferSize};
    for (std::size_t size : sizes) {
        all.push_back(size % (whole.size() + 3));
    }
    for (std::size_t size : all) {
        checkFormatInto(settings, expected, whole, size);
    }
    // A larger buffer never holds less.
    std::size_t previous = 0;
    for (std::size_t size = 0; size <= whole.size() + 1; size += 1 + whole.size() / 8) {
        const std::size_t length = checkFormatInto(settings, expected, whole, size);
        FUZZ_CHECK(length >= previous);
        previous = length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const void* zero = std::memchr(data, 0, size);
    const std::size_t textLength =
        zero != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data) : size;

    std::vector<std::size_t> sizes;
    if (zero != nullptr) {
        for (std::size_t i = textLength + 1; i + 1 < size && sizes.size() < 8; i += 2) {
            sizes.push_back(std::size_t(data[i]) << 8 | data[i + 1]);
        }
    } else {
        std::size_t hash = 14695981039346656037u;
        for (std::size_t i = 0; i < size; ++i) {
            hash = (hash ^ data[i]) * 1099511628211u;
        }
        for (int i = 0; i < 4; ++i) {
            sizes.push_back(hash & 0xFFFF);
            hash >>= 16;
        }
    }

    const SurfaceSettings parsed = parseExact(text, textLength);
    checkRoundTrip(parsed, sizes);

    FuzzedDataProvider provider(data, size);
    SurfaceSettings record;
    record.skipMarkers = provider.ConsumeBool();
    record.encoderSpeed = provider.ConsumeIntegral<int>();
    record.midiInputIndex = provider.ConsumeIntegral<int>();
    record.midiOutputIndex = provider.ConsumeIntegral<int>();
    record.wrapChannels = provider.ConsumeBool();
    record.useMcpForChannels = provider.ConsumeBool();
    record.acceleration = provider.ConsumeIntegral<int>();
    for (std::string& action : record.actions) {
        action = provider.ConsumeRandomLengthString(kMaxActionTextLength + 8);
    }
    checkRoundTrip(record, sizes);
    return 0;
}
