// Inside the SDL implementation: routes a broken X connection to
// DisplayLost (platform/DisplayLost.h). Does nothing under another video
// driver; safe to call again (SDL may install handlers of its own).
#pragma once

void WatchXDisplayConnection();
