// Play state and the edit cursor.
#include "hostsim/model/host.h"

namespace hostsim {

void Host::CSurf_OnPlay() {
    logAction("CSurf_OnPlay()");
    changeTransport([](Transport& t) { t.play(); });
}

void Host::CSurf_OnStop() {
    logAction("CSurf_OnStop()");
    changeTransport([](Transport& t) { t.stop(); });
}

void Host::CSurf_OnRecord() {
    logAction("CSurf_OnRecord()");
    changeTransport([](Transport& t) { t.record(); });
}

// Forward and rewind move the cursor by a fixed step per call; a surface repeats the call while its button is
// held (the host's own acceleration is not modelled).
void Host::CSurf_OnFwd(int seekplay) {
    logAction(fmt::call("CSurf_OnFwd", {fmt::value(seekplay)}));
    changeCursor(m_project.transport().cursor() + Transport::kSeekStep, seekplay != 0);
}

void Host::CSurf_OnRew(int seekplay) {
    logAction(fmt::call("CSurf_OnRew", {fmt::value(seekplay)}));
    changeCursor(m_project.transport().cursor() - Transport::kSeekStep, seekplay != 0);
}

void Host::CSurf_GoStart() {
    logAction("CSurf_GoStart()");
    changeCursor(0.0, true);
}

void Host::CSurf_GoEnd() {
    logAction("CSurf_GoEnd()");
    changeCursor(m_project.transport().length(), true);
}

void Host::CSurf_ScrubAmt(double amt) {
    logAction(fmt::call("CSurf_ScrubAmt", {fmt::value(amt)}));
    changeCursor(m_project.transport().cursor() + amt * Transport::kScrubStep, true);
}

double Host::GetCursorPosition() {
    auto call = query("GetCursorPosition()");
    return call.returns(m_project.transport().cursor());
}

void Host::SetEditCurPos(double time, bool moveview, bool seekplay) {
    logAction(fmt::call("SetEditCurPos", {fmt::value(time), fmt::value(moveview), fmt::value(seekplay)}));
    changeCursor(time, seekplay);
}

double Host::GetPlayPosition() {
    auto call = query("GetPlayPosition()");
    return call.returns(m_project.transport().playPosition());
}

} // namespace hostsim
