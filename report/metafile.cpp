// Windows metafiles: reading a picture file. Playing one is in metafile_player.cpp, writing
// the logo in metafile_logo.cpp.
//
// Byte format (little-endian throughout; a word is 16 bits):
//
//   placeable header, optional, 22 bytes:
//     u32 key 0x9AC6CDD7, u16 handle (0), i16 left, top, right, bottom (the picture's box in
//     its logical units), u16 units per inch, u32 reserved (0), u16 checksum (the XOR of the
//     ten words before it; readers do not check it)
//   metafile header, 18 bytes:
//     u16 type (1 memory, 2 disk), u16 header size in words (9), u16 version (0x0300),
//     u32 size of header and records in words, u16 number of object slots, u32 size of the
//     largest record in words, u16 unused (0)
//   records, each:
//     u32 size in words, these six bytes included, u16 function, parameter words;
//     the last is META_EOF (size 3, function 0).
//
// Coordinates are signed 16-bit logical units, and most records list them last one first:
// META_LINETO holds (y, x), META_RECTANGLE (bottom, right, top, left). A colour is four bytes
// red, green, blue, 0. Strings are bytes in the Windows-1252 code page, padded to a word.
#include "report/metafile.h"

#include "report/metafile_records.h"

namespace spanlab {

using namespace wmf;

namespace {

constexpr size_t kPlaceableHeaderBytes = 22;

// The header of a metafile at `p` with `available` bytes from there on: the metafile's byte
// count, or 0 when the header is malformed or the metafile does not fit.
size_t MetafileBytes(const uint8_t* p, size_t available) {
  if (available < kMetaHeaderBytes) return 0;
  const uint16_t type = U16(p), headerWords = U16(p + 2);
  if ((type != 1 && type != 2) || headerWords != kMetaHeaderBytes / 2) return 0;
  const uint64_t bytes = 2 * static_cast<uint64_t>(U32(p + 6));
  if (bytes < kMetaHeaderBytes || bytes > available) return 0;
  return static_cast<size_t>(bytes);
}

}  // namespace

std::optional<Metafile> ParseReportPicture(std::string_view text) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const size_t size = text.size();
  Metafile picture;
  size_t start = 0;
  if (size >= 4 && U32(bytes) == kPlaceableMetafileKey) {
    if (size < kPlaceableHeaderBytes) return std::nullopt;
    picture.placeable = true;
    picture.bboxLeft = I16(bytes + 6);
    picture.bboxTop = I16(bytes + 8);
    picture.bboxRight = I16(bytes + 10);
    picture.bboxBottom = I16(bytes + 12);
    picture.unitsPerInch = U16(bytes + 14);
    if (picture.unitsPerInch == 0) return std::nullopt;
    const uint32_t width = static_cast<uint32_t>(picture.bboxRight - picture.bboxLeft);
    const uint32_t height = static_cast<uint32_t>(picture.bboxBottom - picture.bboxTop);
    picture.widthHundredthsMm = width * 2540u / picture.unitsPerInch;
    picture.heightHundredthsMm = height * 2540u / picture.unitsPerInch;
    start = kPlaceableHeaderBytes;
  } else {
    picture.widthHundredthsMm = picture.heightHundredthsMm = kPlainPictureSize;
  }
  const size_t count = MetafileBytes(bytes + start, size - start);
  if (count == 0) return std::nullopt;
  picture.records.assign(bytes + start, bytes + start + count);
  return picture;
}

std::optional<Metafile> LoadReportPicture(FileAccess& files, const std::string& path) {
  std::string bytes;
  if (!files.ReadFile(path, bytes, kMaxReportPictureBytes).ok()) return std::nullopt;
  if (bytes.size() > kMaxReportPictureBytes) return std::nullopt;
  return ParseReportPicture(bytes);
}

}  // namespace spanlab
