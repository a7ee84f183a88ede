// capture_video_test.cpp: short captures decoded again: their streams, frame
// counts, rates, sizes and music, and the frames' geometry: the letterbox bars,
// the white background, the pictures where the projection puts them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "capture/audio_track.h"
#include "tests/capture/capture_bench.h"
#include "tests/render/frame_measure.h"
#include "tests/support/show_data.h"

namespace {

bool is_black_within_1(colour c) { return c.r <= 1 && c.g <= 1 && c.b <= 1; }

// The bars black (within 1), and the picture within a pixel of where expected:
// as the box is that of every pixel not pure white, all around it is white.
void expect_framed_picture(const rgb_frame& frame, const pixel_box& expected, int show_frame) {
  const frame_pixels rgb = frame.bytes;
  SCOPED_TRACE("show frame " + std::to_string(show_frame));
  EXPECT_EQ(count_pixels(rgb, top_bar_rows, is_black_within_1), top_bar_rows.count() * picture_width);
  EXPECT_EQ(count_pixels(rgb, bottom_bar_rows, is_black_within_1), bottom_bar_rows.count() * picture_width);
  const auto box = bounding_box(rgb, open_rows, [](colour c) { return c != white; });
  ASSERT_TRUE(box.has_value());
  EXPECT_NEAR(box->left, expected.left, 1);
  EXPECT_NEAR(box->right, expected.right, 1);
  EXPECT_NEAR(box->top, expected.top, 1);
  EXPECT_NEAR(box->bottom, expected.bottom, 1);
}

// Each "field=value" given is in ffprobe's view of the stream ("v:0", "a:0").
void expect_stream(const std::filesystem::path& video, const std::string& stream,
                   std::initializer_list<std::string> wanted) {
  const auto probed = probe_stream(video, stream);
  for (const std::string& entry : wanted) {
    const std::string field = entry.substr(0, entry.find('='));
    EXPECT_EQ(field + "=" + (probed.contains(field) ? probed.at(field) : "(missing)"), entry) << stream;
  }
}

double mean_difference(const rgb_frame& a, const rgb_frame& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.bytes.size(); ++i) sum += std::abs(int(a.bytes[i]) - int(b.bytes[i]));
  return sum / double(a.bytes.size());
}

TEST(capture_video, makes_frames_2800_to_2830_a_lossless_video_of_the_final_card_with_its_music) {
  const show_data_folder folder;
  const auto result = run_capture(folder.path, {"--frames=2800-2830", "final.mkv"});
  ASSERT_TRUE(result.exited_with(0)) << result.errors;
  EXPECT_EQ(result.errors, "");
  std::vector<std::string> files = show_data_file_names();
  files.push_back("final.mkv");
  std::ranges::sort(files);
  EXPECT_EQ(folder.file_names(), files);
  const auto video = folder.path / "final.mkv";

  expect_stream(video, "v:0", {"codec_name=ffv1", "width=640", "height=480", "r_frame_rate=60/1", "nb_read_frames=31"});
  expect_stream(video, "a:0", {"codec_name=pcm_f32le", "sample_rate=" + std::to_string(audio_rate), "channels=2"});

  // 31 frames of 735 samples, from frame 2800's time on, exactly as rendered.
  const auto music = decode_audio(video);
  EXPECT_EQ(music.size(), 2u * 31 * 735);
  EXPECT_TRUE(music == render_music(built_module(), 2799 * 735, 31 * 735));

  // The final card: a still picture 3.5 units away, about 331 pixels square.
  const auto frames = decode_frames(video);
  ASSERT_EQ(frames.size(), 31u);
  const pixel_box card = square_at_depth(-3.5);
  EXPECT_NEAR(card.width(), 331, 1);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    expect_framed_picture(frames[i], card, 2800 + int(i));
    EXPECT_EQ(frames[i], frames.front()) << "the card stands still";
  }
}

TEST(capture_video, shows_the_smiley_receding_in_the_centre_on_frames_100_to_130) {
  const show_data_folder folder;
  const auto result = run_capture(folder.path, {"--frames=100-130", "smiley.mkv"});
  ASSERT_TRUE(result.exited_with(0)) << result.errors;
  const auto frames = decode_frames(folder.path / "smiley.mkv");
  ASSERT_EQ(frames.size(), 31u);
  for (int i = 0; i < int(frames.size()); ++i)
    expect_framed_picture(frames[i], square_at_depth(smiley_depth(100 + i)), 100 + i);
  EXPECT_NE(frames.front(), frames.back());
}

TEST(capture_video, makes_an_mp4_of_h264_and_aac_that_looks_like_the_lossless_capture) {
  const show_data_folder folder;
  for (const char* name : {"smiley.mp4", "smiley.mkv"}) {
    const auto result = run_capture(folder.path, {"--frames=100-130", name});
    ASSERT_TRUE(result.exited_with(0)) << result.errors;
  }
  const auto video = folder.path / "smiley.mp4";
  expect_stream(
      video, "v:0",
      {"codec_name=h264", "pix_fmt=yuv420p", "width=640", "height=480", "r_frame_rate=60/1", "nb_read_frames=31"});
  expect_stream(video, "a:0", {"codec_name=aac", "sample_rate=" + std::to_string(audio_rate), "channels=2"});
  // AAC works in blocks of 1024 samples; the container trims them to the frames' length.
  EXPECT_NEAR(double(decode_audio(video).size()) / 2, 31 * 735, 1024);

  const auto lossy = decode_frames(video);
  const auto exact = decode_frames(folder.path / "smiley.mkv");
  ASSERT_EQ(lossy.size(), exact.size());
  for (std::size_t i = 0; i < lossy.size(); ++i)
    EXPECT_LT(mean_difference(lossy[i], exact[i]), 1.0) << "frame " << 100 + i;
}

TEST(capture_video, renders_at_another_size_and_frame_rate_with_the_music_to_match) {
  const show_data_folder folder;
  const auto result = run_capture(folder.path, {"--size=320x240", "--fps=30", "--frames=1-30", "small.mkv"});
  ASSERT_TRUE(result.exited_with(0)) << result.errors;
  const auto video = folder.path / "small.mkv";
  expect_stream(video, "v:0", {"width=320", "height=240", "r_frame_rate=30/1", "nb_read_frames=30"});
  // 30 frames at 30 per second: one second of music from the start.
  EXPECT_TRUE(decode_audio(video) == render_music(built_module(), 0, audio_rate));
}

}  // namespace
