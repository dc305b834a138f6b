#pragma once
// The Listener Ready light: a strip of two frames, dark and lit. It takes no input and posts nothing.

#include "skin_places.h"
#include "skin_widget.h"

namespace orvel {

class CSkinLEDWindow : public CWindowImpl<CSkinLEDWindow, CWindow, CSkinWidgetTraits> {
public:
    gravo::surface_t image; // dark frame, lit frame
    bool lit = false;       // set by the parent

    static const CWndClassInfo& GetWndClassInfo() noexcept;

    // Always at (663, 53), 20 x 20, image 140; it has no control id of its own.
    HWND create(HWND parent) noexcept;
    // Repaints only a change, and only a shown window.
    void set_lit(bool on) noexcept;

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace orvel
