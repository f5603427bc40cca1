#pragma once

#include "xm_writer.h"

// The songs' instruments, synthesised. A tonal instrument loops single cycles of `cyclePoints`
// points (32, 64 or 128) and is tuned so that its cell note sounds at its own pitch; a drum is
// a one-shot 8-bit sample meant to be played at C-5.
XmInstrument PadInstrument(int cyclePoints);
XmInstrument BellInstrument(int cyclePoints);
XmInstrument FluteInstrument(int cyclePoints);
XmInstrument SquareLeadInstrument(int cyclePoints);
XmInstrument PluckInstrument(int cyclePoints);
XmInstrument BassInstrument(int cyclePoints);
XmInstrument KickInstrument();
XmInstrument SnareInstrument();
XmInstrument HatInstrument();
