// hostsim.exe: loads control-surface plug-ins exactly as REAPER does (every reaper_*.dll in the resource
// folder's UserPlugins, LoadLibrary, ReaperPluginEntry with a real GetFunc and Register) against the
// simulated project, and reports what they registered. With --run it also creates a CC121 surface on the
// system's MIDI ports, calls Run of every surface about 30 times a second from a message loop, and prints
// every host action the surfaces make and everything written to the host's console ("console| ...").
//
//   hostsim.exe [--resource-folder DIR] [--program-folder DIR] [--run] [--in NAME] [--out NAME]
//               [--config TEXT] [--seconds N] [--demo-project] [--list-ports] [--stop-file PATH]
//               [--show-config] [--report-file PATH] [--control-file PATH] [--ready-log PATH]
//
// --report-file: whenever that file appears, the gaps kept on the MIDI output so far are printed and the
// file is removed (they are printed anyway when the surface is destroyed).
// --control-file: whenever that file appears, each of its lines is carried out as the host's user would,
// and the file is removed (see control.h).
// --ready-log: each host-ready message that left appends its wall-clock time (Unix ms) to that file.
//
// The resource folder (GetResourcePath) defaults to "resource" beside the folder of hostsim.exe, where the
// build lays one out; the program folder (GetExePath) to the folder of hostsim.exe, as REAPER's is its own.
#include "demo_project.h"
#include "host_windows.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/control.h"
#include "hostsim/model/host.h"
#include "plugin_loader_win32.h"
#include "winmm_midi_win32.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options {
    bool run = false;
    bool demoProject = false;
    bool listPorts = false;
    bool showConfig = false;
    std::string in, out, config, resourceFolder, programFolder, stopFile, reportFile, controlFile, readyLog;
    double seconds = 0; // 0: until Ctrl+C
};

volatile LONG g_stop = 0;

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
        else if (a == "--resource-folder" || a == "--program-folder" || a == "--in" || a == "--out" ||
                 a == "--config" || a == "--stop-file" || a == "--report-file" || a == "--control-file" ||
                 a == "--ready-log") {
            std::string& target = a == "--resource-folder"  ? o.resourceFolder
                                  : a == "--program-folder" ? o.programFolder
                                  : a == "--in"             ? o.in
                                  : a == "--out"            ? o.out
                                  : a == "--config"         ? o.config
                                  : a == "--stop-file"      ? o.stopFile
                                  : a == "--control-file"   ? o.controlFile
                                  : a == "--report-file"    ? o.reportFile
                                                            : o.readyLog;
            if (!value(target))
                return false;
        } else if (a == "--seconds") {
            if (!value(number))
                return false;
            o.seconds = std::atof(number.c_str());
        } else
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

// Prints host actions logged since `from`, and returns the new end. What goes to the console is printed
// as the console shows it (printConsole).
std::size_t printActions(hostsim::Host& host, std::size_t from, DWORD startMs) {
    const auto& entries = host.log().entries();
    for (std::size_t i = from; i < entries.size(); ++i)
        if (entries[i].kind == hostsim::CallKind::Action && entries[i].text.rfind("ShowConsoleMsg(", 0) != 0)
            std::printf("[%7.3f] %s\n", (GetTickCount() - startMs) / 1000.0,
                        withDecibels(entries[i].text).c_str());
    return entries.size();
}

// The console's new text since `from`, one "console| " line per line; returns the new end.
std::size_t printConsole(const hostsim::Host& host, std::size_t from) {
    const std::string& text = host.console();
    while (from < text.size()) {
        const std::size_t end = text.find('\n', from);
        const std::size_t stop = end == std::string::npos ? text.size() : end;
        std::printf("console| %s\n", text.substr(from, stop - from).c_str());
        from = stop + 1;
    }
    return text.size();
}

bool fileExists(const std::string& path) {
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool stopRequested(const Options& o) {
    return fileExists(o.stopFile);
}

void printWireGaps() {
    std::printf("hostsim: wire gaps: %s\n", hostsim::wireGapSummary().c_str());
}

int runSurface(hostsim::Host& host, const Options& o) {
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
    IReaperControlSurface* surface = host.createSurface("CC121", config.c_str(), &errors);
    if (!surface) {
        std::printf("hostsim: the plug-in created no surface from \"%s\"\n", config.c_str());
        return 1;
    }
    std::printf("hostsim: surface \"%s\" from \"%s\" (error flags %d)\n", surface->GetDescString(),
                config.c_str(), errors);

    SetConsoleCtrlHandler(onConsoleCtrl, TRUE);
    const DWORD start = GetTickCount();
    std::size_t printed = printActions(host, 0, start);
    std::size_t console = printConsole(host, 0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 33, nullptr);
    MSG msg;
    while (!g_stop && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) {
            // As REAPER does: every surface, each tick, whichever were made again meanwhile.
            host.surfaces().forEach(nullptr, [](IReaperControlSurface& s) { s.Run(); });
            if (fileExists(o.controlFile))
                hostsim::carryOutControlFile(host, o.controlFile, stdout);
            printed = printActions(host, printed, start);
            console = printConsole(host, console);
            if (fileExists(o.reportFile)) {
                printWireGaps();
                DeleteFileA(o.reportFile.c_str());
            }
            if ((o.seconds > 0 && (GetTickCount() - start) / 1000.0 >= o.seconds) || stopRequested(o))
                break;
        }
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, timer);
    host.destroyAllSurfaces();
    printActions(host, printed, start);
    printConsole(host, console);
    std::printf("hostsim: surface destroyed\n");
    printWireGaps();
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

// The folder of hostsim.exe, without a trailing separator.
std::string programFolder() {
    char path[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n < MAX_PATH ? n : 0);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

int run(const Options& o) {
    hostsim::Host host;
    hostsim::CurrentHost current(host);
    const std::string program = o.programFolder.empty() ? programFolder() : o.programFolder;
    const std::string resource = o.resourceFolder.empty() ? program + "\\..\\resource" : o.resourceFolder;
    host.setExePath(program);
    host.setResourcePath(resource);
    if (o.demoProject)
        hostsim::buildDemoProject(host);
    if (o.run || o.listPorts || o.showConfig)
        hostsim::useWindowsMidi(host);
    hostsim::setReadyLog(o.readyLog);
    if (o.run)
        hostsim::defineWindowActions(host);
    if (o.listPorts) {
        for (const auto& name : hostsim::windowsMidiInputs())
            std::printf("input: %s\n", name.c_str());
        for (const auto& name : hostsim::windowsMidiOutputs())
            std::printf("output: %s\n", name.c_str());
    }

    reaper_plugin_info_t info{};
    info.caller_version = kReaperPluginVersion;
    info.Register = hostsim::registerFunc;
    info.GetFunc = hostsim::getFunc;
    std::vector<hostsim::LoadedPlugin> plugins =
        hostsim::loadUserPlugins(resource, info, stdout, &host.registrations());
    std::printf("hostsim: %zu plug-in(s) loaded after %zu function lookups\n", plugins.size(),
                host.lookups().size());
    printConsole(host, 0);
    for (const reaper_csurf_reg_t& type : host.registrations().surfaceTypes())
        std::printf("hostsim: registered csurf type \"%s\" (\"%s\")\n", orNull(type.type_string),
                    orNull(type.desc_string));
    for (const hostsim::ActionEntry& a : host.registrations().actions())
        std::printf("hostsim: registered action %d \"%s\"\n", a.command, a.name.c_str());
    const reaper_csurf_reg_t* surfaceType = host.registrations().surfaceType("CC121");

    int exitCode = surfaceType ? 0 : 1;
    if (surfaceType && o.showConfig)
        exitCode = showConfigPage(*surfaceType, o);
    if (surfaceType && o.run)
        exitCode = runSurface(host, o);

    hostsim::unloadUserPlugins(plugins);
    // The host itself drops surface types; everything else an extension must withdraw when it goes.
    for (const std::string& left : host.registrations().held())
        if (left.rfind("csurf ", 0) != 0)
            std::printf("hostsim: still registered after unloading: %s\n", left.c_str());
    return exitCode;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Options options;
    if (!parse(argc, argv, options)) {
        std::printf("usage: hostsim [--resource-folder DIR] [--program-folder DIR] [--run] [--in NAME] "
                    "[--out NAME] [--config TEXT] [--seconds N] [--demo-project] [--list-ports] "
                    "[--stop-file PATH] [--show-config] [--report-file PATH] [--control-file PATH] "
                    "[--ready-log PATH]\n");
        return 2;
    }
    return run(options);
}
