// Long runs of random steps over the whole command table and every built tool, on small images of
// every pixel format, with hostile answers and points far outside the image. After every step: no
// crash, no step slower than the limit, an image within the size limit, and where the step changed the
// image through an undo step, Undo gives back the image before it exactly.
//
// DAUBIX_RANDOM_STEPS sets the number of steps per seed (a short run by default; a long one before a
// release).

#include "app/Command.h"
#include "app/Document.h"
#include "app/HeadlessHost.h"
#include "app/ImageCommands.h"
#include "commands/CommandTable.h"
#include "commands/StepRunner.h"
#include "support/TestImages.h"

#include <chrono>
#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>
#include <random>

using namespace daubix;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr double kStepLimitSeconds = 10; // the sanitizers make every step several times slower
#else
constexpr double kStepLimitSeconds = 1;
#endif

int stepsPerSeed()
{
    if (const char* steps = std::getenv("DAUBIX_RANDOM_STEPS"); steps && std::atoi(steps) > 0)
        return std::atoi(steps);
    return 400;
}

class Walk {
public:
    explicit Walk(unsigned seed)
        : m_rng(seed)
    {
        const gfx::PixelFormat formats[] = {gfx::PixelFormat::Bits1, gfx::PixelFormat::Bits4, gfx::PixelFormat::Bits8,
            gfx::PixelFormat::Bits24, gfx::PixelFormat::Bits32};
        m_doc.image = test::noise(pick(1, 48), pick(1, 48), seed).converted(formats[pick(0, 4)]);
        m_doc.random.seed(seed);
        app::pushImage(m_doc);
        for (const app::CommandRow& row : commands::commandTable())
            if (row.run && row.kind != app::ItemKind::Window)
                m_rows.push_back(&row);
        m_modes = tools::builtToolModes();
    }

    // Runs one random step and checks it; false (with a failure reported) when a check fails.
    bool step()
    {
        prepareHost();
        const int kind = pick(0, 19);
        const bool gesture = kind < 8 || kind == 10;
        std::string text;
        if (kind < 8)
            text = randomDrag();
        else if (kind == 8)
            text = "TDaubixF > PatList = " + std::to_string(pick(0, 31));
        else if (kind == 9)
            text = "TDaubixF > colorlist = " + std::to_string(pick(0, 138)) + (pick(0, 1) ? " shift" : "");
        else if (kind == 10)
            text = randomScrollBoxDrag();
        else
            text = m_rows[static_cast<std::size_t>(pick(0, last(m_rows)))]->path;
        m_log.push_back(text);
        if (m_log.size() > 30)
            m_log.pop_front();

        const gfx::Bitmap before = m_doc.image;
        const int index = m_doc.undo.index();
        const auto start = std::chrono::steady_clock::now();
        const commands::StepResult result = m_runner.run(text);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        EXPECT_EQ(result.status, commands::StepStatus::Ok) << result.message << trail();
        // A step may make a large picture out of a small one (a smart resize of a thin strip): it is
        // given time in proportion to the pixels it ends with.
        const double pixels = static_cast<double>(m_doc.image.width()) * m_doc.image.height();
        EXPECT_LT(seconds, kStepLimitSeconds * (1 + pixels / 4e6)) << trail();
        EXPECT_TRUE(gfx::Bitmap::isSaneSize(m_doc.image.width(), m_doc.image.height())) << trail();
        if (::testing::Test::HasFailure())
            return false;
        if (m_doc.image == before) {
            // A press pushes whatever it draws; a command that changes nothing leaves no undo step.
            EXPECT_TRUE(gesture || text == "goUndo" || m_doc.undo.index() == index)
                << "\"" << text << "\" left an empty undo step" << trail();
            return !::testing::Test::HasFailure();
        }
        // The steps that change the image without an undo step of their own: Undo itself, a right
        // click that closes a polygon, and the tools' steps after a press that pushed earlier.
        const bool pushed = m_doc.undo.index() == index % app::UndoRing::kSlots + 1;
        if (text == "goUndo")
            return true;
        if (!pushed) {
            EXPECT_TRUE(gesture) << "\"" << text << "\" changed the image without an undo step" << trail();
            return !::testing::Test::HasFailure();
        }
        if (pick(0, 1) == 0) {
            m_runner.run("goUndo");
            EXPECT_EQ(m_doc.image, before) << "Undo after \"" << text << "\" did not give the image back" << trail();
        }
        return !::testing::Test::HasFailure();
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    template <typename T> int last(const T& v) { return static_cast<int>(v.size()) - 1; }

    std::string trail() const
    {
        std::string out = "\nlast steps:";
        for (const std::string& s : m_log)
            out += "\n  " + s;
        return out;
    }

    int coordinate(int size)
    {
        switch (pick(0, 9)) {
        case 0:
            return pick(0, 1) ? -1 : size; // just off the edge
        case 1:
            return pick(0, 1) ? 0 : size - 1; // on the edge
        case 2:
            return pick(-1'000'000, 1'000'000); // far outside
        case 3:
            return pick(0, 1) ? 2'000'000'000 : -2'000'000'000;
        default:
            return pick(0, std::max(size - 1, 0));
        }
    }

    std::string randomDrag()
    {
        std::string step = "drag " + std::string(m_modes[static_cast<std::size_t>(pick(0, last(m_modes)))]);
        const int points = pick(1, 5);
        for (int i = 0; i < points; ++i) {
            step += " " + std::to_string(coordinate(m_doc.image.width())) + ","
                + std::to_string(coordinate(m_doc.image.height()));
            if (i > 0 && pick(0, 9) == 0)
                step += pick(0, 1) ? " tick:" + std::to_string(pick(0, 5)) : " wait:" + std::to_string(pick(0, 200));
        }
        for (const char* modifier : {" shift", " ctrl", " alt"})
            if (pick(0, 4) == 0)
                step += modifier;
        const int button = pick(0, 9);
        step += button == 0 ? " middle" : button == 1 ? " right" : "";
        return step;
    }

    std::string randomScrollBoxDrag()
    {
        std::string step = "scrollbox";
        for (int n = pick(1, 4); n > 0; --n)
            step += " " + std::to_string(pick(-5, 2 * m_doc.image.width() + 10)) + ","
                + std::to_string(pick(-5, 2 * m_doc.image.height() + 10));
        for (const char* modifier : {" ctrl", " shift"})
            if (pick(0, 2) > 0)
                step += modifier;
        return step;
    }

    void prepareHost()
    {
        // Keep the walk on small pictures and ranges: the growing commands, and selections dragged far
        // off the image, make work in proportion, which is not what this run measures.
        if (std::int64_t{m_doc.image.width()} * m_doc.image.height() > 1'000'000)
            m_runner.run("Image > Resize > Default > Clear");
        const gfx::Rect& r = m_doc.range;
        if ((std::llabs(std::int64_t{r.right} - r.left) + 1) * (std::llabs(std::int64_t{r.bottom} - r.top) + 1)
            > 1'000'000)
            m_runner.run("Range > Select All");
        static const char* const kAnswers[] = {"", "-5", "0", "1", "2", "3", "7", "12", "25", "50", "51", "1000",
            "99999999999", "abc", "0.5", "0,97", "1.5", "2147483647", "-2147483648", " 4 "};
        m_host.answers.clear();
        for (int n = pick(0, 2); n > 0; --n)
            m_host.answers.push_back(kAnswers[pick(0, static_cast<int>(std::size(kAnswers)) - 1)]);
        m_host.colors.clear();
        if (pick(0, 1))
            m_host.colors.push_back(gfx::rgb(pick(0, 255), pick(0, 255), pick(0, 255)));
        const int clip = pick(0, 9);
        if (clip == 0)
            m_host.clipboard.reset();
        else if (clip == 1)
            m_host.clipboard = test::noise(pick(1, 40), pick(1, 40), static_cast<unsigned>(pick(0, 1000)));
    }

    std::mt19937 m_rng;
    app::Document m_doc;
    app::HeadlessHost m_host;
    commands::StepRunner m_runner{m_doc, m_host};
    std::vector<const app::CommandRow*> m_rows;
    std::vector<std::string_view> m_modes;
    std::deque<std::string> m_log;
};

class RandomRun : public ::testing::TestWithParam<unsigned> { };

TEST_P(RandomRun, EveryStepKeepsTheImageSoundAndUndoable)
{
    Walk walk(GetParam());
    const int steps = stepsPerSeed();
    for (int i = 0; i < steps; ++i)
        ASSERT_TRUE(walk.step()) << "seed " << GetParam() << ", step " << i;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomRun, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u));

} // namespace
