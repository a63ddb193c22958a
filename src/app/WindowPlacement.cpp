#include "app/WindowPlacement.h"

#include "app/TextCase.h"


namespace daubix::app {

Placement readMainPlacement(const IniFile& ini)
{
    const std::optional<std::string> state = ini.value("Window", "State");
    if (!state || lowerAscii(*state) == "maximized")
        return {true, 0, 0, 0, 0};
    if (lowerAscii(*state) == "normal")
        return {false, ini.readInt("Window", "Left", 0), ini.readInt("Window", "Top", 0),
            ini.readInt("Window", "Width", 500), ini.readInt("Window", "Height", 400)};
    return {false, 94, 130, 694, 492};
}

void writeMainPlacement(IniFile& ini, const Placement& placement, bool minimized)
{
    if (minimized)
        return;
    if (placement.maximized) {
        ini.write("Window", "State", "maximized");
        return;
    }
    ini.write("Window", "State", "normal");
    ini.writeInt("Window", "Left", placement.left);
    ini.writeInt("Window", "Top", placement.top);
    ini.writeInt("Window", "Width", placement.width);
    ini.writeInt("Window", "Height", placement.height);
}

Placement TzoFormIni::read(const IniFile& ini, std::string_view windowName, const Placement& design)
{
    Placement p = design;
    p.maximized = ini.readInt(windowName, "State", design.maximized ? 1 : 0) != 0;
    p.left = ini.readInt(windowName, "Left", design.left);
    p.top = ini.readInt(windowName, "Top", design.top);
    p.width = ini.readInt(windowName, "Width", design.width);
    p.height = ini.readInt(windowName, "Height", design.height);
    return p;
}

void TzoFormIni::write(IniFile& ini, std::string_view windowName, const Placement& placement)
{
    ini.write(windowName, "State", placement.maximized ? "1" : "0");
    if (placement.maximized)
        return;
    ini.writeInt(windowName, "Left", placement.left);
    ini.writeInt(windowName, "Top", placement.top);
    ini.writeInt(windowName, "Width", placement.width);
    ini.writeInt(windowName, "Height", placement.height);
}

} // namespace daubix::app
