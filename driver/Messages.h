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

}  // namespace baslink::texts
