#pragma once
// A push button drawn from a strip of four frames of its own size: idle, pressed, lit, lit and pressed.
// Left press and release post codes 0 and 1 (the mouse is captured between them; a release without its
// press posts nothing), a right click code 2.

#include "skin_widget.h"

namespace orvel {

class CSkinDumbButtonWindow : public CWindowImpl<CSkinDumbButtonWindow, CWindow, CSkinWidgetTraits> {
public:
    gravo::surface_t image;
    bool lit = false;     // lamp; set only by the parent
    bool pressed = false; // left button held on this widget

    static const CWndClassInfo& GetWndClassInfo() noexcept;

    // The window at (x, y) of parent, width x height, with image_id's strip; null on failure.
    HWND create(HWND parent, int x, int y, int width, int height, int control_id, int image_id) noexcept;
    // Repaints only a change, and only a shown window.
    void set_lit(bool on) noexcept;

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void paint() noexcept;
    void on_left_down() noexcept;
    void on_left_up() noexcept;
    void on_right_up() noexcept;
    void on_capture_changed(HWND gaining) noexcept;
    void end_press() noexcept;
};

} // namespace orvel
