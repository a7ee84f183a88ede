// present_picture_test.cpp: the picture scaled into targets smaller and larger
// than itself, checked against what each screen pixel covers of the picture,
// worked out here from the picture alone; and scaled on the CPU, which must
// agree with OpenGL within one level a channel.
#include "offscreen/present_picture.h"

#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>
#include <vector>

#include "offscreen/cpu_presenting.h"
#include "offscreen/offscreen_context.h"
#include "offscreen/picture_framebuffer.h"
#include "offscreen/picture_placement.h"

namespace {

using rgb_frame = std::vector<std::uint8_t>;  // RGB, bottom row first, as glReadPixels reads

// The bound framebuffer's pixels.
rgb_frame read_target(int width, int height) {
  rgb_frame pixels(std::size_t(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// Every picture pixel a random 16-bit colour: neighbours differ as much as
// they can, so any sample taken from the wrong place shows.
rgb_frame draw_random_picture(const picture_framebuffer& picture) {
  std::mt19937 random(20261208);
  std::vector<std::uint16_t> texels(std::size_t(picture_width) * picture_height);
  for (std::uint16_t& texel : texels) texel = std::uint16_t(random());
  draw_into_picture(picture);
  glWindowPos2i(0, 0);
  glDrawPixels(picture_width, picture_height, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, texels.data());
  // The picture as the driver holds it, widened to 8 bits a channel.
  return read_target(picture_width, picture_height);
}

// A framebuffer of 8-bit channels of that size, bound, as a window's would be.
unsigned make_target(int width, int height) {
  unsigned framebuffer = 0, colour = 0;
  glGenRenderbuffers(1, &colour);
  glBindRenderbuffer(GL_RENDERBUFFER, colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
  return framebuffer;
}

// The picture pixels a screen pixel's square covers, along one axis: the first
// and the last, where `scale` screen pixels span one picture pixel.
std::pair<int, int> covered_by(int screen_pixel, double scale, int picture_size) {
  return {int(std::floor(screen_pixel / scale)),
          std::min(picture_size - 1, int(std::ceil((screen_pixel + 1) / scale)) - 1)};
}

struct scaled_check {
  int bad_pixels = 0;
  std::string first_bad;
};

// Each screen pixel of the placed picture must lie, channel by channel,
// within the colours of the picture pixels it covers (one level either way);
// where it covers exactly one, it is that pixel's colour. The bands are black.
scaled_check check_scaled(const rgb_frame& picture, const rgb_frame& screen, int width, int height) {
  const picture_placement placed = place_picture(width, height);
  const double scale = double(placed.width) / picture_width;
  scaled_check check;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* shown = &screen[(std::size_t(y) * width + x) * 3];
      const bool inside = x >= placed.x && x < placed.x + placed.width && y >= placed.y && y < placed.y + placed.height;
      bool good = inside || (shown[0] == 0 && shown[1] == 0 && shown[2] == 0);
      if (inside) {
        const auto [first_column, last_column] = covered_by(x - placed.x, scale, picture_width);
        const auto [first_row, last_row] = covered_by(y - placed.y, scale, picture_height);
        for (int channel = 0; channel < 3; ++channel) {
          int least = 255, most = 0;
          for (int v = first_row; v <= last_row; ++v)
            for (int u = first_column; u <= last_column; ++u) {
              const int value = picture[(std::size_t(v) * picture_width + u) * 3 + channel];
              least = std::min(least, value);
              most = std::max(most, value);
            }
          good = good && shown[channel] + 1 >= least && shown[channel] <= most + 1;
        }
      }
      if (!good && check.bad_pixels++ == 0) check.first_bad = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    }
  return check;
}

// At half size each screen pixel covers four picture pixels: the channels
// more than two levels from their average (the filter's weights are 8-bit).
int far_from_average_of_four(const rgb_frame& picture, const rgb_frame& screen) {
  int far = 0;
  for (int y = 0; y < picture_height / 2; ++y)
    for (int x = 0; x < picture_width / 2; ++x)
      for (int channel = 0; channel < 3; ++channel) {
        int sum = 0;
        for (const int v : {2 * y, 2 * y + 1})
          for (const int u : {2 * x, 2 * x + 1}) sum += picture[(std::size_t(v) * picture_width + u) * 3 + channel];
        far += std::abs(screen[(std::size_t(y) * picture_width / 2 + x) * 3 + channel] * 4 - sum) > 2 * 4;
      }
  return far;
}

// The screen's channels more than one level from the picture presented on the
// CPU as the show presents it, its halves scaled on two threads where there
// are two cores (its rows are top first, the screen's bottom first).
int channels_apart_from_cpu(const picture_framebuffer& picture, const rgb_frame& screen, int width, int height) {
  std::vector<xrgb_pixel> to(std::size_t(width) * height, 0);
  cpu_presenter presenter;
  present_on_cpu(presenter, picture, to, width, height);
  int apart = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int channel = 0; channel < 3; ++channel) {
        const int scaled = std::uint8_t(to[std::size_t(height - 1 - y) * width + x] >> (16 - 8 * channel));
        apart += std::abs(scaled - screen[(std::size_t(y) * width + x) * 3 + channel]) > 1;
      }
  return apart;
}

// Scaled for a 16-bit window, the channels not on the 5-6-5 level nearest to
// the same scaling's 8-bit value (at whole scales, the picture's own pixels).
int channels_off_at_16_bits(const picture_framebuffer& picture, int width, int height) {
  std::vector<rgb565_pixel> from(std::size_t(picture_width) * picture_height);
  draw_into_picture(picture);
  glPixelStorei(GL_PACK_ALIGNMENT, 2);
  glReadPixels(0, 0, picture_width, picture_height, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, from.data());
  const scaling_plan plan = plan_scaling(width, height);
  std::vector<xrgb_pixel> wide(std::size_t(width) * height, 0);
  std::vector<rgb565_pixel> narrow(wide.size(), 0);
  scale_picture(plan, from, wide);
  scale_picture(plan, from, narrow);
  int off = 0;
  for (std::size_t i = 0; i < wide.size(); ++i)
    for (const auto& [wide_shift, narrow_shift, top] : {std::tuple{16, 11, 31}, {8, 5, 63}, {0, 0, 31}}) {
      const double exact = double(wide[i] >> wide_shift & 0xff) * top / 255.0;
      off += std::abs(double(narrow[i] >> narrow_shift & top) - exact) > 0.5;
    }
  return off;
}

}  // namespace

TEST(present_picture, scales_down_and_up_with_each_screen_pixel_drawn_from_the_picture_pixels_it_covers) {
  offscreen_context context{1440, 1080};
  ASSERT_TRUE(context.ok()) << context.error();
  picture_framebuffer picture;
  ASSERT_TRUE(open_picture_framebuffer(picture));
  const rgb_frame drawn = draw_random_picture(picture);

  for (const auto& [width, height] :
       {std::pair{320, 240}, {480, 360}, {1440, 1080}, {1000, 600}, {1920, 1440}, {1280, 960}}) {
    present_picture(picture, make_target(width, height), width, height);
    const rgb_frame screen = read_target(width, height);
    const scaled_check check = check_scaled(drawn, screen, width, height);
    EXPECT_EQ(check.bad_pixels, 0) << width << "x" << height << ", the first at " << check.first_bad;
    if (width == 320) {
      EXPECT_EQ(far_from_average_of_four(drawn, screen), 0);
    }
    EXPECT_EQ(channels_apart_from_cpu(picture, screen, width, height), 0) << width << "x" << height << " on the CPU";
    EXPECT_EQ(channels_off_at_16_bits(picture, width, height), 0) << width << "x" << height << " at 16 bits";
  }
}
