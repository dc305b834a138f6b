#include "hostsim/model/track_fields.h"

#include "hostsim/model/call_log.h"

#include <cstdio>
#include <cstring>

namespace hostsim {
namespace {

template <class Owner> struct Field {
    const char* name;
    ValueType type;
    void* (*address)(Owner&);
};

const Field<Track> kTrackFields[] = {
    {"I_RECMON", ValueType::Int,
     [](Track& t) -> void* {
         return &t.recMonitor;
     }},
    {"D_VOL", ValueType::Double,
     [](Track& t) -> void* {
         return &t.volume;
     }},
    {"D_PAN", ValueType::Double,
     [](Track& t) -> void* {
         return &t.pan;
     }},
    {"I_FOLDERCOMPACT", ValueType::Int,
     [](Track& t) -> void* {
         return &t.folderCompact;
     }},
    {"I_FOLDERDEPTH", ValueType::Int,
     [](Track& t) -> void* {
         return &t.folderDepth;
     }},
    {"GUID", ValueType::Id,
     [](Track& t) -> void* {
         return t.guid.data();
     }},
};

const Field<Send> kSendFields[] = {
    {"B_MUTE", ValueType::Bool,
     [](Send& s) -> void* {
         return &s.mute;
     }},
    {"D_VOL", ValueType::Double,
     [](Send& s) -> void* {
         return &s.volume;
     }},
};

template <class Owner, std::size_t N>
std::optional<ValueRef> lookUp(const Field<Owner> (&fields)[N], Owner& owner, const char* name) {
    if (!name)
        return std::nullopt;
    for (const Field<Owner>& f : fields)
        if (std::strcmp(f.name, name) == 0)
            return ValueRef{f.type, f.address(owner)};
    return std::nullopt;
}

} // namespace

std::optional<ValueRef> trackValue(Track& track, const char* name) {
    return lookUp(kTrackFields, track, name);
}

std::optional<ValueRef> sendValue(Send& send, const char* name) {
    return lookUp(kSendFields, send, name);
}

void assignValue(const ValueRef& ref, const void* from) {
    switch (ref.type) {
    case ValueType::Int:
        *static_cast<int*>(ref.address) = *static_cast<const int*>(from);
        break;
    case ValueType::Double:
        *static_cast<double*>(ref.address) = *static_cast<const double*>(from);
        break;
    case ValueType::Bool:
        // Read as a byte: a caller's bool may hold any non-zero value.
        *static_cast<bool*>(ref.address) = *static_cast<const unsigned char*>(from) != 0;
        break;
    case ValueType::Id:
        std::memcpy(ref.address, from, sizeof(Guid));
        break;
    }
}

std::string formatValue(ValueType type, const void* from) {
    switch (type) {
    case ValueType::Int:
        return fmt::value(*static_cast<const int*>(from));
    case ValueType::Double:
        return fmt::value(*static_cast<const double*>(from));
    case ValueType::Bool:
        return fmt::value(*static_cast<const unsigned char*>(from) != 0);
    case ValueType::Id: {
        std::string text = "{";
        for (std::size_t i = 0; i < sizeof(Guid); ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", static_cast<const unsigned char*>(from)[i]);
            text += hex;
        }
        return text + "}";
    }
    }
    return "?";
}

} // namespace hostsim
