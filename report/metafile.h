// Windows metafiles (WMF): the format of the header picture that printed report pages carry.
// This file reads such a picture, plays it into a box of any device context, and builds the
// logo picture that ships with the program. The byte format is described at the top of
// metafile.cpp, the playing rules at the top of metafile_player.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_context.h"
#include "platform/file_access.h"

namespace spanlab {

// A picture ready to play.
struct Metafile {
  // The 18-byte metafile header followed by the records, as they are in the file; exactly
  // as many bytes as the header's size field says.
  std::vector<uint8_t> records;
  // The picture's size in 0.01 mm. A placeable picture's comes from its box and units per
  // inch, computed in unsigned 32-bit arithmetic (a box drawn right to left wraps around);
  // a plain picture is 1000 x 1000. Zero when the box is empty: such a picture is not printed.
  uint32_t widthHundredthsMm = 0;
  uint32_t heightHundredthsMm = 0;
  // Whether the file had the 22-byte placeable header; only then are the box (in the
  // picture's logical units) and the units per inch meaningful.
  bool placeable = false;
  int16_t bboxLeft = 0, bboxTop = 0, bboxRight = 0, bboxBottom = 0;
  uint16_t unitsPerInch = 0;
};

// The first four bytes of a placeable metafile, read as a little-endian 32-bit value.
inline constexpr uint32_t kPlaceableMetafileKey = 0x9AC6CDD7;
// A picture file longer than this is not read at all.
inline constexpr size_t kMaxReportPictureBytes = 65000;

// The picture in the bytes of a file, or nullopt when the bytes are not a metafile we can
// play: a placeable header with 0 units per inch, a header cut short, a metafile header that
// is not 18 bytes of type 1 or 2, or a size field that reaches past the end of the bytes.
// A placeable file keeps the metafile its size field covers; bytes after it are ignored.
std::optional<Metafile> ParseReportPicture(std::string_view bytes);

// Reads the picture file at `path`: nullopt when it cannot be read, is longer than
// kMaxReportPictureBytes, or is not a metafile (ParseReportPicture). Never reports an error:
// without a picture the pages simply print without one.
std::optional<Metafile> LoadReportPicture(FileAccess& files, const std::string& path);

// Draws `picture` into the device box (boxLeft, boxTop, boxWidth x boxHeight, device
// units): the picture's window is stretched onto the whole box unless the picture sets a
// viewport of its own. Nothing is drawn into an empty box. The device context's pen, brush,
// font, text colour and text alignment are the same afterwards as before; its current
// position is not (it is where the picture's last move or line ended).
void PlayMetafile(DeviceContext& dc, const Metafile& picture, int boxLeft, int boxTop, int boxWidth,
                  int boxHeight);

// The program's logo as a placeable metafile file, 7:1 wide like the printed header box
// (177.8 x 25.4 mm): a framed panel with a loaded beam on two supports and its deflected
// shape, and the program's name.
std::vector<uint8_t> WriteLogoMetafile();

}  // namespace spanlab
