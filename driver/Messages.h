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

// The read cache and write queue; the size texts are followed by 24, the upper port texts
// by the last port.
inline constexpr char kAnadirLecturaSize[] =
    "DLL Error AnadirLecturaVLX2: Tamaño máximo de paquete ";
inline constexpr char kAnadirLecturaPortZero[] =
    "DLL Error AnadirLecturaVLX2: Puerto ha de ser > 0";
inline constexpr char kAnadirLecturaPortAbove[] =
    "DLL Error AnadirLecturaVLX2: Puerto ha de ser < ";
inline constexpr char kQuitarPortZero[] = "DLL QuitarVlx2 Puerto ha de ser > 0";
inline constexpr char kQuitarPortAbove[] = "DLL QuitarVlx2 ha de ser < ";
inline constexpr char kLeerMemoriaPortZero[] = "DLL LeerMemoriaVLX2 Puerto ha de ser > 0";
inline constexpr char kLeerMemoriaPortAbove[] = "DLL LeerMemoriaVLX2 Puerto ha de ser < ";
inline constexpr char kEscribirMemoriaSize[] =
    "DLL Error EscribirMemoriaVLX2: Tamaño máximo de paquete ";
inline constexpr char kEscribirMemoriaPortZero[] = "DLL EscribirMemoriaVLX2 Puerto ha de ser > 0";
inline constexpr char kEscribirMemoriaPortAbove[] = "DLL EscribirMemoriaVLX2 Puerto ha de ser < ";

// The diagnostic window.
inline constexpr char kInfoPortZero[] = "DLL MostrarInfoVLX2 Puerto ha de ser > 0";
inline constexpr char kInfoPortAbove[] = "DLL MostrarInfoVLX2 Puerto ha de ser < ";
inline constexpr char kInfoWithoutWindows[] =
    "DLL MostrarInfoVLX2: este programa no muestra ventanas en este hilo; no se abre la ventana";
inline constexpr char kInfoInsideExchange[] =
    "DLL MostrarInfoVLX2: no se abre la ventana durante un intercambio";

}  // namespace baslink::texts
