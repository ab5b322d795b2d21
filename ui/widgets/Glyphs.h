#pragma once
// The small pictures of the tool bar and of the panel buttons, drawn at
// start-up.

#include <QColor>
#include <QImage>
#include <QPixmap>

namespace corvane {

enum class Glyph {
    SinglePanel, FourPanels, Help, About,
    Open, Save, CopyText, CopyScreen, Print,
    Liquid, LiquidDim, GasCylinders, GasCylindersDim,
    Weight, Velocity, UncompressedVolume, CompressedVolume,
    TabPressure, TabFlow, TabDiameter, TabLength, Analysis,
    MoreRight, MoreDown  // the menu bar's and tool bars' button for what does not fit
};

QPixmap GlyphPixmap(Glyph glyph, int size = 16);

// The program's icon at `size` pixels (the same drawing as
// data/desktop/org.example.Corvane.svg).
QImage ProgramIcon(int size);

}  // namespace corvane
