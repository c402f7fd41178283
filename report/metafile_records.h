// The record numbers, header sizes and little-endian readers that the metafile reader, the
// player and the logo's writer share; the byte format is described at the top of metafile.cpp.
// Only the metafile files include this.
#pragma once

#include <cstddef>
#include <cstdint>

namespace spanlab::wmf {

inline constexpr size_t kMetaHeaderBytes = 18;  // the metafile header, placeable or not
inline constexpr uint32_t kPlainPictureSize = 1000;  // 0.01 mm

enum : uint16_t {
  kMetaEof = 0x0000,
  kMetaSaveDc = 0x001E,
  kMetaCreatePalette = 0x00F7,
  kMetaSetBkMode = 0x0102,
  kMetaSetMapMode = 0x0103,
  kMetaRestoreDc = 0x0127,
  kMetaSelectObject = 0x012D,
  kMetaSetTextAlign = 0x012E,
  kMetaDibCreatePatternBrush = 0x0142,
  kMetaDeleteObject = 0x01F0,
  kMetaCreatePatternBrush = 0x01F9,
  kMetaSetTextColor = 0x0209,
  kMetaSetWindowOrg = 0x020B,
  kMetaSetWindowExt = 0x020C,
  kMetaSetViewportOrg = 0x020D,
  kMetaSetViewportExt = 0x020E,
  kMetaLineTo = 0x0213,
  kMetaMoveTo = 0x0214,
  kMetaCreatePenIndirect = 0x02FA,
  kMetaCreateFontIndirect = 0x02FB,
  kMetaCreateBrushIndirect = 0x02FC,
  kMetaPolygon = 0x0324,
  kMetaPolyline = 0x0325,
  kMetaEllipse = 0x0418,
  kMetaRectangle = 0x041B,
  kMetaTextOut = 0x0521,
  kMetaCreateRegion = 0x06FF,
  kMetaExtTextOut = 0x0A32,
};

inline constexpr uint16_t kPenStyleNull = 5;
inline constexpr uint16_t kBrushStyleNull = 1;

inline uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline int16_t I16(const uint8_t* p) { return static_cast<int16_t>(U16(p)); }
inline uint32_t U32(const uint8_t* p) { return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16; }

}  // namespace spanlab::wmf
