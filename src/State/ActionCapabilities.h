#pragma once

namespace vantory {

// What this machine can do that changes the offered actions.
struct ActionCapabilities {
    bool canWriteAVIF = false; // the image writer can encode AVIF
    bool summariesAvailable = false; // an on-device language model answers

    // Filled in by the image and summary layers as they come; false until then. The
    // first call probes the image writer.
    static ActionCapabilities& current();
};

} // namespace vantory
