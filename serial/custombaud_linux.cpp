// Kept apart from the termios code: <asm/termbits.h> and <termios.h> declare
// the same structures and cannot meet in one file.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "serial/custombaud.h"

bool setCustomBaudRate(int fd, uint32_t rate) {
    struct termios2 t;
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_cflag &= ~tcflag_t(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = rate;
    t.c_ospeed = rate;
    return ioctl(fd, TCSETS2, &t) == 0;
}
