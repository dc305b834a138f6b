// hostsim.exe: loads a control-surface plug-in exactly as REAPER does (LoadLibrary, ReaperPluginEntry with a
// real GetFunc and Register) against the simulated project, and reports what the plug-in registered.
// With --run it also creates a surface on the system's MIDI ports, calls its Run about 30 times a second
// from a message loop, and prints every host action the surface makes.
//
//   hostsim.exe [--plugin PATH] [--run] [--in NAME] [--out NAME] [--config TEXT] [--seconds N]
//               [--exe-path DIR] [--demo-project] [--list-ports] [--stop-file PATH] [--show-config]
#include "demo_project.h"
#include "host_windows_win32.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "winmm_midi_win32.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using EntryProc = int (*)(HINSTANCE, reaper_plugin_info_t*);

struct Options {
    std::string plugin = "tamsel.dll";
    bool run = false;
    bool demoProject = false;
    bool listPorts = false;
    bool showConfig = false;
    std::string in, out, config, exePath, stopFile;
    double seconds = 0; // 0: until Ctrl+C
};

struct Registered {
    std::string kind;
    reaper_csurf_reg_t surface{};
};
std::vector<Registered> g_registered;
volatile LONG g_stop = 0;

int registerCallback(const char* name, void* info) {
    if (!name)
        return 0;
    Registered r;
    r.kind = name;
    if (r.kind == "csurf" && info)
        r.surface = *static_cast<reaper_csurf_reg_t*>(info);
    g_registered.push_back(r);
    return 1;
}

BOOL WINAPI onConsoleCtrl(DWORD) {
    InterlockedExchange(&g_stop, 1);
    return TRUE;
}

const char* orNull(const char* s) {
    return s ? s : "(null)";
}

int indexOf(const std::vector<std::string>& names, const std::string& wanted) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == wanted)
            return static_cast<int>(i);
    return -1;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc)
                return false;
            into = argv[++i];
            return true;
        };
        std::string number;
        if (a == "--run")
            o.run = true;
        else if (a == "--demo-project")
            o.demoProject = true;
        else if (a == "--list-ports")
            o.listPorts = true;
        else if (a == "--show-config")
            o.showConfig = true;
        else if (a == "--plugin" || a == "--in" || a == "--out" || a == "--config" || a == "--exe-path" ||
                 a == "--stop-file") {
            std::string& target = a == "--plugin"      ? o.plugin
                                  : a == "--in"        ? o.in
                                  : a == "--out"       ? o.out
                                  : a == "--config"    ? o.config
                                  : a == "--stop-file" ? o.stopFile
                                                       : o.exePath;
            if (!value(target))
                return false;
        } else if (a == "--seconds") {
            if (!value(number))
                return false;
            o.seconds = std::atof(number.c_str());
        } else if (a.rfind("--", 0) != 0)
            o.plugin = a; // the plug-in path alone, as in the first versions
        else
            return false;
    }
    return true;
}

// A volume change reads better in decibels: "... -> 0.501187" gets " (-6.00 dB)".
std::string withDecibels(const std::string& line) {
    if (line.find("Volume") == std::string::npos)
        return line;
    const std::size_t arrow = line.rfind("-> ");
    if (arrow == std::string::npos)
        return line;
    const double volume = std::atof(line.c_str() + arrow + 3);
    char db[32];
    if (volume > 0)
        std::snprintf(db, sizeof db, " (%.2f dB)", 20.0 * std::log10(volume));
    else
        std::snprintf(db, sizeof db, " (-inf dB)");
    return line + db;
}

// Prints host actions logged since `from`, and returns the new end.
std::size_t printActions(hostsim::Host& host, std::size_t from, DWORD startMs) {
    const auto& entries = host.log().entries();
    for (std::size_t i = from; i < entries.size(); ++i)
        if (entries[i].kind == hostsim::CallKind::Action)
            std::printf("[%7.3f] %s\n", (GetTickCount() - startMs) / 1000.0,
                        withDecibels(entries[i].text).c_str());
    return entries.size();
}

bool stopRequested(const Options& o) {
    return !o.stopFile.empty() && GetFileAttributesA(o.stopFile.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int runSurface(hostsim::Host& host, const reaper_csurf_reg_t& reg, const Options& o) {
    std::string config = o.config;
    if (config.empty()) {
        const int in = o.in.empty() ? -1 : indexOf(hostsim::windowsMidiInputs(), o.in);
        const int out = o.out.empty() ? -1 : indexOf(hostsim::windowsMidiOutputs(), o.out);
        if (!o.in.empty() && in < 0)
            std::printf("hostsim: no MIDI input named \"%s\"\n", o.in.c_str());
        if (!o.out.empty() && out < 0)
            std::printf("hostsim: no MIDI output named \"%s\"\n", o.out.c_str());
        config = "0 31 " + std::to_string(in) + " " + std::to_string(out) + " 0 0 10";
    }
    int errors = 0;
    IReaperControlSurface* surface = reg.create ? reg.create("CC121", config.c_str(), &errors) : nullptr;
    if (!surface) {
        std::printf("hostsim: the plug-in created no surface from \"%s\"\n", config.c_str());
        return 1;
    }
    std::printf("hostsim: surface \"%s\" from \"%s\" (error flags %d)\n", surface->GetDescString(),
                config.c_str(), errors);
    host.surfaces().add(surface);

    SetConsoleCtrlHandler(onConsoleCtrl, TRUE);
    const DWORD start = GetTickCount();
    std::size_t printed = printActions(host, 0, start);
    const UINT_PTR timer = SetTimer(nullptr, 0, 33, nullptr);
    MSG msg;
    while (!g_stop && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) {
            surface->Run();
            printed = printActions(host, printed, start);
            if ((o.seconds > 0 && (GetTickCount() - start) / 1000.0 >= o.seconds) || stopRequested(o))
                break;
        }
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, timer);
    host.surfaces().remove(surface);
    surface->msvcDeletingDestructor(1); // REAPER's delete
    printActions(host, printed, start);
    std::printf("hostsim: surface destroyed\n");
    return 0;
}

// Shows the plug-in's configuration page inside a window standing in for the host's preferences, until the
// window is closed or --seconds pass; prints the configuration string the page then hands back.
int showConfigPage(const reaper_csurf_reg_t& reg, const Options& o) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "hostsim::Preferences";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, wc.lpszClassName, "REAPER Preferences - Control/OSC/web",
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 560, 260, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    const std::string config = o.config.empty() ? "0 31 0 1 1 0 10" : o.config;
    HWND page = reg.ShowConfig ? reg.ShowConfig("CC121", frame, config.c_str()) : nullptr;
    if (!page) {
        std::printf("hostsim: the plug-in showed no configuration page\n");
        DestroyWindow(frame);
        return 1;
    }
    // The host places the page in its preferences itself, whatever the template says.
    SetWindowPos(page, nullptr, 12, 12, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(page, SW_SHOW);
    ShowWindow(frame, SW_SHOW);
    const DWORD start = GetTickCount();
    MSG msg;
    while (IsWindow(frame) && (o.seconds <= 0 || (GetTickCount() - start) / 1000.0 < o.seconds)) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(page, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(20);
    }
    char result[1024] = "";
    SendMessageA(page, WM_USER + 1024, sizeof result, reinterpret_cast<LPARAM>(result));
    std::printf("hostsim: the page hands back \"%s\"\n", result);
    DestroyWindow(frame);
    return 0;
}

int run(const Options& o) {
    hostsim::Host host;
    hostsim::CurrentHost current(host);
    if (!o.exePath.empty())
        host.setExePath(o.exePath);
    if (o.demoProject)
        hostsim::buildDemoProject(host);
    if (o.run || o.listPorts || o.showConfig)
        hostsim::useWindowsMidi(host);
    if (o.run)
        hostsim::defineWindowActions(host);
    if (o.listPorts) {
        for (const auto& name : hostsim::windowsMidiInputs())
            std::printf("input: %s\n", name.c_str());
        for (const auto& name : hostsim::windowsMidiOutputs())
            std::printf("output: %s\n", name.c_str());
    }

    HMODULE module = LoadLibraryA(o.plugin.c_str());
    if (!module) {
        std::printf("hostsim: cannot load %s (error %lu)\n", o.plugin.c_str(), GetLastError());
        return 2;
    }
    auto entry =
        reinterpret_cast<EntryProc>(reinterpret_cast<void*>(GetProcAddress(module, "ReaperPluginEntry")));
    if (!entry) {
        std::printf("hostsim: %s has no ReaperPluginEntry\n", o.plugin.c_str());
        FreeLibrary(module);
        return 2;
    }

    reaper_plugin_info_t info{};
    info.caller_version = kReaperPluginVersion;
    info.Register = registerCallback;
    info.GetFunc = hostsim::getFunc;
    const int result = entry(reinterpret_cast<HINSTANCE>(module), &info);
    std::printf("hostsim: ReaperPluginEntry returned %d after %zu function lookups\n", result,
                host.lookups().size());
    const reaper_csurf_reg_t* surfaceType = nullptr;
    for (const Registered& r : g_registered) {
        if (r.kind == "csurf") {
            std::printf("hostsim: registered csurf type \"%s\" (\"%s\")\n", orNull(r.surface.type_string),
                        orNull(r.surface.desc_string));
            surfaceType = &r.surface;
        } else {
            std::printf("hostsim: registered %s\n", r.kind.c_str());
        }
    }

    int exitCode = result == 1 ? 0 : 1;
    if (result == 1 && o.showConfig && surfaceType)
        exitCode = showConfigPage(*surfaceType, o);
    if (result == 1 && o.run && surfaceType)
        exitCode = runSurface(host, *surfaceType, o);

    entry(nullptr, nullptr); // the host's unload call
    FreeLibrary(module);
    return exitCode;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Options options;
    if (!parse(argc, argv, options)) {
        std::printf("usage: hostsim [--plugin PATH] [--run] [--in NAME] [--out NAME] [--config TEXT] "
                    "[--seconds N] [--exe-path DIR] [--demo-project] [--list-ports] [--stop-file PATH] "
                    "[--show-config]\n");
        return 2;
    }
    return run(options);
}
