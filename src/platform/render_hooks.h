#pragma once

// Called by the event pump when SDL reports that render targets (deviceReset false) or the
// whole renderer's textures (deviceReset true) have been lost. The renderer makes the targets
// again (empty), and after a device reset every texture too; the Texture objects stay the same,
// so every reference to them stays good.
void OnRenderReset(bool deviceReset);

// Called by the event pump when the window's contents may have been spoilt or its size or mode
// changed (exposed, resized, shown, restored, moved between full screen and a window): the
// next frame is drawn and presented in full.
void OnWindowDisturbed();
