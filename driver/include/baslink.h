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
 * failure value. A port whose device goes away (an adapter unplugged) or cannot be
 * opened fails its calls at once, as if the device stayed silent (the failure counts
 * alike), and shows "DLL AbrirPuerto: Imposible Abrir Puerto comN" once, at the first
 * call that fails to open it since it last opened. Every call, and the background work
 * of its cache, tries the device again; the first once it is back opens it. A port
 * uses only its own device, judged from the device it opened whatever led there, and
 * fails as above rather than use another: never a terminal that is some session's (a
 * person's shell, a login, a serial console), nor /dev/tty, /dev/console, /dev/tty0 or
 * /dev/ptmx; never a pseudo-terminal through the links of one that hung up under it,
 * until one of them is written anew. A port holds its device with an advisory lock
 * (flock), which ends with the program however it ends.
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
BASLINK_API uint8_t BASLINK_CALL LeerBloqueEpromQDK(uint8_t port, uint16_t address, uint16_t size,
                                                    uint8_t* destination);
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

/* Point modules: I/O modules of 8 points in 4 pairs, each pair of type 0..7 (0 unused;
 * 1 and 7 one-bit outputs, 4 eight-bit outputs; 2 one-bit, 5 eight-bit and 3, 6
 * eleven-bit inputs). Once added, a module is polled by the library's worker while it
 * is active. None of these calls waits on the bus; those that change a module wait
 * while a poll is under way. A module not added is ignored (status 0). Once LibExit has
 * run they do nothing (status 0).
 * AnadirZOQ adds the module of (port, address), or resets the one there, active with
 * all values 0; a pair type above 7 counts as 0. Port 0 or above 20 shows a message
 * and adds nothing. Always returns 0. */
BASLINK_API uint16_t BASLINK_CALL AnadirZOQ(uint8_t port, uint8_t address, uint8_t type1,
                                            uint8_t type2, uint8_t type3, uint8_t type4);
/* Polled only while activo is 1. Note the order: bit B before bit A. */
BASLINK_API void BASLINK_CALL PonerEstadoZoq(uint8_t port, uint8_t address, uint8_t activo,
                                             uint8_t bitB, uint8_t bitA);
/* Status bits: 0x01 active, 0x02 an input changed (never cleared), 0x04 bit A, 0x08 the
 * module's status bit, 0x10 bit B, 0x20 more than 10 bad answers in a row, 0x40 more
 * than 2 failed exchanges in a row. */
BASLINK_API uint16_t BASLINK_CALL CogerEstadoZoq(uint8_t port, uint8_t address);
/* The values of points 1..8 (null pointers are skipped). */
BASLINK_API void BASLINK_CALL CogerValoresZOQS(uint8_t port, uint8_t address, uint16_t* value1,
                                               uint16_t* value2, uint16_t* value3, uint16_t* value4,
                                               uint16_t* value5, uint16_t* value6, uint16_t* value7,
                                               uint16_t* value8);
/* Sets the output points (types 0, 1, 4, 7) of 1..8, at most 1 for type 1 and 255 for
 * type 4; values for input points are dropped. */
BASLINK_API void BASLINK_CALL PonerValoresZOQS(uint8_t port, uint8_t address, uint16_t value1,
                                               uint16_t value2, uint16_t value3, uint16_t value4,
                                               uint16_t value5, uint16_t value6, uint16_t value7,
                                               uint16_t value8);
/* One output point, as above; a point outside 1..8 shows a message. */
BASLINK_API void BASLINK_CALL PonerValorZOQ(uint8_t port, uint8_t address, uint16_t point,
                                            uint16_t value);
/* Delivers nothing (the last argument is not used; read values with CogerValoresZOQS);
 * a point outside 1..8 shows a message. */
BASLINK_API void BASLINK_CALL CogerValorZOQ(uint8_t port, uint8_t address, uint16_t point,
                                            uint32_t unused);

/* Free-form exchanges.
 * PedirCommLibre sends the first (bitsToSend + 7) / 8 bytes of buffer as a bit stream
 * through the communication board, with the parameter byte, and zeroes them in buffer.
 * Waits on the bus; returns 1 once the board has answered, 0 otherwise. An accepted
 * answer (its data, (bitsToReceive + 7) / 8 bytes or 5 for 0 bits) is copied to buffer
 * and kept for DevolverCommLibre, library-wide: the point-module polls use it too. More
 * than 1920 bits to send or 1968 to receive are refused (0, nothing sent); the
 * board is told each bit count's low byte. A call that reaches the port leaves it in
 * board mode, as mode 0 of the memory calls does. The second argument is not used. */
BASLINK_API uint16_t BASLINK_CALL PedirCommLibre(uint8_t port, uint32_t unused, uint16_t bitsToSend,
                                                 uint16_t bitsToReceive, uint8_t parameter,
                                                 uint8_t* buffer);
/* Copies (*bitCount + 7) / 8 bytes (at most 256) of the last accepted answer to buffer;
 * *status becomes 0x80 when *bitCount is that answer's bit count, else 0 (a
 * PedirCommLibre that gets no accepted answer leaves 0 bits, unless it was refused at
 * once: while the library stops, or from a handler while a call waits on the bus).
 * Never waits; returns 1. */
BASLINK_API uint16_t BASLINK_CALL DevolverCommLibre(uint16_t* status, const uint16_t* bitCount,
                                                    uint8_t* buffer);
/* Raw exchange in direct mode, in which it leaves the port: writes sendCount bytes of
 * buffer (zeroing them), then waits up to timeoutMs for exactly receiveCount bytes,
 * unchecked, into buffer. With sendCount 0 the bytes collected since the port's last
 * send count. Returns receiveCount, or 0 on timeout (what came, up to receiveCount
 * bytes, is copied). */
BASLINK_API uint16_t BASLINK_CALL PedirCommLibreRs(uint8_t port, uint8_t sendCount,
                                                   uint8_t receiveCount, uint32_t timeoutMs,
                                                   uint8_t* buffer);

/* Read cache and write queue. None of these calls waits on the bus (only the first
 * AnadirLecturaVLX2 of a port pauses 500 ms to open it); they wait while the library's
 * worker exchanges on the bus for one of its steps. The second argument is not used
 * (but for CogerEstadoVLX2). Once LibExit has run they do nothing and return 0.
 * AnadirLecturaVLX2 registers size bytes (at most 24) at (node, block, offset) for the
 * worker to read in the background, merged with the port's other requests into blocks of
 * at most 24 bytes; mode 1 reads with direct frames, any other value through the board.
 * The cached bytes read as 0 until the first read. It opens the port, so from a message
 * handler run while a call waits on the bus it is refused and registers nothing. A size
 * above 24, port 0 or a port above 20 shows a message (in that order) and registers
 * nothing. */
BASLINK_API void BASLINK_CALL AnadirLecturaVLX2(uint8_t port, uint8_t unused, uint16_t node,
                                                uint8_t block, uint16_t offset, uint16_t size,
                                                uint8_t mode, const char* name);
/* Forgets all the port's requests and cached blocks. Port 0 or above 20 shows a message. */
BASLINK_API void BASLINK_CALL QuitarVlx2(uint8_t port, uint8_t unused, uint32_t unused2);
/* Copies size cached bytes into destination from a block that holds them all; where no
 * block does (a range across two blocks, a block number above 255), destination is left
 * as it was (as it is for a null destination). Port 0 or above 20 shows a message. */
BASLINK_API void BASLINK_CALL LeerMemoriaVLX2(uint8_t port, uint8_t unused, uint16_t node,
                                              uint16_t block, uint16_t offset, uint16_t size,
                                              void* destination);
/* Queues a write of size bytes (at most 24) of source; the worker sends the queue in the
 * order of the calls, each write once, in the port's link mode at that moment, and only
 * on a port that a call has opened (its writes fail while its device is missing). A size above 24,
 * port 0 or a port above 20 shows a message (in that order) and queues nothing; so does a null
 * source with a size above 0, silently. */
BASLINK_API void BASLINK_CALL EscribirMemoriaVLX2(uint8_t port, uint8_t unused, uint16_t node,
                                                  uint8_t block, uint16_t offset, uint16_t size,
                                                  const void* source);
/* Cached values, least significant byte first; 0 where no block holds them. */
BASLINK_API uint8_t BASLINK_CALL LeerVLX2_Byte(uint8_t port, uint8_t unused, uint16_t node,
                                               uint16_t block, uint16_t offset);
BASLINK_API int16_t BASLINK_CALL LeerVLX2_Integer(uint8_t port, uint8_t unused, uint16_t node,
                                                  uint16_t block, uint16_t offset);
BASLINK_API int32_t BASLINK_CALL LeerVLX2_Long(uint8_t port, uint8_t unused, uint16_t node,
                                               uint16_t block, uint16_t offset);
BASLINK_API float BASLINK_CALL LeerVLX2_Single(uint8_t port, uint8_t unused, uint16_t node,
                                               uint16_t block, uint16_t offset);
/* Queued writes of a value, least significant byte first (EscribirMemoriaVLX2). */
BASLINK_API void BASLINK_CALL EscribirVLX2_Byte(uint8_t port, uint8_t unused, uint16_t node,
                                                uint8_t block, uint16_t offset, uint8_t value);
BASLINK_API void BASLINK_CALL EscribirVLX2_Integer(uint8_t port, uint8_t unused, uint16_t node,
                                                   uint8_t block, uint16_t offset, int16_t value);
BASLINK_API void BASLINK_CALL EscribirVLX2_Long(uint8_t port, uint8_t unused, uint16_t node,
                                                uint8_t block, uint16_t offset, int32_t value);
BASLINK_API void BASLINK_CALL EscribirVLX2_Single(uint8_t port, uint8_t unused, uint16_t node,
                                                  uint8_t block, uint16_t offset, float value);
/* 1 while the first cached block of node (0 to 255) reads well, 0 once its last three
 * reads have failed, or once a failed read has filled it with 0xFF (a fill that stays
 * until a good read); 0 too when the port (1 to 20) has no block of that node. A port
 * whose device is missing fails its reads at each turn. */
BASLINK_API uint8_t BASLINK_CALL CogerEstadoVLX2(uint8_t port, uint8_t node);

/* A window that shows the queued writes of all ports and the port's requests and cached
 * blocks, refreshed every half second; returns once it is closed (a click on its top
 * strip closes it, and so does LibExit). It needs a QApplication on the calling thread:
 * elsewhere, or from a handler run while a call waits on the bus, it opens nothing and
 * says so as a message (a line on standard error without a window). Port 0 or above 20
 * shows a message. */
BASLINK_API void BASLINK_CALL MostrarInfoVLX2(uint8_t port, uint8_t unused, uint32_t unused2);

#ifdef __cplusplus
}
#endif

#endif /* BASLINK_H */
