// module_song.cpp: composes the music in A minor at 125 beats a minute: an intro,
// a build-up, two themes, a break, two variations and a turnaround that leads
// back to the first theme, where the song starts over.
#include "tools/module/module_song.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/module/samples.h"

namespace {

// Six ticks a row at 125 "BPM" make a row 0.12 s; four rows a beat make
// 125 beats a minute, and a 64-row pattern lasts 7.68 s.
constexpr int ticks_per_row = 6;
constexpr int beats_per_minute = 125;
constexpr int rows_per_bar = 16;
constexpr int bars_per_pattern = 4;
constexpr int rows_per_pattern = rows_per_bar * bars_per_pattern;

enum channel : int { kick_channel, snare_channel, hat_channel, bass_channel, pad_channel, lead_channel, channel_count };

enum instrument : std::uint8_t { kick = 1, snare, hat, bass, lead, pad_minor, pad_major };

// The mix: each instrument's own volume (of 64) and its place left to right.
// Alone, each channel peaks under a fifth of full scale in the player, so
// every instrument can play at or near its full volume and the hi-hat, lead
// and pads spread wide: the song then measures about -16.6 LUFS, as loud as
// the music people play beside it, with true peaks near -3 dBTP, short of
// full scale even after a lossy encoding.
constexpr std::uint8_t kick_level = 64;
constexpr std::uint8_t snare_level = 64;
constexpr std::uint8_t hat_level = 64;
constexpr std::uint8_t bass_level = 64;
constexpr std::uint8_t lead_level = 64;
constexpr std::uint8_t pad_level = 64;
constexpr std::uint8_t soft_arpeggio_level = 54;
constexpr std::uint8_t arpeggio_level = 64;
constexpr std::uint8_t centre = 128;
constexpr std::uint8_t snare_panning = 120;
constexpr std::uint8_t hat_panning = 208;
constexpr std::uint8_t lead_panning = 176;
constexpr std::uint8_t pad_panning = 72;

// "A-4", "C#5": a letter, '-' or a sharp, an octave. A-4 sounds at 440 Hz.
constexpr std::string_view semitone_letters = "C D EF G A B";

constexpr bool is_note_name(std::string_view name) {
  return name.size() == 3 && name[0] != ' ' && semitone_letters.find(name[0]) != std::string_view::npos &&
         (name[1] == '-' || name[1] == '#') && name[2] >= '0' && name[2] <= '7';
}

constexpr std::uint8_t note(std::string_view name) {
  const int semitone = static_cast<int>(semitone_letters.find(name[0])) + (name[1] == '#');
  return static_cast<std::uint8_t>(1 + 12 * (name[2] - '0') + semitone);
}

std::uint8_t note_in_octave(int semitone, int octave) { return static_cast<std::uint8_t>(1 + 12 * octave + semitone); }

// The note at which each sound plays back at the rate it was made at.
constexpr std::uint8_t drum_note = note("C-4");
constexpr std::uint8_t bass_native_note = note("C-2");
constexpr std::uint8_t pad_native_note = note("C-3");
constexpr std::uint8_t lead_native_note = note("C-4");

// Octaves the chord-following parts play in.
constexpr int bass_octave = 2;
constexpr int pad_octave = 3;
constexpr int arpeggio_octave = 4;

// A sample made at four times the C-4 rate sounds unchanged at C-6, so a
// sample's native note must be moved up to C-6.
static_assert(synth_rate == 4 * xm_c4_rate);
constexpr std::int8_t relative_note_for(std::uint8_t native_note) {
  return static_cast<std::int8_t>(note("C-6") - native_note);
}

// Envelope ticks last 20 ms. Tones start soft and settle on a sustain level
// until released; drums play their sample out and need no envelope.
const xm_envelope bass_envelope{{{0, 64}, {4, 52}, {16, 40}}, 2};
const xm_envelope lead_envelope{{{0, 24}, {2, 64}, {12, 50}, {40, 44}}, 3};
const xm_envelope pad_envelope{{{0, 16}, {16, 64}}, 1};
constexpr std::uint16_t bass_fadeout = 4096;
constexpr std::uint16_t lead_fadeout = 2500;
constexpr std::uint16_t pad_fadeout = 1024;
constexpr xm_vibrato lead_vibrato{0, 24, 3, 8};  // a slow, late, shallow sine

// ---- Chords ----

struct chord {
  int root;  // semitones above C
  chord_quality quality;
};
using progression = std::array<chord, bars_per_pattern>;

// One chord a bar, by name: "Am F C G".
progression chords_of(std::string_view names) {
  progression chords{};
  for (chord& bar_chord : chords) {
    names.remove_prefix(names.find_first_not_of(' '));
    const std::string_view name = names.substr(0, names.find(' '));
    names.remove_prefix(name.size());
    bar_chord.root = static_cast<int>(semitone_letters.find(name[0])) + (name.find('#') == 1);
    bar_chord.quality = name.back() == 'm' ? chord_quality::minor : chord_quality::major;
  }
  return chords;
}

constexpr std::string_view home_chords = "Am F C G";
constexpr std::string_view break_chords = "Dm Am F E";
constexpr std::string_view turnaround_chords = "Dm F G E";

// Figures name chord tones by degree: '1' root, '3' third, '5' fifth, '8' octave.
int degree_offset(const chord& bar_chord, char degree) {
  switch (degree) {
    case '1': return 0;
    case '3': return bar_chord.quality == chord_quality::minor ? 3 : 4;
    case '5': return 7;
    case '8': return 12;
    default: throw std::invalid_argument(std::string("no chord degree ") + degree);
  }
}

// ---- Writing parts into a pattern ----

xm_pattern empty_pattern() { return {rows_per_pattern, std::vector<xm_cell>(rows_per_pattern * channel_count)}; }

xm_cell& cell(xm_pattern& pattern, int row, channel where) { return pattern.cells[row * channel_count + where]; }

void require_rows(std::size_t count, std::string_view part) {
  if (count != rows_per_pattern) {
    throw std::invalid_argument(std::string(part) + " does not fill a pattern's 64 rows");
  }
}

// Three bars of one kind and a different fourth.
std::string bars(std::string_view first_three, std::string_view last) {
  return std::string(first_three) + std::string(first_three) + std::string(first_three) + std::string(last);
}

std::string bars(std::string_view all_four) { return bars(all_four, all_four); }

struct drum {
  channel where;
  instrument sound;
  std::uint8_t level;
};
constexpr drum kick_drum_part{kick_channel, kick, kick_level};
constexpr drum snare_drum_part{snare_channel, snare, snare_level};
constexpr drum hat_part{hat_channel, hat, hat_level};

// One character a row: 'X' a hit at the drum's own volume, 'x' a soft hit at
// half of it, '.' nothing.
void put_drum(xm_pattern& pattern, const drum& part, std::string_view steps) {
  require_rows(steps.size(), "a drum part");
  for (int row = 0; row < rows_per_pattern; ++row) {
    if (steps[row] == '.') continue;
    xm_cell& hit = cell(pattern, row, part.where);
    hit.note = drum_note;
    hit.instrument = part.sound;
    if (steps[row] == 'x') hit.volume = static_cast<std::uint8_t>(xm_set_volume + part.level / 2);
  }
}

// Whitespace between tokens, one token a row: a note ("E-5"), "..." to let
// the last one ring, "===" to release it.
void put_melody(xm_pattern& pattern, std::string_view sheet) {
  std::vector<std::string_view> tokens;
  for (std::size_t start = sheet.find_first_not_of(' '); start != std::string_view::npos;) {
    const std::size_t end = std::min(sheet.find(' ', start), sheet.size());
    tokens.push_back(sheet.substr(start, end - start));
    start = sheet.find_first_not_of(' ', end);
  }
  require_rows(tokens.size(), "a melody");
  for (int row = 0; row < rows_per_pattern; ++row) {
    const std::string_view token = tokens[row];
    if (token == "...") continue;
    xm_cell& played = cell(pattern, row, lead_channel);
    if (token == "===") {
      played.note = xm_key_off;
    } else if (is_note_name(token)) {
      played.note = note(token);
      played.instrument = lead;
    } else {
      throw std::invalid_argument("no note " + std::string(token));
    }
  }
}

// A figure follows the chords: one character a row, the same every bar, a
// degree of the bar's chord, '=' to release, '.' to let it ring. A volume of
// 0 plays at the instrument's own volume.
void put_figure(xm_pattern& pattern, channel where, instrument voice, const progression& chords,
                std::string_view figure, int octave, std::uint8_t volume) {
  require_rows(figure.size() * bars_per_pattern, "a figure");
  for (int bar = 0; bar < bars_per_pattern; ++bar) {
    for (int step = 0; step < rows_per_bar; ++step) {
      const char degree = figure[step];
      if (degree == '.') continue;
      xm_cell& played = cell(pattern, bar * rows_per_bar + step, where);
      if (degree == '=') {
        played.note = xm_key_off;
        continue;
      }
      const chord& bar_chord = chords[bar];
      played.note = note_in_octave(bar_chord.root + degree_offset(bar_chord, degree), octave);
      played.instrument = voice;
      if (volume > 0) played.volume = static_cast<std::uint8_t>(xm_set_volume + volume);
    }
  }
}

void put_bass(xm_pattern& pattern, const progression& chords, std::string_view figure) {
  put_figure(pattern, bass_channel, bass, chords, figure, bass_octave, 0);
}

// Arpeggios take the lead channel, quieter than the melodies.
void put_arpeggio(xm_pattern& pattern, const progression& chords, std::string_view figure, std::uint8_t level) {
  put_figure(pattern, lead_channel, lead, chords, figure, arpeggio_octave, level);
}

// One held chord a bar, struck on its first row.
void put_pads(xm_pattern& pattern, const progression& chords) {
  for (int bar = 0; bar < bars_per_pattern; ++bar) {
    xm_cell& struck = cell(pattern, bar * rows_per_bar, pad_channel);
    struck.note = note_in_octave(chords[bar].root, pad_octave);
    struck.instrument = chords[bar].quality == chord_quality::minor ? pad_minor : pad_major;
  }
}

// ---- The parts ----

constexpr std::string_view silent_bar = "................";
constexpr std::string_view four_on_the_floor = "X...X...X...X...";
constexpr std::string_view pushed_kick = "X...X...X...X.x.";
constexpr std::string_view backbeat = "....X.......X...";
constexpr std::string_view ghosted_backbeat = "....X..x....X..x";
constexpr std::string_view roll_in = "............xxXX";
constexpr std::string_view snare_fill = "....X...X.x.XxXX";
constexpr std::string_view snare_build = "x.x.x.x.xxxxXXXX";
constexpr std::string_view offbeat_hats = "..x...x...x...x.";
constexpr std::string_view eighth_hats = "x.X.x.X.x.X.x.X.";
constexpr std::string_view sixteenth_hats = "xxXxxxXxxxXxxxXx";

constexpr std::string_view offbeat_bass = "..1=..1=..1=..1=";
constexpr std::string_view octave_bass = "1.8.1.8.1.8.1.8.";
constexpr std::string_view syncopated_bass = "1..8..1.5..8.1.=";
constexpr std::string_view held_bass = "1.......5.....=.";

constexpr std::string_view slow_arpeggio = "1.5.8.5.1.5.8.5.";
constexpr std::string_view rocking_arpeggio = "1358538513585385";
constexpr std::string_view climbing_arpeggio = "1358135813581358";

constexpr std::string_view first_theme =
    "E-5 ... ... ... ... ... D-5 ... C-5 ... ... ... B-4 ... C-5 ... "
    "A-4 ... ... ... ... ... G-4 ... A-4 ... ... ... C-5 ... ... ... "
    "E-5 ... ... ... ... ... D-5 ... C-5 ... ... ... E-5 ... G-5 ... "
    "D-5 ... ... ... ... ... ... ... B-4 ... ... ... === ... ... ... ";

constexpr std::string_view second_theme =
    "A-5 ... ... ... G-5 ... E-5 ... ... ... ... ... D-5 ... C-5 ... "
    "C-5 ... ... ... ... ... A-4 ... C-5 ... ... ... F-5 ... ... ... "
    "E-5 ... ... ... ... ... G-5 ... E-5 ... ... ... C-5 ... ... ... "
    "B-4 ... ... ... ... ... C-5 ... D-5 ... ... ... ... ... === ... ";

constexpr std::string_view first_variation =
    "C-5 ... E-5 ... A-5 ... ... ... ... ... G-5 ... E-5 ... ... ... "
    "F-5 ... E-5 ... C-5 ... ... ... ... ... A-4 ... C-5 ... ... ... "
    "G-5 ... E-5 ... C-5 ... ... ... ... ... D-5 ... E-5 ... ... ... "
    "D-5 ... ... ... ... ... B-4 ... G-4 ... ... ... B-4 ... D-5 ... ";

constexpr std::string_view second_variation =
    "A-5 ... ... ... G-5 ... A-5 ... ... ... E-5 ... G-5 ... ... ... "
    "F-5 ... ... ... ... ... E-5 ... C-5 ... ... ... A-4 ... C-5 ... "
    "G-5 ... ... ... ... ... E-5 ... G-5 ... A-5 ... G-5 ... E-5 ... "
    "D-5 ... ... ... ... ... ... ... B-4 ... ... ... D-5 ... === ... ";

// ---- The sections ----

// Chords and a slow arpeggio; the hats come in halfway, a snare roll leads on.
xm_pattern intro() {
  const progression chords = chords_of(home_chords);
  xm_pattern pattern = empty_pattern();
  put_pads(pattern, chords);
  put_arpeggio(pattern, chords, slow_arpeggio, soft_arpeggio_level);
  put_drum(pattern, hat_part,
           std::string(silent_bar) + std::string(silent_bar) + std::string(offbeat_hats) + std::string(offbeat_hats));
  put_drum(pattern, snare_drum_part, bars(silent_bar, roll_in));
  return pattern;
}

// The kick and an offbeat bass join under a quicker arpeggio.
xm_pattern build_up() {
  const progression chords = chords_of(home_chords);
  xm_pattern pattern = empty_pattern();
  put_pads(pattern, chords);
  put_arpeggio(pattern, chords, rocking_arpeggio, soft_arpeggio_level);
  put_bass(pattern, chords, offbeat_bass);
  put_drum(pattern, kick_drum_part, bars(four_on_the_floor));
  put_drum(pattern, hat_part,
           std::string(offbeat_hats) + std::string(offbeat_hats) + std::string(eighth_hats) + std::string(eighth_hats));
  put_drum(pattern, snare_drum_part, bars(silent_bar, snare_fill));
  return pattern;
}

// The full groove under a theme, with its own last bar of snare.
xm_pattern theme(std::string_view melody, std::string_view last_snare_bar) {
  const progression chords = chords_of(home_chords);
  xm_pattern pattern = empty_pattern();
  put_pads(pattern, chords);
  put_melody(pattern, melody);
  put_bass(pattern, chords, octave_bass);
  put_drum(pattern, kick_drum_part, bars(four_on_the_floor));
  put_drum(pattern, snare_drum_part, bars(backbeat, last_snare_bar));
  put_drum(pattern, hat_part, bars(eighth_hats));
  return pattern;
}

// Other chords and no kick: held bass, soft hats and an arpeggio, until the
// kick and a snare build bring the groove back in the last bar.
xm_pattern break_down() {
  const progression chords = chords_of(break_chords);
  xm_pattern pattern = empty_pattern();
  put_pads(pattern, chords);
  put_arpeggio(pattern, chords, rocking_arpeggio, arpeggio_level);
  put_bass(pattern, chords, held_bass);
  put_drum(pattern, kick_drum_part, bars(silent_bar, four_on_the_floor));
  put_drum(pattern, hat_part, bars(offbeat_hats));
  put_drum(pattern, snare_drum_part, bars(silent_bar, snare_build));
  return pattern;
}

// A busier groove: pushed kick, ghost snares, sixteenth hats, syncopated bass.
xm_pattern variation(std::string_view melody, std::string_view last_snare_bar) {
  const progression chords = chords_of(home_chords);
  xm_pattern pattern = empty_pattern();
  put_pads(pattern, chords);
  put_melody(pattern, melody);
  put_bass(pattern, chords, syncopated_bass);
  put_drum(pattern, kick_drum_part, bars(pushed_kick));
  put_drum(pattern, snare_drum_part, bars(ghosted_backbeat, last_snare_bar));
  put_drum(pattern, hat_part, bars(sixteenth_hats));
  return pattern;
}

// Chords that end on the dominant, so the first theme comes back as home.
xm_pattern turnaround() {
  const progression chords = chords_of(turnaround_chords);
  xm_pattern pattern = empty_pattern();
  put_pads(pattern, chords);
  put_arpeggio(pattern, chords, climbing_arpeggio, arpeggio_level);
  put_bass(pattern, chords, octave_bass);
  put_drum(pattern, kick_drum_part, bars(four_on_the_floor));
  put_drum(pattern, snare_drum_part, bars(backbeat, snare_fill));
  put_drum(pattern, hat_part, bars(sixteenth_hats));
  return pattern;
}

// ---- The instruments ----

xm_instrument instrument_of(std::string name, synthesised_sample made, std::uint8_t native_note, std::uint8_t level,
                            std::uint8_t panning) {
  xm_instrument built;
  built.name = name;
  built.sample.name = std::move(name);
  built.sample.frames = std::move(made.frames);
  built.sample.loop_start = made.loop_start;
  built.sample.loop_length = made.loop_length;
  built.sample.volume = level;
  built.sample.panning = panning;
  built.sample.relative_note = relative_note_for(native_note);
  return built;
}

xm_instrument tone_of(std::string name, synthesised_sample made, std::uint8_t native_note, std::uint8_t level,
                      std::uint8_t panning, const xm_envelope& envelope, std::uint16_t fadeout) {
  xm_instrument built = instrument_of(std::move(name), std::move(made), native_note, level, panning);
  built.volume_envelope = envelope;
  built.fadeout = fadeout;
  return built;
}

// In the order of the instrument numbers.
std::vector<xm_instrument> instruments() {
  std::vector<xm_instrument> all;
  all.push_back(instrument_of("kick", kick_drum(), drum_note, kick_level, centre));
  all.push_back(instrument_of("snare", snare_drum(), drum_note, snare_level, snare_panning));
  all.push_back(instrument_of("hi-hat", hi_hat(), drum_note, hat_level, hat_panning));
  all.push_back(tone_of("bass", bass_tone(), bass_native_note, bass_level, centre, bass_envelope, bass_fadeout));
  all.push_back(tone_of("lead", lead_tone(), lead_native_note, lead_level, lead_panning, lead_envelope, lead_fadeout));
  all.back().vibrato = lead_vibrato;
  for (const chord_quality quality : {chord_quality::minor, chord_quality::major}) {
    all.push_back(tone_of(quality == chord_quality::minor ? "minor pad" : "major pad", pad_chord(quality),
                          pad_native_note, pad_level, pad_panning, pad_envelope, pad_fadeout));
  }
  return all;
}

// The patterns, numbered in the order they first play.
enum section : std::uint8_t {
  intro_section,
  build_up_section,
  first_theme_section,
  second_theme_section,
  break_section,
  first_variation_section,
  second_variation_section,
  turnaround_section
};

}  // namespace

xm_module compose_song() {
  xm_module song;
  song.name = "quorvan";
  song.tracker_name = "quorvan module maker";
  song.channels = channel_count;
  song.speed = ticks_per_row;
  song.bpm = beats_per_minute;
  song.patterns = {intro(),
                   build_up(),
                   theme(first_theme, backbeat),
                   theme(second_theme, snare_fill),
                   break_down(),
                   variation(first_variation, ghosted_backbeat),
                   variation(second_variation, snare_fill),
                   turnaround()};
  song.order = {intro_section, build_up_section,        first_theme_section,      second_theme_section,
                break_section, first_variation_section, second_variation_section, turnaround_section};
  // After the turnaround the song goes on with the first theme, for as long
  // as the player keeps it going.
  const auto first_theme_place = std::ranges::find(song.order, first_theme_section);
  song.restart_position = static_cast<int>(first_theme_place - song.order.begin());
  song.instruments = instruments();
  return song;
}
