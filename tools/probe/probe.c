/* qrcprobe.exe: prints a line when this machine runs it. The test command runs the
   32-bit build of it first: a kernel without 32-bit support, or a Wine without its
   32-bit half, cannot, and the x86 tests are then skipped rather than failed. */
#include <stdio.h>

int main(void) {
    printf("%u-bit code runs\n", (unsigned)(sizeof(void*) * 8));
    return 0;
}
