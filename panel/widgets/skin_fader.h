#pragma once
// The panel's fader: a slot picture with a cap blended over it. A left press grabs the cap where it is and
// posts code 0; vertical moves post code 2 after changing value; the release posts code 1.

#include "fader_motion.h"
#include "skin_places.h"
#include "skin_widget.h"

namespace orvel {

class CSkinFaderWindow : public CWindowImpl<CSkinFaderWindow, CWindow, CSkinWidgetTraits>,
                         public fader_motion {
public:
    gravo::surface_t back;  // composition buffer of the track's size; exists only if track loaded
    gravo::surface_t track; // resource 116
    gravo::surface_t cap;   // resource 120, with transparency
    // dragging, value and last_y come from fader_motion.

    static const CWndClassInfo& GetWndClassInfo() noexcept;

    // Always at (39, 68), 59 x 360, control id 3944.
    HWND create(HWND parent) noexcept;
    // Clamped to 0..1 and repainted (even when unchanged); ignored during a drag.
    void set_value(double new_value) noexcept;

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void paint() noexcept;
};

} // namespace orvel
