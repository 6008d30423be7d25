#pragma once

#include "editor/refresh_host.h"
#include "engine/deform_model.h"

namespace plexor {

// Brings what the user sees up to date with what has changed since the last
// refresh (the model's change region). UI thread only. Without a picture it
// does nothing at all. In each changed part it copies workImage into
// viewImage (with the three spare pixels), keeping the worker off the model
// for the copy; draws there the overlay, when the host shows it, exactly as
// the whole overlay is drawn; brings the reduced view up to date; has the
// host push the parts into the screen bitmap and repaint them at once. So the
// work follows what changed, and afterwards viewImage and the screen bitmap
// hold what refreshWhole would give them. Allocates nothing of its own.
void refresh(DeformModel& model, RefreshHost& host);

// The same for the whole picture, whatever changed: the reference.
void refreshWhole(DeformModel& model, RefreshHost& host);

} // namespace plexor
