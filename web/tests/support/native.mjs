// native.mjs: what the desktop build makes, for the web build to be compared
// with: frames from its capture tool, and music from its own sound layer.
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

import {read_png} from './frames.mjs';
import {data_folder, native_build, repository_folder} from './paths.mjs';
import {music_file} from './show_facts.mjs';

// The capture tool's stills of the given frames at a size ('WxH'), from the
// same data files as the page's: [["frame@WxH", frame], ...].
export function capture_native_frames(frames, size) {
  const folder = mkdtempSync(join(tmpdir(), 'quorvan-native-frames-'));
  execFileSync(join(native_build, 'bin/quorvan-capture'),
               [`--png=${frames.join(',')}`, `--size=${size}`, `--data=${data_folder}`], {cwd: folder, stdio: 'pipe'});
  const still = (frame) => join(folder, `quorvan-frame-${String(frame).padStart(4, '0')}.png`);
  return frames.map((frame) => [`${frame}@${size}`, read_png(still(frame))]);
}

// Builds native_mix (web/tests/native_mix.cpp with the desktop's mixer and
// song loading, on Debian's libopenmpt) and returns its float samples: the
// first `seconds` of the show's module, interleaved stereo, mixed in buffers
// of buffer_frames.
export function mix_native_music(seconds, mix_rate, buffer_frames) {
  const folder = mkdtempSync(join(tmpdir(), 'quorvan-native-mix-'));
  const program = join(folder, 'native_mix');
  const openmpt = execFileSync('pkg-config', ['--cflags', '--libs', 'libopenmpt']).toString().trim().split(/\s+/);
  const sources = ['web/tests/native_mix.cpp', 'sound/mixer.cpp', 'sound/song.cpp', 'sound/module_file.cpp'];
  execFileSync('c++', ['-std=c++20', '-O2', '-ffp-contract=off', `-I${repository_folder}`,
                       ...sources.map((source) => join(repository_folder, source)), ...openmpt, '-o', program]);
  const bytes = execFileSync(program, [join(data_folder, music_file), String(seconds), String(mix_rate), String(buffer_frames)],
                             {maxBuffer: 1 << 30});
  return new Float32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4);
}
