#pragma once
// The panel's skin images and the place of every widget on the face. The art generator (art/) reads this
// file too, so the pictures, the program and the tests agree on every size, frame and position.

#include <array>

namespace kestro::skins {

inline constexpr int icon_id = 101;
inline constexpr int face_id = 102;
inline constexpr int fader_track_id = 116;
inline constexpr int fader_cap_id = 120;
inline constexpr int light_id = 140;

inline constexpr int face_width = 750;
inline constexpr int face_height = 480;

enum class image_kind { face, button, encoder, fader_track, fader_cap, light };

// One PNG resource. Frames lie side by side, left to right: a button's are idle, pressed, lit, lit and
// pressed; the light's dark, lit.
struct image_t {
    int id;
    image_kind kind;
    int frame_width;
    int frame_height;
    int frames;
    bool alpha;       // carries transparency; only the fader cap, which is blended over the track
    bool lamp;        // a button whose lit frames differ from its idle ones
    const char* file; // name under panel/res
};

// clang-format off
inline constexpr std::array<image_t, 43> images = {{
    {102, image_kind::face,        750, 480, 1, false, false, "102_face.png"},
    {103, image_kind::button,       48,  38, 4, false, true,  "103_function1.png"},
    {104, image_kind::button,       48,  38, 4, false, false, "104_to_end.png"},
    {105, image_kind::button,       48,  38, 4, false, true,  "105_band_on1.png"},
    {106, image_kind::button,       48,  38, 4, false, true,  "106_rec_arm.png"},
    {107, image_kind::button,       48,  38, 4, false, true,  "107_function2.png"},
    {108, image_kind::encoder,      42,  42, 1, false, false, "108_eq_knob.png"},
    {109, image_kind::button,       48,  38, 4, false, true,  "109_band_on2.png"},
    {110, image_kind::button,       48,  38, 4, false, false, "110_rewind.png"},
    {111, image_kind::button,       48,  38, 4, false, true,  "111_function3.png"},
    {112, image_kind::button,       48,  38, 4, false, true,  "112_eq_type.png"},
    {113, image_kind::button,       48,  38, 4, false, true,  "113_monitor.png"},
    {114, image_kind::button,       48,  38, 4, false, true,  "114_setup.png"},
    {115, image_kind::button,       48,  38, 4, false, true,  "115_function4.png"},
    {116, image_kind::fader_track,  59, 360, 1, false, false, "116_fader_track.png"},
    {117, image_kind::button,       48,  38, 4, false, true,  "117_mute.png"},
    {118, image_kind::button,       48,  38, 4, false, true,  "118_solo.png"},
    {119, image_kind::button,       48,  38, 4, false, true,  "119_about.png"},
    {120, image_kind::fader_cap,    59,  95, 1, true,  false, "120_fader_cap.png"},
    {121, image_kind::button,       48,  38, 4, false, false, "121_channel_right.png"},
    {122, image_kind::button,       48,  38, 4, false, false, "122_to_start.png"},
    {123, image_kind::encoder,      70,  70, 1, false, false, "123_ai_knob.png"},
    {124, image_kind::button,       48,  38, 4, false, false, "124_foot_switch.png"},
    {125, image_kind::encoder,      42,  42, 1, false, false, "125_pan_knob.png"},
    {126, image_kind::button,       48,  38, 4, false, false, "126_stop.png"},
    {127, image_kind::button,       48,  38, 4, false, true,  "127_all_bypass.png"},
    {128, image_kind::button,       48,  38, 4, false, false, "128_forward.png"},
    {129, image_kind::button,       48,  38, 4, false, true,  "129_play.png"},
    {130, image_kind::encoder,      42,  42, 1, false, false, "130_value_knob.png"},
    {131, image_kind::button,       48,  38, 4, false, true,  "131_always_on_top.png"},
    {132, image_kind::button,       48,  38, 4, false, true,  "132_band_on4.png"},
    {133, image_kind::button,       48,  38, 4, false, false, "133_channel_left.png"},
    {134, image_kind::button,       48,  38, 4, false, true,  "134_fx.png"},
    {135, image_kind::button,       48,  38, 4, false, true,  "135_band_on3.png"},
    {136, image_kind::button,       48,  38, 4, false, true,  "136_read.png"},
    {137, image_kind::button,       48,  38, 4, false, true,  "137_write.png"},
    {138, image_kind::button,       48,  38, 4, false, true,  "138_cycle.png"},
    {139, image_kind::button,       58,  53, 4, false, true,  "139_jog.png"},
    {140, image_kind::light,        20,  20, 2, false, false, "140_listener_ready.png"},
    {141, image_kind::button,       48,  38, 4, false, true,  "141_routing.png"},
    {142, image_kind::button,       58,  53, 4, false, true,  "142_lock.png"},
    {143, image_kind::button,       48,  38, 4, false, true,  "143_record.png"},
    {144, image_kind::button,       48,  38, 4, false, false, "144_value_button.png"},
}};
// clang-format on

// The image of `id`, or null when the panel has none.
constexpr const image_t* find_image(int id) {
    for (const image_t& image : images) {
        if (image.id == id) {
            return &image;
        }
    }
    return nullptr;
}

enum class widget_kind { light, button, fader, encoder };

// One child widget of the main window, in creation order. (x, y) is the top-left corner in client pixels.
// The fader's image is its track; its cap is fader_cap_id.
struct widget_t {
    widget_kind kind;
    int control_id; // 0 for the light, which has none
    int x;
    int y;
    int width;
    int height;
    int image;
};

// clang-format off
inline constexpr std::array<widget_t, 52> widgets = {{
    {widget_kind::light,   0,      663,  53, 20,  20, 140}, //  1 Listener Ready
    {widget_kind::button,  0x0F3B, 112,  45, 48,  38, 124}, //  2 Foot Switch
    {widget_kind::button,  0x0F10, 112, 158, 48,  38, 117}, //  3 Mute
    {widget_kind::button,  0x0F78, 170, 183, 48,  38, 113}, //  4 Monitor
    {widget_kind::button,  0x0F08, 112, 206, 48,  38, 118}, //  5 Solo
    {widget_kind::button,  0x0F00, 170, 231, 48,  38, 106}, //  6 Rec Arm
    {widget_kind::button,  0x0F4A, 112, 254, 48,  38, 136}, //  7 Read
    {widget_kind::button,  0x0F33, 170, 279, 48,  38, 141}, //  8 Routing
    {widget_kind::button,  0x0F4B, 112, 302, 48,  38, 137}, //  9 Write
    {widget_kind::button,  0x0F79, 170, 327, 48,  38, 134}, // 10 FX
    {widget_kind::button,  0x0F30, 112, 387, 48,  38, 133}, // 11 Channel Left
    {widget_kind::button,  0x0F31, 170, 387, 48,  38, 121}, // 12 Channel Right
    {widget_kind::button,  0x0F70, 249, 230, 48,  38, 105}, // 13 Band On 1
    {widget_kind::button,  0x0F71, 316, 230, 48,  38, 109}, // 14 Band On 2
    {widget_kind::button,  0x0F72, 383, 230, 48,  38, 135}, // 15 Band On 3
    {widget_kind::button,  0x0F73, 450, 230, 48,  38, 132}, // 16 Band On 4
    {widget_kind::button,  0x0F74, 249, 279, 48,  38, 112}, // 17 EQ Type
    {widget_kind::button,  0x0F75, 450, 279, 48,  38, 127}, // 18 All Bypass
    {widget_kind::button,  0x0F58, 260, 338, 48,  38, 122}, // 19 To Start
    {widget_kind::button,  0x0F5B, 319, 338, 48,  38, 110}, // 20 Rewind
    {widget_kind::button,  0x0F5C, 378, 338, 48,  38, 128}, // 21 Forward
    {widget_kind::button,  0x0F5A, 437, 338, 48,  38, 104}, // 22 To End
    {widget_kind::button,  0x0F56, 260, 387, 48,  38, 138}, // 23 Cycle
    {widget_kind::button,  0x0F5D, 319, 387, 48,  38, 126}, // 24 Stop
    {widget_kind::button,  0x0F5E, 378, 387, 48,  38, 129}, // 25 Play
    {widget_kind::button,  0x0F5F, 437, 387, 48,  38, 143}, // 26 Record
    {widget_kind::button,  0x0F3A, 601,  45, 48,  38, 144}, // 27 Value Button
    {widget_kind::button,  0x0F36, 529, 109, 48,  38, 103}, // 28 Function Button 1
    {widget_kind::button,  0x0F37, 577, 109, 48,  38, 107}, // 29 Function Button 2
    {widget_kind::button,  0x0F38, 625, 109, 48,  38, 111}, // 30 Function Button 3
    {widget_kind::button,  0x0F39, 673, 109, 48,  38, 115}, // 31 Function Button 4
    {widget_kind::button,  0x0F77, 557, 196, 58,  53, 142}, // 32 Lock
    {widget_kind::button,  0x0F76, 644, 196, 58,  53, 139}, // 33 Jog
    {widget_kind::button,  0x0FF0, 529, 387, 48,  38, 131}, // 34 panel: always on top
    {widget_kind::button,  0x0FF1, 625, 387, 48,  38, 114}, // 35 panel: Options dialog
    {widget_kind::button,  0x0FF2, 673, 387, 48,  38, 119}, // 36 panel: About box
    {widget_kind::fader,   0x0F68,  39,  68, 59, 360, 116}, // 37 fader (cap: fader_cap_id)
    {widget_kind::encoder, 0x0E10, 115, 108, 42,  42, 125}, // 38 Pan
    {widget_kind::encoder, 0x0E20, 252,  43, 42,  42, 108}, // 39 Q, LOW
    {widget_kind::encoder, 0x0E21, 319,  43, 42,  42, 108}, // 40 Q, LOW MID
    {widget_kind::encoder, 0x0E22, 386,  43, 42,  42, 108}, // 41 Q, HIGH MID
    {widget_kind::encoder, 0x0E23, 453,  43, 42,  42, 108}, // 42 Q, HIGH
    {widget_kind::encoder, 0x0E30, 252, 108, 42,  42, 108}, // 43 F, LOW
    {widget_kind::encoder, 0x0E31, 319, 108, 42,  42, 108}, // 44 F, LOW MID
    {widget_kind::encoder, 0x0E32, 386, 108, 42,  42, 108}, // 45 F, HIGH MID
    {widget_kind::encoder, 0x0E33, 453, 108, 42,  42, 108}, // 46 F, HIGH
    {widget_kind::encoder, 0x0E40, 252, 173, 42,  42, 108}, // 47 G, LOW
    {widget_kind::encoder, 0x0E41, 319, 173, 42,  42, 108}, // 48 G, LOW MID
    {widget_kind::encoder, 0x0E42, 386, 173, 42,  42, 108}, // 49 G, HIGH MID
    {widget_kind::encoder, 0x0E43, 453, 173, 42,  42, 108}, // 50 G, HIGH
    {widget_kind::encoder, 0x0E50, 532,  43, 42,  42, 130}, // 51 Value Encoder
    {widget_kind::encoder, 0x0E3C, 594, 263, 70,  70, 123}, // 52 AI knob
}};
// clang-format on

} // namespace kestro::skins
