#pragma once

#include <QKeySequence>

#include <span>

namespace daubix::ui {

// What a menu item does; None marks an item whose command arrives with a later part of the program,
// shown but disabled until then.
enum class Command {
    None,
    Exit,
    CopyImage,
    CopyRange,
    PasteImage,
    PasteStretch,
    Blocks,
    BlockPen,
    LineTolerance,
    Polygon,
    Rounding,
    Shapes,
    SpiralRight,
    SpiralLeft,
    Spirals1,
    Spirals2,
    Spirals3,
    SpiralsOther,
    Factor99,
    Factor97,
    Factor95,
    FactorOther,
    StarPoints, // the points are the caption
    SpiroTurns,
    GifTransparent,
    IconStretch,
    TransparentPng,
    PixelFormat4,
    PixelFormat8,
    PixelFormat24,
    ZoomIn,
    ZoomOut,
    PasteFloating,
    FloatFull,
    FloatTight,
    FloatTight24,
    SelectAll,
    RangeMove,
    RangeSmear,
    RangeErase,
    RangeInvert,
    TransparencyColor,
    TransCopy,
    FloatImageShown,
    HelpContents,
    About,
};

// One menu item: where it sits ("Image/Resize/Default"), its caption with its accelerator, its shortcut,
// its command, and whether it carries a check mark.
struct MenuItemRow {
    const char* path;
    const char* caption;
    const char* shortcut;
    Command command;
    bool checkable = false;
};

std::span<const MenuItemRow> mainMenuItems();

// The tool menu of the Shape button: submenu (empty for the top level), caption and tool mode.
struct ToolItemRow {
    const char* submenu;
    const char* caption;
    const char* mode;
};

std::span<const ToolItemRow> toolMenuItems();

} // namespace daubix::ui
