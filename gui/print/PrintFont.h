#pragma once

#include "core/config/LogFont.h"

#include <QColor>
#include <QFont>

#include <cstdint>

namespace fw {

// Stored fonts are Windows LOGFONTs: a negative height is the em, a positive one the cell
// (ascent + descent), both in the units of the device they are used on.

// For painting a printout, where sizes are pixels of the print resolution.
QFont PrintFont(const LogFont& font);

// Stored heights are pixels of a 96-dpi screen; the font dialog shows points.
QFont ScreenFont(const LogFont& font);
// The dialog's choice as a stored font; fields Qt has no notion of (character set, precision,
// quality, pitch) are kept from before.
LogFont FromScreenFont(const QFont& chosen, const LogFont& before);

// Stored colours are 0x00BBGGRR.
QColor ColourFromStored(std::uint32_t stored);
std::uint32_t StoredColour(const QColor& colour);

} // namespace fw
