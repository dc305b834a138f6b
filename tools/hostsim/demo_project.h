#pragma once
// The project the demo plays with: eight named tracks, a folder, an equaliser with a shipped map, sends, and
// a last-touched effect parameter.

namespace hostsim {

class Host;

void buildDemoProject(Host& host);

} // namespace hostsim
