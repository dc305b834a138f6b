#include "hostsim/model/track.h"

#include <string>
#include <utility>

namespace hostsim {

Guid newGuid() {
    static unsigned long long next = 0;
    Guid g{};
    unsigned long long n = ++next;
    for (std::size_t i = 0; i < g.size() && n; ++i, n >>= 8)
        g[i] = static_cast<unsigned char>(n);
    return g;
}

EqBand* Fx::eqBand(int type, int index) {
    for (EqBand& band : eqBands)
        if (band.type == type && index-- == 0)
            return &band;
    return nullptr;
}

Fx& Track::addFx(std::string fxName, std::vector<FxParam> params) {
    fx.push_back(Fx{std::move(fxName), std::move(params), {}});
    return fx.back();
}

Fx& Track::addReaEq(std::string fxName, const std::vector<int>& bandTypes) {
    std::vector<FxParam> params;
    const char* kinds[] = {"Freq", "Gain", "BW"};
    const double defaults[] = {0.2, 0.5, 0.4};
    for (std::size_t band = 1; band <= bandTypes.size(); ++band)
        for (int k = 0; k < 3; ++k)
            params.push_back(
                {kinds[k] + std::string("-Band ") + std::to_string(band), defaults[k], 0.0, 1.0});
    params.push_back({"Gain", 0.5, 0.0, 1.0});
    params.push_back({"Bypass", 0.0, 0.0, 1.0});
    params.push_back({"Wet", 1.0, 0.0, 1.0});
    params.push_back({"Delta", 0.0, 0.0, 1.0});
    Fx& eq = addFx(std::move(fxName), std::move(params));
    for (int type : bandTypes)
        eq.eqBands.push_back(EqBand{type, true});
    return eq;
}

Send& Track::addSend(Track& destination, double sendVolume, bool sendMute) {
    sends.push_back(Send{&destination, sendVolume, sendMute});
    return sends.back();
}

} // namespace hostsim
