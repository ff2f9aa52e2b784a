// Fonts for the panel and the About box, with a stand-in where Verdana is missing.
#pragma once
#include <QFont>

#include "render/surface.h"

// The family that stands for the face: the face itself when installed, else
// DejaVu Sans, read from its file where the system does not list it
// (fontconfig would otherwise pick any sans).
QString resolvedFamily(const char* face);

// The game's font: its height is the character cell (ascent plus descent),
// as a positive cell height asks for, not the em size.
QFont gameFont(const Font& font);

// The About box's font: the face at a point size.
QFont dialogFont(const char* face, int pointSize);
