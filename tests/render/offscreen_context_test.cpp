// offscreen_context_test.cpp: the offscreen OpenGL context: what it offers,
// that fixed-function drawing lands in it, and that frames read back top row first.
#include "offscreen/offscreen_context.h"

#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct rgb_pixel {
  std::uint8_t r, g, b;
  bool operator==(const rgb_pixel&) const = default;
};

constexpr rgb_pixel white{255, 255, 255};
constexpr rgb_pixel red{255, 0, 0};
constexpr rgb_pixel blue{0, 0, 255};

rgb_pixel pixel(const std::vector<std::uint8_t>& rgb, int width, int x, int y) {
  const std::size_t at = (std::size_t(y) * width + x) * 3;
  return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

std::string gl_string(GLenum name) {
  const auto* text = reinterpret_cast<const char*>(glGetString(name));
  return text != nullptr ? text : "";
}

// An untextured quad of that colour in normalised device coordinates, with identity matrices.
void fill_rectangle(rgb_pixel colour, float left, float bottom, float right, float top, float z) {
  glColor3ub(colour.r, colour.g, colour.b);
  glBegin(GL_QUADS);
  glVertex3f(left, bottom, z);
  glVertex3f(right, bottom, z);
  glVertex3f(right, top, z);
  glVertex3f(left, top, z);
  glEnd();
}

}  // namespace

TEST(offscreen_context, opens_a_desktop_gl_context_of_640_by_480_by_default) {
  offscreen_context context;
  ASSERT_TRUE(context.ok()) << context.error();
  EXPECT_EQ(context.width(), 640);
  EXPECT_EQ(context.height(), 480);
  EXPECT_EQ(context.frame_bytes(), 640u * 480u * 3u);
  const std::string version = gl_string(GL_VERSION);
  std::printf("%s, %s, on %s\n", version.c_str(), gl_string(GL_RENDERER).c_str(), context.platform().c_str());
  // Desktop OpenGL: the version string starts with the number, no "OpenGL ES".
  ASSERT_FALSE(version.empty());
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(version[0]))) << version;
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);
}

TEST(offscreen_context, keeps_the_fixed_function_pipeline) {
  offscreen_context context{64, 48};
  ASSERT_TRUE(context.ok()) << context.error();
  // Profiles exist from OpenGL 3.2 on; below that everything is compatible.
  GLint major = 1, minor = 0;
  glGetIntegerv(GL_MAJOR_VERSION, &major);
  glGetIntegerv(GL_MINOR_VERSION, &minor);
  if (major * 10 + minor >= 32) {
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_NE(profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT, 0);
  }
  glGetError();  // a GL below 3.0 does not know the version queries
  // Immediate mode, the matrix stack and glColor: the show's way of drawing.
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glTranslatef(0.5f, 0.0f, 0.0f);
  fill_rectangle(blue, -0.5f, -1, 0.5f, 1, 0);  // lands on the right half
  glPopMatrix();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  const auto rgb = context.read_frame();
  EXPECT_EQ(pixel(rgb, 64, 10, 24), white);
  EXPECT_EQ(pixel(rgb, 64, 50, 24), blue);
}

TEST(offscreen_context, reads_frames_back_top_row_first) {
  // 7 by 5: rows of 21 bytes, not a multiple of 4, and a middle row that stays put.
  offscreen_context context{7, 5};
  ASSERT_TRUE(context.ok()) << context.error();
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  fill_rectangle(red, -1, 0.6f, 1, 1, 0);     // the top row of pixels (y above 0.6 of 1)
  fill_rectangle(blue, -1, -1, -0.6f, 1, 0);  // the leftmost column, over the red
  std::vector<std::uint8_t> rgb(context.frame_bytes(), 0x55);
  ASSERT_TRUE(context.read_frame(rgb));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      const rgb_pixel expected = x == 0 ? blue : y == 0 ? red : white;
      EXPECT_EQ(pixel(rgb, 7, x, y), expected) << "at " << x << ", " << y;
    }
}

TEST(offscreen_context, refuses_a_read_into_too_small_a_buffer) {
  offscreen_context context{8, 8};
  ASSERT_TRUE(context.ok()) << context.error();
  std::vector<std::uint8_t> rgb(context.frame_bytes() - 1, 7);
  EXPECT_FALSE(context.read_frame(rgb));
  EXPECT_EQ(rgb.front(), 7);
}

TEST(offscreen_context, has_no_depth_buffer_so_the_last_drawn_covers_all) {
  offscreen_context context{16, 16};
  ASSERT_TRUE(context.ok()) << context.error();
  GLint depth_attachment = -1;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE,
                                        &depth_attachment);
  EXPECT_EQ(depth_attachment, GL_NONE);
  // With the depth test on, a farther quad drawn later still covers a nearer one.
  glEnable(GL_DEPTH_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  fill_rectangle(red, -1, -1, 1, 1, -0.5f);  // near
  fill_rectangle(blue, -1, -1, 1, 1, 0.5f);  // far
  EXPECT_EQ(pixel(context.read_frame(), 16, 8, 8), blue);
}

TEST(offscreen_context, runs_on_mesas_surfaceless_platform_without_a_gpu) {
  if (std::filesystem::exists("/dev/dri")) GTEST_SKIP() << "this machine has a DRM device";
  offscreen_context context;
  ASSERT_TRUE(context.ok()) << context.error();
  EXPECT_EQ(context.platform(), "Mesa surfaceless");
}

TEST(offscreen_context, opens_again_after_the_first_is_closed) {
  {
    offscreen_context first{4, 4};
    ASSERT_TRUE(first.ok()) << first.error();
  }
  offscreen_context second{4, 4};
  ASSERT_TRUE(second.ok()) << second.error();
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(pixel(second.read_frame(), 4, 3, 3), blue);
}

TEST(offscreen_context, explains_why_it_cannot_open_with_an_empty_size) {
  offscreen_context context{0, 480};
  EXPECT_FALSE(context.ok());
  EXPECT_NE(context.error().find("0x480"), std::string::npos) << context.error();
  std::vector<std::uint8_t> rgb(16);
  EXPECT_FALSE(context.read_frame(rgb));
}
