#pragma once
// The settings record of one surface and its text form, the configuration string the host stores.

#include <array>
#include <cstddef>
#include <string>

// The seven user-function positions, in the order they are stored, written and parsed.
enum ActionSlot : std::size_t {
    kSlotValueEncoder,
    kSlotValueButton,
    kSlotFunction1,
    kSlotFunction2,
    kSlotFunction3,
    kSlotFunction4,
    kSlotFootSwitch,
    kActionSlotCount
};

inline constexpr std::array<const char*, kActionSlotCount> kDefaultActionTexts = {
    "12", "40364", "1011", "1012", "40112", "40111", "1013"};

// The host's configuration buffer.
inline constexpr std::size_t kConfigBufferSize = 1024;
// The longest action text the Assign Actions dialog produces.
inline constexpr std::size_t kMaxActionTextLength = 255;
// Seven numbers of 11 characters, six spaces, and seven items " 255 <255 bytes>", plus the terminator,
// rounded up: a surface's own result always holds a whole configuration made in the dialog.
inline constexpr std::size_t kSurfaceConfigBufferSize = 2048;
static_assert(kSurfaceConfigBufferSize >=
              7 * 11 + 6 + kActionSlotCount * (1 + 3 + 1 + kMaxActionTextLength) + 1);

struct SurfaceSettings {
    bool skipMarkers = false;
    int encoderSpeed = 31;
    int midiInputIndex = -1;
    int midiOutputIndex = -1;
    bool wrapChannels = false;
    bool useMcpForChannels = false;
    int acceleration = 10;
    std::array<std::string, kActionSlotCount> actions = {
        kDefaultActionTexts[0], kDefaultActionTexts[1], kDefaultActionTexts[2], kDefaultActionTexts[3],
        kDefaultActionTexts[4], kDefaultActionTexts[5], kDefaultActionTexts[6]};

    friend bool operator==(const SurfaceSettings& a, const SurfaceSettings& b) {
        return a.skipMarkers == b.skipMarkers && a.encoderSpeed == b.encoderSpeed &&
               a.midiInputIndex == b.midiInputIndex && a.midiOutputIndex == b.midiOutputIndex &&
               a.wrapChannels == b.wrapChannels && a.useMcpForChannels == b.useMcpForChannels &&
               a.acceleration == b.acceleration && a.actions == b.actions;
    }
    friend bool operator!=(const SurfaceSettings& a, const SurfaceSettings& b) { return !(a == b); }
};

// Reads a configuration string. Never fails: null, empty, short or malformed text gives the defaults for
// whatever it does not supply. Reads nothing past the terminating zero.
SurfaceSettings ParseSurfaceSettings(const char* text);

// Writes the configuration string of `settings` into `buffer` and returns its length. Never writes more
// than `bufferSize` bytes and always terminates when bufferSize > 0. When the whole string does not fit,
// only whole numbers and whole action items are written, so that the shortened text still parses: the
// fields left out come back as defaults.
std::size_t FormatSurfaceSettings(const SurfaceSettings& settings, char* buffer, std::size_t bufferSize);
