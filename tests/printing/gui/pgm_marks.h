// Reads a grey-level PGM (P5, 8 bit) as pdftoppm writes it and finds the
// bounding boxes of its dark blobs, in pixels from the image's top-left corner.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace tw::testing {

struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // row after row
};

struct Blob {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int pixels = 0; // dark pixels in the blob
};

namespace detail {
// The next header token, skipping blanks and # comments.
inline std::optional<int> pgmNumber(std::istream& in) {
    int c = in.get();
    while (c != EOF && (std::isspace(c) || c == '#')) {
        if (c == '#')
            while (c != EOF && c != '\n')
                c = in.get();
        c = in.get();
    }
    if (c == EOF || !std::isdigit(c))
        return std::nullopt;
    int value = 0;
    while (c != EOF && std::isdigit(c)) {
        value = value * 10 + (c - '0');
        c = in.get();
    }
    return value; // the one blank after the last number has been read
}
} // namespace detail

inline std::optional<GreyImage> readPgm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {};
    if (!in.read(magic, 2) || magic[0] != 'P' || magic[1] != '5')
        return std::nullopt;
    const auto w = detail::pgmNumber(in);
    const auto h = detail::pgmNumber(in);
    const auto maxval = detail::pgmNumber(in);
    if (!w || !h || !maxval || *maxval != 255)
        return std::nullopt;
    GreyImage image{*w, *h, std::vector<uint8_t>(static_cast<std::size_t>(*w) * static_cast<std::size_t>(*h))};
    if (!in.read(reinterpret_cast<char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size())))
        return std::nullopt;
    return image;
}

// Bounding boxes of the 4-connected regions darker than the threshold, in the
// order their top-left-most pixel is met scanning row by row.
inline std::vector<Blob> darkBlobs(const GreyImage& image, uint8_t threshold = 128) {
    std::vector<Blob> blobs;
    std::vector<uint8_t> seen(image.pixels.size(), 0);
    std::vector<std::size_t> stack;
    const auto dark = [&](std::size_t i) { return image.pixels[i] < threshold; };
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::size_t start =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x);
            if (seen[start] || !dark(start))
                continue;
            int left = x, right = x, top = y, bottom = y, count = 0;
            seen[start] = 1;
            stack.push_back(start);
            while (!stack.empty()) {
                const std::size_t i = stack.back();
                stack.pop_back();
                ++count;
                const int px = static_cast<int>(i % static_cast<std::size_t>(image.width));
                const int py = static_cast<int>(i / static_cast<std::size_t>(image.width));
                left = std::min(left, px);
                right = std::max(right, px);
                top = std::min(top, py);
                bottom = std::max(bottom, py);
                const auto visit = [&](int nx, int ny) {
                    if (nx < 0 || ny < 0 || nx >= image.width || ny >= image.height)
                        return;
                    const std::size_t n = static_cast<std::size_t>(ny) * static_cast<std::size_t>(image.width) +
                                          static_cast<std::size_t>(nx);
                    if (!seen[n] && dark(n)) {
                        seen[n] = 1;
                        stack.push_back(n);
                    }
                };
                visit(px - 1, py);
                visit(px + 1, py);
                visit(px, py - 1);
                visit(px, py + 1);
            }
            blobs.push_back({left, top, right - left + 1, bottom - top + 1, count});
        }
    }
    return blobs;
}

} // namespace tw::testing
