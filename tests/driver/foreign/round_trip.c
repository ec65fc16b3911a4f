/* A plain C program that loads libbaslink.so, reads its version and writes and reads
 * back a block of the board's EEPROM on the port given as its argument. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "baslink.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s PORT\n", argv[0]);
        return 2;
    }
    const uint8_t port = (uint8_t)atoi(argv[1]);
    const uint8_t written[4] = {0xC0, 0xFF, 0xEE, 0x01};
    uint8_t read[4] = {0};

    if (strcmp(VersionDLL(), "1.39") != 0) {
        fprintf(stderr, "version %s\n", VersionDLL());
        return 1;
    }
    if (!EscribirBloqueEpromQDK(port, 0x0100, sizeof written, written)) {
        fprintf(stderr, "write failed\n");
        return 1;
    }
    if (!LeerBloqueEpromQDK(port, 0x0100, sizeof read, read) ||
        memcmp(read, written, sizeof read) != 0) {
        fprintf(stderr, "read back failed\n");
        return 1;
    }
    ResetQDK(port);
    LibExit();
    printf("ok\n");
    return 0;
}
