// The map-file grammar, fed any bytes.
//
// Properties: nothing past data + size is read (libFuzzer's block is exactly the input); lines act alone,
// so applying the text again changes nothing and applying it in two parts cut at a line feed gives the same
// map; CR LF line ends read like LF; an effect name holds no control characters; scales are whole numbers;
// the parameter lookup answers -1 for bands outside the section and leaves the scale alone where it must.
#include "eq_map.h"
#include "fuzz_check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool wholeNumber(double scale) {
    return std::floor(scale) == scale && scale >= -2147483648.0 && scale <= 2147483647.0;
}

void checkLookup(const EqMap& map) {
    const double untouched = -12345.0;
    for (int kind = kEqQ; kind <= kEqMx; ++kind) {
        for (int band = -1; band <= kEqBandCount; ++band) {
            double scale = untouched;
            const int param = EqMapParam(map, static_cast<EqControlKind>(kind), band, &scale);
            FUZZ_CHECK(EqMapParam(map, static_cast<EqControlKind>(kind), band) == param);
            if (kind == kEqBypass) {
                FUZZ_CHECK(param == map.bypass && scale == untouched);
                continue;
            }
            if (kind == kEqMx) {
                FUZZ_CHECK(param == map.mx && scale == untouched);
                continue;
            }
            if (band < 0 || band >= kEqBandCount) {
                FUZZ_CHECK(param == -1);
                continue;
            }
            const auto b = static_cast<std::size_t>(band);
            switch (kind) {
            case kEqQ:
                FUZZ_CHECK(param == map.q[b] && scale == map.qScale);
                break;
            case kEqFreq:
                FUZZ_CHECK(param == map.freq[b] && scale == map.freqScale);
                break;
            case kEqGain:
                FUZZ_CHECK(param == map.gain[b] && scale == map.gainScale);
                break;
            case kEqType:
                FUZZ_CHECK(param == map.type[b] && scale == map.typeScale);
                break;
            case kEqBandOn:
                FUZZ_CHECK(param == map.bandOn[b] && scale == untouched);
                break;
            default:
                break;
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const EqMap map = parseEqMap(text, size);

    for (char c : map.id) {
        const auto byte = static_cast<unsigned char>(c);
        FUZZ_CHECK(byte >= 0x20 && byte != 0x7F);
    }
    FUZZ_CHECK(wholeNumber(map.qScale) && wholeNumber(map.freqScale) && wholeNumber(map.gainScale) &&
               wholeNumber(map.typeScale));

    EqMap again = map;
    applyEqMapText(again, text, size);
    FUZZ_CHECK(again == map);

    // Cut after the first, the middle and the last line feed.
    std::vector<std::size_t> feeds;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            feeds.push_back(i);
        }
    }
    if (!feeds.empty()) {
        for (std::size_t feed : {feeds.front(), feeds[feeds.size() / 2], feeds.back()}) {
            EqMap parts = parseEqMap(text, feed + 1);
            applyEqMapText(parts, text + feed + 1, size - feed - 1);
            FUZZ_CHECK(parts == map);
        }
    }

    std::string crlf;
    crlf.reserve(size + feeds.size());
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            crlf += '\r';
        }
        crlf += text[i];
    }
    FUZZ_CHECK(parseEqMap(crlf.data(), crlf.size()) == map);

    // Null data is no text.
    FUZZ_CHECK(parseEqMap(nullptr, size) == EqMap{});

    checkLookup(map);
    return 0;
}
