// PNG decoding from memory through libpng, straight into the surface's pixel format (B, G, R, T with
// T = 255 - alpha, or T = 0 without transparency).
//
// libpng reports errors by longjmp. Each function below that arms the jump keeps only trivially destructible
// locals in its frame, so the jump skips no destructor; the RAII owners live in the caller's frame.
#include "surface.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <new>

namespace gravo {

namespace {

// Owns the read and info structures; releases them however decoding ends.
class png_reader {
public:
    png_reader() noexcept {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &on_error, &on_warning);
        if (png_ != nullptr) {
            info_ = png_create_info_struct(png_);
        }
    }
    ~png_reader() {
        if (png_ != nullptr) {
            png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
        }
    }
    png_reader(const png_reader&) = delete;
    png_reader& operator=(const png_reader&) = delete;

    bool ok() const noexcept { return png_ != nullptr && info_ != nullptr; }
    png_structp png() const noexcept { return png_; }
    png_infop info() const noexcept { return info_; }

private:
    [[noreturn]] static void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
    static void on_warning(png_structp, png_const_charp) {}

    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

struct memory_source {
    const png_byte* data;
    std::size_t size;
    std::size_t offset;
};

// A request past the end is a decoder error: filling nothing would leave libpng working on stale buffer
// contents (it may then loop over a bogus chunk length for a long time).
void read_memory(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<memory_source*>(png_get_io_ptr(png));
    if (count > source->size - source->offset) {
        png_error(png, "read past the end of the PNG data");
    }
    std::memcpy(out, source->data + source->offset, count);
    source->offset += count;
}

std::uint32_t read_be32(const png_byte* p) noexcept {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// False when a chunk before IEND claims more bytes than are left. libpng allocates and zeroes a buffer of
// the declared length before it reads the data, so a few corrupt bytes could otherwise cost gigabytes; the
// decode would fail at the missing data anyway, since every chunk up to IEND is read.
bool chunk_lengths_fit(const png_byte* data, std::size_t size) noexcept {
    std::size_t at = 8;
    while (size - at >= 8) {
        const std::uint32_t length = read_be32(data + at);
        const std::size_t left = size - at - 8;
        if (length > left || left - length < 4) {
            return false;
        }
        if (std::memcmp(data + at + 4, "IEND", 4) == 0) {
            return true;
        }
        at += 8 + std::size_t(length) + 4;
    }
    return true; // a cut-off header is the decoder's to report
}

// Deflate turns one compressed byte into at most 1032 bytes (a 258-byte copy in two bits).
constexpr std::uint64_t max_inflation = 1032;

// Bytes of the IDAT chunks that fit in the data.
std::uint64_t idat_bytes(const png_byte* data, std::size_t size) noexcept {
    std::uint64_t total = 0;
    std::size_t at = 8;
    while (size - at >= 8) {
        const std::size_t length = std::min<std::size_t>(read_be32(data + at), size - at - 8);
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0) {
            total += length;
        }
        if (size - at - 8 - length < 4) {
            break;
        }
        at += 8 + length + 4;
    }
    return total;
}

// Bytes the image data inflates to: each row of each pass, after its filter byte.
std::uint64_t inflated_size(png_uint_32 width, png_uint_32 height, unsigned pixel_bits,
                            bool interlaced) noexcept {
    const auto rows = [pixel_bits](std::uint64_t w, std::uint64_t h) {
        return w == 0 ? 0 : h * (1 + (w * pixel_bits + 7) / 8);
    };
    if (!interlaced) {
        return rows(width, height);
    }
    // Adam7: where each pass starts and how far it steps, across and down.
    static constexpr unsigned x0[7] = {0, 4, 0, 2, 0, 1, 0};
    static constexpr unsigned dx[7] = {8, 8, 4, 4, 2, 2, 1};
    static constexpr unsigned y0[7] = {0, 0, 4, 0, 2, 0, 1};
    static constexpr unsigned dy[7] = {8, 8, 8, 4, 4, 2, 2};
    std::uint64_t total = 0;
    for (int pass = 0; pass < 7; ++pass) {
        const std::uint64_t w = width > x0[pass] ? (width - x0[pass] + dx[pass] - 1) / dx[pass] : 0;
        const std::uint64_t h = height > y0[pass] ? (height - y0[pass] + dy[pass] - 1) / dy[pass] : 0;
        total += rows(w, h);
    }
    return total;
}

struct image_header {
    png_uint_32 width;
    png_uint_32 height;
    bool has_alpha;
    std::uint64_t inflated; // bytes the compressed data must fill
};

// Reads the header and requests the transformations to B, G, R, T.
bool read_header(png_structp png, png_infop info, memory_source* source, image_header* header) noexcept {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_read_fn(png, source, &read_memory);
    png_read_info(png, info);
    int bit_depth = 0;
    int colour_type = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &header->width, &header->height, &bit_depth, &colour_type, &interlace, nullptr,
                 nullptr);
    const bool has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    header->inflated = inflated_size(header->width, header->height,
                                     unsigned(png_get_channels(png, info)) * unsigned(bit_depth),
                                     interlace != PNG_INTERLACE_NONE);
    png_set_invert_alpha(png);
    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_set_expand(png);
    }
    if (colour_type == PNG_COLOR_TYPE_GRAY && bit_depth < 8) {
        png_set_expand(png);
    }
    if (has_trns) {
        png_set_expand(png);
    }
    if (bit_depth == 16) {
        png_set_strip_16(png);
    }
    if (colour_type == PNG_COLOR_TYPE_GRAY || colour_type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    if ((colour_type & PNG_COLOR_MASK_COLOR) != 0) {
        png_set_bgr(png);
    }
    if (interlace != PNG_INTERLACE_NONE) {
        png_set_interlace_handling(png);
    }
    png_read_update_info(png, info);
    // Anything but four bytes per pixel would overrun the surface's rows.
    if (png_get_rowbytes(png, info) != png_size_t(header->width) * 4) {
        return false;
    }
    header->has_alpha = (colour_type & PNG_COLOR_MASK_ALPHA) != 0 || has_trns;
    return true;
}

bool read_pixels(png_structp png, png_infop info, png_bytepp rows) noexcept {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

} // namespace

bool surface_t::load_png_memory(const void* data, std::size_t size) noexcept {
    // Fewer than 8 bytes cannot hold the signature; checking them anyway would read past the buffer.
    if (data == nullptr || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) {
        return false;
    }
    png_reader reader;
    if (!reader.ok()) {
        return false;
    }
    memory_source source{static_cast<const png_byte*>(data), size, 0};
    image_header header{};
    bool ok =
        chunk_lengths_fit(source.data, size) && read_header(reader.png(), reader.info(), &source, &header);
    if (ok) {
        clear();
        // Data too short to fill the image fails in the decoder anyway, but only after the surface is
        // allocated: a few bytes could ask for gigabytes.
        ok = header.width <= std::uint32_t(max_side) && header.height <= std::uint32_t(max_side) &&
             header.inflated <= idat_bytes(source.data, size) * max_inflation &&
             create(std::int32_t(header.width), std::int32_t(header.height));
    }
    std::unique_ptr<png_bytep[]> row_bytes;
    if (ok) {
        has_alpha = header.has_alpha;
        row_bytes.reset(new (std::nothrow) png_bytep[std::size_t(height)]);
        ok = row_bytes != nullptr;
    }
    if (ok) {
        for (std::int32_t y = 0; y < height; ++y) {
            row_bytes[y] = reinterpret_cast<png_bytep>(rows[y]);
        }
        ok = read_pixels(reader.png(), reader.info(), row_bytes.get());
    }
    if (!ok) {
        clear();
    }
    return ok;
}

} // namespace gravo
