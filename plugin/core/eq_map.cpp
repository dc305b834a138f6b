#include "eq_map.h"

#include "leading_int.h"

#include <cstring>
#include <string>

namespace {

enum class ValueKind { Text, Index, Scale };

struct Target {
    ValueKind kind = ValueKind::Index;
    int* index = nullptr;
    double* scale = nullptr;
};

bool isKey(const char* key, char a, char b) {
    return key[0] == a && key[1] == b;
}

// The field a two-character key names, or nothing for any other key (such lines are comments).
bool findTarget(EqMap& map, const char* key, Target& target) {
    if (isKey(key, 'I', 'D')) {
        target = {ValueKind::Text, nullptr, nullptr};
        return true;
    }
    struct BandKey {
        char letter;
        std::array<int, kEqBandCount>* field;
    };
    const BandKey bandKeys[] = {
        {'Q', &map.q}, {'F', &map.freq}, {'G', &map.gain}, {'T', &map.type}, {'B', &map.bandOn}};
    for (const BandKey& k : bandKeys) {
        if (key[0] == k.letter && key[1] >= '1' && key[1] <= '0' + kEqBandCount) {
            target = {ValueKind::Index, &(*k.field)[static_cast<std::size_t>(key[1] - '1')], nullptr};
            return true;
        }
    }
    struct NamedKey {
        char a, b;
        Target target;
    };
    const NamedKey namedKeys[] = {
        {'B', 'P', {ValueKind::Index, &map.bypass, nullptr}},
        {'M', 'X', {ValueKind::Index, &map.mx, nullptr}},
        {'Q', 'S', {ValueKind::Scale, nullptr, &map.qScale}},
        {'F', 'S', {ValueKind::Scale, nullptr, &map.freqScale}},
        {'G', 'S', {ValueKind::Scale, nullptr, &map.gainScale}},
        {'T', 'S', {ValueKind::Scale, nullptr, &map.typeScale}},
    };
    for (const NamedKey& k : namedKeys) {
        if (isKey(key, k.a, k.b)) {
            target = k.target;
            return true;
        }
    }
    return false;
}

// Bytes of 0x80 and above are part of a name: effect names are ANSI text and are matched byte for byte.
bool endsName(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// `line` holds one line without its line feed, followed by a terminator that stops any number in it.
void applyLine(EqMap& map, const std::string& line) {
    std::size_t pos = line.find_first_not_of(' ');
    if (pos == std::string::npos || line.size() - pos < 2)
        return;
    Target target;
    if (!findTarget(map, line.c_str() + pos, target))
        return;

    // Whatever stands between the key and the first "=" is ignored; no "=" means an empty value.
    std::size_t value = line.find('=', pos + 2);
    if (value == std::string::npos)
        value = line.size();
    else
        value = line.find_first_not_of(" =", value);
    if (value == std::string::npos)
        value = line.size();

    switch (target.kind) {
    case ValueKind::Text: {
        std::size_t end = value;
        while (end < line.size() && !endsName(static_cast<unsigned char>(line[end])))
            ++end;
        map.id.assign(line, value, end - value);
        break;
    }
    case ValueKind::Index:
        *target.index = cc121::parseLeadingInt(line.c_str() + value);
        break;
    case ValueKind::Scale:
        // Scales are whole numbers: "2.5" is read as 2.
        *target.scale = cc121::parseLeadingInt(line.c_str() + value);
        break;
    }
}

} // namespace

void applyEqMapText(EqMap& map, const char* data, std::size_t size) {
    if (data == nullptr)
        return;
    std::string line;
    std::size_t start = 0;
    while (start < size) {
        const void* feed = std::memchr(data + start, '\n', size - start);
        const std::size_t end = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - data) : size;
        if (end > start) {
            line.assign(data + start, end - start);
            applyLine(map, line);
        }
        start = end + 1;
    }
}

EqMap parseEqMap(const char* data, std::size_t size) {
    EqMap map;
    applyEqMapText(map, data, size);
    return map;
}

int EqMapParam(const EqMap& map, EqControlKind kind, int band, double* scale) {
    if (kind == kEqBypass)
        return map.bypass;
    if (kind == kEqMx)
        return map.mx;
    if (band < 0 || band >= kEqBandCount)
        return -1;
    const auto b = static_cast<std::size_t>(band);
    const std::array<int, kEqBandCount>* indices = nullptr;
    double divisor = 0.0;
    switch (kind) {
    case kEqQ:
        indices = &map.q;
        divisor = map.qScale;
        break;
    case kEqFreq:
        indices = &map.freq;
        divisor = map.freqScale;
        break;
    case kEqGain:
        indices = &map.gain;
        divisor = map.gainScale;
        break;
    case kEqType:
        indices = &map.type;
        divisor = map.typeScale;
        break;
    case kEqBandOn:
        return map.bandOn[b];
    default:
        return -1;
    }
    if (scale)
        *scale = divisor;
    return (*indices)[b];
}
