#include "effects/EffectCommands.h"

#include "app/TextCase.h"
#include "effects/Resize.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace daubix::effects {

namespace {

using Args = std::span<const std::string>;

// The arguments arrive checked by count; these parse one and report the first that is not a number.
struct Parser {
    Args args;
    std::string error;

    double real(std::size_t i)
    {
        if (i >= args.size())
            return 0;
        const std::string& text = args[i];
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
            if (error.empty())
                error = "\"" + text + "\" is not a number";
            return 0;
        }
        return value;
    }
    int integer(std::size_t i)
    {
        if (i >= args.size())
            return 0;
        const std::string& text = args[i];
        int base = 10;
        std::size_t skip = 0;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
            base = 16, skip = 2;
        long long value = 0;
        const auto [end, ec] = std::from_chars(text.data() + skip, text.data() + text.size(), value, base);
        if (ec != std::errc() || end != text.data() + text.size() || value < INT32_MIN || value > INT32_MAX) {
            if (error.empty())
                error = "\"" + text + "\" is not a whole number";
            return 0;
        }
        return static_cast<int>(value);
    }
    int inRange(std::size_t i, int lo, int hi)
    {
        const int v = integer(i);
        if (error.empty() && (v < lo || v > hi))
            error = "\"" + args[i] + "\" must lie in " + std::to_string(lo) + ".." + std::to_string(hi);
        return v;
    }
    gfx::Status status() const
    {
        if (error.empty())
            return {};
        return gfx::Error{error};
    }
};

// Runs an effect that writes a second bitmap of the image's size, then keeps that bitmap.
template <typename F> void intoCopy(gfx::Bitmap& image, F&& run)
{
    gfx::Bitmap dst(image.width(), image.height());
    run(dst);
    image = std::move(dst);
}

using InPlace0 = void (TketPaintFX::*)(gfx::Bitmap&);
using InPlace1 = void (TketPaintFX::*)(gfx::Bitmap&, int);
using Copying1 = void (TketPaintFX::*)(gfx::Bitmap&, gfx::Bitmap&, int);

template <InPlace0 op> gfx::Status noArguments(TketPaintFX& fx, gfx::Bitmap& image, Args)
{
    (fx.*op)(image);
    return {};
}

template <InPlace1 op, int lo = INT32_MIN, int hi = INT32_MAX>
gfx::Status oneInteger(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int v = p.inRange(0, lo, hi);
    if (!p.error.empty())
        return p.status();
    (fx.*op)(image, v);
    return {};
}

template <Copying1 op, int lo = INT32_MIN, int hi = INT32_MAX>
gfx::Status oneIntegerCopying(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int v = p.inRange(0, lo, hi);
    if (!p.error.empty())
        return p.status();
    intoCopy(image, [&](gfx::Bitmap& dst) { (fx.*op)(image, dst, v); });
    return {};
}

template <Channel channel, bool keep> gfx::Status channelBand(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int lo = p.integer(0), hi = p.integer(1);
    if (!p.error.empty())
        return p.status();
    if (keep)
        fx.ChannelBandKeep(image, channel, lo, hi);
    else
        fx.ChannelBand(image, channel, lo, hi);
    return {};
}

gfx::Status antiAliasArea(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int x1 = p.integer(0), y1 = p.integer(1), x2 = p.integer(2), y2 = p.integer(3);
    if (!p.error.empty())
        return p.status();
    fx.AntiAliasArea(image, x1, y1, x2, y2);
    return {};
}

gfx::Status buttonize(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int size = p.inRange(0, 0, 255), amount = p.integer(1);
    if (!p.error.empty())
        return p.status();
    fx.Buttonize(image, size, amount);
    return {};
}

gfx::Status convolve(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    std::array<int, 25> k{};
    for (std::size_t i = 0; i < k.size(); ++i)
        k[i] = p.inRange(i, -32768, 32767);
    if (!p.error.empty())
        return p.status();
    fx.Convolve5x5(image, k);
    return {};
}

gfx::Status fisheye(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const double amount = p.real(0);
    if (!p.error.empty())
        return p.status();
    intoCopy(image, [&](gfx::Bitmap& dst) { fx.Fisheye(image, dst, amount); });
    return {};
}

gfx::Status fractal(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int maxIter = p.inRange(0, INT32_MIN, 100000);
    const double l = p.real(1), t = p.real(2), r = p.real(3), b = p.real(4);
    const int mandelbrot = p.inRange(5, 0, 1);
    if (!p.error.empty())
        return p.status();
    fx.Fractal(image, maxIter, l, t, r, b, mandelbrot != 0);
    return {};
}

gfx::Status maskKeep(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int colour = p.inRange(0, 0, 0xFFFFFF);
    if (!p.error.empty())
        return p.status();
    fx.MaskKeepColor(image, static_cast<gfx::Color>(colour));
    return {};
}

gfx::Status maskDrop(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int colour = p.inRange(0, 0, 0xFFFFFF);
    if (!p.error.empty())
        return p.status();
    fx.MaskDropColor(image, static_cast<gfx::Color>(colour));
    return {};
}

gfx::Status resample(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    const ResampleFilter* filter = findResampleFilter(args[0]);
    if (!filter)
        return gfx::Error{
            "unknown filter \"" + args[0] + "\" (Box, Triangle, Hermite, Bell, B-Spline, Lanczos3, Mitchell)"};
    Parser p{args, {}};
    const double scale = p.real(1);
    if (!p.error.empty())
        return p.status();
    const double w = std::round(image.width() * scale), h = std::round(image.height() * scale);
    if (!(scale > 0) || !gfx::Bitmap::isSaneSize(static_cast<std::int64_t>(w), static_cast<std::int64_t>(h)))
        return gfx::Error{"the scale gives no picture or one too large"};
    gfx::Bitmap dst(std::max(1, static_cast<int>(w)), std::max(1, static_cast<int>(h)));
    gfx::Status status = fx.Resample(image, dst, *filter, filter->support);
    if (status)
        image = std::move(dst);
    return status;
}

// The size commands' bilinear resampler alone, into a new width x height picture.
gfx::Status bilinearTo(TketPaintFX&, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int w = p.integer(0), h = p.integer(1);
    if (!p.error.empty())
        return p.status();
    if (w < 1 || h < 1 || !gfx::Bitmap::isSaneSize(w, h))
        return gfx::Error{"the size must be at least 1 x 1 and within the image size limit"};
    gfx::Bitmap dst(w, h);
    bilinear(image, dst);
    image = std::move(dst);
    return {};
}

gfx::Status rotateQuarter(TketPaintFX& fx, gfx::Bitmap& image, Args)
{
    gfx::Bitmap dst;
    fx.RotateQuarter(image, dst);
    image = std::move(dst);
    return {};
}

gfx::Status rotateSmooth(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int cx = p.integer(0), cy = p.integer(1);
    const double angle = p.real(2);
    if (!p.error.empty())
        return p.status();
    intoCopy(image, [&](gfx::Bitmap& dst) { fx.RotateSmooth(image, dst, cx, cy, angle); });
    return {};
}

template <bool split> gfx::Status squeeze(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int shape = p.inRange(0, 0, 6), amount = p.inRange(1, 0, INT32_MAX);
    if (!p.error.empty())
        return p.status();
    intoCopy(image, [&](gfx::Bitmap& dst) {
        if (split)
            fx.SplitSqueeze(image, dst, static_cast<SqueezeShape>(shape), amount);
        else
            fx.Squeeze(image, dst, static_cast<SqueezeShape>(shape), amount);
    });
    return {};
}

gfx::Status twist(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int amount = p.integer(0);
    if (p.error.empty() && amount == 0)
        p.error = "the amount must not be 0";
    if (!p.error.empty())
        return p.status();
    intoCopy(image, [&](gfx::Bitmap& dst) { fx.Twist(image, dst, amount); });
    return {};
}

gfx::Status wave(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const int amount = p.integer(0), style = p.inRange(1, 0, 2), inference = p.integer(2);
    if (p.error.empty() && amount == 0)
        p.error = "the amount must not be 0";
    if (!p.error.empty())
        return p.status();
    fx.Wave(image, amount, static_cast<WaveStyle>(style), inference);
    return {};
}

gfx::Status wings(TketPaintFX& fx, gfx::Bitmap& image, Args args)
{
    Parser p{args, {}};
    const double scale = p.real(0);
    const int turbulence = p.integer(1), variant = p.inRange(2, 0, 7);
    if (p.error.empty() && (scale == 0 || turbulence == 0))
        p.error = "scale and turbulence must not be 0";
    if (!p.error.empty())
        return p.status();
    intoCopy(
        image, [&](gfx::Bitmap& dst) { fx.Wings(image, dst, scale, turbulence, static_cast<WingsVariant>(variant)); });
    return {};
}

const EffectCommand kCommands[] = {
    {"AntiAlias", "", 0, 0, noArguments<&TketPaintFX::AntiAlias>},
    {"AntiAliasArea", "x1,y1,x2,y2", 4, 4, antiAliasArea},
    {"Bilinear", "width,height", 2, 2, bilinearTo},
    {"Brightness", "amount", 1, 1, oneInteger<&TketPaintFX::Brightness>},
    {"Buttonize", "size,amount", 2, 2, buttonize},
    {"ChannelBandBlue", "lo,hi", 2, 2, channelBand<Channel::Blue, false>},
    {"ChannelBandGreen", "lo,hi", 2, 2, channelBand<Channel::Green, false>},
    {"ChannelBandKeepBlue", "lo,hi", 2, 2, channelBand<Channel::Blue, true>},
    {"ChannelBandKeepGreen", "lo,hi", 2, 2, channelBand<Channel::Green, true>},
    {"ChannelBandKeepRed", "lo,hi", 2, 2, channelBand<Channel::Red, true>},
    {"ChannelBandRed", "lo,hi", 2, 2, channelBand<Channel::Red, false>},
    {"Contrast", "amount", 1, 1, oneInteger<&TketPaintFX::Contrast>},
    {"Convolve5x5", "k1,...,k25", 25, 25, convolve},
    {"Darken", "amount", 1, 1, oneInteger<&TketPaintFX::Darken>},
    {"Emboss", "", 0, 0, noArguments<&TketPaintFX::Emboss>},
    {"Fisheye", "amount", 1, 1, fisheye},
    {"Fractal", "maxIter,left,top,right,bottom,mandelbrot", 6, 6, fractal},
    {"GaussianBlur", "passes", 1, 1, oneInteger<&TketPaintFX::GaussianBlur, 0, 1000>},
    {"Map", "amount", 1, 1, oneInteger<&TketPaintFX::Map>},
    {"MaskDropColor", "colour", 1, 1, maskDrop},
    {"MaskKeepColor", "colour", 1, 1, maskKeep},
    {"Mosaic", "size", 1, 1, oneInteger<&TketPaintFX::Mosaic>},
    {"NoiseColor", "amount", 1, 1, oneInteger<&TketPaintFX::NoiseColor>},
    {"NoiseMono", "amount", 1, 1, oneInteger<&TketPaintFX::NoiseMono>},
    {"Posterize", "step", 1, 1, oneIntegerCopying<&TketPaintFX::Posterize, 1, 255>},
    {"Resample", "filter,scale", 2, 2, resample},
    {"RippleRandom", "amount", 1, 1, oneInteger<&TketPaintFX::RippleRandom>},
    {"RippleTooth", "amount", 1, 1, oneInteger<&TketPaintFX::RippleTooth>},
    {"RotateQuarter", "", 0, 0, rotateQuarter},
    {"RotateSmooth", "cx,cy,angle", 3, 3, rotateSmooth},
    {"Saturation", "amount", 1, 1, oneInteger<&TketPaintFX::Saturation>},
    {"Seam", "size", 1, 1, oneInteger<&TketPaintFX::Seam, 0, 255>},
    {"Solarize", "threshold", 1, 1, oneIntegerCopying<&TketPaintFX::Solarize>},
    {"SplitBlur", "distance", 1, 1, oneInteger<&TketPaintFX::SplitBlur>},
    {"SplitSqueeze", "shape,amount", 2, 2, squeeze<true>},
    {"Squeeze", "shape,amount", 2, 2, squeeze<false>},
    {"TextureOverlap", "size", 1, 1, oneInteger<&TketPaintFX::TextureOverlap>},
    {"TextureTile", "size", 1, 1, oneInteger<&TketPaintFX::TextureTile>},
    {"Triangles", "amount", 1, 1, oneInteger<&TketPaintFX::Triangles>},
    {"Twist", "amount", 1, 1, twist},
    {"Wave", "amount,style,inference", 3, 3, wave},
    {"Wings", "scale,turbulence,variant", 3, 3, wings},
};

} // namespace

std::span<const EffectCommand> effectCommands()
{
    return kCommands;
}

const EffectCommand* findEffectCommand(std::string_view name)
{
    for (const EffectCommand& c : kCommands) {
        if (app::sameIgnoringCase(c.name, name))
            return &c;
    }
    return nullptr;
}

Call parseCall(std::string_view call)
{
    const auto colon = call.find(':');
    Call out{call.substr(0, colon), {}};
    if (colon != std::string_view::npos) {
        std::string_view rest = call.substr(colon + 1);
        while (true) {
            const auto comma = rest.find(',');
            out.arguments.emplace_back(rest.substr(0, comma));
            if (comma == std::string_view::npos)
                break;
            rest = rest.substr(comma + 1);
        }
    }
    return out;
}

gfx::Status checkArgumentCount(const Call& call, std::string_view parameters, std::size_t min, std::size_t max)
{
    if (call.arguments.size() >= min && call.arguments.size() <= max)
        return {};
    std::string usage(call.name);
    if (!parameters.empty())
        usage += ":" + std::string(parameters);
    return gfx::Error{"wrong number of arguments: use " + usage};
}

gfx::Status applyEffect(TketPaintFX& fx, gfx::Bitmap& image, std::string_view text)
{
    const Call call = parseCall(text);
    const EffectCommand* command = findEffectCommand(call.name);
    if (!command)
        return gfx::Error{"unknown effect \"" + std::string(call.name) + "\""};
    if (gfx::Status s = checkArgumentCount(
            {command->name, call.arguments}, command->parameters, command->minArguments, command->maxArguments);
        !s)
        return s;
    image.convertTo(gfx::PixelFormat::Bits24);
    return command->apply(fx, image, call.arguments);
}

} // namespace daubix::effects
