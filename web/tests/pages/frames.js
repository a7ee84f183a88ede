// frames.js: added to the show's own page once it has loaded: draws the
// show's steps back to back, as fast as the browser draws them (no pacing, no
// music), and reads back the frames asked for as the page presents them on
// canvases of the sizes asked for.
'use strict';

// wanted: [[frame, [[width, height], ...]], ...]. Resolves to {frames:
// {"frame@WxH": base64 RGB, top row first}, drawn, ended, still_ended,
// replayed: frame replay_to at 640x480 again, after playing again}.
window.draw_frames = async function(wanted, replay_to) {
  const show = window.quorvan.show;
  const sizes_of = new Map(wanted);
  const frames = {};
  const read = ([width, height]) => {
    Object.assign(show.canvas, {width, height});
    show._web_present(width, height);
    // Read within the same task as the drawing, before the browser presents
    // it, from the canvas: presenting leaves the show's picture bound.
    const gl = show.ctx;
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    const rgba = new Uint8Array(width * height * 4);
    gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
    return rgb_top_row_first(rgba, width, height);
  };
  const last = Math.max(...sizes_of.keys());
  let drawn = 0;
  let goes_on = true;
  while (goes_on && drawn < last) {
    goes_on = show._web_frame() === 1;
    drawn += 1;
    for (const size of sizes_of.get(drawn) ?? []) frames[`${drawn}@${size.join('x')}`] = read(size);
  }
  // The show ended: one more call must draw nothing and still say so.
  const still_ended = !goes_on && show._web_frame() === 0;
  // Played again on the same context, the show draws its first frames anew.
  show._web_restart();
  for (let step = 1; step <= replay_to; ++step) show._web_frame();
  return {frames, drawn, ended: !goes_on, still_ended, replayed: read([640, 480])};
};

function rgb_top_row_first(rgba, width, height) {
  const rows = [];
  const row = new Uint8Array(width * 3);
  for (let y = height - 1; y >= 0; --y) {
    for (let x = 0; x < width; ++x) row.set(rgba.subarray(4 * (y * width + x), 4 * (y * width + x) + 3), 3 * x);
    rows.push(String.fromCharCode.apply(null, row));
  }
  return btoa(rows.join(''));
}
