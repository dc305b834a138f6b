#include "demo_project.h"

#include "hostsim/model/host.h"

#include <string>
#include <vector>

namespace hostsim {

void buildDemoProject(Host& host) {
    Project& p = host.project();
    const char* names[] = {"Drums", "Bass", "Keys", "Vocals", "Guitars", "Rhythm Gtr", "Lead Gtr", "Reverb"};
    std::vector<Track*> tracks;
    for (const char* name : names)
        tracks.push_back(&p.addTrack(name));
    tracks[4]->folderDepth = 1;  // Guitars holds the two guitar tracks
    tracks[6]->folderDepth = -1; // and the folder closes after Lead Gtr

    // REAPER's ReaEQ in its default five-band shape: frequency, gain and bandwidth per band (0..1), the
    // global gain, then REAPER's own Bypass, Wet and Delta.
    std::vector<FxParam> reaeq;
    const double defaults[] = {0.2, 0.5, 0.4};
    const char* kinds[] = {"Freq", "Gain", "BW"};
    for (int band = 1; band <= 5; ++band)
        for (int k = 0; k < 3; ++k)
            reaeq.push_back({kinds[k] + std::string("-Band ") + std::to_string(band), defaults[k], 0.0, 1.0});
    reaeq.push_back({"Gain", 0.5, 0.0, 1.0});
    reaeq.push_back({"Bypass", 0.0, 0.0, 1.0});
    reaeq.push_back({"Wet", 1.0, 0.0, 1.0});
    reaeq.push_back({"Delta", 0.0, 0.0, 1.0});
    tracks[3]->addFx("VST: ReaComp (Cockos)", {{"Threshold", 0.5, 0.0, 1.0}});
    tracks[3]->addFx("VST: ReaEQ (Cockos)", reaeq);
    tracks[0]->addFx("VST: ReaEQ (Cockos)", reaeq);

    tracks[3]->addSend(*tracks[7], 0.5);
    tracks[3]->addSend(*tracks[1], 0.25, true);
    tracks[0]->addSend(*tracks[7], 0.7);
}

} // namespace hostsim
