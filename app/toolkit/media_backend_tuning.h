#pragma once
// Qt's media backend (GStreamer) offers no say over its audio sink or the devices it watches;
// what the alert's sound needs is set in GStreamer itself, once, before the backend starts.

// Audio sinks buffer 80 ms, not 200: the sink's clock holds a sound back by about its
// buffer, so a mark's sound came some 130 ms after the play. Device providers for cameras and
// video hardware are left out: they cost megabytes and watch devices for nothing here.
void TuneMediaBackend();
