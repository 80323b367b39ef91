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

// Stored heights are pixels of a 96-dpi screen; the font dialog shows points. The family and
// style are those that print: the installed family a face name such as "ARIAL" stands for,
// and its nearest style, as the font dialog lists only those.
QFont ScreenFont(const LogFont& font);
// The dialog's choice as a stored font; fields Qt has no notion of (character set, precision,
// quality, pitch) are kept from before. A choice equal to the font the dialog showed keeps
// the stored font as it was, so that OK without a change changes nothing.
LogFont FromScreenFont(const QFont& chosen, const QFont& shown, const LogFont& before);

// Stored colours are 0x00BBGGRR.
QColor ColourFromStored(std::uint32_t stored);
std::uint32_t StoredColour(const QColor& colour);

} // namespace fw
