// What the panel's drawing costs: decoding the skins at start-up, composing a paint of the whole face, and
// one widget's repaint composition. The transfer to the screen (StretchDIBits) is Win32 and not measured
// here.
#include "skin_compose.h"
#include "skins.h"
#include "surface.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<char> skin(int id) {
    const kestro::skins::image_t* image = kestro::skins::find_image(id);
    return image ? readFile(std::string(KESTRO_RES_DIR) + "/" + image->file) : std::vector<char>{};
}

void DecodeAllSkins(benchmark::State& state) {
    std::vector<std::vector<char>> files;
    for (const auto& image : kestro::skins::images)
        files.push_back(readFile(std::string(KESTRO_RES_DIR) + "/" + image.file));
    for (auto _ : state) {
        for (const auto& f : files) {
            gravo::surface_t s;
            benchmark::DoNotOptimize(s.load_png_memory(f.data(), f.size()));
        }
    }
}
BENCHMARK(DecodeAllSkins)->Unit(benchmark::kMillisecond);

void ComposeFace(benchmark::State& state) {
    const auto bytes = skin(kestro::skins::face_id);
    gravo::surface_t face, back;
    face.load_png_memory(bytes.data(), bytes.size());
    back.create(face.width, face.height);
    for (auto _ : state) {
        face.blit_to(back, 0, 0, 0, 0, face.width, face.height);
        back.draw_rect(111, 157, 160, 196, 0x00FF0000); // one armed button's rings
        back.draw_rect(110, 156, 161, 197, 0x00FF8080);
    }
}
BENCHMARK(ComposeFace)->Unit(benchmark::kMicrosecond);

void ComposeFaderRepaint(benchmark::State& state) {
    const auto trackBytes = skin(kestro::skins::fader_track_id);
    const auto capBytes = skin(kestro::skins::fader_cap_id);
    gravo::surface_t track, cap, back;
    track.load_png_memory(trackBytes.data(), trackBytes.size());
    cap.load_png_memory(capBytes.data(), capBytes.size());
    orvel::prepare_back(back, track, track.width, track.height);
    double value = 0;
    for (auto _ : state) {
        value = value >= 1.0 ? 0.0 : value + 0.01;
        benchmark::DoNotOptimize(orvel::compose_fader(back, track, cap, value));
    }
}
BENCHMARK(ComposeFaderRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
