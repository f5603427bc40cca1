#pragma once

// Called by the event pump when SDL reports that render targets (deviceReset false) or the
// whole renderer's textures (deviceReset true) have been lost. The renderer makes them again.
void OnRenderReset(bool deviceReset);
