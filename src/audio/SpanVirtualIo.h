#pragma once

#include <sndfile.h>

namespace pelto {

// libsndfile's virtual I/O over a FileSpan (the user data of sf_open_virtual), so that
// it reads through the span like every other decoder here.
SF_VIRTUAL_IO* spanVirtualIo();

} // namespace pelto
