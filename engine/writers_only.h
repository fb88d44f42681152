#pragma once
// Included by every header that declares a writer of the dealer's files. The writer libraries
// define FENNICK_WRITES_SHARES for whatever links them; the viewer and fennick-cli link none of
// them, so a writer header included there stops the compile instead of leaving it to the link.

#ifndef FENNICK_WRITES_SHARES
#error "this header declares a writer of the dealer's files; only tools/ and tests may include it"
#endif
