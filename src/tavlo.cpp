// tavlo: paints the bit-band test pattern into the LCD framebuffer.
//
// Usage: tavlo [-w WIDTH] [-h HEIGHT]   (640 x 480 when not given)
//
// The frame goes to the device as one sequential stream, top row first,
// through a single reused row buffer.

#include "tavlo.hpp"
#include "display.hpp"

int main(int argc, char** argv)
{
    return run_tavlo(argc, argv, BLANK_ATTRIBUTE, FRAMEBUFFER_DEVICE);
}
