#include "demo_project.h"

#include "hostsim/model/host.h"

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

    // REAPER's ReaEQ in its default five-band shape (low shelf, two bands, high shelf, high-pass), and a
    // compressor whose threshold the user touched last: Lock pins it.
    const std::vector<int> reaeqBands = {kEqLowShelf, kEqBand, kEqBand, kEqHighShelf, kEqHighPass};
    tracks[3]->addFx("VST: ReaComp (Cockos)", {{"Threshold", 0.5, 0.0, 1.0}});
    tracks[3]->addReaEq("VST: ReaEQ (Cockos)", reaeqBands);
    tracks[0]->addReaEq("VST: ReaEQ (Cockos)", reaeqBands);
    p.setLastTouchedParam(Project::TouchedParam{4, 0, 0});

    tracks[3]->addSend(*tracks[7], 0.5);
    tracks[3]->addSend(*tracks[1], 0.25, true);
    tracks[0]->addSend(*tracks[7], 0.7);
}

} // namespace hostsim
