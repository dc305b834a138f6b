#include "hostsim/model/track.h"

#include <utility>

namespace hostsim {

Fx& Track::addFx(std::string fxName, std::vector<FxParam> params) {
    fx.push_back(Fx{std::move(fxName), std::move(params)});
    return fx.back();
}

Send& Track::addSend(Track& destination, double sendVolume, bool sendMute) {
    sends.push_back(Send{&destination, sendVolume, sendMute});
    return sends.back();
}

} // namespace hostsim
