#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/media_graph.h"

namespace {

// Global objects that own graphs (the sound system) are made before the
// platform's own statics and so are destroyed after them when something calls
// exit() mid-run, as Xlib does when the display goes away.
struct GraphOwner {
    std::unique_ptr<plat::MediaGraph> graph;
    ~GraphOwner() { graph.reset(); }
};
GraphOwner g_owner;

TEST(MediaGraphExitTest, GraphClosedByAGlobalDestructorDuringExit) {
    EXPECT_EXIT(
        {
            g_owner.graph = std::make_unique<plat::MediaGraph>();
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "");
}

} // namespace
