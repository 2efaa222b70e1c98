#include "platform/mci_media.h"

#include "platform/media_graph.h"

namespace plat {

namespace {
constexpr int64_t k100nsPerMs = 10000;
constexpr int kShowNormal = 5;
} // namespace

MciMedia::MciMedia() = default;
MciMedia::~MciMedia() { Close(); }

bool MciMedia::Open(const std::string& path, bool needAudio) {
    Close();
    auto graph = std::make_unique<MediaGraph>();
    if (graph->RenderFile(path) < 0 || (needAudio && !graph->HasAudio()))
        return false;
    graph_ = std::move(graph);
    ended_ = false;
    return true;
}

void MciMedia::Close() {
    graph_.reset();
    ended_ = false;
}

bool MciMedia::HasVideo() const { return graph_ && graph_->HasVideo(); }

bool MciMedia::Play(uint32_t fromMs, uint32_t toMs) {
    if (!graph_)
        return false;
    const int64_t from = static_cast<int64_t>(fromMs) * k100nsPerMs;
    const int64_t to = static_cast<int64_t>(toMs) * k100nsPerMs;
    if (toMs != 0 && toMs <= fromMs)
        return false;
    graph_->Stop();
    if (graph_->SetPositions(&from, &to) < 0)
        return false;
    // An end reported by an earlier play is old news.
    Ended();
    ended_ = false;
    return graph_->Run() >= 0;
}

bool MciMedia::Stop() { return graph_ && graph_->Stop() >= 0; }
bool MciMedia::Pause() { return graph_ && graph_->Pause() >= 0; }
bool MciMedia::Resume() { return graph_ && !Ended() && graph_->Run() >= 0; }

bool MciMedia::LengthMs(uint32_t* length) {
    int64_t d = 0;
    if (!graph_ || !length || graph_->GetDuration(&d) < 0)
        return false;
    *length = static_cast<uint32_t>(d / k100nsPerMs);
    return true;
}

bool MciMedia::Ended() {
    if (!graph_)
        return false;
    int32_t code = 0;
    intptr_t p1 = 0;
    intptr_t p2 = 0;
    while (graph_->GetEvent(&code, &p1, &p2, 0) >= 0) {
        if (code == kMediaEventComplete)
            ended_ = true;
    }
    return ended_;
}

bool MciMedia::PositionMs(uint32_t* position) {
    int64_t current = 0;
    int64_t stop = 0;
    if (!graph_ || !position || graph_->GetPositions(&current, &stop) < 0)
        return false;
    // The decoded end may fall a little short of the container's duration.
    *position = static_cast<uint32_t>((Ended() && stop > current ? stop : current) / k100nsPerMs);
    return true;
}

bool MciMedia::Show(WindowHandle owner, int x, int y, int width, int height) {
    if (!graph_ || !graph_->HasVideo())
        return false;
    graph_->PutOwner(owner);
    graph_->PutWindowState(kShowNormal);
    graph_->SetWindowPosition(x, y, width, height);
    // Not the picture an earlier play left behind.
    graph_->UpdatePicture();
    return graph_->PutVisible(true) >= 0;
}

void MciMedia::Hide() {
    if (graph_ && graph_->HasVideo())
        graph_->PutVisible(false);
}

} // namespace plat
