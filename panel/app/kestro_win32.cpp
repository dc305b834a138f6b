// kestro.exe: the program entry. The command line is not read.
#include "main_window_win32.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>

// The 32-bit build must do its double maths in SSE2, as the tested 64-bit build does (see CMakeLists.txt).
#if defined(__i386__) && (!defined(__SSE2_MATH__) || __FLT_EVAL_METHOD__ != 0)
#error "the 32-bit panel needs -msse2 -mfpmath=sse"
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    orvel::init_module(instance);
    // The Options dialog's up-down control needs the common controls before any dialog shows.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    auto window = std::make_unique<kestro::CMainWindow>();
    if (!window->start(show))
        return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    window.reset();
    return 0;
}
