#pragma once

namespace tavrin {

// Failures a test makes the player meet, where libmpv cannot be made to fail so
// on demand. Each is a call of libmpv's that then reports an error, as libmpv
// itself would.
struct PlayerFaults {
    bool initializeFails = false; // starting libmpv, as when it cannot start on this machine
    bool loadFileFails = false;   // the loadfile command
};

} // namespace tavrin
