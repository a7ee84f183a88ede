// frames.test.mjs: the show's own page in headless Chromium presents the
// frames that the desktop's capture tool presents, at 640x480 and 1440x1080:
// the picture scenes pixel for pixel within the one 16-bit step by which the
// two renderers round, everything else but for a few edge pixels. Frames
// are driven back to back, then again after playing again.
import assert from 'node:assert/strict';
import {mkdirSync} from 'node:fs';
import {join} from 'node:path';
import {before, test} from 'node:test';

import {launch_browser} from './support/browser.mjs';
import {one_rgb565_step, pixels_differing, write_png} from './support/frames.mjs';
import {capture_native_frames} from './support/native.mjs';
import {site_folder, test_pages_folder} from './support/paths.mjs';
import {frames_in_show} from './support/show_facts.mjs';
import {open_show_page, wait_for_state} from './support/show_page.mjs';
import {serve_site} from './support/site_server.mjs';

// Scenes 1 to 3, with the frames on which one scene hands over to the next.
const exact_picture_frames = [40, 294, 481, 600, 1269, 1420, 2056];
// Where a magnified picture puts a texel's edge right on some pixels' centres,
// the two rasterizers (Mesa's llvmpipe, SwiftShader) can pick either texel:
// up to a few hundred pixels along those edges (0.1% on frame 50).
const picture_frames_with_edge_ties = [1, 50, 900];
// The cube from its first frame (drawn with the last of scene 3), the final card.
const cube_and_final_frames = [2057, 2300, 2512, 2645, 2694, 3000, frames_in_show];
const near_frames = [...picture_frames_with_edge_ties, ...cube_and_final_frames];
const largest_share_differing = 0.002;
const small = [640, 480];
// Scaled up by 2.25, each frame presented as a desktop window presents it.
const large = [1440, 1080];
const large_frames = [294, 1420, frames_in_show];
// Played again, the smiley's turn piles up from the start again.
const replay_to = 294;

// The frames as a person would look at them, web and desktop side by side.
const looked_at_folder = join(site_folder, '..', 'test-frames');

let web;
let native;  // "frame@WxH" to frame

const size_name = ([width, height]) => `${width}x${height}`;

before(async () => {
  const small_frames = [...exact_picture_frames, ...near_frames].sort((a, b) => a - b);
  native = new Map([...capture_native_frames(small_frames, size_name(small)),
                    ...capture_native_frames(large_frames, size_name(large))]);
  const wanted = small_frames.map((number) => [number, large_frames.includes(number) ? [small, large] : [small]]);
  const server = await serve_site(site_folder, test_pages_folder);
  const browser = await launch_browser();
  try {
    const {page} = await open_show_page(browser, server.url);
    await wait_for_state(page, 'inviting', 30);
    await page.addScriptTag({url: `${server.url}tests/frames.js`});
    web = await page.evaluate((wanted, replay_to) => window.draw_frames(wanted, replay_to), wanted, replay_to);
  } finally {
    await browser.close();
    await server.close();
  }
  mkdirSync(looked_at_folder, {recursive: true});
  for (const name of Object.keys(web.frames)) {
    const file_name = name.replace('@', '-').replace(/^\d+/, (number) => number.padStart(4, '0'));
    write_png(join(looked_at_folder, `web-frame-${file_name}.png`), web_frame(name));
    write_png(join(looked_at_folder, `native-frame-${file_name}.png`), native.get(name));
  }
});

const decode = (base64, [width, height]) => ({width, height, rgb: Buffer.from(base64, 'base64')});

function web_frame(name) {
  assert.ok(web.frames[name], `frame ${name} was not read back`);
  return decode(web.frames[name], name.split('@')[1].split('x').map(Number));
}

const names = (numbers, size = small) => numbers.map((number) => `${number}@${size_name(size)}`);

// The share of a frame's pixels that differ by more than one 16-bit step from the desktop's.
function share_differing(name) {
  const frame = web_frame(name);
  const share = pixels_differing(frame, native.get(name), one_rgb565_step) / (frame.width * frame.height);
  console.log(`frame ${name}: ${(100 * share).toFixed(3)}% of the pixels differ`);
  return share;
}

// Whether every channel of a frame holds a value that 16-bit colour widens to.
function is_rgb565(frame) {
  const widened = (bits) => new Set(Array.from({length: 1 << bits}, (_, level) => Math.round(level * 255 / ((1 << bits) - 1))));
  const levels = [widened(5), widened(6), widened(5)];
  return frame.rgb.every((value, index) => levels[index % 3].has(value));
}

test('presents_the_picture_scenes_pixel_for_pixel_as_the_desktop_does', () => {
  for (const name of names([...exact_picture_frames, ...near_frames]))
    assert.ok(is_rgb565(web_frame(name)), `frame ${name} is not in 16-bit colour`);
  const exact_large_frames = large_frames.filter((frame) => exact_picture_frames.includes(frame));
  for (const name of [...names(exact_picture_frames), ...names(exact_large_frames, large)])
    assert.equal(share_differing(name), 0, `frame ${name}`);
});

test('presents_every_other_frame_within_0_2_percent_of_the_pixels', () => {
  for (const name of [...names(near_frames), ...names([frames_in_show], large)]) {
    const share = share_differing(name);
    assert.ok(share <= largest_share_differing, `frame ${name}: ${(100 * share).toFixed(3)}% differ`);
  }
});

test('ends_on_frame_3194_draws_nothing_after_it_and_plays_again_from_the_start', () => {
  assert.equal(web.drawn, frames_in_show);
  assert.equal(web.ended, true);
  assert.equal(web.still_ended, true);
  const replayed = decode(web.replayed, small);
  assert.equal(pixels_differing(replayed, web_frame(`${replay_to}@640x480`)), 0, `frame ${replay_to} played again`);
});

test('compares_frames_that_are_not_blank', () => {
  // A blank or failed read-back on both sides would compare equal.
  const frame = web_frame('40@640x480');
  const colours = new Set();
  for (let pixel = 0; pixel < 640 * 480; pixel += 97) colours.add(frame.rgb.slice(3 * pixel, 3 * pixel + 3).join());
  assert.ok(colours.size > 3, `only ${colours.size} colours in frame 40`);
});
