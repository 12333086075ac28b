#include "audio/AudioOutput.h"

namespace pelto {

int bufferFramesFor(int rate) {
    int frames = 256;
    while (frames * 50 < rate)
        frames *= 2;
    return frames;
}

} // namespace pelto
