#pragma once

// The player's controls (common/bindings.h) in controls.txt beside the settings. Start-up reads
// them; leaving the CONTROLS screen and shutdown store them, each only when they differ from
// what the file holds. Lines this version does not know are written back as they were; lines
// it cannot read leave their controls at the defaults, with one line on stderr, and the file is
// not written over until the player changes something. A file that cannot be read at all is
// never written over.
void LoadBindings();
void StoreBindings();
