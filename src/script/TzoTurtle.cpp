#include "script/TzoTurtle.h"

#include "app/TextCase.h"
#include "script/TzoTurtle_p.h"

namespace daubix::script {

std::optional<std::int32_t> integerLiteral(std::string_view t)
{
    if (t.empty())
        return std::nullopt;
    std::size_t hexStart = 0;
    if (t[0] == '$' || t[0] == 'x' || t[0] == 'X')
        hexStart = 1;
    else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
        hexStart = 2;
    if (hexStart) {
        const std::string_view digits = t.substr(hexStart);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        std::uint32_t v = 0;
        for (char c : digits) {
            int d = 0;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return std::nullopt;
            v = v * 16 + static_cast<std::uint32_t>(d);
        }
        return static_cast<std::int32_t>(v);
    }
    std::size_t i = 0;
    bool negative = false;
    if (t[0] == '+' || t[0] == '-') {
        negative = t[0] == '-';
        i = 1;
    }
    if (i >= t.size())
        return std::nullopt;
    std::int64_t v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return std::nullopt;
        v = v * 10 + (t[i] - '0');
        if (v > 2147483648LL)
            return std::nullopt;
    }
    v = negative ? -v : v;
    if (v > INT32_MAX || v < INT32_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::optional<std::int32_t> colorIdentifier(std::string_view token)
{
    static const std::unordered_map<std::string, std::uint32_t> kColors = [] {
        std::unordered_map<std::string, std::uint32_t> m{{"clblack", 0x000000}, {"clmaroon", 0x000080},
            {"clgreen", 0x008000}, {"clolive", 0x008080}, {"clnavy", 0x800000}, {"clpurple", 0x800080},
            {"clteal", 0x808000}, {"clgray", 0x808080}, {"clsilver", 0xC0C0C0}, {"clred", 0x0000FF},
            {"cllime", 0x00FF00}, {"clyellow", 0x00FFFF}, {"clblue", 0xFF0000}, {"clfuchsia", 0xFF00FF},
            {"claqua", 0xFFFF00}, {"clwhite", 0xFFFFFF}, {"clnone", 0x1FFFFFFF}};
        const char* system[] = {"clscrollbar", "clbackground", "clactivecaption", "clinactivecaption", "clmenu",
            "clwindow", "clwindowframe", "clmenutext", "clwindowtext", "clcaptiontext", "clactiveborder",
            "clinactiveborder", "clappworkspace", "clhighlight", "clhighlighttext", "clbtnface", "clbtnshadow",
            "clgraytext", "clbtntext", "clinactivecaptiontext", "clbtnhighlight", "cl3ddkshadow", "cl3dlight",
            "clinfotext", "clinfobk"};
        for (std::uint32_t i = 0; i < std::size(system); ++i)
            m[system[i]] = 0x80000000u + i;
        return m;
    }();
    if (token.size() < 3 || token.size() > 24)
        return std::nullopt;
    const auto it = kColors.find(app::lowerAscii(token));
    if (it == kColors.end())
        return std::nullopt;
    return static_cast<std::int32_t>(it->second);
}

Word wordOf(std::string_view token)
{
    static const std::unordered_map<std::string_view, Word> kWords{{"{", Word::CommentOpen}, {"[", Word::BlockOpen},
        {"]", Word::BlockClose}, {"do", Word::Do}, {"loop", Word::Loop}, {"if", Word::If}, {"pos", Word::Pos},
        {"move", Word::Move}, {"go", Word::Go}, {"lineto", Word::LineTo}, {"angle", Word::Angle}, {"turn", Word::Turn},
        {"left", Word::Left}, {"right", Word::Right}, {"down", Word::Down}, {"up", Word::Up}, {"mark", Word::Mark},
        {"gomark", Word::GoMark}, {"markangle", Word::MarkAngle}, {"gomarkangle", Word::GoMarkAngle},
        {"goleft", Word::GoLeft}, {"gotop", Word::GoTop}, {"goright", Word::GoRight}, {"gobottom", Word::GoBottom},
        {"gocenter", Word::GoCenter}, {"default", Word::Default}, {"pensize", Word::PenSize},
        {"pencolor", Word::PenColor}, {"addpencolor", Word::AddPenColor}, {"brushcolor", Word::BrushColor},
        {"addbrushcolor", Word::AddBrushColor}, {"bssolid", Word::BsSolid}, {"bsclear", Word::BsClear},
        {"penmode", Word::PenMode}, {"copymode", Word::CopyMode}, {"textfont", Word::TextFont},
        {"textsize", Word::TextSize}, {"textcolor", Word::TextColor}, {"bold", Word::Bold}, {"italic", Word::Italic},
        {"underline", Word::Underline}, {"normal", Word::Normal}, {"text", Word::Text}, {"textout", Word::TextOut},
        {"rectangle", Word::Rectangle}, {"roundrect", Word::RoundRect}, {"ellipse", Word::Ellipse},
        {"diamond", Word::Diamond}, {"polygon", Word::Polygon}, {"star", Word::Star}, {"curve", Word::Curve},
        {"flood", Word::Flood}, {"area", Word::AreaWord}, {"copy", Word::Copy}, {"background", Word::Background},
        {"filter", Word::Filter}, {"in", Word::In}, {"inadd", Word::InAdd}, {"insub", Word::InSub},
        {"inmul", Word::InMul}, {"indiv", Word::InDiv}, {"ininc", Word::InInc}, {"indec", Word::InDec},
        {"+", Word::Add}, {"-", Word::Sub}, {"*", Word::Mul}, {"/", Word::DivWord}, {"max", Word::Max},
        {"min", Word::Min}, {"swap", Word::Swap}, {"dup", Word::Dup}, {"drop", Word::Drop}, {"neg", Word::Neg},
        {"abs", Word::Abs}, {"sqr", Word::Sqr}, {"sqrt", Word::Sqrt}, {".gt", Word::Gt}, {".ge", Word::Ge},
        {".lt", Word::Lt}, {".le", Word::Le}, {".eq", Word::Eq}, {".ne", Word::Ne}, {".and", Word::And},
        {".or", Word::Or}, {".not", Word::Not}, {"inc", Word::Inc}, {"dec", Word::Dec}, {"=posx", Word::QPosX},
        {"=posy", Word::QPosY}, {"=angle", Word::QAngle}, {"=pencolor", Word::QPenColor}, {"=pensize", Word::QPenSize},
        {"=brushcolor", Word::QBrushColor}, {"=textcolor", Word::QTextColor}, {"=textsize", Word::QTextSize},
        {"=markx", Word::QMarkX}, {"=marky", Word::QMarkY}, {"=loop", Word::QLoop}, {"=left", Word::QLeft},
        {"=top", Word::QTop}, {"=right", Word::QRight}, {"=bottom", Word::QBottom}};
    const auto it = kWords.find(token);
    return it == kWords.end() ? Word::None : it->second;
}

TzoTurtle::TzoTurtle() = default;
TzoTurtle::~TzoTurtle() = default;

std::vector<std::int32_t> TzoTurtle::numberStack() const
{
    return std::vector<std::int32_t>(m_numbers.begin(), m_numbers.begin() + m_numberCount);
}

TzoTurtle::Run_::Run_(TzoTurtle& turtle, std::string_view script)
    : t(turtle)
    , text(script)
    , length(static_cast<int>(script.size()))
{
    // Tabs become one space and CR LF two, so positions stay those of the editor text.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\t')
            text[i] = ' ';
        else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            text[i] = text[i + 1] = ' ';
    }
    nextNonSpace.assign(static_cast<std::size_t>(length) + 2, length + 1);
    tokenAt.assign(static_cast<std::size_t>(length) + 2, -1);
    for (int p = length; p >= 1; --p)
        nextNonSpace[static_cast<std::size_t>(p)]
            = text[static_cast<std::size_t>(p - 1)] != ' ' ? p : nextNonSpace[static_cast<std::size_t>(p + 1)];
    for (int p = 1; p <= length;) {
        if (text[static_cast<std::size_t>(p - 1)] == ' ') {
            ++p;
            continue;
        }
        Token token;
        token.start = p;
        while (p <= length && text[static_cast<std::size_t>(p - 1)] != ' ')
            ++p;
        token.end = p;
        classify(token);
        tokenAt[static_cast<std::size_t>(token.start)] = static_cast<int>(tokens.size());
        tokens.push_back(token);
    }
}

int TzoTurtle::Run_::slotFor(std::string_view name)
{
    const auto [it, added] = slots.try_emplace(app::lowerAscii(name), static_cast<int>(variables.size()));
    if (added)
        variables.emplace_back();
    return it->second;
}

void TzoTurtle::Run_::classify(Token& token)
{
    const std::string_view s = textOf(token);
    token.word = wordOf(s);
    token.fromStack = s == "=";
    // Any token may name a variable, command words included: "5 in go  go go" moves 5.
    if (s.find('=') == std::string_view::npos)
        token.slot = slotFor(s);
    if (token.word != Word::None)
        return;
    if (const auto v = integerLiteral(s)) {
        token.isInteger = token.isColor = true;
        token.value = *v;
    } else if (const auto c = colorIdentifier(s)) {
        token.isColor = true;
        token.value = *c;
    }
}

const Token* TzoTurtle::Run_::readToken()
{
    if (pos > length)
        return nullptr;
    const int p = nextNonSpace[static_cast<std::size_t>(pos)];
    if (p > length) {
        pos = length + 1;
        return nullptr;
    }
    const int index = tokenAt[static_cast<std::size_t>(p)];
    if (index >= 0) {
        Token& token = tokens[static_cast<std::size_t>(index)];
        pos = token.end;
        return &token;
    }
    // The scan stopped inside a token (after a comment or a text): read from here, classified afresh.
    adhoc = Token{};
    adhoc.start = p;
    int q = p;
    while (q <= length && text[static_cast<std::size_t>(q - 1)] != ' ')
        ++q;
    adhoc.end = q;
    classify(adhoc);
    pos = q;
    return &adhoc;
}

bool TzoTurtle::Run_::readInteger(std::int32_t& v)
{
    const Token* token = readToken();
    if (!token)
        return false;
    if (token->fromStack)
        return pop(v);
    if (token->slot >= 0 && variables[static_cast<std::size_t>(token->slot)]) {
        v = *variables[static_cast<std::size_t>(token->slot)];
        return true;
    }
    if (token->isInteger) {
        v = token->value;
        return true;
    }
    return false;
}

bool TzoTurtle::Run_::readColor(std::int32_t& v)
{
    const Token* token = readToken();
    if (!token)
        return false;
    if (token->fromStack)
        return pop(v);
    if (token->isColor) {
        v = token->value;
        return true;
    }
    return false;
}

bool TzoTurtle::Run_::readText(std::string& s)
{
    const std::size_t from = static_cast<std::size_t>(pos - 1);
    const std::size_t open = from < text.size() ? text.find('"', from) : std::string::npos;
    const std::size_t close = open == std::string::npos ? open : text.find('"', open + 1);
    if (close == std::string::npos) {
        pos = length + 1;
        return false;
    }
    s = text.substr(open + 1, close - open - 1);
    pos = static_cast<int>(close) + 2;
    return !s.empty();
}

const Token* TzoTurtle::Run_::readName()
{
    return readToken();
}

bool TzoTurtle::Run_::resolve(const Token& token)
{
    if (token.isColor) // integers are colour literals too; both are pushed as they are
        return push(token.value);
    if (token.slot >= 0 && variables[static_cast<std::size_t>(token.slot)])
        return push(*variables[static_cast<std::size_t>(token.slot)]);
    // A procedure call: the first "[ name " anywhere in the text.
    int target = token.procedure;
    if (target == -2) {
        const std::string needle = "[ " + std::string(textOf(token)) + " ";
        const std::size_t found = text.find(needle);
        target = found == std::string::npos ? -1 : static_cast<int>(found) + 1 + static_cast<int>(needle.size());
        if (&token != &adhoc)
            const_cast<Token&>(token).procedure = target;
    }
    if (target < 0)
        return fail("symbol " + std::string(textOf(token)) + " is not defined");
    if (!pushReturn(pos))
        return fail("stack overflow");
    pos = target;
    return true;
}

bool TzoTurtle::Run_::skipPast(char close, const char* missing)
{
    const std::size_t at = pos <= length ? text.find(close, static_cast<std::size_t>(pos - 1)) : std::string::npos;
    if (at == std::string::npos) {
        pos = length + 1;
        return fail(missing);
    }
    pos = static_cast<int>(at) + 2;
    return true;
}

bool TzoTurtle::Run_::step()
{
    if (cancelled())
        return fail("run cancelled");
    const Token* token = readToken();
    if (!token) {
        status = "ready";
        return false;
    }
    switch (token->word) {
    case Word::None:
        return resolve(*token);
    case Word::CommentOpen:
        return skipPast('}', "missing } after comment");
    case Word::BlockOpen:
        return skipPast(']', "missing ] after block");
    case Word::BlockClose: {
        std::int32_t back = 0;
        if (!popReturn(back))
            return fail("stack underflow");
        pos = back;
        return true;
    }
    case Word::Do: {
        std::int32_t n = 0;
        if (!readInteger(n))
            return fail("number expected in do");
        if (!pushReturn(pos) || !pushReturn(n))
            return fail("stack overflow");
        return true;
    }
    case Word::Loop: {
        std::int32_t count = 0, start = 0;
        if (!popReturn(count) || !popReturn(start))
            return fail("stack underflow");
        // A count below 1 runs the body once: the loop ends when the count runs out or was never positive.
        const std::int32_t left = count - 1;
        if (left > 0) {
            pos = start;
            pushReturn(start);
            pushReturn(left);
        }
        return true;
    }
    case Word::If: {
        std::int32_t v = 0;
        if (!pop(v))
            return fail("number stack underflow");
        if (v == 0 && !readToken())
            return fail("symbol expected after if");
        return true;
    }
    default:
        return command(token->word);
    }
}

RunResult TzoTurtle::Run(std::string_view text)
{
    if (!Canvas)
        return {"#Error: Canvas not assigned", 0};
    if (text.empty())
        return {"empty script", 0};
    Run_ run(*this, text);
    while (run.step()) { }
    return {run.status, run.pos};
}

} // namespace daubix::script
