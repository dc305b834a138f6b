// The framework's module state and class registration.
#include "window_impl.h"

namespace orvel {
namespace {

HINSTANCE g_module = nullptr;
HINSTANCE g_resources = nullptr;

} // namespace

void init_module(HINSTANCE instance) noexcept {
    g_module = instance;
    g_resources = instance;
}

HINSTANCE module_instance() noexcept {
    return g_module != nullptr ? g_module : ::GetModuleHandleA(nullptr);
}

HINSTANCE resource_instance() noexcept {
    return g_resources != nullptr ? g_resources : module_instance();
}

void set_resource_instance(HINSTANCE instance) noexcept {
    g_resources = instance;
}

ATOM RegisterWindowClass(const CWndClassInfo& info, WNDPROC procedure) noexcept {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = info.style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = module_instance();
    wc.hCursor = info.cursor != nullptr ? ::LoadCursorA(nullptr, info.cursor) : nullptr;
    wc.hbrBackground = info.background;
    wc.lpszClassName = info.name;
    return ::RegisterClassExA(&wc);
}

} // namespace orvel
