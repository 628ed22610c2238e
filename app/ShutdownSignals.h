#pragma once
// Turns SIGTERM, SIGHUP and SIGINT, and the end of the desktop session, into a normal
// close of the frame, so the settings are saved and the preview files deleted.

class mdiMain;

void installShutdownHandlers(mdiMain *frame);
