#pragma once

// The state of one run of the interpreter, shared by the scanner and the command files.

#include "script/Literals.h"
#include "script/TzoTurtle.h"

#include <optional>
#include <unordered_map>

namespace daubix::script {

enum class Word : std::uint8_t {
    None,
    // control
    CommentOpen,
    BlockOpen,
    BlockClose,
    Do,
    Loop,
    If,
    // movement
    Pos,
    Move,
    Go,
    LineTo,
    Angle,
    Turn,
    Left,
    Right,
    Down,
    Up,
    Mark,
    GoMark,
    MarkAngle,
    GoMarkAngle,
    GoLeft,
    GoTop,
    GoRight,
    GoBottom,
    GoCenter,
    Default,
    // pen, brush, modes
    PenSize,
    PenColor,
    AddPenColor,
    BrushColor,
    AddBrushColor,
    BsSolid,
    BsClear,
    PenMode,
    CopyMode,
    // text
    TextFont,
    TextSize,
    TextColor,
    Bold,
    Italic,
    Underline,
    Normal,
    Text,
    TextOut,
    // shapes
    Rectangle,
    RoundRect,
    Ellipse,
    Diamond,
    Polygon,
    Star,
    Curve,
    Flood,
    AreaWord,
    Copy,
    Background,
    Filter,
    // variables
    In,
    InAdd,
    InSub,
    InMul,
    InDiv,
    InInc,
    InDec,
    // calculator
    Add,
    Sub,
    Mul,
    DivWord,
    Max,
    Min,
    Swap,
    Dup,
    Drop,
    Neg,
    Abs,
    Sqr,
    Sqrt,
    Gt,
    Ge,
    Lt,
    Le,
    Eq,
    Ne,
    And,
    Or,
    Not,
    Inc,
    Dec,
    // queries
    QPosX,
    QPosY,
    QAngle,
    QPenColor,
    QPenSize,
    QBrushColor,
    QTextColor,
    QTextSize,
    QMarkX,
    QMarkY,
    QLoop,
    QLeft,
    QTop,
    QRight,
    QBottom,
};

// One token of the prepared text, classified once per run.
struct Token {
    int start = 0; // 1-based position of its first character
    int end = 0; // 1-based position just after it
    Word word = Word::None;
    bool fromStack = false; // "=": an argument taken from the number stack
    bool isInteger = false;
    bool isColor = false; // an identifier or an integer: the colour reader's literal
    std::int32_t value = 0; // of the integer or colour literal
    int slot = -1; // variable slot of the lower-cased text; -1 for texts with "=", which name none
    int procedure = -2; // position after "[ token ", -1 when there is none, -2 not yet searched
};

struct TzoTurtle::Run_ {
    TzoTurtle& t;
    std::string text; // prepared; text[i - 1] is position i
    int length = 0;
    int pos = 1; // ScanPos
    std::vector<int> nextNonSpace; // for each position, the first non-space at or after it
    std::vector<int> tokenAt; // token index starting at a position, or -1
    std::vector<Token> tokens;
    Token adhoc; // a token read from the middle of another (after a comment or a text)
    std::unordered_map<std::string, int> slots; // lower-cased name -> variable slot
    std::vector<std::optional<std::int32_t>> variables;
    std::array<std::int32_t, kStackSize> returns{};
    int returnCount = 0;
    std::string status;
    std::uint64_t steps = 0;

    Run_(TzoTurtle& turtle, std::string_view script);
    void classify(Token& token);
    int slotFor(std::string_view name);

    // Scanning.
    const Token* readToken(); // null when only spaces remain
    std::string_view textOf(const Token& token) const
    {
        return std::string_view(text).substr(
            static_cast<std::size_t>(token.start - 1), static_cast<std::size_t>(token.end - token.start));
    }
    bool step(); // false when the run ends; status says why
    // Moves the scan past the next occurrence of the character, or fails with the message at the end.
    bool skipPast(char close, const char* missing);
    bool fail(std::string message)
    {
        status = std::move(message);
        return false;
    }

    // Stacks.
    bool push(std::int32_t v)
    {
        if (t.m_numberCount >= kStackSize)
            return fail("number stack overflow");
        t.m_numbers[static_cast<std::size_t>(t.m_numberCount++)] = v;
        return true;
    }
    bool pop(std::int32_t& v)
    {
        if (t.m_numberCount == 0)
            return false;
        v = t.m_numbers[static_cast<std::size_t>(--t.m_numberCount)];
        return true;
    }
    bool pushReturn(std::int32_t v)
    {
        if (returnCount >= kStackSize)
            return false;
        returns[static_cast<std::size_t>(returnCount++)] = v;
        return true;
    }
    bool popReturn(std::int32_t& v)
    {
        if (returnCount == 0)
            return false;
        v = returns[static_cast<std::size_t>(--returnCount)];
        return true;
    }

    // Argument readers: each consumes its token even when it rejects it.
    bool readInteger(std::int32_t& v);
    bool readColor(std::int32_t& v);
    bool readText(std::string& s);
    const Token* readName();

    // Words.
    bool resolve(const Token& token);
    bool command(Word word);
    bool variableWord(Word word);
    bool calculator(Word word);
    bool query(Word word);
    bool figure(std::int32_t n, std::int32_t side, double turn);
    // Counts a step and asks the host every few thousand steps whether to stop.
    bool cancelled();
    // After an event the host answered (a repaint, a backdrop, a filter), which may take long: the host
    // is asked at once whether to stop, rather than thousands of steps later.
    bool afterEvent();
    void forward(std::int32_t distance);
    void goTo(gfx::Point p);
    bool imageBounds();
};

Word wordOf(std::string_view token);

} // namespace daubix::script
