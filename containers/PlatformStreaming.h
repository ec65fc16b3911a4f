#pragma once
// The stream form of the graphics and of TMemoryStream: a length (a 64-bit filer integer)
// and that many bytes.

namespace baslink {

class TObject;
class TObjectReader;
class TObjectWriter;

void ReadGraphic(TObject* obj, TObjectReader& reader);
void WriteGraphic(TObject* obj, TObjectWriter& writer);
void ReadMemoryStream(TObject* obj, TObjectReader& reader);
void WriteMemoryStream(TObject* obj, TObjectWriter& writer);

// Registers TBitmap, TIcon and TMetafile, then TMemoryStream, as streamable.
void RegisterPlatformClasses();

}  // namespace baslink
