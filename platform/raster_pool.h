#pragma once

namespace plat {

// Splits rasterising work into horizontal bands run on a few worker threads
// and the caller. Each band touches its own rows only, so the result is the
// same as running the bands one after another. Workers sleep between jobs;
// small jobs never reach them (the rasteriser runs those on the caller).
using BandJob = void (*)(void* ctx, int band, int bands);

// Number of bands a large job is split into (1 on a single processor).
int RasterBandCount();
// Runs job(ctx, b, bands) for every b in [0, bands) and returns when all are done.
void RunRasterBands(BandJob job, void* ctx, int bands);

} // namespace plat
