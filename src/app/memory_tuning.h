#pragma once

namespace tavrin {

// Large buffers (a transcript's text, its encoded bytes) go straight back to the
// system when freed, so that saving or searching a long transcript leaves no
// lasting growth behind.
void returnLargeBuffersToTheSystem();

} // namespace tavrin
