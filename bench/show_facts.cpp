// show_facts.cpp: prints the facts of the show that the bench's scripts count
// with, from the headers that define them, as "<name> <value...>" lines:
// frames_in_show, scene_first_frames (one number per scene), frames_per_second
// (the pacer's), capture_fps (the capture tool's default), music_file and
// mix_rate. The build writes them to the file show_facts in its tree.
#include <chrono>
#include <cstdio>

#include "app/frame_pacing.h"
#include "assets/show_pictures.h"
#include "capture/options.h"
#include "show/timeline.h"
#include "sound/music.h"

int main() {
  std::printf("frames_in_show %d\n", frames_in_show);
  std::printf("scene_first_frames");
  for (const int frame : scene_first_frames) std::printf(" %d", frame);
  std::printf("\nframes_per_second %lld\n", static_cast<long long>(std::chrono::seconds(1) / frame_period));
  std::printf("capture_fps %d\n", default_fps);
  std::printf("music_file %s\n", music_file_name);
  std::printf("mix_rate %d\n", music_mix_rate);
}
