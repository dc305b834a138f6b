// The committed skin pictures against the skins table: sizes, frames, transparency, lamps, the seams
// between widgets and face, the icon and the resource script. The table itself is checked against the
// controller's protocol and the geometry of the face.
#include "cc121_protocol.h"
#include "skins.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// Parameterised tests name the picture, not its bytes.
namespace kestro::skins {
void PrintTo(const image_t& image, std::ostream* os) {
    *os << image.file;
}
} // namespace kestro::skins

namespace {

using kestro::skins::image_kind;
using kestro::skins::image_t;
using kestro::skins::widget_kind;
using kestro::skins::widget_t;
namespace skins = kestro::skins;

const std::string res_dir = KESTRO_RES_DIR;

std::vector<unsigned char> read_file(const std::string& name) {
    std::ifstream in(res_dir + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct rgba_t {
    int r, g, b, a;
    bool operator==(const rgba_t& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

std::ostream& operator<<(std::ostream& os, const rgba_t& p) {
    return os << "rgba(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

// A decoded PNG: how the file stores its pixels, and the pixels as 8-bit RGBA.
struct picture_t {
    bool loaded = false;
    int width = 0;
    int height = 0;
    bool file_alpha = false;
    bool file_sixteen_bit = false;
    bool file_palette = false;
    std::vector<unsigned char> rgba;

    rgba_t at(int x, int y) const {
        const unsigned char* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

picture_t load(const std::string& name) {
    picture_t pic;
    const std::vector<unsigned char> data = read_file(name);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (data.empty() || !png_image_begin_read_from_memory(&image, data.data(), data.size())) {
        return pic;
    }
    pic.width = static_cast<int>(image.width);
    pic.height = static_cast<int>(image.height);
    pic.file_alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    pic.file_sixteen_bit = (image.format & PNG_FORMAT_FLAG_LINEAR) != 0;
    pic.file_palette = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    image.format = PNG_FORMAT_RGBA;
    pic.rgba.resize(PNG_IMAGE_SIZE(image));
    pic.loaded = png_image_finish_read(&image, nullptr, pic.rgba.data(), 0, nullptr) != 0;
    return pic;
}

// Pictures are decoded once; the tests look at them from many sides.
const picture_t& picture(const std::string& name) {
    static std::map<std::string, picture_t> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        it = cache.emplace(name, load(name)).first;
    }
    return it->second;
}

const picture_t& face() {
    return picture(skins::find_image(skins::face_id)->file);
}

// Mean brightness of one frame, as the strongest channel of each pixel: a red lamp counts as bright as a
// white one.
double mean_value(const picture_t& pic, int frame, int w, int h) {
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const rgba_t p = pic.at(frame * w + x, y);
            sum += std::max({p.r, p.g, p.b});
        }
    }
    return sum / (w * h);
}

bool frames_equal(const picture_t& pic, int a, int b, int w, int h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!(pic.at(a * w + x, y) == pic.at(b * w + x, y))) {
                return false;
            }
        }
    }
    return true;
}

// --- The table ------------------------------------------------------------------------------------------

TEST(SkinTable, ImageIdsAreExactly102To144) {
    std::set<int> ids;
    for (const image_t& image : skins::images) {
        EXPECT_TRUE(ids.insert(image.id).second) << "duplicate id " << image.id;
        EXPECT_EQ(skins::find_image(image.id), &image);
    }
    EXPECT_EQ(*ids.begin(), 102);
    EXPECT_EQ(*ids.rbegin(), 144);
    EXPECT_EQ(ids.size(), 43u);
    EXPECT_EQ(skins::find_image(skins::icon_id), nullptr);
    EXPECT_EQ(skins::find_image(145), nullptr);
}

TEST(SkinTable, FrameLayoutFollowsTheKind) {
    for (const image_t& image : skins::images) {
        SCOPED_TRACE(image.file);
        const int frames = image.kind == image_kind::button ? 4 : image.kind == image_kind::light ? 2 : 1;
        EXPECT_EQ(image.frames, frames);
        EXPECT_EQ(image.alpha, image.kind == image_kind::fader_cap);
        if (image.kind != image_kind::button) {
            EXPECT_FALSE(image.lamp);
        }
    }
    EXPECT_EQ(skins::find_image(skins::face_id)->frame_width, skins::face_width);
    EXPECT_EQ(skins::find_image(skins::face_id)->frame_height, skins::face_height);
    EXPECT_EQ(skins::find_image(skins::light_id)->frame_width, 20);
    EXPECT_EQ(skins::find_image(skins::fader_track_id)->frame_height, 360);
    EXPECT_EQ(skins::find_image(skins::fader_cap_id)->frame_height, 95);
    EXPECT_EQ(skins::find_image(skins::fader_cap_id)->frame_width,
              skins::find_image(skins::fader_track_id)->frame_width);
}

TEST(SkinTable, EveryWidgetDrawsFromAnImageOfItsKindAndSize) {
    std::set<int> used;
    for (const widget_t& w : skins::widgets) {
        SCOPED_TRACE(testing::Message() << "widget at (" << w.x << ", " << w.y << ")");
        const image_t* image = skins::find_image(w.image);
        ASSERT_NE(image, nullptr);
        const image_kind want = w.kind == widget_kind::button    ? image_kind::button
                                : w.kind == widget_kind::encoder ? image_kind::encoder
                                : w.kind == widget_kind::light   ? image_kind::light
                                                                 : image_kind::fader_track;
        EXPECT_EQ(image->kind, want);
        EXPECT_EQ(image->frame_width, w.width);
        EXPECT_EQ(image->frame_height, w.height);
        used.insert(w.image);
    }
    used.insert(skins::face_id);
    used.insert(skins::fader_cap_id);
    EXPECT_EQ(used.size(), skins::images.size()) << "an image that no widget uses";
}

TEST(SkinTable, WidgetsLieOnTheFaceWithoutOverlapping) {
    for (std::size_t i = 0; i < skins::widgets.size(); ++i) {
        const widget_t& a = skins::widgets[i];
        EXPECT_GE(a.x, 0);
        EXPECT_GE(a.y, 0);
        EXPECT_LE(a.x + a.width, skins::face_width);
        EXPECT_LE(a.y + a.height, skins::face_height);
        for (std::size_t j = i + 1; j < skins::widgets.size(); ++j) {
            const widget_t& b = skins::widgets[j];
            const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                               b.y + b.height <= a.y;
            EXPECT_TRUE(apart) << "rows " << i + 1 << " and " << j + 1 << " overlap";
        }
    }
}

TEST(SkinTable, CountsAndCreationOrder) {
    std::map<widget_kind, int> count;
    for (const widget_t& w : skins::widgets) {
        ++count[w.kind];
    }
    EXPECT_EQ(count[widget_kind::light], 1);
    EXPECT_EQ(count[widget_kind::button], 35);
    EXPECT_EQ(count[widget_kind::fader], 1);
    EXPECT_EQ(count[widget_kind::encoder], 15);
    EXPECT_EQ(skins::widgets.front().kind, widget_kind::light);
    EXPECT_EQ(skins::widgets[36].kind, widget_kind::fader);
    EXPECT_EQ(skins::widgets.back().control_id, 0x0E00 + cc121::kCcAiKnob);
}

// A lamp drawn where the controller has none (or missing where it has one) would lie to the user.
TEST(SkinTable, ControlIdsAndLampsMatchTheController) {
    std::set<int> ids;
    for (const widget_t& w : skins::widgets) {
        SCOPED_TRACE(testing::Message() << "control id " << w.control_id);
        const image_t* image = skins::find_image(w.image);
        switch (w.kind) {
        case widget_kind::light:
            EXPECT_EQ(w.control_id, 0);
            EXPECT_EQ(w.image, skins::light_id);
            break;
        case widget_kind::fader:
            EXPECT_EQ(w.control_id, 0x0F00 + cc121::kNoteFaderTouch);
            EXPECT_EQ(w.image, skins::fader_track_id);
            break;
        case widget_kind::encoder:
            EXPECT_NE(cc121::findEncoder(static_cast<std::uint8_t>(w.control_id - 0x0E00)), nullptr);
            EXPECT_EQ(w.control_id & ~0xFF, 0x0E00);
            break;
        case widget_kind::button:
            if (w.control_id >= 0x0FF0) {
                EXPECT_LE(w.control_id, 0x0FF2);
                EXPECT_TRUE(image->lamp) << "panel buttons light while active";
            } else {
                EXPECT_EQ(w.control_id & ~0xFF, 0x0F00);
                const cc121::ButtonInfo* button =
                    cc121::findButton(static_cast<std::uint8_t>(w.control_id - 0x0F00));
                ASSERT_NE(button, nullptr);
                EXPECT_NE(button->note, cc121::kNoteFaderTouch);
                EXPECT_EQ(image->lamp, button->hasLamp) << button->name;
            }
            break;
        }
        if (w.kind != widget_kind::light) {
            EXPECT_TRUE(ids.insert(w.control_id).second) << "duplicate control id";
        }
    }
}

// --- The pictures ---------------------------------------------------------------------------------------

TEST(SkinPictures, EveryFileMatchesTheTable) {
    for (const image_t& image : skins::images) {
        SCOPED_TRACE(image.file);
        const picture_t& pic = picture(image.file);
        ASSERT_TRUE(pic.loaded) << res_dir << "/" << image.file;
        EXPECT_EQ(pic.width, image.frame_width * image.frames);
        EXPECT_EQ(pic.height, image.frame_height);
        EXPECT_EQ(pic.file_alpha, image.alpha);
        EXPECT_FALSE(pic.file_sixteen_bit);
        EXPECT_FALSE(pic.file_palette);
    }
}

// Widgets are opaque rectangles: their corners must be the face pixels they cover, in every frame, or the
// panel shows a box around each of them. The cap is blended over the track instead, so it is not here.
TEST(SkinPictures, WidgetCornersContinueTheFace) {
    ASSERT_TRUE(face().loaded);
    for (const widget_t& widget : skins::widgets) {
        const image_t& image = *skins::find_image(widget.image);
        SCOPED_TRACE(testing::Message() << image.file << " at (" << widget.x << ", " << widget.y << ")");
        const picture_t& pic = picture(image.file);
        ASSERT_TRUE(pic.loaded);
        const int w = image.frame_width;
        const int h = image.frame_height;
        for (int frame = 0; frame < image.frames; ++frame) {
            for (const auto& [cx, cy] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
                EXPECT_EQ(pic.at(frame * w + cx, cy), face().at(widget.x + cx, widget.y + cy))
                    << "frame " << frame << " corner (" << cx << ", " << cy << ")";
            }
        }
    }
}

TEST(SkinPictures, ButtonFramesShowPressAndLamp) {
    for (const image_t& image : skins::images) {
        if (image.kind != image_kind::button) {
            continue;
        }
        SCOPED_TRACE(image.file);
        const picture_t& pic = picture(image.file);
        ASSERT_TRUE(pic.loaded);
        const int w = image.frame_width;
        const int h = image.frame_height;
        EXPECT_FALSE(frames_equal(pic, 0, 1, w, h)) << "pressed looks like idle";
        EXPECT_LT(mean_value(pic, 1, w, h), mean_value(pic, 0, w, h)) << "pressed is darker";
        if (image.lamp) {
            // A lamp must be obvious: the lit cap far brighter than the dark one, pressed or not.
            EXPECT_GT(mean_value(pic, 2, w, h), mean_value(pic, 0, w, h) + 30);
            EXPECT_GT(mean_value(pic, 3, w, h), mean_value(pic, 1, w, h) + 25);
            EXPECT_FALSE(frames_equal(pic, 2, 3, w, h));
        } else {
            EXPECT_TRUE(frames_equal(pic, 2, 0, w, h)) << "no lamp: lit looks like idle";
            EXPECT_TRUE(frames_equal(pic, 3, 1, w, h)) << "no lamp: lit and pressed looks like pressed";
        }
    }
}

TEST(SkinPictures, FaderCapIsASolidCapInClearSurroundings) {
    const image_t* image = skins::find_image(skins::fader_cap_id);
    const picture_t& pic = picture(image->file);
    ASSERT_TRUE(pic.loaded);
    EXPECT_EQ(pic.at(0, 0).a, 0);
    EXPECT_EQ(pic.at(pic.width - 1, pic.height - 1).a, 0);
    EXPECT_EQ(pic.at(pic.width / 2, pic.height / 2).a, 255);
    int clear = 0, solid = 0, partial = 0;
    for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            const int a = pic.at(x, y).a;
            (a == 0 ? clear : a == 255 ? solid : partial)++;
        }
    }
    const int all = pic.width * pic.height;
    EXPECT_GT(clear, all / 10) << "the track must show beside the cap";
    EXPECT_GT(solid, all / 4);
    EXPECT_GT(partial, 50) << "a soft shadow";
}

TEST(SkinPictures, ListenerReadyLightsGreen) {
    const image_t* image = skins::find_image(skins::light_id);
    const picture_t& pic = picture(image->file);
    ASSERT_TRUE(pic.loaded);
    const int c = image->frame_width / 2;
    const rgba_t dark = pic.at(c, c);
    const rgba_t lit = pic.at(image->frame_width + c, c);
    EXPECT_GT(lit.g, dark.g + 100);
    EXPECT_GT(lit.g, lit.r);
    EXPECT_GT(lit.g, lit.b);
}

// The twelve EQ knobs share one picture, so the face must be the same under each of them.
TEST(SkinPictures, SharedKnobSitsOnTheSameFaceEverywhere) {
    const picture_t& f = face();
    ASSERT_TRUE(f.loaded);
    const widget_t* first = nullptr;
    for (const widget_t& w : skins::widgets) {
        if (w.image != 108) {
            continue;
        }
        if (first == nullptr) {
            first = &w;
            continue;
        }
        for (int y = 0; y < w.height; ++y) {
            for (int x = 0; x < w.width; ++x) {
                if (x == 0 || y == 0 || x == w.width - 1 || y == w.height - 1) {
                    ASSERT_EQ(f.at(w.x + x, w.y + y), f.at(first->x + x, first->y + y))
                        << "edge (" << x << ", " << y << ") of the knob at (" << w.x << ", " << w.y << ")";
                }
            }
        }
    }
    EXPECT_NE(first, nullptr);
}

// --- Icon and resource script ---------------------------------------------------------------------------

std::uint32_t le(const std::vector<unsigned char>& d, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | d[at + static_cast<std::size_t>(i)];
    }
    return v;
}

std::uint32_t be32(const std::vector<unsigned char>& d, std::size_t at) {
    return (std::uint32_t{d[at]} << 24) | (std::uint32_t{d[at + 1]} << 16) | (std::uint32_t{d[at + 2]} << 8) |
           d[at + 3];
}

TEST(SkinIcon, HoldsSixteenThirtyTwoAndFortyEightPixelImages) {
    const std::vector<unsigned char> ico = read_file("kestro.ico");
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(le(ico, 0, 2), 0u);
    EXPECT_EQ(le(ico, 2, 2), 1u) << "type 1: icon";
    const std::uint32_t count = le(ico, 4, 2);
    ASSERT_GE(ico.size(), 6 + 16 * std::size_t{count});
    std::set<std::uint32_t> sizes;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * std::size_t{i};
        const std::uint32_t side = ico[entry] == 0 ? 256 : ico[entry];
        EXPECT_EQ(ico[entry + 1] == 0 ? 256u : ico[entry + 1], side) << "square";
        const std::size_t bytes = le(ico, entry + 8, 4);
        const std::size_t offset = le(ico, entry + 12, 4);
        ASSERT_LE(offset + bytes, ico.size());
        ASSERT_GE(bytes, 40u);
        static const unsigned char png_sig[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        if (std::equal(std::begin(png_sig), std::end(png_sig), ico.begin() + static_cast<long>(offset))) {
            EXPECT_EQ(be32(ico, offset + 16), side);
            EXPECT_EQ(be32(ico, offset + 20), side);
        } else {
            EXPECT_EQ(le(ico, offset, 4), 40u) << "BITMAPINFOHEADER";
            EXPECT_EQ(le(ico, offset + 4, 4), side);
            EXPECT_EQ(le(ico, offset + 8, 4), 2 * side) << "colour and mask";
            EXPECT_EQ(le(ico, offset + 14, 2), 32u) << "bits per pixel";
            const std::size_t mask_stride = (side + 31) / 32 * 4;
            EXPECT_EQ(bytes, 40 + side * side * 4 + mask_stride * side);
        }
        sizes.insert(side);
    }
    EXPECT_EQ(sizes, (std::set<std::uint32_t>{16, 32, 48}));
}

TEST(SkinResourceScript, ListsTheIconAndEveryPictureOnce) {
    const std::vector<unsigned char> raw = read_file("skins.rc");
    ASSERT_FALSE(raw.empty());
    std::istringstream in(std::string(raw.begin(), raw.end()));
    const std::regex line_re(R"re(^\s*(\d+)\s+(PNG|ICON)\s+"([^"]+)"\s*$)re");
    std::map<int, std::pair<std::string, std::string>> entries;
    std::string line;
    while (std::getline(in, line)) {
        std::smatch m;
        if (std::regex_match(line, m, line_re)) {
            EXPECT_TRUE(entries.emplace(std::stoi(m[1]), std::pair{m[2].str(), m[3].str()}).second)
                << "id " << m[1] << " twice";
        }
    }
    EXPECT_EQ(entries.size(), skins::images.size() + 1);
    EXPECT_EQ(entries[skins::icon_id], (std::pair<std::string, std::string>{"ICON", "kestro.ico"}));
    for (const image_t& image : skins::images) {
        EXPECT_EQ(entries[image.id], (std::pair<std::string, std::string>{"PNG", image.file})) << image.id;
    }
}

} // namespace
