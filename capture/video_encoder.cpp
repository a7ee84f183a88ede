// video_encoder.cpp: ffmpeg's arguments for the two formats. MP4 is H.264 in
// yuv420p with AAC; Matroska keeps every pixel and sample exact with FFV1 in
// planar RGB and float PCM.
#include "capture/video_encoder.h"

#include "capture/audio_track.h"

namespace {

// veryfast keeps the encoder well ahead of a software renderer on two cores;
// at CRF 18 the flat pictures and hard edges show no visible loss.
// swscale converts RGB with the BT.601 matrix to the limited range: the video
// says so, or players guess BT.709 at larger sizes and shift the colours.
const std::vector<std::string> mp4_encoding{"-c:v",         "libx264",   "-preset",    "veryfast",    "-crf",
                                            "18",           "-pix_fmt",  "yuv420p",    "-colorspace", "smpte170m",
                                            "-color_range", "tv",        "-c:a",       "aac",         "-b:a",
                                            "192k",         "-movflags", "+faststart", "-f",          "mp4"};

const std::vector<std::string> mkv_encoding{"-c:v", "ffv1", "-level",    "3",  "-pix_fmt",
                                            "gbrp", "-c:a", "pcm_f32le", "-f", "matroska"};

}  // namespace

std::vector<std::string> ffmpeg_command(const encoder_settings& settings) {
  const std::string size = std::to_string(settings.width) + "x" + std::to_string(settings.height);
  std::vector<std::string> command{"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostats",
                                   // the frames, back to back on standard input
                                   "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size, "-framerate",
                                   std::to_string(settings.fps), "-i", "pipe:0",
                                   // the music, exactly as long as the frames
                                   "-f", raw_audio_format, "-ar", std::to_string(audio_rate), "-ac",
                                   std::to_string(audio_channels), "-i", settings.audio_file.string(), "-map", "0:v",
                                   "-map", "1:a"};
  const auto& encoding = settings.format == container::mkv ? mkv_encoding : mp4_encoding;
  command.insert(command.end(), encoding.begin(), encoding.end());
  command.insert(command.end(), {"-y", settings.output_file.string()});
  return command;
}
