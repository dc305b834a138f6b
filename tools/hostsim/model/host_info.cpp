// Track and send values by name, and the track list as GetTrackInfo walks it.
#include "hostsim/model/host.h"

#include "hostsim/model/track_fields.h"

#include <cstring>
#include <optional>

namespace hostsim {
namespace {

// GetTrackInfo's flag bits.
int trackFlags(const Track& t) {
    int flags = 0;
    if (t.isFolder())
        flags |= 1;
    if (t.selected)
        flags |= 2;
    if (t.fxEnabled && !t.fx.empty())
        flags |= 4;
    if (t.mute)
        flags |= 8;
    if (t.solo)
        flags |= 16;
    if (t.recArm)
        flags |= 64;
    if (t.recMonitor == 1)
        flags |= 128;
    if (t.recMonitor == 2)
        flags |= 256;
    if (!t.visibleInMixer)
        flags |= 1024;
    return flags;
}

} // namespace

const char* Host::GetTrackInfo(std::intptr_t track, int* flags) {
    // Either a track index (-1 the master, 0.. the tracks below it) or a MediaTrack* cast to an integer.
    Track* t = m_project.find(reinterpret_cast<const MediaTrack*>(track));
    auto call =
        query(fmt::call("GetTrackInfo", {t ? label(handle(*t)) : fmt::value(static_cast<long long>(track))}));
    if (!t && track == -1)
        t = &m_project.master();
    else if (!t && track >= 0 && track < static_cast<std::intptr_t>(m_project.trackCount()))
        t = m_project.track(static_cast<int>(track));
    const int f = t ? trackFlags(*t) : 0;
    if (flags)
        *flags = f;
    if (!t) {
        call.result("null");
        return nullptr;
    }
    call.result(fmt::value(t->name.c_str()) + " flags " + fmt::value(f));
    return t->name.c_str();
}

void* Host::GetSetMediaTrackInfo(MediaTrack* tr, const char* parmname, void* setNewValue) {
    Track* t = m_project.find(tr);
    const std::optional<ValueRef> ref = t ? trackValue(*t, parmname) : std::nullopt;
    if (!setNewValue) {
        auto call = query(fmt::call("GetSetMediaTrackInfo", {label(tr), fmt::value(parmname)}));
        call.result(ref ? formatValue(ref->type, ref->address) : "null");
        return ref ? ref->address : nullptr;
    }
    auto call = action(fmt::call("GetSetMediaTrackInfo", {label(tr), fmt::value(parmname),
                                                          ref ? formatValue(ref->type, setNewValue) : "?"}));
    if (!ref) {
        call.result("null");
        return nullptr;
    }
    assignValue(*ref, setNewValue);
    return ref->address;
}

void* Host::GetSetTrackSendInfo(MediaTrack* tr, int category, int sendidx, const char* parmname,
                                void* setNewValue) {
    // Only sends (category 0) are modelled; receives (< 0) and hardware outputs (> 0) answer null.
    Track* t = m_project.find(tr);
    Send* s = t && category == 0 && sendidx >= 0 && sendidx < static_cast<int>(t->sends.size())
                  ? &t->sends[static_cast<std::size_t>(sendidx)]
                  : nullptr;
    std::vector<std::string> args = {label(tr), fmt::value(category), fmt::value(sendidx),
                                     fmt::value(parmname)};

    if (parmname && std::strcmp(parmname, "P_DESTTRACK") == 0) {
        // The destination track itself, not a pointer to it. It cannot be changed: a write is ignored.
        if (setNewValue)
            args.push_back("?");
        LoggedCall call(m_log, setNewValue ? CallKind::Action : CallKind::Query,
                        fmt::call("GetSetTrackSendInfo", args));
        MediaTrack* destination = s ? handle(*s->destination) : nullptr;
        call.result(label(destination));
        return destination;
    }

    const std::optional<ValueRef> ref = s ? sendValue(*s, parmname) : std::nullopt;
    if (!setNewValue) {
        auto call = query(fmt::call("GetSetTrackSendInfo", args));
        call.result(ref ? formatValue(ref->type, ref->address) : "null");
        return ref ? ref->address : nullptr;
    }
    args.push_back(ref ? formatValue(ref->type, setNewValue) : "?");
    auto call = action(fmt::call("GetSetTrackSendInfo", args));
    if (!ref) {
        call.result("null");
        return nullptr;
    }
    assignValue(*ref, setNewValue);
    return ref->address;
}

} // namespace hostsim
