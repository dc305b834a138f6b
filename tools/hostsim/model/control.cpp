#include "hostsim/model/control.h"

#include "hostsim/model/host.h"

#include <cstdlib>
#include <fstream>

namespace hostsim {

bool carryOutControl(Host& host, const std::string& rawLine, std::FILE* report) {
    std::string line = rawLine;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    const std::size_t space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string arg = space == std::string::npos ? std::string() : line.substr(space + 1);
    bool done = false;
    if (verb == "action") {
        done = host.runAction(arg);
        std::fprintf(report, done ? "hostsim: ran action \"%s\"\n" : "hostsim: no action \"%s\"\n",
                     arg.c_str());
    } else if (verb == "command") {
        const int command = std::atoi(arg.c_str());
        done = host.runCommand(command);
        std::fprintf(report, done ? "hostsim: ran command %d\n" : "hostsim: no command %d\n", command);
    } else if (verb == "away" || verb == "back") {
        done = host.midi().setAwayByName(arg, verb == "away");
        std::fprintf(report, done ? "hostsim: MIDI device \"%s\" %s\n" : "hostsim: no MIDI device \"%s\"%s\n",
                     arg.c_str(), done ? (verb == "away" ? "went away" : "came back") : "");
    } else if (verb == "describe") {
        host.surfaces().forEach(nullptr, [&](IReaperControlSurface& s) {
            const char* text = s.GetDescString();
            std::fprintf(report, "hostsim: surface \"%s\"\n", text ? text : "(null)");
        });
        done = true;
    } else if (!verb.empty()) {
        std::fprintf(report, "hostsim: unknown control \"%s\"\n", line.c_str());
    }
    return done;
}

void carryOutControlFile(Host& host, const std::string& path, std::FILE* report) {
    {
        std::ifstream file(path);
        for (std::string line; std::getline(file, line);)
            carryOutControl(host, line, report);
    }
    std::remove(path.c_str());
}

} // namespace hostsim
