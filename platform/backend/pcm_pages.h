#pragma once
#include <cstddef>

namespace plat {

// Room for samples in pages mapped for them alone. Only the pages written
// become resident, and all of them go back to the system when the room is
// released: a media's megabytes never stay behind as holes in the heap,
// which is where a tune's buffer would otherwise keep the program's peak.
class PcmPages {
public:
    PcmPages() = default;
    ~PcmPages();
    PcmPages(const PcmPages&) = delete;
    PcmPages& operator=(const PcmPages&) = delete;

    // False, holding nothing, when the system gives no room.
    bool Map(size_t samples);
    void Release();
    float* data() const { return data_; }
    size_t capacity() const { return samples_; }

private:
    float* data_ = nullptr;
    size_t samples_ = 0;
};

} // namespace plat
