#pragma once

// The one-time loading after the renderer exists: the remaining settings, the high-score
// table, the textures, the snapshot target, the background slots and the first screen, the
// sounds, the first song and the first game reset.
void LoadResources();
