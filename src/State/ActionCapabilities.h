#pragma once

namespace vantory {

// What this machine can do that changes the offered actions.
struct ActionCapabilities {
    bool canWriteAVIF = false; // the image writer can encode AVIF
    bool summariesAvailable = false; // an on-device language model answers

    // What is known now. Summaries stay unavailable until the summary layer says
    // otherwise; the image writer's probe runs or is waited for by the first call.
    static ActionCapabilities current();
    static void setSummariesAvailable(bool available);
    // Starts the image writer's probe on a worker thread. Probing starts the image
    // library and its format modules, which the application should not wait for when it
    // starts; without this call the first current() probes on the caller's thread.
    static void probeInBackground();
};

} // namespace vantory
