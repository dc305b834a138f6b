#pragma once
// An endless encoder: one knob picture; a left drag reports vertical steps (code 2, the step in last_step)
// between code 0 at the press and code 1 at the release, and shows a turn indicator while it lasts.

#include "encoder_motion.h"
#include "skin_widget.h"

namespace orvel {

class CSkinDumbRotaryWindow : public CWindowImpl<CSkinDumbRotaryWindow, CWindow, CSkinWidgetTraits>,
                              public encoder_motion {
public:
    gravo::surface_t back;  // composition buffer of the window's size; exists only if image loaded
    gravo::surface_t image; // the knob, one frame
    // dragging, angle, last_y and last_step come from encoder_motion.

    static const CWndClassInfo& GetWndClassInfo() noexcept;

    HWND create(HWND parent, int x, int y, int width, int height, int control_id, int image_id) noexcept;

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void paint() noexcept;
};

} // namespace orvel
