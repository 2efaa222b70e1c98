#include "platform/backend/pcm_pages.h"

#include <sys/mman.h>

namespace plat {

PcmPages::~PcmPages() { Release(); }

bool PcmPages::Map(size_t samples) {
    Release();
    if (samples == 0)
        return true;
    void* p = mmap(nullptr, samples * sizeof(float), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return false;
    data_ = static_cast<float*>(p);
    samples_ = samples;
    return true;
}

void PcmPages::Release() {
    if (data_)
        munmap(data_, samples_ * sizeof(float));
    data_ = nullptr;
    samples_ = 0;
}

} // namespace plat
