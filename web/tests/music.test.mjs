// music.test.mjs: the music worklet's mixer, run in Node, mixes the show's
// module bit for bit as the desktop's sound layer does, and answers the
// show's four music calls as the desktop does.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {createRequire} from 'node:module';
import {join} from 'node:path';
import {test} from 'node:test';
import {gunzipSync} from 'node:zlib';

import {mix_native_music} from './support/native.mjs';
import {data_folder, site_folder} from './support/paths.mjs';
import {mix_rate, music_file} from './support/show_facts.mjs';

const compared_seconds = 30;
const worklet_block_frames = 128;  // what an AudioWorklet asks for each time
// About a second, in whole blocks, so that what follows is cut as the reference is.
const about_a_second = Math.ceil(mix_rate / worklet_block_frames) * worklet_block_frames;

const create_quorvan_mixer = createRequire(import.meta.url)(join(site_folder, 'quorvan_mixer.js'));
const mixer_code = gunzipSync(readFileSync(join(site_folder, 'quorvan_mixer.wasm.gz')));
const show_module = readFileSync(join(data_folder, music_file));

const open_mixer = (module_bytes) => create_quorvan_mixer.open_mixer(mixer_code, module_bytes, mix_rate);

// The next `frames` frames, mixed in worklet-sized blocks, as a copy.
function mix(mixer, frames) {
  const samples = new Float32Array(2 * frames);
  for (let done = 0; done < frames; done += worklet_block_frames)
    samples.set(mixer.mix(Math.min(worklet_block_frames, frames - done)), 2 * done);
  return samples;
}

const is_silent = (samples) => samples.every((sample) => sample === 0);
const same_bits = (a, b) => Buffer.compare(Buffer.from(a.buffer, a.byteOffset, a.byteLength),
                                           Buffer.from(b.buffer, b.byteOffset, b.byteLength)) === 0;

const native = mix_native_music(compared_seconds, mix_rate, worklet_block_frames);
// The reference's `index`th block of about a second.
const native_block = (index) => native.subarray(2 * index * about_a_second, 2 * (index + 1) * about_a_second);

test('mixes_the_first_30_seconds_bit_for_bit_as_the_desktop_does_in_the_same_buffers', async () => {
  const mixer = await open_mixer(show_module);
  assert.equal(mixer.has_song, true);
  mixer.play();
  const web = mix(mixer, compared_seconds * mix_rate);
  assert.equal(web.length, native.length);
  assert.ok(!is_silent(native), 'the reference is silent');
  const first_difference = web.findIndex((sample, index) => !Object.is(sample, native[index]));
  assert.equal(first_difference, -1,
               `sample ${first_difference} (${first_difference / 2 / mix_rate} s) differs`);
  assert.ok(same_bits(web, native));
});

test('is_silent_until_played_and_after_a_stop', async () => {
  const mixer = await open_mixer(show_module);
  assert.ok(is_silent(mix(mixer, about_a_second)), 'loaded but not played');
  mixer.play();
  assert.ok(!is_silent(mix(mixer, about_a_second)));
  mixer.stop();
  assert.ok(is_silent(mix(mixer, about_a_second)), 'stopped');
});

test('plays_from_the_start_after_a_stop', async () => {
  const mixer = await open_mixer(show_module);
  mixer.play();
  mix(mixer, 3 * about_a_second);
  mixer.stop();
  mixer.play();
  assert.ok(mixer.position() < 0.01, `position ${mixer.position()} s`);
  assert.ok(same_bits(mix(mixer, about_a_second), native_block(0)));
});

test('play_while_playing_goes_on_unchanged', async () => {
  const mixer = await open_mixer(show_module);
  mixer.play();
  assert.ok(same_bits(mix(mixer, about_a_second), native_block(0)));
  mixer.play();
  assert.ok(same_bits(mix(mixer, about_a_second), native_block(1)));
});

test('no_module_means_silence', async () => {
  for (const not_a_module of [new Uint8Array(0), new TextEncoder().encode('not a module at all')]) {
    const mixer = await open_mixer(not_a_module);
    assert.equal(mixer.has_song, false);
    mixer.play();
    assert.ok(is_silent(mix(mixer, about_a_second)));
    mixer.stop();
    assert.equal(mixer.position(), 0);
  }
});
