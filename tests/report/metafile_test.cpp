// The header picture: reading metafiles, playing them into a box, and the shipped logo.
#include "report/metafile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/file_access.h"
#include "platform/recording_device_context.h"

namespace spanlab {
namespace {

namespace fs = std::filesystem;

// Little-endian words and double words, as the files hold them.
std::string Words(std::initializer_list<int> words) {
  std::string bytes;
  for (int w : words) {
    bytes += static_cast<char>(w & 0xFF);
    bytes += static_cast<char>((w >> 8) & 0xFF);
  }
  return bytes;
}
std::string Dword(uint32_t v) { return Words({int(v & 0xFFFF), int(v >> 16)}); }

std::string Record(int function, std::initializer_list<int> params) {
  return Dword(static_cast<uint32_t>(3 + params.size())) + Words({function}) + Words(params);
}
// A record whose parameters are raw bytes, padded to a word.
std::string RawRecord(int function, std::string params) {
  if (params.size() % 2) params += '\0';
  return Dword(static_cast<uint32_t>(3 + params.size() / 2)) + Words({function}) + params;
}
// A string literal with any zero bytes inside it, without the terminating one.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

// The 18-byte header, the records and META_EOF, with the size field counting them all.
std::string Plain(const std::string& records, int objects = 4) {
  const std::string eof = Record(0x0000, {});
  const uint32_t words = static_cast<uint32_t>(9 + (records.size() + eof.size()) / 2);
  return Words({1, 9, 0x0300}) + Dword(words) + Words({objects}) + Dword(3) + Words({0}) + records +
         eof;
}
std::string Placeable(int left, int top, int right, int bottom, int unitsPerInch,
                      const std::string& metafile) {
  return Dword(kPlaceableMetafileKey) + Words({0, left, top, right, bottom, unitsPerInch}) +
         Dword(0) + Words({0}) + metafile;
}

Metafile Parsed(const std::string& bytes) {
  const std::optional<Metafile> picture = ParseReportPicture(bytes);
  EXPECT_TRUE(picture.has_value());
  return picture.value_or(Metafile());
}

// Plays a plain picture whose window is 0,0 + 1000 x 1000 into the box (10, 20) 200 x 100:
// one logical unit is 0.2 device units across and 0.1 down.
RecordingDeviceContext PlayInBox(const std::string& records, int objects = 4) {
  RecordingDeviceContext dc;
  const std::string mapping =
      Record(0x0103, {8}) + Record(0x020B, {0, 0}) + Record(0x020C, {1000, 1000});
  PlayMetafile(dc, Parsed(Plain(mapping + records, objects)), 10, 20, 200, 100);
  return dc;
}

Point At(const RecordedText& text) { return {text.x, text.y}; }

// ---- Reading ----

TEST(MetafileLoadTest, PlaceableAndPlainFilesKeepTheirMetafileAndSize) {
  const std::string metafile = Plain(Record(0x0214, {1, 2}));
  const Metafile placeable = Parsed(Placeable(-720, 0, 720, 720, 1440, metafile) + "trailing");
  EXPECT_TRUE(placeable.placeable);
  EXPECT_EQ(std::string(placeable.records.begin(), placeable.records.end()), metafile);
  EXPECT_EQ(placeable.bboxLeft, -720);
  EXPECT_EQ(placeable.bboxBottom, 720);
  EXPECT_EQ(placeable.unitsPerInch, 1440);
  EXPECT_EQ(placeable.widthHundredthsMm, 2540u);  // one inch
  EXPECT_EQ(placeable.heightHundredthsMm, 1270u);
  // A box drawn right to left wraps around in unsigned arithmetic: (2^32 - 100) * 2540
  // modulo 2^32 is 2^32 - 254000, over 1440.
  EXPECT_EQ(Parsed(Placeable(100, 0, 0, 0, 1440, metafile)).widthHundredthsMm, 2982439u);

  const Metafile plain = Parsed(metafile);
  EXPECT_FALSE(plain.placeable);
  EXPECT_EQ(std::string(plain.records.begin(), plain.records.end()), metafile);
  EXPECT_EQ(plain.widthHundredthsMm, 1000u);
  EXPECT_EQ(plain.heightHundredthsMm, 1000u);
}

TEST(MetafileLoadTest, MalformedFilesGiveNoPicture) {
  const std::string good = Plain(Record(0x0214, {1, 2}));
  std::string longer = good;  // size field one word more than there is
  longer[6] = static_cast<char>(longer[6] + 1);
  std::string wrongHeader = good;  // header size 10 words
  wrongHeader[2] = 10;
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty", ""},
      {"key only", Dword(kPlaceableMetafileKey)},
      {"placeable header cut short", Placeable(0, 0, 10, 10, 1440, "").substr(0, 21)},
      {"metafile header cut short", Placeable(0, 0, 10, 10, 1440, good.substr(0, 17))},
      {"no units per inch", Placeable(0, 0, 10, 10, 0, good)},
      {"placeable, size past the end", Placeable(0, 0, 10, 10, 1440, longer)},
      {"plain, size past the end", longer},
      {"size smaller than the header", Words({1, 9, 0x0300}) + Dword(8) + Words({0, 3, 0, 0})},
      {"header of 10 words", wrongHeader},
      {"type 3", Words({3}) + good.substr(2)},
  };
  for (const auto& [name, bytes] : cases) EXPECT_FALSE(ParseReportPicture(bytes)) << name;
}

class MetafileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string folder = (fs::temp_directory_path() / "metafile_XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    dir_ = folder;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& bytes) {
    const std::string path = dir_ + "/splx.wmf";
    EXPECT_TRUE(disk_.WriteFileAtomically(path, bytes).ok());
    return path;
  }
  DiskFileAccess disk_;
  std::string dir_;
};

TEST_F(MetafileFileTest, FilesOverSixtyFiveThousandBytesAreIgnored) {
  const std::string metafile = Plain(Record(0x0214, {1, 2}));
  const std::string padded = metafile + std::string(65000 - metafile.size(), '\0');
  EXPECT_TRUE(LoadReportPicture(disk_, Write(padded)));
  EXPECT_FALSE(LoadReportPicture(disk_, Write(padded + '\0')));
  EXPECT_FALSE(LoadReportPicture(disk_, dir_ + "/missing.wmf"));
}

TEST_F(MetafileFileTest, LogoLoadsAndPlaysInsideItsBox) {
  const std::vector<uint8_t> logo = WriteLogoMetafile();
  ASSERT_LT(logo.size(), kMaxReportPictureBytes);
  uint16_t checksum = 0;  // the placeable header's eleven words XOR to zero
  for (size_t i = 0; i < 22; i += 2) checksum ^= static_cast<uint16_t>(logo[i] | logo[i + 1] << 8);
  EXPECT_EQ(checksum, 0);

  const std::optional<Metafile> picture =
      LoadReportPicture(disk_, Write(std::string(logo.begin(), logo.end())));
  ASSERT_TRUE(picture);
  EXPECT_TRUE(picture->placeable);
  EXPECT_EQ(picture->widthHundredthsMm, 7 * picture->heightHundredthsMm);

  RecordingDeviceContext dc;
  PlayMetafile(dc, *picture, 100, 50, 1400, 200);
  EXPECT_GT(dc.strokes.size(), 10u);
  EXPECT_GE(dc.shapes.size(), 5u);
  ASSERT_FALSE(dc.texts.empty());
  EXPECT_EQ(dc.texts[0].text, "Spanlab");
  EXPECT_EQ(dc.texts[0].font.pixelHeight, 112);  // 560 of 1000 logical units in 200
  const auto inside = [](int x, int y) { return x >= 100 && x <= 1500 && y >= 50 && y <= 250; };
  for (const RecordedStroke& s : dc.strokes)
    EXPECT_TRUE(inside(s.x1, s.y1) && inside(s.x2, s.y2)) << s.x1 << "," << s.y1;
  for (const RecordedShape& shape : dc.shapes)
    for (const Point& p : shape.points) EXPECT_TRUE(inside(p.x, p.y)) << p.x << "," << p.y;
  for (const RecordedText& t : dc.texts) EXPECT_TRUE(inside(t.x, t.y)) << t.text;
}

// ---- Mapping ----

TEST(MetafilePlayTest, WindowMapsOntoTheBox) {
  const RecordingDeviceContext dc = PlayInBox(
      Record(0x0214, {0, 0}) + Record(0x0213, {500, 500}) +
      // A new window: origin (100, -200), 2000 x 500, so (1100, 50) is mid-box.
      Record(0x020B, {-200, 100}) + Record(0x020C, {500, 2000}) + Record(0x0213, {50, 1100}) +
      // Upside down: y grows upward from the box's bottom.
      Record(0x020B, {1000, 0}) + Record(0x020C, {-1000, 1000}) + Record(0x0213, {250, 500}) +
      // A zero extent is ignored.
      Record(0x020C, {0, 0}) + Record(0x0213, {1000, 0}));
  const std::vector<RecordedStroke> expected = {{10, 20, 110, 70, {1, {}}},
                                                {110, 70, 110, 70, {1, {}}},
                                                {110, 70, 110, 95, {1, {}}},
                                                {110, 95, 10, 20, {1, {}}}};
  EXPECT_EQ(dc.strokes, expected);
}

TEST(MetafilePlayTest, PlaceableBoxIsTheWindowUntilThePictureSetsOne) {
  const std::string records = Record(0x0214, {100, 100}) + Record(0x0213, {150, 200});
  RecordingDeviceContext dc;
  PlayMetafile(dc, Parsed(Placeable(100, 100, 300, 200, 1440, Plain(records))), 0, 0, 400, 100);
  EXPECT_EQ(dc.strokes, (std::vector<RecordedStroke>{{0, 0, 200, 50, {1, {}}}}));
}

TEST(MetafilePlayTest, ViewportAndIsotropicMode) {
  // The viewport is in the picture's 0.01 mm, 1000 x 1000 for a plain picture: this one is
  // the right half of the box, x 110..210.
  const std::string line = Record(0x0214, {0, 0}) + Record(0x0213, {1000, 1000});
  EXPECT_EQ(PlayInBox(Record(0x020D, {0, 500}) + Record(0x020E, {1000, 500}) + line).strokes,
            (std::vector<RecordedStroke>{{110, 20, 210, 120, {1, {}}}}));
  // Isotropic: the smaller scale, 0.1, serves both axes.
  EXPECT_EQ(PlayInBox(Record(0x0103, {7}) + line).strokes,
            (std::vector<RecordedStroke>{{10, 20, 110, 120, {1, {}}}}));
}

// ---- Drawing ----

TEST(MetafilePlayTest, ShapesLandOnMappedCorners) {
  // Device coordinates are rounded to the nearest: (333, -333) is (76.6, -13.3).
  const RecordingDeviceContext dc =
      PlayInBox(Record(0x041B, {800, 600, 200, 100}) +  // bottom, right, top, left
                Record(0x0418, {1000, 1000, 500, 500}) +
                Record(0x0325, {4, 0, 0, 500, 1000, 1000, 0, 333, -333}) +
                Record(0x0324, {3, 0, 1000, 500, 0, 1000, 1000}) +
                // Points that do not fit the record, and a polygon of one point, draw nothing.
                Record(0x0325, {3, 0, 0, 500, 1000}) + Record(0x0324, {1, 5, 5}));
  ASSERT_EQ(dc.shapes.size(), 3u);
  EXPECT_EQ(dc.shapes[0].kind, RecordedShape::kRectangle);
  EXPECT_EQ(dc.shapes[0].points, (std::vector<Point>{{30, 40}, {130, 100}}));
  EXPECT_EQ(dc.shapes[1].kind, RecordedShape::kPolyline);
  EXPECT_EQ(dc.shapes[1].points, (std::vector<Point>{{10, 20}, {110, 120}, {210, 20}, {77, -13}}));
  EXPECT_EQ(dc.shapes[2].kind, RecordedShape::kPolygon);
  EXPECT_EQ(dc.shapes[2].points, (std::vector<Point>{{10, 120}, {110, 20}, {210, 120}}));
  ASSERT_EQ(dc.ellipses.size(), 1u);
  const RecordedEllipse& e = dc.ellipses[0];
  EXPECT_EQ((std::vector<int>{e.left, e.top, e.right, e.bottom}),
            (std::vector<int>{110, 70, 210, 120}));
}

TEST(MetafilePlayTest, TextRecordsWithColourAlignmentAndCodePage) {
  const RecordingDeviceContext dc =
      PlayInBox(Record(0x0209, {0x3412, 0x56}) +  // red 0x12, green 0x34, blue 0x56
                Record(0x012E, {6 | 24 | 1}) +    // centre, baseline, update-position (ignored)
                RawRecord(0x0521, Words({3}) + Bytes("abc\0") + Words({500, 250})) +
                RawRecord(0x0A32, Words({1000, 0, 2, 0}) + "\x80\xE9") +
                // With a clipping rectangle the string follows it; the widths after it are ignored.
                RawRecord(0x0A32, Words({0, 1000, 2, 4, 1, 2, 3, 4}) + "ok" + Words({9, 9})) +
                // Strings longer than their record.
                RawRecord(0x0521, Words({9}) + Bytes("abc\0") + Words({0, 0})) +
                RawRecord(0x0A32, Words({0, 0, 9, 0}) + "ab"));
  ASSERT_EQ(dc.texts.size(), 3u);
  EXPECT_EQ(dc.texts[0].text, "abc");
  EXPECT_EQ(At(dc.texts[0]), (Point{60, 70}));
  EXPECT_EQ(dc.texts[0].align, 6u | 24u);
  EXPECT_EQ(dc.texts[0].color, (Rgb{0x12, 0x34, 0x56}));
  EXPECT_EQ(dc.texts[1].text, "\xE2\x82\xAC\xC3\xA9");  // euro sign, e acute
  EXPECT_EQ(At(dc.texts[1]), (Point{10, 120}));
  EXPECT_EQ(dc.texts[2].text, "ok");
  EXPECT_EQ(At(dc.texts[2]), (Point{210, 20}));
}

// ---- Objects ----

TEST(MetafilePlayTest, ObjectsScaleWithTheMapping) {
  const RecordingDeviceContext dc =
      PlayInBox(Record(0x02FA, {0, 50, 0, 0x00FF, 0}) +  // slot 0: solid pen 50 wide, red
                Record(0x02FA, {0, 0, 0, 0, 0xFF}) +     // slot 1: the thinnest pen, blue
                Record(0x02FC, {0, 0xFF00, 0, 0}) +      // slot 2: green brush
                RawRecord(0x02FB, Words({-250, 0, 0, 0, 700}) + Bytes("\1\0\0\0\0\0\0\0") +
                                      "Liberation Serif\0") +  // slot 3
                Record(0x012D, {0}) +
                Record(0x012D, {2}) + Record(0x012D, {3}) + Record(0x041B, {100, 100, 0, 0}) +
                Record(0x0521, {1, 'x', 0, 0}) + Record(0x012D, {1}) + Record(0x0213, {0, 0}));
  ASSERT_EQ(dc.shapes.size(), 1u);
  EXPECT_EQ(dc.shapes[0].pen, (Pen{10, {255, 0, 0}}));  // 50 x 0.2
  EXPECT_EQ(dc.shapes[0].brush, (Brush{false, {0, 255, 0}}));
  ASSERT_EQ(dc.texts.size(), 1u);
  EXPECT_EQ(dc.texts[0].font.face, "Liberation Serif");
  EXPECT_EQ(dc.texts[0].font.pixelHeight, 25);  // 250 x 0.1
  EXPECT_TRUE(dc.texts[0].font.bold);
  EXPECT_TRUE(dc.texts[0].font.italic);
  ASSERT_EQ(dc.strokes.size(), 1u);
  EXPECT_EQ(dc.strokes[0].pen, (Pen{1, {0, 0, 255}}));
}

TEST(MetafilePlayTest, NullPenOutlinesInTheFillAndDrawsNoLines) {
  const RecordingDeviceContext dc =
      PlayInBox(Record(0x02FA, {5, 0, 0, 0, 0}) + Record(0x02FC, {0, 0x3322, 0x44, 0}) +
                Record(0x02FC, {1, 0, 0, 0}) + Record(0x012D, {0}) + Record(0x012D, {1}) +
                Record(0x0213, {10, 10}) + Record(0x0325, {2, 0, 0, 5, 5}) +
                Record(0x041B, {100, 100, 0, 0}) +
                Record(0x012D, {2}) +  // hollow brush as well: no shape at all
                Record(0x041B, {100, 100, 0, 0}) + Record(0x0418, {100, 100, 0, 0}));
  EXPECT_TRUE(dc.strokes.empty());
  ASSERT_EQ(dc.shapes.size(), 1u);
  EXPECT_EQ(dc.shapes[0].kind, RecordedShape::kRectangle);
  EXPECT_EQ(dc.shapes[0].pen, (Pen{1, {0x22, 0x33, 0x44}}));
  EXPECT_TRUE(dc.ellipses.empty());
}

TEST(MetafilePlayTest, CreatedObjectsTakeTheLowestFreeSlot) {
  const auto pen = [](int blue) { return Record(0x02FA, {0, 0, 0, 0, blue}); };
  const RecordingDeviceContext dc =
      PlayInBox(Record(0x00F7, {0x0300, 0}) +       // a palette takes slot 0
                    pen(1) + pen(2) +               // slots 1 and 2
                    pen(3) +                        // no slot left: not created
                    Record(0x01F0, {1}) + pen(4) +  // into the freed slot 1
                    Record(0x012D, {1}) + Record(0x0213, {0, 0}) + Record(0x012D, {2}) +
                    Record(0x0213, {0, 0}) +
                    // The palette, an empty slot and one past the table select nothing.
                    Record(0x012D, {0}) + Record(0x01F0, {2}) + Record(0x012D, {2}) +
                    Record(0x012D, {7}) + Record(0x0213, {0, 0}),
                3);
  ASSERT_EQ(dc.strokes.size(), 3u);
  EXPECT_EQ(dc.strokes[0].pen.color.b, 4);
  EXPECT_EQ(dc.strokes[1].pen.color.b, 2);
  EXPECT_EQ(dc.strokes[2].pen.color.b, 2);
}

TEST(MetafilePlayTest, SavedStateComesBackWithRestore) {
  const std::string save = Record(0x001E, {});
  const auto restore = [](int which) { return Record(0x0127, {which}); };
  const std::string blue = Record(0x012D, {0}), smallWindow = Record(0x020C, {100, 100});
  const std::string there = Record(0x0213, {1000, 1000}), back = Record(0x0213, {0, 0});
  // Saved first: black pen, 1000 x 1000 window; second: blue pen, 100 x 100 window.
  const std::string twoSaved = save + blue + smallWindow + save + Record(0x020C, {10, 10});
  const std::string blueSaved = save + blue + save + smallWindow;
  const RecordingDeviceContext dc =
      PlayInBox(Record(0x02FA, {0, 0, 0, 0, 9}) + Record(0x0214, {0, 0}) + twoSaved + restore(1) +
                there +                                    // the first: black, large window
                restore(-1) + back +                       // no state left: black still
                blueSaved + restore(-1) + there +          // blue, large window
                restore(-1) + back + restore(1) + there);  // black; then nothing left
  const Pen black{1, {}}, blueOne{1, {0, 0, 9}};
  const std::vector<RecordedStroke> expected = {{10, 20, 210, 120, black},
                                                {210, 120, 10, 20, black},
                                                {10, 20, 210, 120, blueOne},
                                                {210, 120, 10, 20, black},
                                                {10, 20, 210, 120, black}};
  EXPECT_EQ(dc.strokes, expected);
}

// ---- Robustness and the device's state ----

TEST(MetafilePlayTest, UnknownRecordsAreSkippedAndBadSizesStop) {
  const std::string line = Record(0x0213, {1000, 1000});
  const std::string arc = Record(0x0817, {1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_EQ(PlayInBox(arc + Record(0x0213, {}) + line).strokes.size(), 1u);
  EXPECT_EQ(PlayInBox(Dword(0) + Words({0x0213}) + line).strokes.size(), 0u);
  EXPECT_EQ(PlayInBox(Dword(2) + Words({0x0213}) + line).strokes.size(), 0u);
  EXPECT_EQ(PlayInBox(Record(0x0000, {}) + line).strokes.size(), 0u);
  // A record reaching past the end of the data.
  Metafile picture = Parsed(Plain(line));
  const std::string runaway = Dword(1000) + Words({0x0213, 0, 0});
  picture.records.insert(picture.records.end() - 6, runaway.begin(), runaway.end());
  RecordingDeviceContext dc;
  PlayMetafile(dc, picture, 0, 0, 100, 100);
  EXPECT_EQ(dc.strokes.size(), 1u);
  // An empty box draws nothing.
  RecordingDeviceContext empty;
  PlayMetafile(empty, picture, 0, 0, 0, 100);
  EXPECT_TRUE(empty.strokes.empty());
}

TEST(MetafilePlayTest, DeviceStateIsRestoredAfterPlaying) {
  RecordingDeviceContext dc;
  const Pen pen{3, {1, 2, 3}};
  const Brush brush{true, {4, 5, 6}};
  const Font font{"Liberation Mono", 14};
  dc.SelectPen(pen);
  dc.SelectBrush(brush);
  dc.SelectFont(font);
  dc.SetTextColor({7, 8, 9});
  dc.SetTextAlign(kAlignRight | kAlignBottom);
  const std::string records =
      Record(0x02FA, {0, 9, 0, 0xFF, 0}) + Record(0x02FC, {0, 0xFF, 0, 0}) +
      RawRecord(0x02FB, Words({-50, 0, 0, 0, 400, 0, 0, 0, 0}) + "Arial\0") + Record(0x012D, {0}) +
      Record(0x012D, {1}) + Record(0x012D, {2}) + Record(0x0209, {0xFF, 0}) + Record(0x012E, {24}) +
      Record(0x0521, {1, 'x', 0, 0});
  PlayMetafile(dc, Parsed(Plain(records)), 0, 0, 100, 100);
  ASSERT_EQ(dc.texts.size(), 1u);
  EXPECT_EQ(dc.texts[0].font.face, "Arial");

  dc.Rectangle(0, 0, 1, 1);
  dc.TextOut(0, 0, "after");
  EXPECT_EQ(dc.shapes.back().pen, pen);
  EXPECT_EQ(dc.shapes.back().brush, brush);
  EXPECT_EQ(dc.texts.back().font, font);
  EXPECT_EQ(dc.texts.back().color, (Rgb{7, 8, 9}));
  EXPECT_EQ(dc.texts.back().align, kAlignRight | kAlignBottom);
}

}  // namespace
}  // namespace spanlab
