// hostsim on Linux: loads control-surface plug-ins exactly as REAPER does on Linux (every reaper_*.so in the
// resource folder's UserPlugins, dlopen, SWELL_dllMain with the getter of a headless libSwell.so built from
// the same WDL, then ReaperPluginEntry with a real GetFunc and Register) against the simulated demo project,
// whose MIDI devices are the model's own. Then, as asked:
//   --config-page          the configuration page's round trip through SWELL (swell_host_posix.h)
//   --tour                 a CC121 surface on the model's ports, driven by the scripted tour
//   (scripted_tour.h)
//   --unload-with-surface  a surface left alive while the plug-ins are unloaded, as when REAPER quits
// Every check prints a PASS or FAIL line; the exit status is 0 only when all passed.
//
//   hostsim [--resource-folder DIR] [--swell PATH] [--swell-handover getter|null|none] [--config-page]
//           [--tour] [--unload-with-surface]
//
// The resource folder defaults to "resource" beside the folder of hostsim, where the build lays one out, and
// libSwell.so to the one beside hostsim; GetExePath answers hostsim's own folder.
#include "demo_project.h"
#include "host_windows.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "plugin_loader_posix.h"
#include "scripted_tour.h"
#include "swell_host_posix.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

struct Options {
    std::string resourceFolder, swellLibrary;
    hostsim::SwellHandover swell = hostsim::SwellHandover::Getter;
    bool configPage = false;
    bool tour = false;
    bool unloadWithSurface = false;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--config-page")
            o.configPage = true;
        else if (a == "--tour")
            o.tour = true;
        else if (a == "--unload-with-surface")
            o.unloadWithSurface = true;
        else if (a == "--resource-folder" && value)
            o.resourceFolder = argv[++i];
        else if (a == "--swell" && value)
            o.swellLibrary = argv[++i];
        else if (a == "--swell-handover" && value) {
            const std::string how = argv[++i];
            if (how == "getter")
                o.swell = hostsim::SwellHandover::Getter;
            else if (how == "null")
                o.swell = hostsim::SwellHandover::NullGetter;
            else if (how == "none")
                o.swell = hostsim::SwellHandover::NoCall;
            else
                return false;
        } else
            return false;
    }
    return true;
}

// The folder of this program, without a trailing separator.
std::string programFolder() {
    char path[PATH_MAX] = "";
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string self(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    const std::size_t slash = self.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : self.substr(0, slash);
}

int report(bool passed, const char* what) {
    std::printf("%s  %s\n", passed ? "PASS" : "FAIL", what);
    return passed ? 0 : 1;
}

// A surface the host never destroyed: it stays reachable here, as it would inside REAPER at exit.
IReaperControlSurface* g_abandonedSurface = nullptr;

int run(const Options& o) {
    hostsim::Host host;
    hostsim::CurrentHost current(host);
    const std::string program = programFolder();
    const std::string resource = o.resourceFolder.empty() ? program + "/../resource" : o.resourceFolder;
    host.setExePath(program);
    host.setResourcePath(resource);
    hostsim::buildDemoProject(host);
    host.midi().addInput("CC121 In");
    host.midi().addInput("CC121 In 2");
    host.midi().addOutput("CC121 Out");
    host.midi().addOutput("CC121 Out 2");

    std::unique_ptr<hostsim::HostSwell> swell;
    if (o.swell == hostsim::SwellHandover::Getter) {
        swell = std::make_unique<hostsim::HostSwell>(o.swellLibrary.empty() ? program + "/libSwell.so"
                                                                            : o.swellLibrary);
        if (!swell->loaded()) {
            std::printf("hostsim: no SWELL: %s\n", swell->error().c_str());
            return 1;
        }
        hostsim::defineWindowActions(host);
    }

    reaper_plugin_info_t info{};
    info.caller_version = kReaperPluginVersion;
    info.Register = hostsim::registerFunc;
    info.GetFunc = hostsim::getFunc;
    std::vector<hostsim::LoadedPlugin> plugins = hostsim::loadLinuxUserPlugins(
        resource, info, o.swell, swell ? swell->getFunc() : nullptr, host.registrations(), stdout);
    std::printf("hostsim: %zu plug-in(s) loaded after %zu function lookups\n", plugins.size(),
                host.lookups().size());
    for (const hostsim::ActionEntry& a : host.registrations().actions())
        std::printf("hostsim: registered action %d \"%s\"\n", a.command, a.name.c_str());
    const reaper_csurf_reg_t* type = host.registrations().surfaceType("CC121");
    int failures = report(type && type->desc_string && std::strcmp(type->desc_string, "Steinberg CC121") == 0,
                          "registered csurf type \"CC121\" (\"Steinberg CC121\")");
    if (!type)
        return failures;

    if (o.configPage)
        failures += hostsim::configPageRoundTrip(*type, o.swell == hostsim::SwellHandover::Getter, stdout);

    IReaperControlSurface* surface = nullptr;
    if (o.tour || o.unloadWithSurface) {
        int errors = 0;
        // A surface the host destroys itself; the one left alive at unload is never the host's to destroy.
        surface = o.tour ? host.createSurface("CC121", "0 31 0 0 0 0 10", &errors)
                         : type->create("CC121", "0 31 0 0 0 0 10", &errors);
        failures += report(surface && errors == 0, "the plug-in creates a surface on both ports");
        if (surface)
            host.surfaces().add(surface);
    }
    const auto runOnce = [&] {
        surface->Run();
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
    };
    if (surface && o.tour) {
        failures += hostsim::playScriptedTour(host, runOnce, stdout);
        std::printf("\n== the host destroys the surface\n");
        host.destroySurface(surface);
        surface = nullptr;
        failures += hostsim::checkWireAfterSurface(host, stdout);
        failures +=
            report(host.midi().liveDevices() == 0, "the surface gave both MIDI devices back (Destroy)");
    }
    if (surface && o.unloadWithSurface) {
        for (int i = 0; i < 15; ++i)
            runOnce();
        // A lamp to send, so the surface's worker is in the middle of its gap when the library goes.
        host.midi().fake()->input(0)->inject({0x90, 0x5E, 0x7F});
        surface->Run();
        std::printf("\n== the host unloads the plug-ins while the surface lives and its output is busy\n");
        host.surfaces().remove(surface);
        g_abandonedSurface = surface;
    }

    const hostsim::UnloadReport unload = hostsim::unloadLinuxUserPlugins(plugins, host.registrations());
    if (g_abandonedSurface) // a worker still running would now return into unmapped code
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (const std::string& left : unload.leftBehind)
        std::printf("hostsim: still registered after unloading: %s\n", left.c_str());
    failures += report(unload.leftBehind.empty(), "the plug-in withdrew its actions and hooks at unload");
    failures += report(unload.stillMapped == 0, "every plug-in library is unmapped after dlclose");
    if (!host.console().empty())
        std::printf("hostsim: the console holds:\n%s", host.console().c_str());
    std::printf("hostsim: %d check(s) failed\n", failures);
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Options options;
    if (!parse(argc, argv, options)) {
        std::printf(
            "usage: hostsim [--resource-folder DIR] [--swell PATH] [--swell-handover getter|null|none] "
            "[--config-page] [--tour] [--unload-with-surface]\n");
        return 2;
    }
    return run(options);
}
