// desktop_sound_test.cpp: the show's music through a private PulseAudio and a
// private PipeWire, as on a desktop, in one run of the show on each: what
// reaches the sink, how soon "s" silences it, and then the server dying.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>

#include "tests/e2e/music_capture.h"
#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/sound_server.h"
#include "tests/e2e/x_server_fixture.h"

namespace {

using namespace std::chrono_literals;

constexpr auto start_limit = std::chrono::milliseconds(20s);
constexpr auto event_limit = std::chrono::milliseconds(60s);
constexpr auto recording_limit = std::chrono::milliseconds(20s);

// Each key is typed at a hold of the show, after the music has played (or been
// silent) this long, so every stretch is long enough to judge.
constexpr double listening_seconds = 0.6;
constexpr int s_and_m_rounds = 10;
// Each key at the next frame: the show, unpaced, draws as fast as it can
// between holds, and so little drawing leaves SDL's audio thread the time it
// needs on a machine of two cores.
constexpr int first_key_frame = 100;
constexpr int frames_between_keys = 1;

// Stretches of music are compared with libopenmpt's own render in windows of
// 10 ms, each of which must match this closely. On a loaded machine the server
// plays silence for a buffer that comes late and may lose a little of it, so
// all that follows comes somewhat later: windows after the first are looked
// for near where they belong rather than exactly there.
constexpr std::size_t window_frames = sink_rate / 100;
constexpr double same_music = 0.99;
constexpr double compared_seconds = 0.5;
constexpr std::size_t search_frames = sink_rate / 10;
// A window torn by a dropout matches nowhere. Measured on 2 cores, idle and
// beside two busy loops, through both servers (16 runs of 11 plays each):
// every play started as the module does, every window of every stretch
// matched and "s" was silent at the sink within 45 ms; in the 4 runs that
// timed it, "m" was heard within 45 ms. The limits leave room for a dropout or
// two and a machine three times as slow.
constexpr int least_matching_starts = 10;
constexpr double least_matching_share = 0.9;
constexpr auto silence_limit = 150ms;

// Whether the window of the recording at that frame matches the module's own
// render at the given frame, or, with slack, anywhere that far around it.
bool window_matches(const std::vector<float>& recording, std::size_t frame, std::size_t module_frame,
                    std::size_t slack) {
  const std::span<const float> heard = stereo_frames(recording, frame, window_frames);
  const auto matches_at = [&](std::size_t candidate) {
    return similarity(heard, stereo_frames(show_module_start(), candidate, window_frames)) >= same_music;
  };
  // Nearest first: the window is almost always where it belongs.
  for (std::size_t distance = 0; distance <= slack; ++distance) {
    if (matches_at(module_frame + distance)) return true;
    if (distance > 0 && distance <= module_frame && matches_at(module_frame - distance)) return true;
  }
  return false;
}

// Whether the recording from that frame on starts as the module starts.
bool starts_as_the_module(const std::vector<float>& recording, std::size_t onset) {
  const std::optional<std::size_t> module_onset = first_audible_frame(show_module_start(), 0);
  return module_onset && window_matches(recording, onset, *module_onset, 0);
}

// The share of the audible windows of the stretch from that frame on that
// are the module's, from its first sound, with a dropout's slack.
double share_of_the_module(const std::vector<float>& recording, std::size_t onset, double seconds) {
  const std::optional<std::size_t> module_onset = first_audible_frame(show_module_start(), 0);
  if (!module_onset) return 0.0;
  int audible = 0, matching = 0;
  for (std::size_t offset = 0; offset + window_frames <= frames_in(seconds); offset += window_frames) {
    if (loudest(stereo_frames(recording, onset + offset, window_frames)) == 0.0f) continue;  // a dropout
    ++audible;
    matching += window_matches(recording, onset + offset, *module_onset + offset, search_frames);
  }
  return audible > 0 ? double(matching) / audible : 0.0;
}

// The first frame of the silence that ends at the given frame: after the last
// audible frame before it.
std::size_t silence_start(const std::vector<float>& recording, std::size_t silence_end) {
  std::size_t frame = std::min(silence_end, recording.size() / stereo);
  while (frame > 0 && loudest(stereo_frames(recording, frame - 1, 1)) == 0.0f) --frame;
  return frame;
}

std::chrono::nanoseconds key_time(const probe_event& key) { return std::chrono::nanoseconds(key.values.at(1)); }

// The show's own desktop, and a sound server of the parameter's kind for the one run.
class desktop_sound : public on_x_server, public ::testing::WithParamInterface<sound_server_kind> {
 protected:
  void SetUp() override {
    on_x_server::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // Its runtime folder is in the bench's own, which goes with it.
    sound_server_start start = start_sound_server(GetParam(), bench_log_folder() / name_of(GetParam()), start_limit);
    server = std::move(start.server);
    if (server) return;
    if (running_under_ci()) FAIL() << "No sound server: " << start.failure;
    GTEST_SKIP() << "No sound server (the tests start their own): " << start.failure;
  }
  void TearDown() override {
    if (server) stop_sound_server(*server);
  }
  std::optional<sound_server> server;
};

TEST_P(
    desktop_sound,
    plays_the_module_at_the_sink_s_silences_it_and_m_restarts_it_ten_times_over_and_it_goes_on_silently_when_killed) {
  const sink_recording recording(*server);
  show_data_folder folder("desktop-sound");
  std::vector<int> key_frames;
  for (int key = 0; key <= 2 * s_and_m_rounds; ++key) key_frames.push_back(first_key_frame + key * frames_between_keys);
  running_show show = start_show(folder, {.hold_frames = key_frames, .sound_server = server->client_environment()});
  const std::size_t typed_keys = key_frames.size() - 1;
  for (std::size_t key = 0; key < key_frames.size(); ++key) {
    ASSERT_TRUE(wait_for_hold(show, key_frames[key], event_limit));
    ASSERT_TRUE(recording.wait_for_more(listening_seconds, recording_limit)) << "the sink's monitor is not recorded";
    if (key < typed_keys) {
      ASSERT_TRUE(press_keys_at(show, key_frames[key], {key % 2 == 0 ? "s" : "m"}));
    }
  }
  // Killed as a crash would, while the music plays, the server leaves the show
  // to go on silently to its last frame.
  const std::vector<float> music = recording.samples();
  kill_sound_server(*server);
  resume_show(show);
  const show_result result = finish_show(show, run_limit);
  expect_ran_to_its_end(result);

  const std::vector<probe_event> keys = events_named(result.events, "key");
  ASSERT_EQ(keys.size(), typed_keys);
  const std::optional<std::size_t> onset = first_audible_frame(music, 0);
  ASSERT_TRUE(onset) << "no music reached the sink";
  const std::size_t first_s = recording.frame_at(key_time(keys[0]));
  ASSERT_GE(first_s, *onset + frames_in(listening_seconds / 2));
  int starts_as_the_module_does = starts_as_the_module(music, *onset);
  double least_share = share_of_the_module(music, *onset, compared_seconds);
  EXPECT_GE(least_share, least_matching_share) << "the music at the sink is not the module";

  std::vector<double> silence_ms;
  double longest_restart_ms = 0.0;
  for (int round = 0; round < s_and_m_rounds; ++round) {
    const std::chrono::nanoseconds s_time = key_time(keys[std::size_t(2 * round)]);
    const std::size_t s_frame = recording.frame_at(s_time);
    const std::size_t m_frame = recording.frame_at(key_time(keys[std::size_t(2 * round + 1)]));
    const std::size_t silent_from = silence_start(music, m_frame);
    // Silence from shortly after "s" until "m"; the sound before "s" was audible.
    ASSERT_GT(silent_from, s_frame - std::min(s_frame, frames_in(0.05))) << "round " << round;
    ASSERT_GE(m_frame, silent_from + frames_in(listening_seconds / 2)) << "round " << round;
    const std::optional<std::chrono::nanoseconds> silent_at = recording.arrival_of(silent_from);
    ASSERT_TRUE(silent_at);
    silence_ms.push_back(std::chrono::duration<double, std::milli>(*silent_at - s_time).count());
    EXPECT_LE(*silent_at - s_time, silence_limit) << "round " << round;

    // After "m", the module again from its first sound.
    const std::optional<std::size_t> again = first_audible_frame(music, m_frame);
    ASSERT_TRUE(again) << "no music after m in round " << round;
    EXPECT_LE(*again, m_frame + frames_in(silence_limit.count() / 1000.0)) << "round " << round;
    longest_restart_ms = std::max(longest_restart_ms, 1000.0 * double(*again - m_frame) / sink_rate);
    starts_as_the_module_does += starts_as_the_module(music, *again);
    const double share = share_of_the_module(music, *again, listening_seconds / 2);
    least_share = std::min(least_share, share);
    EXPECT_GE(share, least_matching_share) << "round " << round;
  }
  EXPECT_GE(starts_as_the_module_does, least_matching_starts)
      << "of the first play and the " << s_and_m_rounds << " after m, too few start as the module does";
  std::ranges::sort(silence_ms);
  const double median = (silence_ms[silence_ms.size() / 2 - 1] + silence_ms[silence_ms.size() / 2]) / 2;
  RecordProperty("s_to_silence_median_ms", std::to_string(median));
  RecordProperty("s_to_silence_max_ms", std::to_string(silence_ms.back()));
  std::printf("\"s\" to silence at the sink: median %.1f ms, longest %.1f ms, of %zu\n", median, silence_ms.back(),
              silence_ms.size());
  std::printf(
      "the module at the sink: %d of %d plays start as it does; at least %.0f%% of a stretch matches; "
      "\"m\" to sound at most %.1f ms\n",
      starts_as_the_module_does, s_and_m_rounds + 1, 100 * least_share, longest_restart_ms);
}

INSTANTIATE_TEST_SUITE_P(on, desktop_sound,
                         ::testing::Values(sound_server_kind::pulseaudio, sound_server_kind::pipewire),
                         [](const auto& kind) { return name_of(kind.param); });

}  // namespace
