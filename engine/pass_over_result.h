#pragma once

// Deformations made coarse to fine: each pass a grid laid over the result of
// the pass before it.

#include "engine/deform_model.h"

namespace plexor {

// Keeps the picture as read, with its alpha, among the model's earlier
// passes, before sourceImage first changes; false, with the memory message
// shown, when the copy cannot be had.
bool keepOpenedImage(DeformModel& model);

// The deformed picture, with its alpha, becomes the starting picture of the
// next pass: the picture as read kept first, workImage copied into
// sourceImage, and the splat marks of the batch that made it cleared, as
// the worker clears them at the end of a batch. False, changing nothing,
// when the picture as read cannot be kept. The worker is idle.
bool beginPassOverResult(DeformModel& model);

// The picture as read becomes the starting picture again, with no earlier
// pass. The worker is idle.
void startFromOpenedImage(DeformModel& model);

} // namespace plexor
