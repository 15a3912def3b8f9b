#include "platform/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"

namespace zor::png {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  std::string path;  // ends in "/"
  TempDir() {
    std::string t = (fs::temp_directory_path() / "zorpngXXXXXX").string();
    std::vector<char> buf(t.begin(), t.end());
    buf.push_back('\0');
    path = std::string(mkdtemp(buf.data())) + "/";
  }
  ~TempDir() { fs::remove_all(path); }
};

struct Decoded {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

Decoded readBack(const std::string& path) {
  Decoded d;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return d;
  image.format = PNG_FORMAT_RGB;
  d.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, d.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return d;
  }
  d.ok = true;
  d.width = static_cast<int>(image.width);
  d.height = static_cast<int>(image.height);
  return d;
}

TEST(PngWriter, WritesPixelsThatReadBackForEachChannelOrder) {
  struct Case {
    const char* name;
    PixelShifts shifts;
  };
  // Red in the low byte (the game's colours) and red in the third byte (ARGB).
  const Case cases[] = {{"rgba", {0, 8, 16}}, {"argb", {16, 8, 0}}, {"high", {24, 16, 8}}};
  TempDir dir;
  const int w = 3, h = 2, pitch = 5;  // two unused pixels at the end of each row
  for (const Case& c : cases) {
    std::vector<uint32_t> pixels(static_cast<std::size_t>(pitch * h), 0xDEADBEEFu);
    auto put = [&](int x, int y, uint32_t r, uint32_t g, uint32_t b) {
      pixels[static_cast<std::size_t>(y * pitch + x)] =
          (r << c.shifts.red) | (g << c.shifts.green) | (b << c.shifts.blue);
    };
    const uint8_t expect[2][3][3] = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, {{1, 2, 3}, {128, 64, 32}, {255, 255, 255}}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) put(x, y, expect[y][x][0], expect[y][x][1], expect[y][x][2]);

    const std::string path = dir.path + c.name + ".png";
    ASSERT_TRUE(writePng(path, pixels.data(), w, h, pitch, c.shifts)) << c.name;
    Decoded d = readBack(path);
    ASSERT_TRUE(d.ok) << c.name;
    EXPECT_EQ(d.width, w);
    EXPECT_EQ(d.height, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int k = 0; k < 3; ++k)
          EXPECT_EQ(d.rgb[static_cast<std::size_t>((y * w + x) * 3 + k)], expect[y][x][k]) << c.name << " " << x << "," << y;
  }
}

TEST(PngWriter, RefusesBadSizesAndFormats) {
  std::vector<uint32_t> pixels(16, 0);
  std::vector<uint8_t> out;
  EXPECT_FALSE(encodePng(pixels.data(), 0, 1, 1, {}, out));
  EXPECT_FALSE(encodePng(pixels.data(), 4, -1, 4, {}, out));
  EXPECT_FALSE(encodePng(pixels.data(), 4, 4, 3, {}, out));  // pitch below width
  EXPECT_FALSE(encodePng(pixels.data(), kMaxSide + 1, 1, kMaxSide + 1, {}, out));
  EXPECT_FALSE(encodePng(nullptr, 1, 1, 1, {}, out));
  EXPECT_FALSE(encodePng(pixels.data(), 1, 1, 1, {0, 8, 12}, out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(encodePng(pixels.data(), 4, 4, 4, {}, out));
  EXPECT_EQ(out.size() > 8 && out[1] == 'P' && out[2] == 'N' && out[3] == 'G', true);
}

TEST(PngWriter, AFailedWriteLeavesNoFile) {
  TempDir dir;
  std::vector<uint32_t> pixels(4, 0);
  fs::create_directory(dir.path + "shot.png");  // a folder in the way
  EXPECT_FALSE(writePng(dir.path + "shot.png", pixels.data(), 2, 2, 2, {}));
  EXPECT_FALSE(writePng(dir.path + "missing/shot.png", pixels.data(), 2, 2, 2, {}));
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir.path)) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace zor::png
