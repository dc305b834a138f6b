#include "swell_host_posix.h"

#include "swell.h"

#include <cstring>
#include <vector>

#include <dlfcn.h>

// The host's copy of WDL's stub fills the host's SWELL function pointers, as the extensions' copies do
// theirs.
extern "C" int SWELL_dllMain(HINSTANCE, DWORD, LPVOID);

namespace hostsim {
namespace {

// Resource ids of the page (plugin/dialogs/config_page_resource.h), as the host sees the page's controls.
constexpr int kMidiInput = 1004;
constexpr int kMidiOutput = 1005;
constexpr int kSkipMarkers = 1006;
constexpr int kEncoderSpeed = 1009;
constexpr int kWrapChannels = 1010;
constexpr int kUseMcp = 1011;
constexpr int kAcceleration = 1012;
constexpr UINT kResultRequest = WM_USER + 1024;

INT_PTR preferencesProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

class Checks {
public:
    explicit Checks(std::FILE* out) : m_out(out) {}
    void operator()(bool passed, const std::string& what) {
        std::fprintf(m_out, "%s  %s\n", passed ? "PASS" : "FAIL", what.c_str());
        m_failures += passed ? 0 : 1;
    }
    int failures() const { return m_failures; }

private:
    std::FILE* m_out;
    int m_failures = 0;
};

std::string itemText(HWND page, int id) {
    char text[256] = "";
    GetDlgItemText(page, id, text, sizeof text);
    return text;
}

bool checked(HWND page, int id) {
    return SendMessage(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string selectedItem(HWND page, int id) {
    HWND list = GetDlgItem(page, id);
    const LRESULT place = SendMessage(list, CB_GETCURSEL, 0, 0);
    if (place < 0)
        return "(none)";
    char text[600] = "";
    SendMessage(list, CB_GETLBTEXT, static_cast<WPARAM>(place), reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace

// This SWELL never frees the state of a dialog's controls: DestroyWindow takes a window's procedure away
// before the last release would have it free its state (swell-wnd-generic.cpp). WDL's own leak, and the same
// inside REAPER; only allocations made while SWELL builds a dialog from its template are let through.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:SWELL_GenerateDialogFromList\n";
}

HostSwell::HostSwell(const std::string& path) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        m_error = dlerror();
        return;
    }
    auto getFunc = reinterpret_cast<SwellGetFunc>(dlsym(library, "SWELLAPI_GetFunc"));
    // A SWELL library answers 0x100 to the null name.
    if (!getFunc || getFunc(nullptr) != reinterpret_cast<void*>(0x100)) {
        m_error = path + " is no SWELL library";
        return;
    }
    SWELL_dllMain(nullptr, DLL_PROCESS_ATTACH, reinterpret_cast<LPVOID>(getFunc));
    m_getFunc = getFunc;
}

int configPageRoundTrip(const reaper_csurf_reg_t& surface, bool pageExpected, std::FILE* out) {
    Checks check(out);
    if (!pageExpected) {
        const bool none = surface.ShowConfig && !surface.ShowConfig("CC121", nullptr, "");
        check(none, "without SWELL the extension offers no configuration page (ShowConfig returns null)");
        return check.failures();
    }
    HWND preferences = CreateDialogParam(nullptr, nullptr, nullptr, preferencesProc, 0);
    HWND page = surface.ShowConfig ? surface.ShowConfig("CC121", preferences, "1 50 1 0 0 1 120") : nullptr;
    check(page != nullptr && GetParent(page) == preferences,
          "ShowConfig creates the page as a child of the preferences window");
    if (!page) {
        DestroyWindow(preferences);
        return check.failures();
    }

    check(checked(page, kSkipMarkers) && !checked(page, kWrapChannels) && checked(page, kUseMcp) &&
              itemText(page, kEncoderSpeed) == "50" && itemText(page, kAcceleration) == "120" &&
              selectedItem(page, kMidiInput) == "CC121 In 2" &&
              selectedItem(page, kMidiOutput) == "CC121 Out",
          "the page shows the string it was given: \"1 50 1 0 0 1 120\"");

    SendMessage(GetDlgItem(page, kSkipMarkers), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessage(GetDlgItem(page, kWrapChannels), BM_SETCHECK, BST_CHECKED, 0);
    SetDlgItemText(page, kEncoderSpeed, "7"); // SWELL's edits take their text this way, not as WM_SETTEXT
    SetDlgItemText(page, kAcceleration, "300");
    SendMessage(GetDlgItem(page, kMidiInput), CB_SETCURSEL, 0, 0);  // "None"
    SendMessage(GetDlgItem(page, kMidiOutput), CB_SETCURSEL, 2, 0); // the second output

    // The host's buffer, with guard bytes behind the size it reports.
    const std::size_t size = 1024;
    std::vector<char> buffer(size + 16, '#');
    SendMessage(page, kResultRequest, size, reinterpret_cast<LPARAM>(buffer.data()));
    bool intact = true;
    for (std::size_t i = size; i < buffer.size(); ++i)
        intact = intact && buffer[i] == '#';
    const std::string result(buffer.data(), strnlen(buffer.data(), size));
    const std::string expected = "0 7 -1 1 1 1 200 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013";
    check(result == expected && intact,
          "WM_USER + 1024 hands back \"" + expected + "\" (got \"" + result + "\"), nothing past the buffer");

    DestroyWindow(preferences); // takes the page with it, as closing REAPER's preferences does
    return check.failures();
}

} // namespace hostsim
