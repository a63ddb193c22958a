#include "CopyFloor.h"
#include "Processes.h"

#include "app/Document.h"
#include "generators/Backdrop.h"
#include "generators/Texture.h"
#include "io/BmpCodec.h"
#include "io/FileWriter.h"

#include <benchmark/benchmark.h>

using namespace daubix;

namespace {

// The floor the whole-image generators are measured against.
void BM_MemcpyFloor(benchmark::State& state)
{
    const gfx::Bitmap image = gfx::Bitmap::zeroed(4096, 4096);
    bench::timeCopyFloor(state, image);
}
BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMillisecond);

// A 4096 x 4096 backdrop: the start settings, then ProdProdSum on every channel.
void BM_Backdrop4096(benchmark::State& state)
{
    const int f = static_cast<int>(state.range(0));
    const app::BackdropSettings settings{{f, f, f}, {0, 0, 0}, 255};
    gfx::Bitmap picture = gfx::Bitmap::zeroed(4096, 4096);
    for (auto _ : state) {
        generators::drawBackdrop(settings, picture);
        benchmark::DoNotOptimize(picture.bits());
    }
}
BENCHMARK(BM_Backdrop4096)->Arg(0)->Arg(39)->Unit(benchmark::kMillisecond);

// One step of a bar in the window on a 1024 x 768 image: a new picture with the offset changed.
void BM_BackdropBarStep(benchmark::State& state)
{
    app::BackdropSettings settings{{3, 27, 39}, {0, 0, 0}, 97};
    for (auto _ : state) {
        settings.offsets[0] = (settings.offsets[0] + 1) & 255;
        benchmark::DoNotOptimize(generators::generateBackdrop(settings, 1024, 768));
    }
}
BENCHMARK(BM_BackdropBarStep)->Unit(benchmark::kMillisecond);

// The largest, noisiest tile: 240 x 240 at noise 100, with plain and mono noise. Every setting change in
// the window makes one.
void BM_MakeTexture240(benchmark::State& state)
{
    app::Random random;
    random.seedFixed(7);
    const bool mono = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(generators::makeTexture(gfx::clOlive, 240, 100, mono, random));
}
BENCHMARK(BM_MakeTexture240)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// "Use" on a 4096 x 4096 image: the 240 x 240 tile repeated over all of it, measured against the floor.
void BM_UseTexture4096(benchmark::State& state)
{
    app::Random random;
    random.seedFixed(7);
    const gfx::Bitmap tile = generators::makeTexture(gfx::clOlive, 240, 100, false, random);
    gfx::Bitmap image(4096, 4096); // white: its pages are touched before the clock starts, as the floor's are
    for (auto _ : state) {
        generators::paintTexture(image, {0, 0, 4096, 4096}, tile);
        benchmark::DoNotOptimize(image.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.byteSize()));
}
BENCHMARK(BM_UseTexture4096)->Unit(benchmark::kMillisecond);

// ---- whole processes -------------------------------------------------------------------------------

std::string folder()
{
    static const std::string dir = bench::benchFolder("daubix-generators-bench");
    return dir;
}

// The inputs, written once by our own writers: a 4096 x 4096 picture, and the tile that "Use" of
// Texture:240,100,0,0x008080 with seed 7 lays, as BMP and PPM for the peers.
bool makeInputs()
{
    app::Random random;
    random.seedFixed(7);
    const gfx::Bitmap tile = generators::makeTexture(gfx::clOlive, 240, 100, false, random);
    std::string ppm = "P6\n240 240\n255\n";
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 240; ++x) {
            const gfx::Color c = tile.pixel(x, y);
            ppm += {static_cast<char>(gfx::red(c)), static_cast<char>(gfx::green(c)), static_cast<char>(gfx::blue(c))};
        }
    return io::writeBmpFile(folder() + "/in.bmp", gfx::Bitmap::zeroed(4096, 4096)).ok()
        && io::writeBmpFile(folder() + "/tile.bmp", tile).ok()
        && io::writeFileAtomically(
            folder() + "/tile.ppm", {reinterpret_cast<const std::uint8_t*>(ppm.data()), ppm.size()})
               .ok();
}

// The whole process in the folder, its inputs written first.
void runProcess(benchmark::State& state, const std::string& program, const std::string& arguments)
{
    static const bool made = makeInputs();
    if (!made) {
        state.SkipWithError("cannot write the input picture");
        return;
    }
    bench::timeProcess(state, folder(), program, arguments);
}

#define DAUBIX_PROCESS(name, program, arguments)                                                           \
    BENCHMARK_CAPTURE(runProcess, name, program, arguments)->Unit(benchmark::kMillisecond)->UseRealTime()

const std::string kOurs = DAUBIX_CLI;
// The start settings: grey, (y x) mod 255 on every channel; ImageMagick's -fx computes the same.
DAUBIX_PROCESS(backdrop_ours, kOurs, "apply Backdrop:0,0,0,0,0,0,255 in.bmp out.bmp");
DAUBIX_PROCESS(backdrop_imagemagick_fx, "/usr/bin/convert", "-size 4096x4096 xc: -fx '(i*j%255)/255' out.bmp")
    ->Iterations(1);
// "Use" of a texture over the whole picture, against tiling the same tile.
DAUBIX_PROCESS(texture_ours, kOurs, "apply Texture:240,100,0,0x008080,7 in.bmp out.bmp");
DAUBIX_PROCESS(texture_pnmtile, "pnmtile", "4096 4096 tile.ppm > out.ppm");
DAUBIX_PROCESS(texture_imagemagick, "/usr/bin/convert", "-size 4096x4096 tile:tile.bmp out.bmp");

} // namespace

BENCHMARK_MAIN();
