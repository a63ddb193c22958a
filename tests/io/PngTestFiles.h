#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace daubix::test {

// A PNG to be written through libpng's own writer, for reader tests that need every colour type, depth
// and interlacing. Samples are given one per value, row by row in file order (R, G, B, A; grey, alpha;
// palette index), at the file's bit depth; the writer packs them.
struct PngPicture {
    int width = 0;
    int height = 0;
    int colorType = 2; // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::uint16_t> samples;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::vector<std::uint8_t> paletteAlpha; // tRNS for palettes
    std::optional<std::vector<std::uint16_t>> transparentValue; // tRNS for grey (1 value) or RGB (3)
};
// Empty if libpng refused the picture.
std::vector<std::uint8_t> writePng(const PngPicture& picture);

// One chunk with its length and CRC, for files built by hand.
std::vector<std::uint8_t> pngChunk(const std::string& type, const std::vector<std::uint8_t>& data);
std::vector<std::uint8_t> pngIhdr(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType);
// The signature followed by the chunks.
std::vector<std::uint8_t> pngFile(const std::vector<std::vector<std::uint8_t>>& chunks);

struct PngChunk {
    std::string type;
    std::vector<std::uint8_t> data;
    bool crcOk = false;
};
// The chunks after the signature; empty when the signature is wrong.
std::vector<PngChunk> pngChunks(const std::vector<std::uint8_t>& file);

// RGBA samples as libpng's simplified reader gives them (no blending), or nullopt.
std::optional<std::vector<std::uint8_t>> rgbaSamples(const std::vector<std::uint8_t>& file, int& width, int& height);

} // namespace daubix::test
