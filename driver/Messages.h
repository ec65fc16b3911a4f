#pragma once
// The texts the library shows to people.
//
// The system's texts are 8-bit Windows-1252 strings; here they are kept as UTF-8
// literals in the source and shown as they are (platform::ShowMessage takes UTF-8).
// Nothing converts them: they never travel on the bus or into files.

namespace baslink::texts {

inline constexpr char kMaximumSize[] = "Tamaño maximo 24 bytes";
inline constexpr char kCannotOpenPort[] = "DLL AbrirPuerto: Imposible Abrir Puerto ";
inline constexpr char kCannotCreateWorker[] = "DLL ERROR creando el thread principal";
// The argument checks of the regulator memory exports; the size and the upper port texts
// are followed by their limit in decimal.
inline constexpr char kMaximumPacket[] = "Error: Tamaño máximo de paquete ";
inline constexpr char kPortAboveZero[] = "Error: Puerto ha de ser > 0";
inline constexpr char kPortBelow[] = "Error: Puerto ha de ser < ";

// Point modules.
inline constexpr char kZoqPortZero[] = "DLL AnadirZOQ: Puerto ha de ser > 0";
inline constexpr char kZoqPortAbove[] = "DLL AnadirZOQ: Puerto ha de ser < ";  // + the last port
inline constexpr char kPonerValorZoqPoint[] = "DLL PonerValorZOQ: Punto ha de estar entre 1 y 8";
inline constexpr char kCogerValorZoqPoint[] = "DLL CogerValorZOQ: Punto ha de estar entre 1 y 8";

}  // namespace baslink::texts
