#include "hostsim/model/slider_curve.h"

#include <algorithm>
#include <cmath>

namespace hostsim {

double volumeToDb(double volume) {
    if (!(volume > 0.0)) // also NaN
        return kMinDb;
    return std::max(kMinDb, 20.0 * std::log10(volume));
}

double dbToVolume(double db) {
    if (!(db > kMinDb))
        return 0.0;
    return std::pow(10.0, db / 20.0);
}

double dbToSlider(double db) {
    if (!(db >= kMinDb)) // also NaN
        db = kMinDb;
    const double gain = std::pow(10.0, db / 20.0);
    return std::min(kSliderMax, kSliderMax * std::pow(gain / kMaxVolume, 0.25));
}

double sliderToDb(double slider) {
    if (!(slider >= 0.0)) // also NaN
        slider = 0.0;
    slider = std::min(slider, kSliderMax);
    return volumeToDb(kMaxVolume * std::pow(slider / kSliderMax, 4.0));
}

} // namespace hostsim
