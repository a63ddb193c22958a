#include "PeerTools.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <unistd.h>

namespace daubix::test {

ScratchFolder::ScratchFolder()
{
    static int count = 0;
    m_path = std::filesystem::temp_directory_path()
        / ("daubix-io-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
    std::filesystem::create_directories(m_path);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

bool haveProgram(const std::string& program)
{
    return runQuietly("command -v '" + program + "'");
}

bool runQuietly(const std::string& commandLine)
{
    return std::system(("(" + commandLine + ") >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string readText(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}

void writeText(const std::string& path, std::string_view text)
{
    writeBytes(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

gfx::Bitmap readPnm(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    in.get(); // the one white-space byte before the samples
    if (!in || (magic != "P6" && magic != "P5") || maxValue != 255 || width < 1 || height < 1)
        return {};
    const int channels = magic == "P6" ? 3 : 1;
    gfx::Bitmap image(width, height);
    std::vector<char> row(static_cast<std::size_t>(width) * channels);
    for (int y = 0; y < height; ++y) {
        if (!in.read(row.data(), static_cast<std::streamsize>(row.size())))
            return {};
        std::uint8_t* out = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(row.data()) + x * channels;
            out[3 * x] = p[channels == 3 ? 2 : 0];
            out[3 * x + 1] = p[channels == 3 ? 1 : 0];
            out[3 * x + 2] = p[0];
        }
    }
    return image;
}

void writePpm(const std::string& path, const gfx::Bitmap& image)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width() << " " << image.height() << "\n255\n";
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* in = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, in += 3) {
            const char rgb[3] = {static_cast<char>(in[2]), static_cast<char>(in[1]), static_cast<char>(in[0])};
            out.write(rgb, 3);
        }
    }
    ASSERT_TRUE(out.good()) << path;
}

gfx::Bitmap photoLike(int width, int height)
{
    gfx::Bitmap image(width, height);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> grain(-6, 6);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
            const bool inDisc = (u - 0.6) * (u - 0.6) + (v - 0.4) * (v - 0.4) < 0.05;
            const int r = static_cast<int>(128 + 100 * std::sin(6 * u + 2 * v)) + grain(random);
            const int g = inDisc ? 230 : static_cast<int>(40 + 180 * v) + grain(random);
            const int b = static_cast<int>(128 + 120 * std::cos(9 * u * v)) + grain(random);
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
        }
    }
    return image;
}

} // namespace daubix::test
