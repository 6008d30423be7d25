#pragma once

#include "editor/refresh_host.h"
#include "engine/deform_model.h"

namespace plexor {

// Rebuilds what the user sees. UI thread only. Without a picture it does
// nothing at all. Otherwise it copies WorkImage into ViewImage, keeping the
// worker off the model for the copy only; draws the overlay into ViewImage
// when the host shows it; has the host push the view into the screen bitmap;
// and has it repaint at once. The view is rebuilt whole every time, so the
// overlay never accumulates. Allocates nothing of its own.
void Refresh(DeformModel& model, RefreshHost& host);

} // namespace plexor
