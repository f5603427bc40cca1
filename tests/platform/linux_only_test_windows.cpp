// The tests of what only the Linux side has, named here so that a Windows run says why they do
// not run rather than dropping them without a word.
#include <gtest/gtest.h>

namespace {

TEST(SingleInstance, LockFilesAndSocketsOfLinux) {
    GTEST_SKIP() << "Linux's lock files and sockets, driven with fork; Windows' named mutex and "
                    "window raising are tested by the road test of plemby.exe under wine";
}

TEST(RendererChoice, GpuCuesOfLinux) {
    GTEST_SKIP() << "X11's and /dev/dri's cues and the loaded libraries in /proc are Linux's; on "
                    "Windows SDL's own choice (Direct3D) stands";
}

}  // namespace
