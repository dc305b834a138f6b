#include "surface_settings.h"

#include "leading_int.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>

namespace {

// Seven numbers, then a length and a text for each action slot.
constexpr int kNumberCount = 7;
constexpr int kTokenCount = kNumberCount + 2 * static_cast<int>(kActionSlotCount);

bool startsNumber(char c) {
    return (c >= '0' && c <= '9') || c == '-';
}

void storeNumber(SurfaceSettings& settings, int index, int number) {
    switch (index) {
    case 0:
        settings.skipMarkers = number != 0;
        break;
    case 1:
        settings.encoderSpeed = number;
        break;
    case 2:
        settings.midiInputIndex = number;
        break;
    case 3:
        settings.midiOutputIndex = number;
        break;
    case 4:
        settings.wrapChannels = number != 0;
        break;
    case 5:
        settings.useMcpForChannels = number != 0;
        break;
    case 6:
        settings.acceleration = number;
        break;
    default:
        break;
    }
}

// Keeps the output a run of whole pieces: a piece that does not fit ends the output for good, because
// the parser reads the tokens by position and a later piece would land in the wrong field.
class PieceWriter {
public:
    PieceWriter(char* buffer, std::size_t size) : m_buffer(buffer), m_size(buffer != nullptr ? size : 0) {
        if (m_size > 0) {
            m_buffer[0] = '\0';
        }
    }

    void append(const std::string& piece) {
        if (m_full || m_length + piece.size() >= m_size) {
            m_full = true;
            return;
        }
        std::memcpy(m_buffer + m_length, piece.data(), piece.size());
        m_length += piece.size();
        m_buffer[m_length] = '\0';
    }

    std::size_t length() const { return m_length; }

private:
    char* m_buffer;
    std::size_t m_size;
    std::size_t m_length = 0;
    bool m_full = false;
};

template <typename Number> std::string decimal(Number value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

// The text as it can travel: the parser skips the spaces in front of every token, so leading spaces
// would shift every later item; and a zero byte would end the whole string early.
std::string wireText(const std::string& text) {
    const std::size_t end = std::min(text.find('\0'), text.size());
    std::size_t begin = 0;
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    return text.substr(begin, end - begin);
}

} // namespace

SurfaceSettings ParseSurfaceSettings(const char* text) {
    SurfaceSettings settings;
    if (text == nullptr) {
        return settings;
    }
    const char* p = text;
    std::size_t pendingLength = 0;
    for (int index = 0; index < kTokenCount; ++index) {
        while (*p == ' ') {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        if (index >= kNumberCount && (index - kNumberCount) % 2 == 1) {
            // A declared length reaching past the end of the text takes what is there: the user's text
            // is kept as far as it survived rather than replaced by a default.
            std::size_t length = 0;
            while (length < pendingLength && p[length] != '\0') {
                ++length;
            }
            settings.actions[static_cast<std::size_t>(index - kNumberCount) / 2].assign(p, length);
            p += length;
        } else {
            const int number = startsNumber(*p) ? cc121::parseLeadingInt(p) : 0;
            if (index < kNumberCount) {
                storeNumber(settings, index, number);
            } else {
                // |INT_MIN| does not fit an int; it saturates like every other number.
                pendingLength = number == INT_MIN ? static_cast<std::size_t>(INT_MAX)
                                                  : static_cast<std::size_t>(number < 0 ? -number : number);
            }
        }
        while (*p != ' ' && *p != '\0') {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
    }
    return settings;
}

std::size_t FormatSurfaceSettings(const SurfaceSettings& settings, char* buffer, std::size_t bufferSize) {
    PieceWriter writer(buffer, bufferSize);
    const int numbers[kNumberCount] = {settings.skipMarkers ? 1 : 0,  settings.encoderSpeed,
                                       settings.midiInputIndex,       settings.midiOutputIndex,
                                       settings.wrapChannels ? 1 : 0, settings.useMcpForChannels ? 1 : 0,
                                       settings.acceleration};
    for (int i = 0; i < kNumberCount; ++i) {
        writer.append(i == 0 ? decimal(numbers[i]) : " " + decimal(numbers[i]));
    }
    for (const std::string& action : settings.actions) {
        const std::string text = wireText(action);
        writer.append(" " + decimal(text.size()) + " " + (text.empty() ? std::string("-") : text));
    }
    return writer.length();
}
