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

/* A regulator's memory, addressed by node (its bus address), block (0 for plain
 * addressing) and offset. `mode` 0 goes through the communication board, any other
 * value speaks to the regulator directly; the port keeps that mode for later calls
 * and for the background work. Each call waits on the bus (500 ms at most per frame;
 * a read through the board pauses 100 ms more) and returns 1 when the exchange was
 * answered or acknowledged, 0 otherwise. Values travel least significant byte first.
 * Nothing is sent, and 0 returned, for a port outside 1 to 20 or a null pointer. From
 * the tenth failed read in a row on a port (either mode) on, a failed read fills its
 * destination with 0xFF, unless PonerMemoriACeroSifallo turned that off; otherwise a
 * failed read leaves its destination as it was. */
BASLINK_API uint8_t BASLINK_CALL EscribirByteRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                       uint8_t block, uint16_t offset,
                                                       uint8_t value);
BASLINK_API uint8_t BASLINK_CALL EscribirWordRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                       uint8_t block, uint16_t offset,
                                                       uint16_t value);
BASLINK_API uint8_t BASLINK_CALL EscribirLongRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                       uint8_t block, uint16_t offset,
                                                       int32_t value);
BASLINK_API uint8_t BASLINK_CALL EscribirFloatRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                        uint8_t block, uint16_t offset,
                                                        float value);
/* The value reads take room for 1, 2, 4 and 4 bytes (a byte, a 16-bit and a 32-bit
 * integer, a single float). */
BASLINK_API uint8_t BASLINK_CALL LeerByteRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                   uint8_t block, uint16_t offset, void* value);
BASLINK_API uint8_t BASLINK_CALL LeerWordRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                   uint8_t block, uint16_t offset, void* value);
BASLINK_API uint8_t BASLINK_CALL LeerLongRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                   uint8_t block, uint16_t offset, void* value);
BASLINK_API uint8_t BASLINK_CALL LeerFloatRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                    uint8_t block, uint16_t offset, void* value);
/* Blocks of at most 24 bytes. A size above 24, port 0 or a port above 20 shows a
 * message (checked in that order, the first failing one only) and sends nothing. */
BASLINK_API uint8_t BASLINK_CALL LeerBloqueMemoriaRegulador(uint8_t port, uint8_t mode,
                                                            uint16_t node, uint8_t block,
                                                            uint16_t offset, uint16_t size,
                                                            uint8_t* destination);
BASLINK_API uint8_t BASLINK_CALL EscribirBloqueMemoriaRegulador(uint8_t port, uint8_t mode,
                                                                uint16_t node, uint8_t block,
                                                                uint16_t offset, uint16_t size,
                                                                const uint8_t* source);
/* A regulator's EEPROM, through the mailbox at block 7, offset 116 of its memory (the
 * fourth argument is not used). The write (at most 20 bytes) returns once the request
 * is acknowledged, not once the regulator has stored it. The read writes its request,
 * waits 20 ms per byte, then reads the bytes (at most 24: a larger size is refused only
 * at that read); the destination receives only the bytes read. Messages as for the
 * block calls. */
BASLINK_API uint8_t BASLINK_CALL EscribirBloqueEpromRegulador(uint8_t port, uint8_t mode,
                                                              uint16_t node, uint8_t unused,
                                                              uint16_t address, uint16_t size,
                                                              const uint8_t* source);
BASLINK_API uint8_t BASLINK_CALL LeerBloqueEpromRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                          uint8_t unused, uint16_t address,
                                                          uint16_t size, uint8_t* destination);
/* Settings, stored at once, also while the library stops; no wait. 1 (the default)
 * lets ten failed reads in a row fill the destination with 0xFF, any other value not.
 * The pause of the background work after each pass over the ports, in milliseconds
 * (10 by default). */
BASLINK_API void BASLINK_CALL PonerMemoriACeroSifallo(uint8_t flag);
BASLINK_API void BASLINK_CALL DelayEntreTranmisiones(int32_t milliseconds);

#ifdef __cplusplus
}
#endif

#endif /* BASLINK_H */
