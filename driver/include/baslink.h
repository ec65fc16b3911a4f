/*
 * baslink.h - the public interface of the bus communication library.
 *
 * Every function is a plain C function. Ports are numbered 1 to 20; buffers
 * belong to the caller. Booleans come back as one byte, 1 or 0.
 *
 * A call that exchanges on the bus blocks its thread until the reply comes or its
 * wait runs out (500 ms per frame); the thread's window messages keep flowing
 * meanwhile. A call that starts an exchange from such a message handler, on the
 * thread that is waiting, is refused at once: it sends nothing and returns its
 * failure value. A port whose device goes away (an adapter unplugged) fails its
 * calls; once the device is back, the next call opens it again.
 */
#ifndef BASLINK_H
#define BASLINK_H

#include <stdint.h>

#if defined(_WIN32)
#define BASLINK_CALL __stdcall
#if defined(BASLINK_BUILDING)
#define BASLINK_API __declspec(dllexport)
#else
#define BASLINK_API __declspec(dllimport)
#endif
#else
#define BASLINK_CALL
#define BASLINK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Version and stop. */
BASLINK_API const char* BASLINK_CALL VersionDLL(void);
BASLINK_API void BASLINK_CALL LibExit(void);

/* The communication board's own EEPROM (at most 24 bytes per call) and reset.
 * Each waits on the bus: the EEPROM calls return 1 when the board confirmed the
 * exchange with the right sequence, 0 otherwise (a size above 24 shows a message
 * and sends nothing). ResetQDK waits for the board's acknowledgement at most.
 * FalloQDK waits for nothing: 1 while the port's board link has failed more than
 * twice in a row. */
BASLINK_API uint8_t BASLINK_CALL EscribirBloqueEpromQDK(uint8_t port, uint16_t address,
                                                        uint16_t size, const uint8_t* source);
BASLINK_API uint8_t BASLINK_CALL LeerBloqueEpromQDK(uint8_t port, uint16_t address,
                                                    uint16_t size, uint8_t* destination);
BASLINK_API void BASLINK_CALL ResetQDK(uint8_t port);
BASLINK_API uint8_t BASLINK_CALL FalloQDK(uint8_t port);

#ifdef __cplusplus
}
#endif

#endif /* BASLINK_H */
